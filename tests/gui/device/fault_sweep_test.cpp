// The register window's Read All and Write All with the adapter pulled out at every one of
// their exchanges, or stalled at a few, inside the main window: the run ends within about two
// read time-outs with 170, no transfer after the fault reaches the adapter, registers read so
// far keep their values, the others their former ones and a failure mark, and the adapter
// works again once it is back.

#include "support/fault_sweep.h"
#include "adapter/status_texts.h"
#include "gui/device/device_fixture.h"

namespace parvex::test {
namespace {

constexpr int kRegisters = 256;
constexpr int kChunk = 32;  // more than 60 registers go in transfers of 32
constexpr int kTransfers = kRegisters / kChunk;

QString hex2(int v) {
    return QString("%1").arg(v, 2, 16, QChar('0')).toUpper();
}

class DeviceFaultSweep : public DeviceTest, public ::testing::WithParamInterface<Fault> {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        big = std::make_shared<sim::RegisterDevice>(0x60, kRegisters);
        virt->adapter().bus().attach(big);
        w = open();
        ASSERT_NE(w, nullptr);
        w->applyDefinition({"Big", "60", kRegisters, {}, {}});
    }

    void fill(int seed) {
        for (int r = 0; r < kRegisters; ++r)
            big->registers()[std::size_t(r)] = std::uint8_t(r * 5 + seed * 11 + 1);
    }
    [[nodiscard]] QStringList cells() const {
        QStringList texts;
        for (int r = 0; r < kRegisters; ++r) texts << cell(w, r);
        return texts;
    }
    [[nodiscard]] QStringList chipTexts() const {
        QStringList texts;
        for (int r = 0; r < kRegisters; ++r) texts << hex2(big->registers()[std::size_t(r)]);
        return texts;
    }
    // Registers from `first` on carry the failure mark, none before.
    void expectMarks(int first) const {
        int wrong = 0;
        for (int r = 0; r < kRegisters; ++r)
            if (cellRole(w, r, Qt::ForegroundRole).isValid() != (r >= first)) ++wrong;
        EXPECT_EQ(wrong, 0) << "registers marked wrongly; the marks should start at " << first;
    }

    void arm(int k) {
        virt->adapter().clearLog();
        startMs = clock.totalSleptMillis();
        test::arm(*virt, GetParam(), k);
    }
    // What follows every faulty run: nothing sent after the fault (but, after a stall, the
    // link's one attempt to get back in step when there was more to send), 170 shown, the
    // run short, and once the notice is through, no adapter left after a pull.
    void expectCutShort(int k, bool moreToSend) {
        EXPECT_FALSE(virt->scheduledFault().has_value()) << "the fault never struck";
        const bool probe = GetParam() == Fault::Stall && moreToSend;
        EXPECT_EQ(virt->adapter().outputLog().size(), std::size_t(k) + (probe ? 1 : 0));
        EXPECT_EQ(status(), QString::fromStdString(adapter::statusText(status::kNoHardware)));
        EXPECT_LE(clock.totalSleptMillis() - startMs, faultCostLimitMs(GetParam()));
        EXPECT_TRUE(prompts.events.empty());
        settle();
        if (GetParam() == Fault::Unplug) {
            EXPECT_FALSE(main->link().attached());
        }
    }
    // The adapter is plugged back in, or the stall ends and the user acts again.
    void recover() {
        test::recover(*virt, main->link(), GetParam(), clock);
        settle();
        virt->adapter().clearLog();
    }

    std::shared_ptr<sim::RegisterDevice> big;
    device::TfrmLongI2C* w = nullptr;
    std::uint64_t startMs = 0;
};

TEST_P(DeviceFaultSweep, ReadAllKeepsWhatItReadAndMarksTheRest) {
    for (int k : exchangesToHit(GetParam(), kTransfers)) {
        SCOPED_TRACE(k);
        const QStringList before = cells();
        fill(k);
        arm(k);

        click(w, "btnRead");

        const int read = (k - 1) * kChunk;
        EXPECT_EQ(cells(), chipTexts().mid(0, read) + before.mid(read));
        expectMarks(read);
        EXPECT_TRUE(w->DeviceModified());
        expectCutShort(k, k < kTransfers);

        recover();
        click(w, "btnRead");
        EXPECT_EQ(status(), QString::fromStdString(adapter::statusText(status::kSuccess)));
        EXPECT_EQ(cells(), chipTexts());
        expectMarks(kRegisters);
    }
}

TEST_P(DeviceFaultSweep, WriteAllStopsSendingAtTheFault) {
    fill(1);
    click(w, "btnRead");
    const std::vector<std::uint8_t> values = big->registers();
    const QStringList texts = cells();
    for (int k : exchangesToHit(GetParam(), kTransfers)) {
        SCOPED_TRACE(k);
        big->registers().assign(kRegisters, 0);
        arm(k);

        click(w, "btnWrite");

        // The faulty transfer itself may have reached the chip; none after it did.
        const auto& chip = big->registers();
        const int written = (k - 1) * kChunk;
        EXPECT_TRUE(std::equal(values.begin(), values.begin() + written, chip.begin()));
        EXPECT_TRUE(std::all_of(chip.begin() + written + kChunk, chip.end(),
                                [](std::uint8_t b) { return b == 0; }));
        EXPECT_EQ(cells(), texts);
        expectMarks(kRegisters);
        EXPECT_TRUE(w->DeviceModified());
        // Write All goes on after a failed transfer: the later ones fail at once.
        expectCutShort(k, k < kTransfers);

        recover();
        click(w, "btnWrite");
        EXPECT_EQ(status(), QString::fromStdString(adapter::statusText(status::kSuccess)));
        EXPECT_EQ(big->registers(), values);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, DeviceFaultSweep, ::testing::Values(Fault::Unplug, Fault::Stall),
                         faultName);

}  // namespace
}  // namespace parvex::test
