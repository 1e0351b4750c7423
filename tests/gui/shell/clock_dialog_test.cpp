// The clock dialog: what it sends, what the frequency panel shows, one instance at a time.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "gui/shell/shell_fixture.h"
#include "shell/Bitrate.h"

namespace parvex::test {
namespace {

using shell::MarkupStatusBar;
using shell::TfrmBitrate;

class ClockDialogTest : public ShellTest {
protected:
    TfrmBitrate* open() {
        action("mnuBitRate")->trigger();
        TfrmBitrate* dialog = main->bitrateDialog();
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }
    // Types into the entry as a user would and presses OK.
    void typeAndOk(TfrmBitrate* dialog, const QString& text) {
        QLineEdit* edit = dialog->spinClock()->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        if (!text.isEmpty()) QTest::keyClicks(edit, text);
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        settle();
    }
    // The Hz value of the last cmdSetClock report sent.
    std::uint32_t lastClockSent() const {
        const auto& log = virt->adapter().outputLog();
        for (auto it = log.rbegin(); it != log.rend(); ++it)
            if ((*it)[report::kCommand] == cmdSetClock)
                return std::uint32_t{(*it)[3]} | std::uint32_t{(*it)[4]} << 8 |
                       std::uint32_t{(*it)[5]} << 16 | std::uint32_t{(*it)[6]} << 24;
        ADD_FAILURE() << "no clock report sent";
        return 0;
    }
};

TEST_F(ClockDialogTest, LooksAsDesigned) {
    start();
    settle();
    TfrmBitrate* dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("I²C Frequency"));
    EXPECT_EQ(dialog->size(), QSize(342, 159));
    EXPECT_FALSE(dialog->isModal());
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QSpinBox* spin = dialog->spinClock();
    EXPECT_EQ(spin->minimum(), 1);
    EXPECT_EQ(spin->maximum(), 2000);
    EXPECT_EQ(spin->value(), 100);
    const auto* drive = dialog->findChild<QCheckBox*>("chbDrive");
    ASSERT_NE(drive, nullptr);
    EXPECT_TRUE(drive->isChecked());
    EXPECT_TRUE(drive->isHidden());
    EXPECT_EQ(drive->text(), "Use FM+ output drive");
    EXPECT_EQ(dialog->findChild<QWidget*>("pnlClock")->toolTip(),
              "Click on up/down arrows to increase/decrease frequency");
    EXPECT_EQ(dialog->findChild<QLabel*>("lblNote")->text(),
              "Note: min. I2C clock = 1 kHz                 max. I2C clock = 1 MHz");
    EXPECT_EQ(dialog->findChild<QLabel*>("lblkHz")->text(), "kHz");
}

TEST_F(ClockDialogTest, OkSendsTheAchievableClockAndShowsIt) {
    struct Case {
        const char* typed;
        std::uint32_t sentHz;
        const char* shown;
    };
    const Case cases[] = {
        {"1", 1000, "1"},          {"7", 7000, "7"},       {"333", 333333, "333"},
        {"400", 400000, "400"},    {"700", 705882, "705"}, {"1700", 1714285, "1714"},
        {"2000", 2000000, "2000"},
    };
    start();
    settle();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        TfrmBitrate* dialog = open();
        ASSERT_NE(dialog, nullptr);
        typeAndOk(dialog, QString::fromLatin1(c.typed));
        EXPECT_EQ(lastClockSent(), c.sentHz);
        EXPECT_EQ(panel(MarkupStatusBar::FrequencyPanel),
                  QStringLiteral(R"(<P align="center">%1 kHz</FONT>)").arg(QLatin1String(c.shown)));
        EXPECT_EQ(main->link().ActualClock(), static_cast<std::int32_t>(c.sentHz));
        // OK frees the dialog.
        EXPECT_EQ(main->bitrateDialog(), nullptr);
    }
    // 333 kHz: bytes 3 to 6 are 21, 22, 5, 0, and byte 7 is 1.
    TfrmBitrate* dialog = open();
    typeAndOk(dialog, "333");
    const TUSBI2CReport& sent = virt->adapter().outputLog().back();
    EXPECT_EQ(sent[3], 21);
    EXPECT_EQ(sent[4], 22);
    EXPECT_EQ(sent[5], 5);
    EXPECT_EQ(sent[6], 0);
    EXPECT_EQ(sent[7], 1);
}

TEST_F(ClockDialogTest, EmptyOrOutOfRangeEntriesNeverSendZero) {
    start();
    settle();
    // An empty entry keeps the value it had.
    typeAndOk(open(), "");
    EXPECT_EQ(lastClockSent(), 100000u);
    // 0 is below the range and becomes its bottom.
    typeAndOk(open(), "0");
    EXPECT_EQ(lastClockSent(), 1000u);
    EXPECT_EQ(panel(MarkupStatusBar::FrequencyPanel), R"(<P align="center">1 kHz</FONT>)");
    // The entry refuses a digit that would take it past 2000: "99999" stays 999 kHz.
    typeAndOk(open(), "99999");
    EXPECT_EQ(lastClockSent(), 1000000u);
    // Emptied after typing, the entry keeps the last value it held.
    TfrmBitrate* dialog = open();
    QLineEdit* edit = dialog->spinClock()->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, "45");
    typeAndOk(dialog, "");
    EXPECT_EQ(lastClockSent(), 45028u);  // 48 MHz div 1066
}

TEST_F(ClockDialogTest, OneInstanceKeepsItsValueUntilOk) {
    start();
    settle();
    TfrmBitrate* first = open();
    first->spinClock()->setValue(250);
    QTest::mouseDClick(main->pnlStatusBar()->panel(MarkupStatusBar::FrequencyPanel),
                       Qt::LeftButton);
    TfrmBitrate* second = open();
    EXPECT_EQ(first, second);
    EXPECT_EQ(main->findChildren<TfrmBitrate*>().size(), 1);
    EXPECT_EQ(second->spinClock()->value(), 250);
    QTest::mouseClick(second->okButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(main->findChildren<TfrmBitrate*>().size(), 0);
    // A new dialog shows the clock now in force.
    EXPECT_EQ(open()->spinClock()->value(), 250);
}

TEST_F(ClockDialogTest, OpensWithTheClockTheAdapterReportedAtArrival) {
    start();
    settle();
    typeAndOk(open(), "200");
    // The next arrival reads the port status again: counts of 118 and 118, so 200 kHz.
    virt->plugOtherDevice();
    settle();
    EXPECT_EQ(panel(MarkupStatusBar::FrequencyPanel),
              R"(<P align="center"><FONT color="clWhite">200 kHz</FONT>)");
    EXPECT_EQ(open()->spinClock()->value(), 200);
}

TEST_F(ClockDialogTest, NoAdapterAtOkShowsNoHardwareAndKeepsTheClock) {
    start();
    settle();
    TfrmBitrate* dialog = open();
    virt->unplug();
    settle();
    const QString frequency = panel(MarkupStatusBar::FrequencyPanel);
    virt->adapter().clearLog();
    typeAndOk(dialog, "400");
    EXPECT_EQ(panel(MarkupStatusBar::StatusPanel),
              R"(<P align="center">No Hardware Connected</FONT>)");
    EXPECT_EQ(panel(MarkupStatusBar::FrequencyPanel), frequency);
    EXPECT_EQ(main->link().ActualClock(), 100000);
    EXPECT_TRUE(virt->adapter().outputLog().empty());
    EXPECT_EQ(main->bitrateDialog(), nullptr);
}

}  // namespace
}  // namespace parvex::test
