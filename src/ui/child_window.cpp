#include "ui/child_window.h"

#include <QMdiSubWindow>

#include "ui/host.h"

namespace parvex::ui {

ChildWindow::ChildWindow(Host& host, QWidget* parent) : QWidget(parent), host_(host) {}

ChildWindow::~ChildWindow() = default;

void ChildWindow::mnuCloseClick() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void ChildWindow::mnuCloseAllClick() {
    // This window is among those closed: keep only the host from here on.
    Host& h = host();
    h.closeAllChildren();
    h.ResetWarning();
    h.DisableMenus();
}

void ChildWindow::mnuExitClick() {
    host().exitApplication();
}

}  // namespace parvex::ui
