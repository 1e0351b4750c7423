#pragma once
// A main window over the virtual adapter, with scripted prompts and a fake clock, for the
// window tests of the shell.

#include <gtest/gtest.h>

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <memory>
#include <ostream>

#include "common/wait.h"
#include "hid/virtual_backend.h"
#include "shell/Main.h"
#include "shell/markup_status_bar.h"
#include "sim/virtual_adapter.h"
#include "support/qt_printers.h"
#include "support/scripted_prompts.h"
#include "ui/child_window.h"
#include "ui/prompts.h"

namespace parvex::test {

// Lets queued device notices run and frees windows closed with deleteLater().
inline void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// A child window with a modified flag that asks "Save changes?" before it lets go.
class TestChild : public ui::ChildWindow {
public:
    TestChild(ui::Host& host, const QString& title, bool modified = false)
        : ui::ChildWindow(host), modified_(modified) {
        setWindowTitle(title);
        menu_ = new QMenu(QStringLiteral("&File"), this);
        menu_->setObjectName(QStringLiteral("mnuChildFile"));
        edit_ = new QMenu(QStringLiteral("&Edit"), this);
        edit_->setObjectName(QStringLiteral("mnuChildEdit"));
    }
    [[nodiscard]] QList<QMenu*> mergedMenus() const override { return {menu_, edit_}; }
    void FormActivate() override { ++activations; }
    int activations = 0;
    QMenu* fileMenu() const { return menu_; }

protected:
    void closeEvent(QCloseEvent* event) override {
        if (modified_ && ui::prompts().question(QStringLiteral("Save changes?"),
                                                ui::ButtonYes | ui::ButtonNo | ui::ButtonCancel) ==
                             ui::Answer::Cancel) {
            event->ignore();
            return;
        }
        event->accept();
    }

private:
    bool modified_;
    QMenu* menu_ = nullptr;
    QMenu* edit_ = nullptr;
};

class ShellTest : public ::testing::Test {
protected:
    // Builds the main window; `plugged` decides whether the adapter is in at start-up.
    void start(bool plugged = true) {
        auto controller = std::make_unique<hid::VirtualController>();
        virt = controller.get();
        sim::addDefaultDevices(virt->adapter().bus());
        if (plugged) virt->plug();
        main = std::make_unique<shell::TfrmMain>(std::move(controller));
        main->show();
    }

    void TearDown() override {
        if (main) main->closeAllChildren();
        settle();
        main.reset();
    }

    [[nodiscard]] QString panel(int index) const { return main->pnlStatusBar()->panelText(index); }
    [[nodiscard]] QAction* action(const char* name) const {
        QAction* a = main->findChild<QAction*>(QLatin1String(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    [[nodiscard]] QMenu* menu(const char* name) const {
        QMenu* m = main->findChild<QMenu*>(QLatin1String(name));
        EXPECT_NE(m, nullptr) << name;
        return m;
    }
    [[nodiscard]] QStringList menuTitles() const {
        QStringList titles;
        for (QAction* a : main->menuBar()->actions()) titles << a->text();
        return titles;
    }
    // File "Close", "Close All"; Window "Cascade", "Tile", "Minimize All", in that order.
    [[nodiscard]] std::vector<bool> fiveItems() const {
        std::vector<bool> states;
        for (const char* n : {"mnuClose", "mnuCloseAll", "mnuCascade", "mnuTile", "mnuMinimizeAll"})
            states.push_back(action(n)->isEnabled());
        return states;
    }
    TestChild* addTestChild(const QString& title, bool modified = false) {
        auto* child = new TestChild(*main, title, modified);
        main->addChild(child);
        return child;
    }

    ScriptedPrompts prompts;
    timing::FakeClock clock;
    timing::ScopedClock scopedClock{clock};
    hid::VirtualController* virt = nullptr;
    std::unique_ptr<shell::TfrmMain> main;
};

inline const std::vector<bool> kAllEnabled(5, true);
inline const std::vector<bool> kAllDisabled(5, false);

}  // namespace parvex::test
