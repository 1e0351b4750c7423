// The 2 KB editor's Read All, Write All and Verify with the adapter pulled out at every one of
// their exchanges, or stalled at a few: the run ends within about two read time-outs, every
// transfer after the fault fails with 170 without reaching the adapter, nothing read so far is
// lost, nothing unwritten passes for written, and the adapter works again once it is back.

#include <QComboBox>
#include <algorithm>
#include <vector>

#include "gui/eeprom/editor_fixture.h"
#include "support/fault_sweep.h"

namespace parvex::test {
namespace {

constexpr int kSize = 2048;
constexpr int kPage = 16;
constexpr int kReads = kSize / 32;
constexpr int kPages = kSize / kPage;
constexpr std::uint32_t kWriteTimeMs = 10;

std::vector<std::uint8_t> pattern(int seed) {
    std::vector<std::uint8_t> bytes(kSize);
    for (int i = 0; i < kSize; ++i) bytes[std::size_t(i)] = std::uint8_t(i * 13 + seed * 7 + 1);
    return bytes;
}

// k - 1 successes, then 170 for the faulty transfer and each of the `later` after it.
std::vector<std::uint8_t> okThenNoHardware(int k, int later) {
    std::vector<std::uint8_t> s(std::size_t(k - 1), status::kSuccess);
    s.insert(s.end(), std::size_t(later) + 1, status::kNoHardware);
    return s;
}

class EepromFaultSweep : public EditorTest, public ::testing::WithParamInterface<Fault> {
protected:
    void SetUp() override {
        chip = host.plugWithChip(kSize, kPage);
        w = host.openEditor(kSize);
        ctl(w).cmbPageSize->setCurrentText(QString::number(kPage));
        ASSERT_EQ(ctl(w).spnWriteCycle->value(), int(kWriteTimeMs));
    }

    std::vector<int> exchangesToHit(int n) const { return test::exchangesToHit(GetParam(), n); }

    // The fault will strike exchange k of the next operation.
    void arm(int k) {
        forget();
        test::arm(host.controller, GetParam(), k);
    }
    void forget() {
        host.controller.cancelScheduledFault();
        host.controller.adapter().clearLog();
        host.statuses.clear();
        startMs = clock.totalSleptMillis();
    }

    // The reports the adapter took: up to the faulty one, and after a stall the link's one
    // attempt to get back in step when the operation had more to send.
    void expectNothingSentAfter(int k, bool moreToSend) {
        EXPECT_FALSE(host.controller.scheduledFault().has_value()) << "the fault never struck";
        const bool probe = GetParam() == Fault::Stall && moreToSend;
        EXPECT_EQ(host.controller.adapter().outputLog().size(), std::size_t(k) + (probe ? 1 : 0));
        if (GetParam() == Fault::Unplug) {
            EXPECT_FALSE(host.link.attached());
        }
    }
    // Time beyond the write waits of the pages written before the fault.
    void expectQuickEnd(std::uint64_t waitsMs = 0) {
        EXPECT_LE(clock.totalSleptMillis() - startMs, waitsMs + faultCostLimitMs(GetParam()));
    }

    // The adapter is plugged back in, or the stall ends and the user acts again.
    void recover() {
        if (GetParam() == Fault::Unplug) {
            // Plugging back in takes the user a while: a page write the pull cut short has
            // long finished in the chip.
            clock.advanceMicros(1'000'000);
            host.controller.plug();
        } else {
            host.controller.setStalled(false);
            host.link.newUserAction();
        }
        forget();
    }

    void expectMarks(int firstFailed) {
        int wrong = 0;
        for (int a = 0; a < kSize; ++a)
            if (w->image().failed(a) != (a >= firstFailed)) ++wrong;
        EXPECT_EQ(wrong, 0) << "cells marked wrongly; the marks should start at " << firstFailed;
    }

    // What the user sees: the hex grid's texts and its failure colour.
    void expectGridShows(const std::vector<std::uint8_t>& bytes, int firstFailed) {
        QAbstractItemModel* hex = ctl(w).stgMemory->model();
        int wrong = 0;
        for (int a = 0; a < kSize; ++a) {
            const QModelIndex cell = hex->index(a / 16, a % 16);
            const QString text =
                QString("%1").arg(bytes[std::size_t(a)], 2, 16, QChar('0')).toUpper();
            if (hex->data(cell).toString() != text ||
                hex->data(cell, Qt::ForegroundRole).isValid() != (a >= firstFailed))
                ++wrong;
        }
        EXPECT_EQ(wrong, 0) << "cells shown wrongly";
    }

    std::vector<std::uint8_t> imageBytes() const { return w->image().bytes().bytes; }

    std::shared_ptr<sim::Eeprom24> chip;
    eeprom::TfrmSmallEE* w = nullptr;
    std::uint64_t startMs = 0;
};

TEST_P(EepromFaultSweep, ReadAllKeepsWhatItReadAndMarksTheRest) {
    for (int k : exchangesToHit(kReads)) {
        SCOPED_TRACE(k);
        // The cells hold the previous chip contents; the chip now holds others.
        const std::vector<std::uint8_t> before = imageBytes();
        chip->memory() = pattern(k);
        arm(k);

        ctl(w).btnRead->click();

        const int readBytes = (k - 1) * 32;
        std::vector<std::uint8_t> expected = chip->memory();
        std::copy(before.begin() + readBytes, before.end(), expected.begin() + readBytes);
        EXPECT_EQ(imageBytes(), expected);
        expectMarks(readBytes);
        expectGridShows(expected, readBytes);
        EXPECT_EQ(host.statuses, okThenNoHardware(k, kReads - k));
        EXPECT_EQ(host.status, statusOf(status::kNoHardware));
        EXPECT_FALSE(w->Modified());
        EXPECT_TRUE(w->busButtonsAttached());
        expectNothingSentAfter(k, k < kReads);
        expectQuickEnd();

        recover();
        ctl(w).btnRead->click();
        EXPECT_EQ(host.statuses, std::vector<std::uint8_t>(kReads, status::kSuccess));
        EXPECT_EQ(imageBytes(), chip->memory());
        expectMarks(kSize);
        expectGridShows(chip->memory(), kSize);
    }
}

TEST_P(EepromFaultSweep, WriteAllMarksNoPageWrittenThatWasNot) {
    // An edit makes the window modified; no Write All may make it look saved.
    clickCell(ctl(w).stgMemory, 0, 0);
    typeKeys("5A");
    ASSERT_TRUE(w->Modified());
    ctl(w).btnWrite->click();  // takes the edit in
    const std::vector<std::uint8_t> image = imageBytes();
    ASSERT_EQ(chip->memory(), image);
    const std::vector<std::uint8_t> erased(kSize, 0x00);

    for (int k : exchangesToHit(kPages)) {
        SCOPED_TRACE(k);
        chip->memory() = erased;
        w->image().markFailed(0, kSize);
        host.progress.clear();
        arm(k);

        ctl(w).btnWrite->click();

        const int written = (k - 1) * kPage;
        EXPECT_TRUE(std::equal(image.begin(), image.begin() + written, chip->memory().begin()));
        // The faulty page's report may have reached the chip; nothing after it did.
        EXPECT_TRUE(std::all_of(chip->memory().begin() + written + kPage, chip->memory().end(),
                                [](std::uint8_t b) { return b == 0; }));
        expectMarks(written);
        EXPECT_EQ(host.progress.back(), (k - 1) * 100 / kPages);
        EXPECT_EQ(host.statuses, okThenNoHardware(k, 0));
        EXPECT_EQ(host.status, statusOf(status::kWriteAllFailed));
        EXPECT_TRUE(w->Modified());
        EXPECT_TRUE(w->busButtonsAttached());
        EXPECT_EQ(host.progressWidth, 0);
        EXPECT_EQ(host.statusWidth, 250);
        expectNothingSentAfter(k, false);
        expectQuickEnd(std::uint64_t(k - 1) * kWriteTimeMs);

        recover();
        ctl(w).btnWrite->click();
        EXPECT_EQ(host.status, statusOf(status::kSuccess));
        EXPECT_EQ(chip->memory(), image);
        expectMarks(kSize);
        EXPECT_TRUE(w->Modified());
    }
}

TEST_P(EepromFaultSweep, VerifyEndsWith170AndNoMismatch) {
    chip->memory() = pattern(3);
    w->image().setBytes(0, chip->memory());
    for (int k : exchangesToHit(kReads)) {
        SCOPED_TRACE(k);
        arm(k);

        ctl(w).btnVerify->click();

        EXPECT_EQ(host.statuses, okThenNoHardware(k, 0));
        EXPECT_EQ(host.status, statusOf(status::kNoHardware));
        EXPECT_TRUE(prompts.events.empty()) << "a fault is no difference";
        EXPECT_TRUE(ctl(w).stgMemory->isEnabled());
        EXPECT_EQ(imageBytes(), chip->memory());
        expectNothingSentAfter(k, false);
        expectQuickEnd();

        recover();
        ctl(w).btnVerify->click();
        EXPECT_EQ(host.statuses, std::vector<std::uint8_t>(kReads, status::kSuccess));
        EXPECT_EQ(host.status, statusOf(status::kVerifySuccessful));
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, EepromFaultSweep, ::testing::Values(Fault::Unplug, Fault::Stall),
                         faultName);

}  // namespace
}  // namespace parvex::test
