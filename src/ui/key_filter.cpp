#include "ui/key_filter.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QWidget>

namespace parvex::ui {

KeyFilter::KeyFilter(QWidget* form) : QObject(form), form_(form) {
    watch(form);
}

KeyFilter::~KeyFilter() = default;

void KeyFilter::watch(QObject* object) {
    if (!object->isWidgetType()) return;
    // Installing twice would only move us to the front; remove first to keep one copy.
    object->removeEventFilter(this);
    object->installEventFilter(this);
    for (QObject* child : object->children()) watch(child);
}

bool KeyFilter::passes(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return true;
    switch (event.key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Delete:
        case Qt::Key_Escape:
            return true;
        default:
            break;
    }
    const QString text = event.text();
    if (text.isEmpty()) return true;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool hex =
            (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F') || (u >= u'a' && u <= u'f');
        if (!hex) return false;
    }
    return true;
}

bool KeyFilter::inForm(const QObject* watched) const {
    // A menu or a popup owned by the form is a window of its own: its accelerators and
    // type-ahead are none of the filter's business.
    const auto* widget = qobject_cast<const QWidget*>(watched);
    return widget && form_ && widget->window() == form_->window();
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::ChildAdded:
            watch(static_cast<QChildEvent*>(event)->child());
            break;
        case QEvent::KeyPress:
            if (active_ && inForm(watched) && !passes(*static_cast<QKeyEvent*>(event))) return true;
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace parvex::ui
