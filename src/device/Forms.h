#pragma once
// Small helpers the register device's windows build their controls with, and the one
// conversion between the core's texts and Qt's.

#include <QString>
#include <string>
#include <string_view>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QWidget;

namespace parvex::device {

inline QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}
inline std::string ss(const QString& text) {
    return text.toStdString();
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint = {});
// A field of maxLength characters; upper case turns typed letters into capitals.
QLineEdit* makeField(QWidget* parent, const char* name, int maxLength, bool upperCase);
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text);
QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption);
// A free-standing window that stays on top of the frame, with only a close button.
void makeToolWindow(QWidget* window);
// Centres a window on another (or on the screen when there is none).
void centreOn(QWidget* window, const QWidget* over);

}  // namespace parvex::device
