// Read All and Write All: their transfers, the status they end with, and a whole device
// moved through the real adapter link to the virtual adapter's register device.
#include <gtest/gtest.h>

#include <memory>

#include "adapter/adapter_link.h"
#include "adapter/status_texts.h"
#include "common/wait.h"
#include "device/register_bus.h"
#include "eeprom/fake_transfers.h"
#include "hid/virtual_backend.h"
#include "sim/register_device.h"

namespace parvex::device {
namespace {

using eeprom::test::Call;
using eeprom::test::FakeTransfers;
using Plan = std::vector<Chunk>;

TEST(RegisterBus, Plans) {
    EXPECT_EQ(readAllPlan(60), (Plan{{0, 60}}));
    EXPECT_EQ(readAllPlan(61), (Plan{{0, 32}, {32, 29}}));
    EXPECT_EQ(readAllPlan(1), (Plan{{0, 1}}));
    EXPECT_EQ(readAllPlan(256).size(), 8u);
    EXPECT_EQ(writeAllPlan(10), (Plan{{0, 10}}));
    EXPECT_EQ(writeAllPlan(57), (Plan{{0, 57}}));
    EXPECT_EQ(writeAllPlan(58), (Plan{{0, 32}, {32, 26}})) << "58 values would not fit a report";
    EXPECT_EQ(writeAllPlan(59), (Plan{{0, 32}, {32, 27}}));
    EXPECT_EQ(writeAllPlan(64), (Plan{{0, 32}, {32, 32}}));
    EXPECT_EQ(writeAllPlan(65), (Plan{{0, 32}, {32, 32}, {64, 1}}));
}

TEST(RegisterBus, WriteAllSendsNumBytesWithTheSubaddress) {
    TDeviceDefinition d;
    d.setRegisterCount(65);
    d.RegisterValues[64] = "7";
    FakeTransfers bus;
    bus.base = 0x40;
    const BusOutcome out = writeAll(bus, d, 0x40);
    ASSERT_EQ(bus.calls.size(), 3u);
    EXPECT_EQ(bus.calls[0].subaddress, 0x00);
    EXPECT_EQ(bus.calls[0].count, 33);
    EXPECT_EQ(bus.calls[1].subaddress, 0x20);
    EXPECT_EQ(bus.calls[2].count, 2);
    EXPECT_EQ(bus.calls[2].data, std::vector<std::uint8_t>{0x07});
    EXPECT_EQ(out.status, 0);
}

TEST(RegisterBus, FirstFailureIsTheStatusShownAndLaterTransfersStillRun) {
    TDeviceDefinition d;
    d.setRegisterCount(96);
    FakeTransfers bus;
    bus.base = 0x40;
    bus.memory.assign(256, 0x5A);
    bus.failAt = {{1, 2}};
    const BusOutcome read = readAll(bus, d, 0x40);
    EXPECT_EQ(bus.calls.size(), 3u);
    EXPECT_EQ(read.status, 2) << "not the last transfer's success";
    EXPECT_EQ(d.RegisterValues[31], "5A");
    EXPECT_EQ(d.RegisterValues[32], "FF") << "a failed read changes no value";
    EXPECT_EQ(d.RegisterValues[64], "5A");
    ASSERT_EQ(read.failed.size(), 32u);
    EXPECT_EQ(read.failed.front(), 32);

    FakeTransfers writes;
    writes.failAt = {{0, 64}, {2, 2}};
    EXPECT_EQ(writeAll(writes, d, 0x40).status, 64);
    EXPECT_EQ(writes.calls.size(), 3u);
}

TEST(RegisterBus, WriteAllRefusesAValueThatIsNoNumberBeforeSendingAnything) {
    TDeviceDefinition d;
    d.setRegisterCount(100);
    d.RegisterValues[70] = "ZZ";
    FakeTransfers bus;
    const BusOutcome out = writeAll(bus, d, 0x40);
    EXPECT_TRUE(bus.calls.empty());
    EXPECT_EQ(out.error, std::optional<std::string>("'ZZ' is not a valid hexadecimal value."));
}

class OverVirtualAdapter : public ::testing::Test,
                           public adapter::StatusSink,
                           public adapter::AdapterListener {
protected:
    void SetUp() override {
        chip = std::make_shared<sim::RegisterDevice>(0x40, 256);
        controller.adapter().bus().attach(chip);
        controller.plug();
        link.HIDCtlDeviceChange();
    }
    void showStatus(const std::string& markup) override { status = markup; }
    void setOptionsMenuEnabled(bool) override {}
    void setStatusBarEnabled(bool) override {}
    void setHardwarePanel(const std::string&) override {}
    void setFrequencyPanel(const std::string&) override {}
    void showBusLineMessage(const std::string&) override {}
    void repaintStatusBar() override {}

    timing::FakeClock clock;
    timing::ScopedClock scoped{clock};
    hid::VirtualController controller;
    adapter::AdapterLink link{controller, *this, *this};
    std::shared_ptr<sim::RegisterDevice> chip;
    std::string status;
};

TEST_F(OverVirtualAdapter, AWholeDeviceGoesOutAndComesBack) {
    for (int count : {1, 57, 58, 59, 60, 61, 256}) {
        TDeviceDefinition d;
        d.setRegisterCount(count);
        for (int i = 0; i < count; ++i)
            d.RegisterValues[static_cast<std::size_t>(i)] = hexByte((i * 7 + count) & 0xFF);
        ASSERT_EQ(writeAll(link, d, 0x40).status, 0) << count;
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(chip->registers()[static_cast<std::size_t>(i)], (i * 7 + count) & 0xFF)
                << count << " registers, register " << i;
        TDeviceDefinition back;
        back.setRegisterCount(count);
        ASSERT_EQ(readAll(link, back, 0x40).status, 0) << count;
        EXPECT_EQ(back.RegisterValues, d.RegisterValues) << count;
    }
    TDeviceDefinition nobody;
    EXPECT_EQ(readAll(link, nobody, 0x42).status, 2) << "an address nobody answers";
}

TEST_F(OverVirtualAdapter, AdapterPulledAtEachExchange) {
    TDeviceDefinition d;
    d.setRegisterCount(256);
    const int exchanges = static_cast<int>(readAllPlan(256).size());
    for (int pullAt = 0; pullAt < exchanges; ++pullAt) {
        controller.plug();
        link.HIDCtlDeviceChange();
        int n = 0;
        struct Counting : adapter::Transfers {
            adapter::Transfers& inner;
            hid::VirtualController& c;
            int& n;
            int at;
            Counting(adapter::Transfers& i, hid::VirtualController& cc, int& nn, int a)
                : inner(i), c(cc), n(nn), at(a) {}
            void pull() {
                if (n++ == at) c.unplug();
            }
            std::uint8_t I2CWrite(std::uint8_t a, std::uint8_t b) override {
                return inner.I2CWrite(a, b);
            }
            std::uint8_t I2CWriteByte(std::uint8_t a, std::uint8_t s, std::uint8_t b) override {
                return inner.I2CWriteByte(a, s, b);
            }
            std::uint8_t I2CWriteArray(std::uint8_t a, std::uint8_t s, std::uint16_t k,
                                       const std::uint8_t* p) override {
                pull();
                return inner.I2CWriteArray(a, s, k, p);
            }
            void I2CRead(std::uint8_t a, TUSBI2CReport& r) override { inner.I2CRead(a, r); }
            void I2CReadCount(std::uint8_t a, std::uint8_t k, TUSBI2CReport& r) override {
                inner.I2CReadCount(a, k, r);
            }
            void I2CReadByte(std::uint8_t a, std::uint8_t s, TUSBI2CReport& r) override {
                inner.I2CReadByte(a, s, r);
            }
            void I2CReadArray(std::uint8_t a, std::uint8_t s, std::int32_t k,
                              TUSBI2CReport& r) override {
                pull();
                inner.I2CReadArray(a, s, k, r);
            }
            std::uint8_t I2CDeviceWrite(const TUSBI2CReport& r) override {
                return inner.I2CDeviceWrite(r);
            }
            std::uint8_t I2CDeviceRead(const TUSBI2CReport& o, TUSBI2CReport& r) override {
                return inner.I2CDeviceRead(o, r);
            }
        } bus(link, controller, n, pullAt);
        const BusOutcome read = readAll(bus, d, 0x40);
        EXPECT_NE(read.status, 0) << "pulled at " << pullAt;
        EXPECT_EQ(read.failed.front(), 32 * pullAt);
        n = 0;
        controller.plug();
        link.HIDCtlDeviceChange();
        EXPECT_NE(writeAll(bus, d, 0x40).status, 0) << "pulled at " << pullAt;
    }
}

}  // namespace
}  // namespace parvex::device
