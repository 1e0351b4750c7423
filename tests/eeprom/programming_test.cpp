// Programming at the chip's own speed, over the adapter link on the virtual adapter with its
// 2048-byte EEPROM (16-byte pages): write-completion polling, the measured write cycle,
// writing only what changed, every verify difference, and the size check after a read.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "adapter/adapter_link.h"
#include "common/wait.h"
#include "eeprom/bus_ops.h"
#include "eeprom/image.h"
#include "hid/virtual_backend.h"
#include "sim/virtual_adapter.h"
#include "support/hooked_transfers.h"
#include "support/null_adapter_window.h"

namespace parvex::eeprom {
namespace {

std::vector<std::uint8_t> randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::vector<std::uint8_t> bytes(n);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(gen());
    return bytes;
}

class Programming : public ::testing::Test {
protected:
    void SetUp() override {
        devices = sim::addDefaultDevices(ctl.adapter().bus());
        chip().setWriteCycleMs(3);
        ctl.plug();
        link.HIDCtlDeviceChange();
        ASSERT_TRUE(link.attached());
        image.setBytes(0, randomBytes(2048, 1));
        bus.setTarget(link);
        // Nothing may be written into a chip that is still programming the last page.
        bus.beforeTransfer = [this](int) {
            if (chip().busy()) ++transfersIntoBusyChip;
        };
    }
    sim::Eeprom24& chip() { return *devices.eeprom; }
    WriteOptions polled(std::uint32_t writeTimeMs = 10) {
        WriteOptions o;
        o.writeTimeMs = writeTimeMs;
        o.pollCompletion = true;
        return o;
    }
    // Page writes the adapter received: their first byte addresses.
    std::vector<int> pagesSent() {
        std::vector<int> pages;
        for (const TUSBI2CReport& r : ctl.adapter().outputLog()) {
            if (r[report::kCommand] != cmdTransfer || r[report::kWriteCount] < 2) continue;
            pages.push_back((r[report::kAddress] - 0xA0) / 2 * 256 + r[report::kWriteData]);
        }
        return pages;
    }

    timing::FakeClock fakeClock;
    timing::ScopedClock scopedClock{fakeClock};
    hid::VirtualController ctl;
    sim::DefaultDevices devices;
    test::NullStatusSink sink;
    test::NullAdapterListener listener;
    adapter::AdapterLink link{ctl, sink, listener};
    // The probes go through the hook too; only a chip busy at a probe is expected.
    struct ProbeAware : test::HookedTransfers {
        int probes = 0;
        std::uint8_t I2CDeviceWrite(const TUSBI2CReport& out) override {
            ++probes;
            const std::function<void(int)> hook = std::move(beforeTransfer);
            const std::uint8_t status = HookedTransfers::I2CDeviceWrite(out);
            beforeTransfer = hook;
            return status;
        }
    } bus;
    int transfersIntoBusyChip = 0;
    Image image{2048};
};

TEST_F(Programming, ProbeIsAnEmptyWriteMessageWithStopAndAcknowledgeChecked) {
    const TUSBI2CReport probe = writeProbeReport(0xA7);
    TUSBI2CReport expected{};
    expected[1] = 6;
    expected[2] = cmdWriteMessage;
    expected[5] = 15;
    expected[6] = 0xA6;
    EXPECT_EQ(probe, expected);
}

TEST_F(Programming, PollingEndsEachPageAsSoonAsTheChipIsReadyAndMeasuresItsCycle) {
    struct Case {
        std::uint32_t linkMs;
        std::uint64_t cycleUs;  // measured for every page
        std::uint64_t writeAllMs;
    };
    // Without link time the probes are 1 ms apart; with 2 ms the write's answer and each
    // probe take 2 ms: write at 1 ms in, probes carried out at 3 ms (busy) and 5 ms.
    for (const Case& c : {Case{0, 3000, 128 * 3}, Case{2, 4000, 128 * 6}}) {
        SCOPED_TRACE(c.linkMs);
        ctl.setLinkTimeMs(c.linkMs);
        const std::uint64_t start = fakeClock.nowMicros();
        const WriteAllOutcome out = writeAll(bus, image, 0xA0, 16, polled());
        EXPECT_EQ(out.status, 0);
        EXPECT_EQ(out.pagesWritten, 128);
        EXPECT_EQ(chip().memory(), image.bytes().bytes);
        EXPECT_EQ(transfersIntoBusyChip, 0);
        ASSERT_EQ(out.cycleUs.size(), 128u);
        for (const std::uint64_t us : out.cycleUs) EXPECT_EQ(us, c.cycleUs);
        EXPECT_TRUE(out.pagesAtLimit.empty());
        EXPECT_EQ(fakeClock.nowMicros() - start, c.writeAllMs * 1000);
        chip().memory().assign(2048, 0xFF);
        fakeClock.advanceMicros(100'000);
    }
}

TEST_F(Programming, ChipAtOrBeyondTheWriteTime) {
    struct Case {
        std::uint32_t cycleMs;
        std::uint8_t status;
        int pagesWritten;
        std::size_t atLimit;
        const char* summary;
    };
    const Case cases[] = {
        {9, 0, 128, 0, "Cycle 9.0/9.0/9.0 ms"},
        {10, 0, 128, 128, "128 pages took all 10 ms; Cycle 10.0/10.0/10.0 ms"},
        {11, 255, 0, 0, "Chip busy after page 000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cycleMs);
        chip().setWriteCycleMs(c.cycleMs);
        fakeClock.advanceMicros(100'000);
        ctl.adapter().clearLog();
        const WriteAllOutcome out = writeAll(bus, image, 0xA0, 16, polled(10));
        EXPECT_EQ(out.status, c.status);
        EXPECT_EQ(out.pagesWritten, c.pagesWritten);
        EXPECT_EQ(out.pagesAtLimit.size(), c.atLimit);
        EXPECT_EQ(writeSummary(out).text, c.summary);
        EXPECT_EQ(writeSummary(out).warning, c.atLimit > 0 || c.status != 0);
        if (c.atLimit > 0) {
            EXPECT_EQ(writeSummary(out).detail,
                      "128 pages took the whole write time of 10 ms: 000, 010, 020, 030 and 124 "
                      "more. Write cycle: shortest 10.0 ms, median 10.0 ms, longest 10.0 ms.");
        }
        EXPECT_EQ(transfersIntoBusyChip, 0);
        // A chip that stays busy ends the run at its first page.
        if (c.status != 0) {
            EXPECT_EQ(pagesSent(), std::vector<int>{0});
        }
    }
}

TEST_F(Programming, MeasuredCycleSummaryTakesShortestMedianAndLongest) {
    EXPECT_FALSE(summariseCycles({}));
    const auto odd = summariseCycles({5000, 3000, 4100});
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->shortestUs, 3000u);
    EXPECT_EQ(odd->medianUs, 4100u);
    EXPECT_EQ(odd->longestUs, 5000u);
    EXPECT_EQ(summariseCycles({4000, 3000, 6000, 5000})->medianUs, 4000u);
}

TEST_F(Programming, PollingStopsAtOnceWhenTheAdapterAnswersSomethingElse) {
    // Pulled at the first probe: no further probe, no endless wait.
    ctl.scheduleUnplug(1);
    const WriteAllOutcome out = writeAll(bus, image, 0xA0, 16, polled());
    EXPECT_EQ(out.status, 255);
    EXPECT_EQ(bus.probes, 1);
    EXPECT_EQ(out.busyPage, 0);
}

TEST_F(Programming, PulledAtEachExchangeEveryRunEndsAndSaysSo) {
    WriteOptions options = polled();
    options.onlyChanged = true;
    const std::vector<std::uint8_t> wanted = image.bytes().bytes;
    // Reads of the whole chip (64), one page written, its probes (1 at 0 link time: 3 ms
    // of probes a millisecond apart, so 4).
    for (unsigned at = 0; at < 64 + 1 + 4; ++at) {
        SCOPED_TRACE(at);
        chip().memory() = wanted;
        chip().memory()[0x123] ^= 1;
        ctl.plug();
        link.HIDCtlDeviceChange();
        ASSERT_TRUE(link.attached());
        fakeClock.advanceMicros(100'000);
        ctl.scheduleUnplug(at);
        const WriteAllOutcome out = writeAll(bus, image, 0xA0, 16, options);
        EXPECT_EQ(out.status, 255);
        EXPECT_EQ(out.pagesWritten, 0);
        ctl.unplug();
        link.HIDCtlDeviceChange();
    }
}

TEST_F(Programming, WriteByteIsPolledToo) {
    image.setByte(0x345, 0x5A);
    const WriteByteOutcome out = writeByte(bus, image, 0xA0, 0x345, 10);
    EXPECT_EQ(out.status, 0);
    ASSERT_TRUE(out.poll);
    EXPECT_TRUE(out.poll->acknowledged);
    EXPECT_EQ(out.poll->elapsedUs, 3000u);
    EXPECT_EQ(chip().memory()[0x345], 0x5A);
    EXPECT_EQ(writeByteSummary(out, 10).text, "Write cycle 3.0 ms");

    chip().setWriteCycleMs(50);
    fakeClock.advanceMicros(100'000);
    const WriteByteOutcome busy = writeByte(bus, image, 0xA0, 0x345, 10);
    EXPECT_FALSE(busy.poll->acknowledged);
    EXPECT_EQ(busy.poll->status, status::kAddressNack);
    EXPECT_EQ(writeByteSummary(busy, 10).text, "Chip busy after the write");

    // Without polling nothing is probed.
    fakeClock.advanceMicros(100'000);
    bus.probes = 0;
    EXPECT_FALSE(writeByte(bus, image, 0xA0, 0x345).poll);
    EXPECT_EQ(bus.probes, 0);
}

TEST_F(Programming, PolledWriteBytePulledAtEachExchangeNeverPassesForDone) {
    image.setByte(0x010, 0x77);
    // The write, then its probes a millisecond apart until the 3 ms cycle ends.
    for (unsigned at = 0; at < 1 + 4; ++at) {
        SCOPED_TRACE(at);
        ctl.plug();
        link.HIDCtlDeviceChange();
        ASSERT_TRUE(link.attached());
        fakeClock.advanceMicros(100'000);
        ctl.scheduleUnplug(at);
        const WriteByteOutcome out = writeByte(bus, image, 0xA0, 0x010, 10);
        const bool done = out.status == 0 && out.poll && out.poll->acknowledged;
        EXPECT_FALSE(done);
        if (out.poll) {
            EXPECT_EQ(out.poll->status, status::kNoHardware);
        }
        ctl.unplug();
        link.HIDCtlDeviceChange();
    }
}

TEST_F(Programming, WriteOnlyChangedWritesExactlyTheDifferingPages) {
    chip().memory() = image.bytes().bytes;
    // Differences in pages 000, 110 (twice) and 7F0 (its last byte).
    for (const int a : {0x000, 0x113, 0x11F, 0x7FF})
        image.setByte(a, static_cast<std::uint8_t>(chip().memory()[std::size_t(a)] ^ 0xFF));
    image.markFailed(0x400, 4);
    WriteOptions options = polled();
    options.onlyChanged = true;
    ctl.adapter().clearLog();
    const WriteAllOutcome out = writeAll(bus, image, 0xA0, 16, options);
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(pagesSent(), (std::vector<int>{0x000, 0x110, 0x7F0}));
    EXPECT_EQ(out.pagesWritten, 3);
    EXPECT_EQ(out.pagesTotal, 128);
    EXPECT_EQ(chip().memory(), image.bytes().bytes);
    EXPECT_EQ(writeSummary(out).text.rfind("Wrote 3 of 128 pages; Cycle 3.0/3.0/3.0 ms", 0), 0u)
        << writeSummary(out).text;
    // The grid and the chip agree everywhere now: no cell stays marked.
    EXPECT_FALSE(image.anyMarked());

    // An equal image: nothing written, and a success.
    ctl.adapter().clearLog();
    const WriteAllOutcome same = writeAll(bus, image, 0xA0, 16, options);
    EXPECT_EQ(same.status, 0);
    EXPECT_TRUE(pagesSent().empty());
    EXPECT_EQ(writeSummary(same).text, "Wrote 0 of 128 pages");
}

TEST_F(Programming, WriteOnlyChangedWritesThePagesItCouldNotRead) {
    chip().memory() = image.bytes().bytes;
    ctl.adapter().clearLog();
    ctl.adapter().forceNextStatus(status::kAddressNack);  // the first read, bytes 000 to 01F
    WriteOptions options;
    options.onlyChanged = true;
    const WriteAllOutcome out = writeAll(bus, image, 0xA0, 16, options);
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(pagesSent(), (std::vector<int>{0x000, 0x010}));
    EXPECT_EQ(fakeClock.totalSleptMillis(), 2u * 10);
}

TEST_F(Programming, VerifyFindsEveryDifferenceAndReportsTheFirst) {
    chip().memory() = image.bytes().bytes;
    const std::vector<int> differing{0x005, 0x3FF, 0x400, 0x7FF};
    for (const int a : differing) chip().memory()[std::size_t(a)] ^= 0x10;
    const VerifyOutcome out = verify(bus, image, 0xA0);
    EXPECT_EQ(out.status, 153);
    EXPECT_EQ(out.mismatchAddress, 0x005);
    EXPECT_EQ(out.differences, differing);
    EXPECT_EQ(differenceCountText(out.differences.size()), "4 bytes differ");
    EXPECT_EQ(differenceCountText(1), "1 byte differs");

    // A read failing after a difference keeps the first difference as the result.
    ctl.scheduleUnplug(40);
    const VerifyOutcome cut = verify(bus, image, 0xA0);
    EXPECT_EQ(cut.status, 153);
    EXPECT_EQ(cut.mismatchAddress, 0x005);
    EXPECT_EQ(cut.differences, (std::vector<int>{0x005, 0x3FF, 0x400}));
}

TEST_F(Programming, DifferenceMarksReplaceEachOtherAndGoWithTheCell) {
    image.markFailed(0x10, 1);
    image.markDiffering({0x01, 0x02, 0x10});
    EXPECT_TRUE(image.differs(0x01));
    EXPECT_TRUE(image.failed(0x10)) << "a cell that could not be read stays so marked";
    image.markDiffering({0x03});
    EXPECT_FALSE(image.differs(0x01));
    EXPECT_TRUE(image.differs(0x03));
    image.setByte(0x03, 0);
    EXPECT_FALSE(image.differs(0x03));
    image.clearFailed(0, 2048);
    EXPECT_FALSE(image.anyMarked());
}

TEST(MirrorSpan, SecondHalfRepeatingTheFirst) {
    const std::vector<std::uint8_t> random = randomBytes(2048, 7);
    auto repeated = [&](std::size_t span, std::size_t size) {
        std::vector<std::uint8_t> b(size);
        for (std::size_t a = 0; a < size; ++a) b[a] = random[a % span];
        return b;
    };
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::optional<int> span;
    };
    std::vector<std::uint8_t> almost = repeated(1024, 2048);
    almost[2047] ^= 1;
    const Case cases[] = {
        {"random", random, std::nullopt},
        {"1 KB read as 2 KB", repeated(1024, 2048), 1024},
        {"256 bytes read as 2 KB", repeated(256, 2048), 256},
        {"128 bytes read as 256", repeated(128, 256), 128},
        {"one byte off", almost, std::nullopt},
        {"erased", std::vector<std::uint8_t>(2048, 0xFF), std::nullopt},
        {"the 16-byte device", repeated(8, 16), std::nullopt},
        {"an eight-byte pattern", repeated(8, 2048), 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(mirrorSpan(c.bytes), c.span);
    }
    EXPECT_EQ(mirrorWarning(1024), "Image repeats every 1024 bytes");
}

}  // namespace
}  // namespace parvex::eeprom
