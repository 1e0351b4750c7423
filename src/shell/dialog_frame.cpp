#include "shell/dialog_frame.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace parvex::shell {
namespace {

class MinimiseRefuser final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange) {
            auto* window = qobject_cast<QWidget*>(watched);
            if (window && window->isMinimized()) {
                // Restored once the window manager has finished minimising it.
                QTimer::singleShot(0, window, [w = QPointer<QWidget>(window)] {
                    if (!w) return;
                    w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
                    w->show();
                    w->raise();
                    w->activateWindow();
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void refuseMinimise(QWidget* window) {
    window->installEventFilter(new MinimiseRefuser(window));
}

}  // namespace parvex::shell
