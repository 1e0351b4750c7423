#pragma once
// The title bar of the clock dialog and the about box: a title and a close button (which
// acts as Escape), no minimise or maximise.

#include <Qt>

class QWidget;

namespace parvex::shell {

// A title bar with no button at all is not on offer: X11 window managers given that wish
// hear nothing about the buttons and show every one.
inline constexpr Qt::WindowFlags kTitleAndCloseOnly =
    Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// Some window managers draw a minimise button whatever the window asks for, and minimising
// a dialog there takes its main window down with it. The window comes straight back instead.
void refuseMinimise(QWidget* window);

}  // namespace parvex::shell
