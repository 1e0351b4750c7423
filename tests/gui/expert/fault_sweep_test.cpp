// Send All and continuous sending with the adapter pulled out at every message, or stalled at
// a few: the run stops at the fault with 170, sends nothing more, keeps the bytes read before
// it, never blocks the window for long, and the next run works once the adapter is back.

#include <QTimer>
#include <functional>

#include "expert/SequenceEditor.h"
#include "gui/expert/expert_fixture.h"
#include "support/fault_sweep.h"

namespace parvex::test {
namespace {

constexpr int kMessages = 5;
constexpr std::uint32_t kDelayMs = 4;  // after message 3

class ExpertFaultSweep : public ExpertTest, public ::testing::WithParamInterface<Fault> {
protected:
    void SetUp() override {
        ExpertTest::SetUp();
        // Two reads, each after a write that points at its registers, and a plain write last.
        compose(1, {"40", false, false, {"05"}});
        compose(2, {"40", true, true, {"FF", "FF"}});
        compose(3, {"40", false, false, {"10"}, int(kDelayMs)});
        compose(4, {"40", true, true, {"FF", "FF"}});
        compose(5, {"40", false, false, {"20", "AA"}});
        ASSERT_TRUE(w->TableModified());
    }

    // Registers the reads see, different for every k.
    void fill(int k) {
        auto& r = registers->registers();
        r[0x05] = std::uint8_t(k);
        r[0x06] = std::uint8_t(k + 0x10);
        r[0x10] = std::uint8_t(k + 0x20);
        r[0x11] = std::uint8_t(k + 0x30);
        r[0x20] = 0;
    }
    static QString pair(int a, int b) {
        return QString("%1,%2").arg(a, 2, 16, QChar('0')).arg(b, 2, 16, QChar('0')).toUpper();
    }
    QString readByMessage2() const {
        return pair(registers->registers()[0x05], registers->registers()[0x06]);
    }
    QString readByMessage4() const {
        return pair(registers->registers()[0x10], registers->registers()[0x11]);
    }

    void arm(int k) {
        virt->adapter().clearLog();
        startMs = clock.totalSleptMillis();
        test::arm(*virt, GetParam(), k);
    }
    // Message k of a run (counting over passes) ran into the fault: it and nothing after it
    // went out, 170 is shown, and the fault held the window up no longer than it may. Once
    // the notice is through, no adapter is left after a pull.
    void expectStoppedAt(int k, std::uint64_t delaysMs) {
        EXPECT_FALSE(virt->scheduledFault().has_value()) << "the fault never struck";
        EXPECT_EQ(sentMessages().size(), std::size_t(k));
        EXPECT_EQ(panel(0), statusOf(status::kNoHardware));
        EXPECT_LE(clock.totalSleptMillis() - startMs, delaysMs + faultCostLimitMs(GetParam()));
        EXPECT_TRUE(prompts.events.empty());
        EXPECT_TRUE(w->TableModified()) << "a run never makes the table look saved";
        // The write the fault cut short may have reached the chip; it was the last.
        if (k < kMessages) {
            EXPECT_EQ(registers->registers()[0x20], 0);
        }
        settle();
        if (GetParam() == Fault::Unplug) {
            EXPECT_FALSE(main->link().attached());
            // Until the adapter is back, every send fails at once.
            click("btnSendAll");
            EXPECT_EQ(sentMessages().size(), std::size_t(k));
            EXPECT_EQ(panel(0), statusOf(status::kNoHardware));
            EXPECT_LE(clock.totalSleptMillis() - startMs, delaysMs + faultCostLimitMs(GetParam()));
        }
    }
    void recover() {
        test::recover(*virt, main->link(), GetParam(), clock);
        settle();
        virt->adapter().clearLog();
    }

    // Clicks "Send Continuously" and lets `passes` whole passes run before "Stop Sequencing"
    // is clicked, unless the run ends before; returns whether the stop click was needed.
    bool sendContinuously(int passes) {
        // A run that ends by itself leaves the stop click pending: it goes with `context`.
        QObject context;
        bool stopped = false;
        int seen = 0;
        std::function<void()> later = [&] {
            if (++seen < passes) {
                QTimer::singleShot(0, &context, later);
                return;
            }
            stopped = true;
            click("btnSendContinuous");
        };
        QTimer::singleShot(0, &context, later);
        click("btnSendContinuous");
        return stopped;
    }
    // The delays waited before message k of the continuous run: one after each message 3.
    static std::uint64_t delaysBefore(int k) {
        std::uint64_t ms = 0;
        for (int j = 1; j < k; ++j)
            if ((j - 1) % kMessages + 1 == 3) ms += kDelayMs;
        return ms;
    }

    std::uint64_t startMs = 0;
};

TEST_P(ExpertFaultSweep, SendAllStopsAtTheFaultAndKeepsWhatItRead) {
    for (int k : exchangesToHit(GetParam(), kMessages)) {
        SCOPED_TRACE(k);
        const QString row2 = cell(2, expert::colData);
        const QString row4 = cell(4, expert::colData);
        fill(k);
        arm(k);

        click("btnSendAll");

        EXPECT_EQ(label("lblSending"), QString("Sending Msg# %1").arg(k));
        EXPECT_EQ(cell(2, expert::colData), k > 2 ? readByMessage2() : row2);
        EXPECT_EQ(cell(4, expert::colData), k > 4 ? readByMessage4() : row4);
        expectStoppedAt(k, delaysBefore(k));

        recover();
        click("btnSendAll");
        EXPECT_EQ(label("lblSending"), "Done");
        EXPECT_EQ(panel(0), statusOf(status::kSuccess));
        EXPECT_EQ(sentMessages().size(), std::size_t(kMessages));
        EXPECT_EQ(cell(2, expert::colData), readByMessage2());
        EXPECT_EQ(cell(4, expert::colData), readByMessage4());
        EXPECT_EQ(registers->registers()[0x20], 0xAA);
    }
}

TEST_P(ExpertFaultSweep, ContinuousSendingEndsAtTheFaultInAnyPass) {
    QTest::mouseDClick(find<QLineEdit>("edtSequence"), Qt::LeftButton);
    auto* dialog = expert::TfrmSequenceEditor::instance();
    ASSERT_NE(dialog, nullptr);
    auto* grid = in<QTableWidget>(dialog, "grdSequencer");
    for (int c = 0; c < kMessages; ++c) grid->item(0, c)->setText(QString::number(c + 1));
    in<QAbstractButton>(dialog, "btnOK")->click();
    ASSERT_EQ(label("edtSequence"), "01,02,03,04,05");

    // Two passes: the fault strikes the first or the second.
    for (int k : exchangesToHit(GetParam(), 2 * kMessages)) {
        SCOPED_TRACE(k);
        const int m = (k - 1) % kMessages + 1;  // the message the fault hits
        const QString row2 = cell(2, expert::colData);
        const QString row4 = cell(4, expert::colData);
        fill(k);
        arm(k);

        EXPECT_FALSE(sendContinuously(3)) << "the run went on after the fault";

        EXPECT_EQ(sendContinuousCaption(), "Send Continuously");
        EXPECT_EQ(label("lblSending"), QString("Sending Msg # %1").arg(m));
        EXPECT_EQ(cell(2, expert::colData), k > 2 ? readByMessage2() : row2);
        EXPECT_EQ(cell(4, expert::colData), k > 4 ? readByMessage4() : row4);
        expectStoppedAt(k, delaysBefore(k));

        recover();
        EXPECT_TRUE(sendContinuously(2));
        EXPECT_EQ(sendContinuousCaption(), "Send Continuously");
        EXPECT_EQ(panel(0), statusOf(status::kSuccess));
        EXPECT_EQ(sentMessages().size(), std::size_t(2 * kMessages));
        EXPECT_EQ(cell(4, expert::colData), readByMessage4());
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, ExpertFaultSweep, ::testing::Values(Fault::Unplug, Fault::Stall),
                         faultName);

}  // namespace
}  // namespace parvex::test
