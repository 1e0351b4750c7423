// The 2 KB editor's Read All, Write All and Verify with the adapter pulled out at every one of
// their exchanges, or stalled at a few: the run ends within about two read time-outs, every
// transfer after the fault fails with 170 without reaching the adapter, nothing read so far is
// lost, nothing unwritten passes for written, and the adapter works again once it is back.

#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <algorithm>
#include <vector>

#include "adapter/status_texts.h"
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

    void recover() {
        test::recover(host.controller, host.link, GetParam(), clock);
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

// In the main window the removal notice waits for the event loop: the link meets the pulled
// adapter inside the operation, and the window hears of it only afterwards.
class EepromFaultInMain : public ShellTest, public ::testing::WithParamInterface<Fault> {};

TEST_P(EepromFaultInMain, EveryOperationEndsWith170AndWorksAfterwards) {
    start(true);
    settle();
    auto chip = std::dynamic_pointer_cast<sim::Eeprom24>(virt->adapter().bus().devices().at(0));
    ASSERT_NE(chip, nullptr);
    chip->memory() = pattern(5);
    action("mnu16kbit")->trigger();
    settle();
    auto* w = qobject_cast<eeprom::TfrmSmallEE*>(main->mdiArea()->activeSubWindow()->widget());
    ASSERT_NE(w, nullptr);
    ctl(w).cmbPageSize->setCurrentText(QString::number(kPage));
    ctl(w).btnRead->click();
    ASSERT_EQ(w->image().bytes().bytes, chip->memory());

    const auto text = [](std::uint8_t code) {
        return QString::fromStdString(adapter::statusText(code));
    };
    const struct {
        const char* name;
        QPushButton* button;
        int exchanges;
        QString failed;
        QString done;
    } operations[] = {
        {"Read All", ctl(w).btnRead, kReads, text(status::kNoHardware), text(status::kSuccess)},
        {"Write All", ctl(w).btnWrite, kPages, text(status::kWriteAllFailed),
         text(status::kSuccess)},
        {"Verify", ctl(w).btnVerify, kReads, text(status::kNoHardware),
         text(status::kVerifySuccessful)},
    };
    using shell::MarkupStatusBar;
    for (const auto& op : operations) {
        // Every exchange is swept above; here a handful shows the queued notice changes nothing.
        for (int k : handfulOf(op.exchanges)) {
            SCOPED_TRACE(std::string(op.name) + " at " + std::to_string(k));
            virt->adapter().clearLog();
            arm(*virt, GetParam(), k);
            op.button->click();
            EXPECT_FALSE(virt->scheduledFault().has_value()) << "the fault never struck";
            EXPECT_LE(virt->adapter().outputLog().size(), std::size_t(k) + 1);
            EXPECT_EQ(panel(MarkupStatusBar::StatusPanel), op.failed);
            EXPECT_EQ(main->pnlStatusBar()->panelWidth(MarkupStatusBar::ProgressPanel), 0);
            EXPECT_TRUE(prompts.events.empty());
            settle();

            if (GetParam() == Fault::Unplug) {
                clock.advanceMicros(1'000'000);
                virt->plug();
                settle();
            } else {
                virt->setStalled(false);
                main->link().newUserAction();
            }
            op.button->click();
            EXPECT_EQ(panel(MarkupStatusBar::StatusPanel), op.done);
            EXPECT_EQ(w->image().bytes().bytes, chip->memory());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, EepromFaultInMain, ::testing::Values(Fault::Unplug, Fault::Stall),
                         faultName);

}  // namespace
}  // namespace parvex::test
