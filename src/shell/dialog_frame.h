#pragma once
// The title bar of the clock dialog and the about box: a title and a close button (which
// acts as Escape), no minimise or maximise. Both also refuse to be minimised
// (ui::refuseMinimise) where a window manager draws the button anyway.

#include <Qt>

namespace parvex::shell {

// A title bar with no button at all is not on offer: X11 window managers given that wish
// hear nothing about the buttons and show every one.
inline constexpr Qt::WindowFlags kTitleAndCloseOnly =
    Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

}  // namespace parvex::shell
