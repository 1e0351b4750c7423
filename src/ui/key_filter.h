#pragma once
// A window-wide key filter: the form sees every typed character before its controls do.
// It acts on the form's own controls (fields, grids, their cell editors), never on menus
// or other popups the form owns.
// Only Backspace, Tab, Enter, the digits and the letters A to F (either case) get through;
// every other character is dropped without a sound. Keys that type nothing (arrows, Home,
// function keys) and shortcuts with Ctrl, Alt or Meta are not characters and pass.

#include <QObject>
#include <QPointer>

class QKeyEvent;
#include <QWidget>

namespace parvex::ui {

class KeyFilter : public QObject {
    Q_OBJECT
public:
    // Filters `form` and every widget below it, including widgets created later (cell
    // editors appear and vanish all the time).
    explicit KeyFilter(QWidget* form);
    ~KeyFilter() override;

    // Switched off, every key reaches its widget unchanged.
    void setActive(bool active) { active_ = active; }
    [[nodiscard]] bool isActive() const { return active_; }

    // Whether the filter lets this key through.
    [[nodiscard]] static bool passes(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QObject* object);
    [[nodiscard]] bool inForm(const QObject* watched) const;

    QPointer<QWidget> form_;
    bool active_ = true;
};

}  // namespace parvex::ui
