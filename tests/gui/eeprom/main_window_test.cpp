// The editor inside the real main window over the virtual adapter.

#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>

#include "adapter/status_texts.h"
#include "gui/eeprom/editor_fixture.h"

namespace parvex::test {
namespace {

class EditorInMain : public ShellTest {
protected:
    void SetUp() override {
        start(true);
        settle();
        chip = std::dynamic_pointer_cast<sim::Eeprom24>(virt->adapter().bus().devices().at(0));
        ASSERT_NE(chip, nullptr);
    }
    eeprom::TfrmSmallEE* open(const char* item) {
        action(item)->trigger();
        settle();
        QMdiSubWindow* sub = main->mdiArea()->activeSubWindow();
        EXPECT_NE(sub, nullptr);
        return sub ? qobject_cast<eeprom::TfrmSmallEE*>(sub->widget()) : nullptr;
    }
    [[nodiscard]] QString firstMenuName() const {
        QMenu* m = main->menuBar()->actions().value(0)->menu();
        return m ? m->objectName() : QString();
    }
    std::shared_ptr<sim::Eeprom24> chip;
};

TEST_F(EditorInMain, TwoKEditorMergesItsFileMenu) {
    eeprom::TfrmSmallEE* w = open("mnu16kbit");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "2048 Byte (16k bit) EEPROM");
    EXPECT_TRUE(w->parentWidget()->isMaximized());
    EXPECT_EQ(menuTitles(), (QStringList{"&File", "&Device", "Options", "&Window", "Help"}));
    EXPECT_EQ(firstMenuName(), "mnuEEFile");
    EXPECT_EQ(main->menuBar()->actions().value(0)->menu(), ctl(w).mnuEEFile);
    EXPECT_EQ(fiveItems(), kAllEnabled);

    // A second editor brings its own File menu; activating the first brings its back.
    eeprom::TfrmSmallEE* small = open("mnu128bit");
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(main->menuBar()->actions().value(0)->menu(), ctl(small).mnuEEFile);
    main->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
    settle();
    EXPECT_EQ(main->menuBar()->actions().value(0)->menu(), ctl(w).mnuEEFile);
}

TEST_F(EditorInMain, ReadWriteAndVerifyTheVirtualChip) {
    for (std::size_t i = 0; i < chip->memory().size(); ++i)
        chip->memory()[i] = std::uint8_t(i ^ 0x5A);
    eeprom::TfrmSmallEE* w = open("mnu16kbit");
    ASSERT_NE(w, nullptr);
    const QString ok = QString::fromStdString(adapter::statusText(0));

    ctl(w).btnRead->click();
    EXPECT_EQ(w->image().bytes().bytes, chip->memory());
    EXPECT_EQ(panel(shell::MarkupStatusBar::StatusPanel), ok);

    std::vector<std::uint8_t> fresh(2048);
    for (std::size_t i = 0; i < fresh.size(); ++i) fresh[i] = std::uint8_t(i * 3);
    w->image().setBytes(0, fresh);
    ctl(w).cmbPageSize->setCurrentText("16");
    const int frameWidth = main->width();
    ctl(w).btnWrite->click();
    EXPECT_EQ(chip->memory(), fresh);
    // Swapping the status and progress panels never widens the main window.
    EXPECT_EQ(main->width(), frameWidth);
    EXPECT_EQ(clock.totalSleptMillis(), 128u * 10u);
    EXPECT_EQ(main->pnlStatusBar()->progressBar()->value(), 100);
    EXPECT_EQ(main->pnlStatusBar()->panelWidth(shell::MarkupStatusBar::ProgressPanel), 0);
    EXPECT_EQ(main->pnlStatusBar()->panelWidth(shell::MarkupStatusBar::StatusPanel), 250);
    EXPECT_EQ(panel(shell::MarkupStatusBar::StatusPanel), ok);

    ctl(w).btnVerify->click();
    EXPECT_EQ(panel(shell::MarkupStatusBar::StatusPanel),
              QString::fromStdString(adapter::statusText(65)));
    chip->memory()[0x7FE] ^= 1;
    ctl(w).btnVerify->click();
    EXPECT_EQ(prompts.texts(), QStringList{"Device failed Verify at Address 0x7FE"});
    EXPECT_EQ(panel(shell::MarkupStatusBar::StatusPanel),
              QString::fromStdString(adapter::statusText(153)));

    // Without the adapter nothing changes and the panel says why.
    virt->unplug();
    settle();
    ctl(w).btnRead->click();
    EXPECT_EQ(w->image().bytes().bytes, fresh);
    EXPECT_EQ(panel(shell::MarkupStatusBar::StatusPanel),
              QString::fromStdString(adapter::statusText(170)));
}

TEST_F(EditorInMain, CloseQuestionThroughTheFrame) {
    eeprom::TfrmSmallEE* w = open("mnu2kbit");
    ASSERT_NE(w, nullptr);
    clickCell(ctl(w).stgMemory, 0, 0);
    typeKeys("AA");
    ASSERT_TRUE(w->Modified());

    prompts.answer(ui::Answer::Cancel);
    ctl(w).mnuClose->trigger();
    settle();
    EXPECT_EQ(main->childWindowCount(), 1);

    prompts.answer(ui::Answer::Cancel);
    ctl(w).mnuExit->trigger();
    settle();
    EXPECT_EQ(main->childWindowCount(), 1);
    EXPECT_TRUE(main->isVisible());

    prompts.answer(ui::Answer::No);
    ctl(w).mnuCloseAll->trigger();
    settle();
    EXPECT_EQ(main->childWindowCount(), 0);
    EXPECT_EQ(fiveItems(), kAllDisabled);
    EXPECT_EQ(prompts.texts(), (QStringList{"Save changes?", "Save changes?", "Save changes?"}));
}

// "&Write All" and the frame's "&Window" share Alt+W. The shared key only takes the focus
// to the button, never writes the chip, and the next Alt+W opens the menu.
TEST_F(EditorInMain, SharedMenuKeyFromACellEditorWritesNothing) {
    eeprom::TfrmSmallEE* w = open("mnu16kbit");
    ASSERT_NE(w, nullptr);
    clickCell(ctl(w).stgMemory, 3, 1);
    typeKeys("1");
    QMenu* window = main->findChild<QMenu*>("mnuWindow");
    ASSERT_NE(window, nullptr);
    for (int press = 0; press < 2 && !window->isVisible(); ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::AltModifier);
        settle();
    }
    EXPECT_TRUE(window->isVisible());
    window->close();
    EXPECT_EQ(chip->memory()[0x31], 0xFF) << "nothing was written";
    EXPECT_EQ(hexCell(*w, 0x31), "01");
}

}  // namespace
}  // namespace parvex::test
