#include "ui/child_window.h"

namespace parvex::ui {

ChildWindow::ChildWindow(Host& host, QWidget* parent) : QWidget(parent), host_(host) {}

ChildWindow::~ChildWindow() = default;

}  // namespace parvex::ui
