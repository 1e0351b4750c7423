// The main window: start-up state, the adapter's arrival and removal, menus and child windows.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include "adapter/status_texts.h"
#include "eeprom/SmallEE.h"
#include "eeprom/geometry.h"
#include "gui/shell/shell_fixture.h"
#include "shell/Bitrate.h"
#include "shell/links.h"

namespace parvex::test {
namespace {

using shell::MarkupStatusBar;

const QString kDetected =
    QStringLiteral(R"(<P align="center"><FONT color="clWhite">Parvex Hardware Detected</FONT>)");
const QString kNotDetected = QStringLiteral(
    R"(<P align="center"><FONT color="clWhite">Parvex Hardware Not Detected</FONT>)");

TEST_F(ShellTest, StartUpStateBeforeTheFirstNotice) {
    start();
    EXPECT_EQ(main->windowTitle(), "Parvex");
    EXPECT_EQ(panel(MarkupStatusBar::StatusPanel), "");
    EXPECT_EQ(panel(MarkupStatusBar::HardwarePanel),
              R"(<P align="center"><FONT color="clGray">Parvex Hardware Not Detected</FONT>)");
    EXPECT_EQ(panel(MarkupStatusBar::FrequencyPanel),
              R"(<P align="center"><FONT color="clGray">1000 kHz</FONT>)");
    EXPECT_FALSE(main->pnlStatusBar()->isEnabled());
    EXPECT_FALSE(menu("mnuOptions")->menuAction()->isEnabled());
    EXPECT_EQ(fiveItems(), kAllDisabled);
    EXPECT_EQ(main->pnlStatusBar()->toolTip(),
              "Double-click the frequency panel to change frequency");

    EXPECT_EQ(menuTitles(), (QStringList{"&File", "&Device", "Options", "&Window", "Help"}));
    EXPECT_EQ(action("mnuUpdate")->text(), "Update Parvex");
    EXPECT_TRUE(action("mnuParvex")->isVisible());
    for (const char* hidden : {"mnuSoftwareGuide", "mnuHardwareGuide", "mnuQuickStart"})
        EXPECT_FALSE(action(hidden)->isVisible()) << hidden;

    // The EEPROM items are the core's size table, in its order (its texts are checked there).
    QStringList eeprom;
    for (QAction* a : menu("mnuEEPROM")->actions()) eeprom << a->objectName() + ' ' + a->text();
    QStringList sizes;
    for (const eeprom::Geometry& g : eeprom::geometries())
        sizes << QString::fromUtf8(g.menuItem.data(), static_cast<qsizetype>(g.menuItem.size())) +
                     ' ' +
                     QString::fromUtf8(g.menuCaption.data(),
                                       static_cast<qsizetype>(g.menuCaption.size()));
    EXPECT_EQ(eeprom, sizes);
    EXPECT_EQ(menu("mnuFile")->menuAction()->toolTip(), "File related commands");
    EXPECT_EQ(menu("mnuDevice")->menuAction()->toolTip(), "Choose device from this menu");
    EXPECT_EQ(menu("mnuOptions")->menuAction()->toolTip(),
              QString::fromUtf8("Change device, I²C speed"));
    EXPECT_EQ(menu("mnuWindow")->menuAction()->toolTip(),
              "Window related commands such as Tile and Cascade");
    EXPECT_EQ(action("mnuTile")->toolTip(), "Arrange windows without overlap");

    // Nothing was sent before the event loop ran.
    EXPECT_TRUE(virt->adapter().outputLog().empty());
}

TEST_F(ShellTest, NoAdapterAtStartShowsNotDetectedAndIgnoresDoubleClicks) {
    start(/*plugged=*/false);
    settle();
    EXPECT_EQ(panel(MarkupStatusBar::HardwarePanel), kNotDetected);
    EXPECT_EQ(panel(MarkupStatusBar::FrequencyPanel),
              R"(<P align="center"><FONT color="clSilver">100 kHz</FONT>)");
    EXPECT_FALSE(main->pnlStatusBar()->isEnabled());
    EXPECT_FALSE(menu("mnuOptions")->menuAction()->isEnabled());

    QTest::mouseDClick(main->pnlStatusBar()->panel(MarkupStatusBar::FrequencyPanel),
                       Qt::LeftButton);
    settle();
    EXPECT_EQ(main->bitrateDialog(), nullptr);
    EXPECT_TRUE(prompts.events.empty());
}

TEST_F(ShellTest, ArrivalAndRemovalDriveThePanelsAndTheOptionsMenu) {
    start();
    settle();
    EXPECT_EQ(panel(MarkupStatusBar::HardwarePanel), kDetected);
    EXPECT_EQ(panel(MarkupStatusBar::FrequencyPanel),
              R"(<P align="center"><FONT color="clWhite">100 kHz</FONT>)");
    // The last command of the arrival is the port status read.
    EXPECT_EQ(panel(MarkupStatusBar::StatusPanel),
              R"(<P align="center">Transmission successful</FONT>)");
    EXPECT_TRUE(main->pnlStatusBar()->isEnabled());
    EXPECT_TRUE(menu("mnuOptions")->menuAction()->isEnabled());
    EXPECT_TRUE(prompts.events.empty());
    EXPECT_EQ(main->link().SerialNumber(), 12345);

    virt->unplug();
    // The notice waits for the event loop.
    EXPECT_EQ(panel(MarkupStatusBar::HardwarePanel), kDetected);
    settle();
    EXPECT_EQ(panel(MarkupStatusBar::HardwarePanel), kNotDetected);
    EXPECT_EQ(panel(MarkupStatusBar::StatusPanel),
              R"(<P align="center"><FONT color="clSilver"></FONT>)");
    EXPECT_EQ(panel(MarkupStatusBar::FrequencyPanel),
              R"(<P align="center"><FONT color="clSilver">100 kHz</FONT>)");
    EXPECT_FALSE(main->pnlStatusBar()->isEnabled());
    EXPECT_FALSE(menu("mnuOptions")->menuAction()->isEnabled());

    virt->plug();
    settle();
    EXPECT_EQ(panel(MarkupStatusBar::HardwarePanel), kDetected);
    EXPECT_TRUE(main->pnlStatusBar()->isEnabled());
}

TEST_F(ShellTest, BusLinesLowAtArrivalShowOneMessageEach) {
    struct Case {
        sim::Lines lines;
        QString message;  // empty: none
    };
    const Case cases[] = {
        {sim::Lines::BothLow, "SCL and SDA low. Ensure pull-ups are connected to SDA and SCL."},
        {sim::Lines::SdaLow, "SDA low. Ensure pull-ups are connected to SDA and SCL."},
        {sim::Lines::SclLow, "SCL low. Ensure pull-ups are connected to SDA and SCL."},
        {sim::Lines::High, ""},
    };
    start(/*plugged=*/false);
    settle();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        prompts.clear();
        virt->adapter().setLines(c.lines);
        virt->plug();
        settle();
        if (c.message.isEmpty()) {
            EXPECT_TRUE(prompts.events.empty());
        } else {
            ASSERT_EQ(prompts.events.size(), 1u);
            EXPECT_EQ(prompts.events[0].kind, ScriptedPrompts::Kind::Information);
            EXPECT_EQ(prompts.events[0].text, c.message);
        }
        // The adapter stays claimed and the arrival completes.
        EXPECT_EQ(panel(MarkupStatusBar::HardwarePanel), kDetected);
        EXPECT_TRUE(menu("mnuOptions")->menuAction()->isEnabled());
        virt->unplug();
        settle();
    }
}

TEST_F(ShellTest, UnrelatedHidDeviceRepeatsTheArrivalWithItsMessage) {
    start();
    virt->adapter().setLines(sim::Lines::BothLow);
    settle();
    ASSERT_EQ(prompts.texts().size(), 1);
    virt->plugOtherDevice();
    settle();
    EXPECT_EQ(prompts.texts(),
              QStringList(2, "SCL and SDA low. Ensure pull-ups are connected to SDA and SCL."));
    EXPECT_EQ(panel(MarkupStatusBar::HardwarePanel), kDetected);
}

TEST_F(ShellTest, ResetBusSendsTheResetCommandAndShowsItsStatus) {
    start();
    settle();
    virt->adapter().clearLog();
    virt->adapter().forceNextStatus(3);
    action("mnuReset")->trigger();
    ASSERT_EQ(virt->adapter().outputLog().size(), 1u);
    EXPECT_EQ(virt->adapter().outputLog().back()[report::kCommand], cmdResetBus);
    EXPECT_EQ(panel(MarkupStatusBar::StatusPanel), R"(<P align="center">I2C bus error</FONT>)");
}

TEST_F(ShellTest, DoubleClickOnAnyPanelOpensTheClockDialogWhileAnAdapterIsPresent) {
    start();
    settle();
    for (int index : {int{MarkupStatusBar::HardwarePanel}, int{MarkupStatusBar::FrequencyPanel}}) {
        QTest::mouseDClick(main->pnlStatusBar()->panel(index), Qt::LeftButton);
        ASSERT_NE(main->bitrateDialog(), nullptr) << index;
        EXPECT_TRUE(main->bitrateDialog()->isVisible());
        main->bitrateDialog()->close();
        settle();
        EXPECT_EQ(main->bitrateDialog(), nullptr);
    }
}

TEST_F(ShellTest, EepromItemsOpenOneWindowEachAndTheFiveItemsFollowTheChildren) {
    start();
    settle();
    action("mnu2kbit")->trigger();
    action("mnu2kbit")->trigger();
    settle();
    const auto editors = main->mdiArea()->findChildren<eeprom::TfrmSmallEE*>();
    EXPECT_EQ(editors.size(), 2);
    EXPECT_EQ(main->childWindowCount(), 2);
    EXPECT_EQ(fiveItems(), kAllEnabled);
    ASSERT_NE(main->mdiArea()->activeSubWindow(), nullptr);
    EXPECT_TRUE(main->mdiArea()->activeSubWindow()->isMaximized());
    for (QMdiSubWindow* sub : main->mdiArea()->subWindowList())
        EXPECT_TRUE(sub->testAttribute(Qt::WA_DeleteOnClose));

    action("mnuClose")->trigger();
    settle();
    EXPECT_EQ(main->childWindowCount(), 1);
    EXPECT_EQ(fiveItems(), kAllEnabled);

    action("mnuClose")->trigger();
    settle();
    EXPECT_EQ(main->childWindowCount(), 0);
    EXPECT_EQ(fiveItems(), kAllDisabled);
}

TEST_F(ShellTest, TheLastChildGoingAwayByItselfDisablesTheItemsAndClearsTheStatus) {
    start();
    settle();
    TestChild* a = addTestChild("A");
    TestChild* b = addTestChild("B");
    main->setStatusText("<P align=\"center\">Transmission successful</FONT>");
    a->parentWidget()->close();
    settle();
    EXPECT_EQ(panel(MarkupStatusBar::StatusPanel), "");
    EXPECT_EQ(fiveItems(), kAllEnabled);
    b->parentWidget()->close();
    settle();
    EXPECT_EQ(fiveItems(), kAllDisabled);
}

TEST_F(ShellTest, ActiveChildMenusTakeThePlaceOfFile) {
    start();
    settle();
    QMenu* mainFile = menu("mnuFile");
    TestChild* first = addTestChild("first");
    settle();
    EXPECT_EQ(menuTitles(),
              (QStringList{"&File", "&Edit", "&Device", "Options", "&Window", "Help"}));
    EXPECT_EQ(main->menuBar()->actions().first(), first->fileMenu()->menuAction());

    action("mnu128bit")->trigger();
    settle();
    EXPECT_EQ(menuTitles(), (QStringList{"&File", "&Device", "Options", "&Window", "Help"}));
    EXPECT_NE(main->menuBar()->actions().first(), mainFile->menuAction());
    EXPECT_NE(main->menuBar()->actions().first(), first->fileMenu()->menuAction());

    main->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
    EXPECT_EQ(main->menuBar()->actions().first(), first->fileMenu()->menuAction());

    action("mnuCloseAll")->trigger();
    settle();
    EXPECT_EQ(main->menuBar()->actions().first(), mainFile->menuAction());
    EXPECT_EQ(menuTitles(), (QStringList{"&File", "&Device", "Options", "&Window", "Help"}));
}

TEST_F(ShellTest, AChildIsActivatedWhenItTakesOverNotWhenTheFrameRegainsFocus) {
    start();
    settle();
    TestChild* a = addTestChild("A");
    TestChild* b = addTestChild("B");
    EXPECT_EQ(a->activations, 1);
    EXPECT_EQ(b->activations, 1);
    auto* subA = qobject_cast<QMdiSubWindow*>(a->parentWidget());
    main->mdiArea()->setActiveSubWindow(subA);
    EXPECT_EQ(a->activations, 2);

    // What the MDI area reports around a message box: nothing active, then A again.
    emit main->mdiArea()->subWindowActivated(nullptr);
    emit main->mdiArea()->subWindowActivated(subA);
    EXPECT_EQ(a->activations, 2);
    EXPECT_EQ(b->activations, 1);
}

TEST_F(ShellTest, WindowMenuListsTilesAndMinimizesTheChildren) {
    start();
    settle();
    TestChild* a = addTestChild("Alpha");
    TestChild* b = addTestChild("Beta");
    addTestChild("Gamma & Co");
    settle();

    emit menu("mnuWindow")->aboutToShow();
    QStringList listed;
    for (QAction* act : menu("mnuWindow")->actions())
        if (act->objectName().startsWith("mnuWindowItem")) listed << act->text();
    EXPECT_EQ(listed, (QStringList{"&1 Alpha", "&2 Beta", "&3 Gamma && Co"}));
    action("mnuWindowItem2")->trigger();
    EXPECT_EQ(main->mdiArea()->activeSubWindow(), b->parentWidget());

    action("mnuTile")->trigger();
    const QRect area = main->mdiArea()->viewport()->rect();
    int top = area.top();
    for (QMdiSubWindow* sub : main->mdiArea()->subWindowList()) {
        EXPECT_FALSE(sub->isMaximized());
        EXPECT_EQ(sub->geometry().left(), area.left());
        EXPECT_EQ(sub->geometry().width(), area.width());
        EXPECT_EQ(sub->geometry().top(), top) << sub->windowTitle().toStdString();
        top = sub->geometry().bottom() + 1;
    }
    EXPECT_EQ(top, area.bottom() + 1);

    action("mnuMinimizeAll")->trigger();
    for (QMdiSubWindow* sub : main->mdiArea()->subWindowList()) EXPECT_TRUE(sub->isMinimized());

    // The list is rebuilt, not appended to, and follows closed windows.
    a->parentWidget()->close();
    settle();
    emit menu("mnuWindow")->aboutToShow();
    listed.clear();
    for (QAction* act : menu("mnuWindow")->actions())
        if (act->objectName().startsWith("mnuWindowItem")) listed << act->text();
    EXPECT_EQ(listed, (QStringList{"&1 Beta", "&2 Gamma && Co"}));
}

TEST_F(ShellTest, CancelInASaveQuestionStopsExitAndKeepsTheWindowsNotYetClosed) {
    start();
    settle();
    addTestChild("first");
    addTestChild("modified", /*modified=*/true);
    addTestChild("last");
    settle();

    prompts.answer(ui::Answer::Cancel);
    action("mnuExit")->trigger();
    settle();
    EXPECT_EQ(prompts.texts(), QStringList{"Save changes?"});
    EXPECT_TRUE(main->isVisible());
    QStringList open;
    for (QMdiSubWindow* sub : main->mdiArea()->subWindowList()) open << sub->windowTitle();
    // "last" was closed before "modified" refused; "first" was never asked.
    EXPECT_EQ(open, (QStringList{"first", "modified"}));
    EXPECT_EQ(fiveItems(), kAllEnabled);

    // The close box behaves the same way.
    prompts.answer(ui::Answer::Cancel);
    EXPECT_FALSE(main->close());
    settle();
    EXPECT_EQ(main->childWindowCount(), 2);

    prompts.answer(ui::Answer::No);
    action("mnuExit")->trigger();
    settle();
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(main->childWindowCount(), 0);
}

TEST_F(ShellTest, CloseAllDisablesTheItemsEvenWhenAChildRefuses) {
    start();
    settle();
    addTestChild("kept", /*modified=*/true);
    addTestChild("closed");
    prompts.answer(ui::Answer::Cancel);
    action("mnuCloseAll")->trigger();
    settle();
    EXPECT_EQ(main->childWindowCount(), 1);
    EXPECT_EQ(fiveItems(), kAllDisabled);
}

TEST_F(ShellTest, WebPageItemOpensTheProductPage) {
    start();
    QList<QUrl> opened;
    shell::setUrlOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    action("mnuParvex")->trigger();
    shell::setUrlOpener({});
    EXPECT_EQ(opened, QList<QUrl>{QUrl("https://www.example.com/products.html")});
}

}  // namespace
}  // namespace parvex::test
