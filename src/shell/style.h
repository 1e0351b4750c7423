#pragma once
// The program's dark grey look: Fusion, a dark palette and a style sheet, both carried in
// the program's resources; and the program's icon.

#include <Qt>

class QApplication;
class QIcon;

namespace parvex::shell {

// Applies the look to the whole application. Returns false if a resource was missing (the
// program then runs in plain Fusion, which is still usable).
bool applyDarkStyle(QApplication& app);

// The program's own icon (windows, the maximised child's menu-bar corner, the desktop entry).
[[nodiscard]] QIcon programIcon();

// A title bar with no minimise or maximise button, for the clock dialog and the about box.
// A title bar with no button at all is not on offer: X11 window managers given that wish
// show every button, so the close button (which acts as Escape) is the one kept.
inline constexpr Qt::WindowFlags kTitleAndCloseOnly =
    Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

}  // namespace parvex::shell
