#pragma once
// What one run leaves for the next: the main window's place and size and the folder the
// file dialogs last used, in the standard settings location (~/.config/Parvex/Parvex.ini).

class QWidget;

namespace parvex::shell {

// Puts back what the last run left. On the first run nothing changes: the main window keeps
// its designed size and place.
void restoreSession(QWidget& mainWindow);
void saveSession(const QWidget& mainWindow);

}  // namespace parvex::shell
