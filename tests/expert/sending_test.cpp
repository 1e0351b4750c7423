// Sending records over the real adapter link to the virtual adapter, and the runs' rules on
// what is sent and when they stop.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adapter/adapter_link.h"
#include "common/wait.h"
#include "expert/message_table.h"
#include "expert/sending.h"
#include "expert/sequence.h"
#include "hid/virtual_backend.h"
#include "sim/virtual_adapter.h"
#include "support/null_adapter_window.h"

namespace parvex::expert {
namespace {

class QuietWindow final : public adapter::StatusSink, public test::NullAdapterListener {
public:
    void showStatus(const std::string& markup) override { lastStatus = markup; }
    std::string lastStatus;
};

// A run target that sends through the link, as the window does, and records progress.
class Target final : public RunTarget {
public:
    Target(adapter::Transfers& t, MessageTable& table, bool& ignoreAck)
        : transfers(t), table(table), ignoreAck(ignoreAck) {}
    void showProgress(const std::string& text) override { progress.push_back(text); }
    std::uint8_t SendMessage(int r) override {
        sent.push_back(r);
        return sendWrite(transfers, table, r, ignoreAck);
    }
    std::uint8_t ReceiveMessage(int r) override {
        sent.push_back(-r);
        return sendRead(transfers, table, r, ignoreAck, reply);
    }
    adapter::Transfers& transfers;
    MessageTable& table;
    bool& ignoreAck;
    TUSBI2CReport reply{};
    std::vector<std::string> progress;
    std::vector<int> sent;  // r for writes, -r for reads
};

class Sending : public ::testing::Test {
protected:
    void SetUp() override {
        devices = sim::addDefaultDevices(ctl.adapter().bus());
        ctl.plug();
        link.HIDCtlDeviceChange();
        ASSERT_TRUE(link.attached());
        for (int i = 0; i < 64; ++i) devices.registers->registers()[i] = std::uint8_t(0x10 + i);
        ctl.adapter().clearLog();
    }
    void put(int r, TGridRecord texts) { ASSERT_FALSE(table.pasteRow(r, texts)); }
    std::vector<int> head(const TUSBI2CReport& rep, int n) {
        return std::vector<int>(rep.begin(), rep.begin() + n);
    }

    timing::FakeClock clock;
    timing::ScopedClock scoped{clock};
    hid::VirtualController ctl;
    sim::DefaultDevices devices;
    QuietWindow window;
    adapter::AdapterLink link{ctl, window, window};
    MessageTable table;
    bool ignoreAck = false;
    Target target{link, table, ignoreAck};
};

TEST_F(Sending, WriteGoesOutAsTheRecordWithTheAckBitFromTheToggle) {
    put(1, {"A0", "Write", "00,11,22", "Yes", "0", ""});
    EXPECT_EQ(sendWrite(link, table, 1, false), 0);
    ignoreAck = true;
    EXPECT_EQ(sendWrite(link, table, 1, true), 0);
    const auto& log = ctl.adapter().outputLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(head(log[0], 10), (std::vector<int>{0, 9, 3, 3, 0, 15, 160, 0, 17, 34}));
    EXPECT_EQ(log[1][report::kMessageOptions], 11);
}

TEST_F(Sending, ReadShowsTheBytesReadWithoutChangingTheRecordsData) {
    // Point the register device at register 5, then read two bytes without a stop.
    put(1, {"40", "Write", "05", "Yes", "0", ""});
    put(2, {"40", "Read", "FF,FF", "No", "0", ""});
    ASSERT_EQ(sendWrite(link, table, 1, false), 0);
    TUSBI2CReport reply{};
    ASSERT_EQ(sendRead(link, table, 2, false, reply), 0);
    EXPECT_EQ(table.row(2).DataString, "15,16");
    EXPECT_EQ(head(table.record(2), 9), (std::vector<int>{0, 8, 4, 2, 0, 13, 0x41, 0xFF, 0xFF}));
    ASSERT_EQ(sendRead(link, table, 2, true, reply), 0);
    EXPECT_EQ(ctl.adapter().outputLog().back()[report::kMessageOptions], 9);
}

TEST_F(Sending, AbsentAddressAnswers2UnlessTheAckIsIgnored) {
    put(1, {"20", "Read", "FF", "Yes", "0", ""});
    TUSBI2CReport reply{};
    EXPECT_EQ(sendRead(link, table, 1, false, reply), status::kAddressNack);
    EXPECT_EQ(table.row(1).DataString, "FF");  // a failed read leaves the text
    EXPECT_EQ(sendRead(link, table, 1, true, reply), 0);
}

TEST_F(Sending, EveryExchangeWithTheAdapterPulledFailsWith170) {
    put(1, {"40", "Write", "00", "Yes", "0", ""});
    put(2, {"40", "Read", "FF", "Yes", "0", ""});
    ctl.unplug();
    EXPECT_EQ(sendWrite(link, table, 1, false), status::kNoHardware);
    TUSBI2CReport reply{};
    EXPECT_EQ(sendRead(link, table, 2, false, reply), status::kNoHardware);
    EXPECT_EQ(table.row(2).DataString, "FF");

    // Pulled part-way through Send All: the run stops at the first exchange that fails.
    ctl.plug();
    link.HIDCtlDeviceChange();
    ctl.unplug();
    const RunResult run = runSendAll(table, target);
    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(run.status, status::kNoHardware);
    EXPECT_EQ(target.sent, std::vector<int>{1});
}

TEST_F(Sending, RunsPulledAtEachExchangeStopThereWith170) {
    for (int r = 1; r <= 4; ++r) put(r, {"40", r % 2 ? "Write" : "Read", "05", "Yes", "0", ""});
    Sequence seq;
    seq.set({4, 3, 2, 1});
    for (const bool sequence : {false, true}) {
        for (int k = 0; k < 4; ++k) {
            ctl.plug();
            link.HIDCtlDeviceChange();
            ASSERT_TRUE(link.attached());
            // Pulls the adapter just before the k-th message goes out.
            struct Pulling final : RunTarget {
                Target& inner;
                hid::VirtualController& ctl;
                adapter::AdapterLink& link;
                int k;
                int n = 0;
                Pulling(Target& t, hid::VirtualController& c, adapter::AdapterLink& l, int k)
                    : inner(t), ctl(c), link(l), k(k) {}
                void pullIfDue() {
                    if (n++ != k) return;
                    ctl.unplug();
                    link.HIDCtlDeviceChange();
                }
                void showProgress(const std::string& s) override { inner.showProgress(s); }
                std::uint8_t SendMessage(int r) override {
                    pullIfDue();
                    return inner.SendMessage(r);
                }
                std::uint8_t ReceiveMessage(int r) override {
                    pullIfDue();
                    return inner.ReceiveMessage(r);
                }
            } pulling{target, ctl, link, k};
            target.sent.clear();
            const RunResult run = sequence ? runSequencePass(table, seq, seq.count(), pulling)
                                           : runSendAll(table, pulling);
            EXPECT_TRUE(run.stopped) << k;
            EXPECT_EQ(run.status, status::kNoHardware) << k;
            EXPECT_EQ(target.sent.size(), static_cast<std::size_t>(k + 1)) << k;
        }
    }
}

TEST_F(Sending, SendAllSkipsEmptyDataStopsAtAFailureAndWaitsEachDelay) {
    put(1, {"40", "Write", "00", "Yes", "7", ""});
    put(3, {"20", "Write", "00", "Yes", "5", ""});  // nobody at 20
    put(4, {"40", "Read", "FF", "Yes", "0", ""});
    RunResult run = runSendAll(table, target);
    EXPECT_EQ(run.status, status::kAddressNack);
    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(target.sent, (std::vector<int>{1, 3}));
    EXPECT_EQ(target.progress, (std::vector<std::string>{"Sending Msg# 1", "Sending Msg# 3"}));
    EXPECT_EQ(clock.totalSleptMillis(), 7u);

    MessageTable blank;
    Target idle{link, blank, ignoreAck};
    run = runSendAll(blank, idle);
    EXPECT_EQ(run.status, 0);
    EXPECT_FALSE(run.stopped);
    EXPECT_TRUE(idle.sent.empty());
    EXPECT_EQ(idle.progress, std::vector<std::string>{"Done"});
}

TEST_F(Sending, SendAllClassesByTheRWTextAndStopsOnADelayThatIsNotANumber) {
    put(1, {"40", "write", "00", "Yes", "0", ""});  // not exactly "Write": sent as a read
    put(2, {"40", "Write", "00", "Yes", "", ""});
    const RunResult run = runSendAll(table, target);
    EXPECT_EQ(target.sent, (std::vector<int>{-1, 2}));
    ASSERT_TRUE(run.error);
    EXPECT_EQ(*run.error, "'' is not a valid integer value.");
    EXPECT_TRUE(run.stopped);
}

TEST_F(Sending, SequencePassesOver11StopsOnOtherFailuresAndSkipsEmptyRecords) {
    put(1, {"40", "Write", "00", "Yes", "2", ""});
    put(3, {"40", "Read", "FF", "Yes", "3", ""});
    put(4, {"20", "Write", "00", "Yes", "0", ""});
    Sequence seq;
    seq.set({3, 1, 2, 20, 3, 4, 1});
    // Message 1 (the second entry) answers 11: the run goes on.
    int calls = 0;
    struct Forcing final : RunTarget {
        Target& inner;
        sim::VirtualAdapter& adapter;
        int& calls;
        Forcing(Target& t, sim::VirtualAdapter& a, int& c) : inner(t), adapter(a), calls(c) {}
        void showProgress(const std::string& s) override { inner.showProgress(s); }
        std::uint8_t SendMessage(int r) override {
            if (++calls == 2) adapter.forceNextStatus(kSequencePassStatus);
            return inner.SendMessage(r);
        }
        std::uint8_t ReceiveMessage(int r) override {
            ++calls;
            return inner.ReceiveMessage(r);
        }
    } forcing{target, ctl.adapter(), calls};
    ctl.adapter().clearLog();
    const RunResult run = runSequencePass(table, seq, seq.count(), forcing);
    EXPECT_EQ(target.sent, (std::vector<int>{-3, 1, -3, 4}));
    EXPECT_EQ(run.status, status::kAddressNack);
    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(target.progress.back(), "Sending Msg # 4");
    EXPECT_EQ(clock.totalSleptMillis(), 3u + 2u + 3u);
}

TEST_F(Sending, SequenceClassesByTheCommandByteAndSendsRecordsBeyondTheTableWithoutDelay) {
    put(8, {"40", "Read", "FF", "Yes", "9", ""});
    table.setRow(8, TGridRecord{"40", "Write", "FF", "Yes", "9", ""});  // text says Write
    while (table.rowCount() > 1) table.deleteRow(1);                    // record 8 moves to 1
    table.record(20) = table.record(1);  // a record left from a larger table
    Sequence seq;
    seq.set({1, 20});
    runSequencePass(table, seq, seq.count(), target);
    EXPECT_EQ(target.sent, (std::vector<int>{-1, -20}));
    EXPECT_EQ(clock.totalSleptMillis(), 9u);
}

TEST_F(Sending, DelayRules) {
    const std::pair<const char*, Delay> cases[] = {
        {"0", {0, std::nullopt}},
        {"-4", {0, std::nullopt}},
        {"250", {250, std::nullopt}},
        {"x", {0, std::string("'x' is not a valid integer value.")}},
    };
    for (const auto& [text, expected] : cases) {
        table.setRow(1, TGridRecord{"40", "Write", "00", "Yes", text, ""});
        const Delay d = delayAfter(table, 1);
        EXPECT_EQ(d.ms, expected.ms) << text;
        EXPECT_EQ(d.error, expected.error) << text;
    }
    EXPECT_EQ(delayAfter(table, 30).ms, 0u);
}

}  // namespace
}  // namespace parvex::expert
