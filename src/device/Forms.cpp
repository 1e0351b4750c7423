#include "device/Forms.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include "ui/upper_case_validator.h"

namespace parvex::device {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    if (!hint.isEmpty()) button->setToolTip(hint);
    return button;
}

QLineEdit* makeField(QWidget* parent, const char* name, int maxLength, bool upperCase) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setMaxLength(maxLength);
    if (upperCase) field->setValidator(new ui::UpperCaseValidator(field));
    return field;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    if (name) label->setObjectName(QLatin1String(name));
    return label;
}

QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

void makeToolWindow(QWidget* window) {
    window->setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    window->setAttribute(Qt::WA_DeleteOnClose);
}

void centreOn(QWidget* window, const QWidget* over) {
    QRect area;
    if (over)
        area = QRect(over->mapToGlobal(QPoint(0, 0)), over->size());
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isEmpty()) return;
    QRect frame(QPoint(0, 0), window->sizeHint().expandedTo(window->size()));
    frame.moveCenter(area.center());
    window->move(frame.topLeft());
}

}  // namespace parvex::device
