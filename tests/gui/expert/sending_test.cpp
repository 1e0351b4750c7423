// Sending from the expert window to the virtual adapter's register device at 40.

#include <QDir>
#include <QFile>
#include <QTimer>

#include "expert/SequenceEditor.h"
#include "gui/expert/expert_fixture.h"

namespace parvex::test {
namespace {

class ExpertSending : public ExpertTest {
protected:
    // Message 1 writes registers 5 and 6, message 2 points back at 5, message 3 reads two
    // bytes from there without a stop.
    void composeThree() {
        compose(1, {"40", false, false, {"05", "AA", "BB"}});
        compose(2, {"40", false, false, {"05"}, 4});
        compose(3, {"40", true, true, {"FF", "FF"}});
        virt->adapter().clearLog();
    }
    void setSequence(const std::vector<const char*>& cells) {
        QTest::mouseDClick(find<QLineEdit>("edtSequence"), Qt::LeftButton);
        auto* dialog = expert::TfrmSequenceEditor::instance();
        ASSERT_NE(dialog, nullptr);
        auto* grid = in<QTableWidget>(dialog, "grdSequencer");
        for (int c = 0; c < 64; ++c)
            grid->item(0, c)->setText(c < int(cells.size()) ? QString::fromLatin1(cells[c]) : "");
        in<QAbstractButton>(dialog, "btnOK")->click();
    }
};

TEST_F(ExpertSending, SendMessageWritesAndReadsTheExactRecords) {
    composeThree();
    EXPECT_EQ(cell(3, expert::colAddress), "41");
    selectRow(1);
    click("btnSendOne");
    selectRow(2);
    click("btnSendOne");
    selectRow(3);
    click("btnSendOne");
    const auto sent = sentMessages();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(head(sent[0], 10), (std::vector<int>{0, 9, 3, 3, 0, 15, 0x40, 5, 0xAA, 0xBB}));
    EXPECT_EQ(head(sent[2], 9), (std::vector<int>{0, 8, 4, 2, 0, 13, 0x41, 0xFF, 0xFF}));
    EXPECT_EQ(registers->registers()[5], 0xAA);
    EXPECT_EQ(cell(3, expert::colData), "AA,BB");
    EXPECT_EQ(panel(0), statusOf(0));
    EXPECT_EQ(label("lblSending"), "Idle");
    EXPECT_EQ(clock.totalSleptMillis(), 0u);  // Send Message waits no delay

    // Reopening the read message shows the bytes read as its bytes.
    expert::TfrmEditor* e = editRow(3);
    EXPECT_EQ(in<QTableWidget>(e, "grdWrite")->item(0, 1)->text(), "BB");
    in<QAbstractButton>(e, "btnOK")->click();
}

TEST_F(ExpertSending, SendAllSendsInOrderWaitsDelaysAndShowsTheBytesRead) {
    composeThree();
    click("btnSendAll");
    EXPECT_EQ(sentMessages().size(), 3u);
    EXPECT_EQ(cell(3, expert::colData), "AA,BB");
    EXPECT_EQ(label("lblSending"), "Done");
    EXPECT_EQ(panel(0), statusOf(0));
    EXPECT_EQ(clock.totalSleptMillis(), 4u);
}

TEST_F(ExpertSending, SendAllStopsAtTheFirstFailure) {
    composeThree();
    compose(2, {"20", false, false, {"05"}});  // nobody answers at 20
    virt->adapter().clearLog();
    click("btnSendAll");
    EXPECT_EQ(sentMessages().size(), 2u);
    EXPECT_EQ(label("lblSending"), "Sending Msg# 2");
    EXPECT_EQ(panel(0), statusOf(status::kAddressNack));
    EXPECT_EQ(cell(3, expert::colData), "FF,FF");
}

TEST_F(ExpertSending, IgnoreAckLetsAMessageToAnAbsentAddressThrough) {
    compose(1, {"20", false, false, {"00"}});
    virt->adapter().clearLog();
    selectRow(1);
    click("btnSendOne");
    EXPECT_EQ(panel(0), statusOf(status::kAddressNack));
    click("btnIgnore");
    EXPECT_TRUE(find<QAbstractButton>("btnIgnore")->isChecked());
    click("btnSendOne");
    EXPECT_EQ(panel(0), statusOf(0));
    const auto sent = sentMessages();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0][report::kMessageOptions], 15);
    EXPECT_EQ(sent[1][report::kMessageOptions], 11);
}

TEST_F(ExpertSending, EverySendWithTheAdapterPulledStopsWith170) {
    composeThree();
    setSequence({"1", "3"});
    virt->unplug();
    settle();
    const struct {
        const char* button;
        const char* progress;
    } cases[] = {{"btnSendOne", "Idle"},
                 {"btnSendAll", "Sending Msg# 1"},
                 {"btnSequence", "Done"},
                 {"btnSendContinuous", "Sending Msg # 1"}};
    for (const auto& c : cases) {
        selectRow(3);
        click(c.button);
        EXPECT_EQ(panel(0), statusOf(status::kNoHardware)) << c.button;
        EXPECT_EQ(label("lblSending"), c.progress) << c.button;
    }
    EXPECT_EQ(sendContinuousCaption(), "Send Continuously");
    EXPECT_EQ(cell(3, expert::colData), "FF,FF");
}

TEST_F(ExpertSending, SequenceEditorSetsTheSequenceAndRefusesNumbersAbove64) {
    setSequence({"1", "2", "2"});
    EXPECT_EQ(label("edtSequence"), "01,02,02");
    auto* dialog = expert::TfrmSequenceEditor::instance();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Sequence Editor");

    setSequence({"5", "", "0", "12"});
    EXPECT_EQ(label("edtSequence"), "05,12");

    setSequence({"3", "65"});
    EXPECT_EQ(prompts.texts(), QStringList{"The maximum Msg #\ris 64 in the Sequencer"});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(label("edtSequence"), "05,12");
    dialog->hide();

    // Shown again, the cells come from the sequence text.
    QTest::mouseDClick(find<QLineEdit>("edtSequence"), Qt::LeftButton);
    EXPECT_EQ(in<QTableWidget>(dialog, "grdSequencer")->item(0, 1)->text(), "12");
    EXPECT_EQ(in<QTableWidget>(dialog, "grdSequencer")->item(0, 2)->text(), "");
    dialog->hide();
}

TEST_F(ExpertSending, SendSequenceFollowsTheSequenceAndLetsStatus11Pass) {
    composeThree();
    setSequence({"3", "1", "2", "3"});
    virt->adapter().forceNextStatus(expert::kSequencePassStatus);  // message 3, first entry
    click("btnSequence");
    const auto sent = sentMessages();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[1][report::kMessageData], 0x05);
    EXPECT_EQ(label("lblSending"), "Done");
    EXPECT_EQ(clock.totalSleptMillis(), 4u);
    EXPECT_EQ(cell(3, expert::colData), "AA,BB");
}

TEST_F(ExpertSending, SendContinuouslyRunsWholePassesUntilStopped) {
    composeThree();
    setSequence({"1", "2", "3"});
    int passes = 0;
    // A click on "Stop Sequencing" lands while the third pass's events are processed.
    std::function<void()> later = [&] {
        if (++passes < 3) {
            QTimer::singleShot(0, later);
            return;
        }
        EXPECT_EQ(sendContinuousCaption(), "Stop Sequencing");
        click("btnSendContinuous");
    };
    QTimer::singleShot(0, later);
    click("btnSendContinuous");
    EXPECT_EQ(sentMessages().size(), 9u);
    EXPECT_EQ(sendContinuousCaption(), "Send Continuously");
    EXPECT_EQ(label("lblSending"), "Sending Msg # 3");
}

TEST_F(ExpertSending, AnEmptySequenceRunsUntilStopped) {
    QTimer::singleShot(0, [&] { click("btnSendContinuous"); });
    click("btnSendContinuous");
    EXPECT_TRUE(sentMessages().empty());
    EXPECT_EQ(sendContinuousCaption(), "Send Continuously");
    click("btnSequence");
    EXPECT_EQ(label("lblSending"), "Done");
}

TEST_F(ExpertSending, ClosingTheWindowDuringTheContinuousLoopEndsIt) {
    composeThree();
    setSequence({"1", "3"});
    expert::TfrmEditor* editor = editRow(2);
    ASSERT_TRUE(editor->isVisible());
    QPointer<expert::TfrmEditor> watchEditor(editor);
    auto* sequenceEditor = expert::TfrmSequenceEditor::instance();
    QTest::mouseDClick(find<QLineEdit>("edtSequence"), Qt::LeftButton);
    ASSERT_TRUE(sequenceEditor->isVisible());

    QPointer<expert::TfrmMessage> watch(w);
    prompts.answer(ui::Answer::No);  // "Save changes?"
    QTimer::singleShot(0, [&] {
        action("mnuClose")->trigger();
        // Freed in the middle of the loop, as a nested event loop would.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    click("btnSendContinuous");
    settle();
    EXPECT_TRUE(watch.isNull());
    EXPECT_TRUE(watchEditor.isNull());
    EXPECT_FALSE(sequenceEditor->isVisible());
    EXPECT_EQ(sentMessages().size(), 2u);
    EXPECT_EQ(prompts.texts(), QStringList{"Save changes?"});
    w = nullptr;

    // A new window starts fresh; the sequence editor then works on it.
    w = open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(grid()->model()->rowCount(), 8);
    setSequence({"4"});
    EXPECT_EQ(label("edtSequence"), "04");
}

TEST_F(ExpertSending, ADelayThatIsNotANumberEndsTheRunsWithAMessage) {
    composeThree();
    // Only a data file can give a message such a delay.
    const QString path = QDir::temp().filePath(QStringLiteral("parvex-expert-delay.txt"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Expert Mode Data File\r\n40,Write,Yes,,05\r\nSequence:01\r\n");
    }
    prompts.answer(ui::Answer::No);
    prompts.chooseFile(path);
    trigger("mnuOpen");
    prompts.clear();
    click("btnSendAll");
    click("btnSequence");
    click("btnSendContinuous");
    EXPECT_EQ(prompts.texts(), QStringList(3, "'' is not a valid integer value."));
    EXPECT_EQ(panel(0), statusOf(0));
    EXPECT_EQ(label("lblSending"), "Sending Msg # 1");
    // The caption stays: the next click only resets it.
    EXPECT_EQ(sendContinuousCaption(), "Stop Sequencing");
    click("btnSendContinuous");
    EXPECT_EQ(sendContinuousCaption(), "Send Continuously");
    EXPECT_EQ(sentMessages().size(), 3u);  // one message per run
    QFile::remove(path);
}

}  // namespace
}  // namespace parvex::test
