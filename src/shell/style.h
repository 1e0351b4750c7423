#pragma once
// The program's dark grey look: Fusion, a dark palette and a style sheet, both carried in
// the program's resources; and the program's icon.

class QApplication;
class QIcon;

namespace parvex::shell {

// Applies the look to the whole application. Returns false if a resource was missing (the
// program then runs in plain Fusion, which is still usable).
bool applyDarkStyle(QApplication& app);

// The program's own icon (windows, the maximised child's menu-bar corner, the desktop entry).
[[nodiscard]] QIcon programIcon();

}  // namespace parvex::shell
