// The virtual adapter's devices over the real link: register devices in the transfers the
// register window makes, and the expert mode's write and read messages.

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "adapter/adapter_link.h"
#include "common/wait.h"
#include "fake_hid.h"
#include "hid/virtual_backend.h"
#include "sim/virtual_adapter.h"

namespace parvex::adapter {
namespace {

class VirtualDevices : public ::testing::Test {
protected:
    void SetUp() override {
        devices = sim::addDefaultDevices(ctl.adapter().bus());
        ctl.setChangeHandler([this] { link.HIDCtlDeviceChange(); });
        ctl.plug();
        ASSERT_TRUE(link.attached());
    }
    void TearDown() override { ctl.setChangeHandler(nullptr); }

    // Reads `count` registers from `first` in one transfer; empty if the transfer failed.
    std::vector<std::uint8_t> readRegisters(std::uint8_t address, std::uint8_t first, int count) {
        TUSBI2CReport in{};
        link.I2CReadArray(address, first, count, in);
        if (in[report::kStatus] != 0) return {};
        return {in.begin() + report::kInData, in.begin() + report::kInData + count};
    }

    timing::FakeClock fakeClock;
    timing::ScopedClock scopedClock{fakeClock};
    hid::VirtualController ctl;
    sim::DefaultDevices devices;
    test::Recorder rec;
    AdapterLink link{ctl, rec, rec};
};

TEST_F(VirtualDevices, RegisterDeviceAnswersEveryTransferSizeOfTheRegisterWindow) {
    auto& registers = devices.registers->registers();
    ASSERT_EQ(registers.size(), 64u);
    std::iota(registers.begin(), registers.end(), std::uint8_t{0x80});
    // Read All of a device up to 60 registers is one transfer.
    for (int n = 1; n <= 60; ++n) {
        EXPECT_EQ(readRegisters(0x40, 0, n),
                  std::vector<std::uint8_t>(registers.begin(), registers.begin() + n))
            << n;
    }
    // Write All of a device up to 57 registers is one transfer.
    for (int n = 1; n <= 57; ++n) {
        std::vector<std::uint8_t> values(static_cast<std::size_t>(n));
        std::iota(values.begin(), values.end(), static_cast<std::uint8_t>(n));
        ASSERT_EQ(link.I2CWriteArray(0x40, 0, static_cast<std::uint16_t>(n + 1), values.data()), 0)
            << n;
        EXPECT_TRUE(std::equal(values.begin(), values.end(), registers.begin())) << n;
    }
    // Larger devices go in 32-register chunks, both ways.
    std::vector<std::uint8_t> values(64);
    std::iota(values.begin(), values.end(), std::uint8_t{0x20});
    for (std::uint8_t first : {0, 32})
        ASSERT_EQ(link.I2CWriteArray(0x40, first, 33, values.data() + first), 0);
    EXPECT_EQ(registers, values);
    std::vector<std::uint8_t> read = readRegisters(0x40, 0, 32);
    const std::vector<std::uint8_t> rest = readRegisters(0x40, 32, 32);
    read.insert(read.end(), rest.begin(), rest.end());
    EXPECT_EQ(read, values);
}

TEST_F(VirtualDevices, RegisterDeviceByteOperationsAndAbsentAddresses) {
    EXPECT_EQ(link.I2CWriteByte(0x40, 0x05, 0xA7), 0);
    EXPECT_EQ(devices.registers->registers()[5], 0xA7);
    TUSBI2CReport in{};
    link.I2CReadByte(0x40, 0x05, in);
    EXPECT_EQ(in[report::kStatus], 0);
    EXPECT_EQ(in[report::kInData], 0xA7);

    // Nobody answers at 44: status 2 both ways, and nothing changes at 40.
    EXPECT_EQ(link.I2CWriteByte(0x44, 0x05, 0x11), status::kAddressNack);
    EXPECT_EQ(rec.lastStatus(), statusText(status::kAddressNack));
    in = {};
    link.I2CReadByte(0x44, 0x05, in);
    EXPECT_EQ(in[report::kStatus], status::kAddressNack);
    std::uint8_t eight[8] = {};
    EXPECT_EQ(link.I2CWriteArray(0x44, 0, 9, eight), status::kAddressNack);
    EXPECT_EQ(devices.registers->registers()[5], 0xA7);
}

TEST_F(VirtualDevices, SeveralRegisterDevicesOfAnySizeShareTheBus) {
    auto small = std::make_shared<sim::RegisterDevice>(0x50, 1);
    auto full = std::make_shared<sim::RegisterDevice>(0x52, 256);
    ctl.adapter().bus().attach(small);
    ctl.adapter().bus().attach(full);

    EXPECT_EQ(link.I2CWriteByte(0x50, 0, 0x3C), 0);
    EXPECT_EQ(link.I2CWriteByte(0x52, 0xFF, 0xC3), 0);
    EXPECT_EQ(link.I2CWriteByte(0x40, 0, 0x99), 0);
    EXPECT_EQ(small->registers(), std::vector<std::uint8_t>{0x3C});
    EXPECT_EQ(full->registers()[255], 0xC3);
    EXPECT_EQ(devices.registers->registers()[0], 0x99);

    // 256 registers in eight chunks of 32.
    std::iota(full->registers().begin(), full->registers().end(), std::uint8_t{0});
    std::vector<std::uint8_t> all;
    for (int first = 0; first < 256; first += 32) {
        const auto chunk = readRegisters(0x52, static_cast<std::uint8_t>(first), 32);
        all.insert(all.end(), chunk.begin(), chunk.end());
    }
    EXPECT_EQ(all, full->registers());
}

// ---- expert mode messages ----

// A message record as the expert mode stores it.
TUSBI2CReport record(std::uint8_t command, std::uint8_t options, std::uint8_t address,
                     std::initializer_list<std::uint8_t> data, std::uint8_t count = 0) {
    TUSBI2CReport r{};
    const auto n = static_cast<std::uint8_t>(data.size() ? data.size() : count);
    r[report::kLength] = static_cast<std::uint8_t>(n + 6);
    r[report::kCommand] = command;
    r[report::kMessageCount] = n;
    r[report::kMessageOptions] = options;
    r[report::kMessageAddress] = address;
    std::copy(data.begin(), data.end(), r.begin() + report::kMessageData);
    return r;
}

constexpr std::uint8_t kStopCheck = 15, kNoStopCheck = 13, kStopIgnore = 11, kNoStopIgnore = 9;

TEST_F(VirtualDevices, WriteAndReadMessagesWithAndWithoutStop) {
    auto& memory = devices.eeprom->memory();
    // The documented write of 00,11,22 to A0 with a stop.
    const TUSBI2CReport write = record(cmdWriteMessage, kStopCheck, 0xA0, {0x00, 0x11, 0x22});
    EXPECT_EQ(std::vector<std::uint8_t>(write.begin(), write.begin() + 10),
              (std::vector<std::uint8_t>{0, 9, 3, 3, 0, 15, 160, 0, 17, 34}));
    EXPECT_EQ(link.I2CDeviceWrite(write), 0);
    EXPECT_EQ(memory[0], 0x11);
    EXPECT_EQ(memory[1], 0x22);
    timing::sleepMs(5);  // the chip's write cycle

    // Pointer write without a stop, then a read of two bytes after a repeated start.
    EXPECT_EQ(link.I2CDeviceWrite(record(cmdWriteMessage, kNoStopCheck, 0xA0, {0x00})), 0);
    TUSBI2CReport in{};
    EXPECT_EQ(link.I2CDeviceRead(record(cmdReadMessage, kNoStopCheck, 0xA1, {}, 2), in), 0);
    EXPECT_EQ(in[report::kInData], 0x11);
    EXPECT_EQ(in[report::kInData + 1], 0x22);
    // A further read goes on from the chip's address pointer.
    EXPECT_EQ(link.I2CDeviceRead(record(cmdReadMessage, kStopCheck, 0xA1, {}, 1), in), 0);
    EXPECT_EQ(in[report::kInData], memory[2]);

    // The register device: pointer 05 without a stop, three registers with one.
    auto& registers = devices.registers->registers();
    std::iota(registers.begin(), registers.end(), std::uint8_t{0x40});
    EXPECT_EQ(link.I2CDeviceWrite(record(cmdWriteMessage, kNoStopCheck, 0x40, {0x05})), 0);
    EXPECT_EQ(link.I2CDeviceRead(record(cmdReadMessage, kStopCheck, 0x41, {}, 3), in), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(in.begin() + 3, in.begin() + 6),
              (std::vector<std::uint8_t>{0x45, 0x46, 0x47}));
}

TEST_F(VirtualDevices, AcknowledgeBitDecidesWhatAnAbsentAddressAnswers) {
    const struct {
        std::uint8_t options;
        std::uint8_t expected;
    } cases[] = {
        {kStopCheck, status::kAddressNack},
        {kNoStopCheck, status::kAddressNack},
        {kStopIgnore, status::kSuccess},
        {kNoStopIgnore, status::kSuccess},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(link.I2CDeviceWrite(record(cmdWriteMessage, c.options, 0x30, {1, 2})), c.expected)
            << int(c.options);
        TUSBI2CReport in{};
        EXPECT_EQ(link.I2CDeviceRead(record(cmdReadMessage, c.options, 0x31, {}, 2), in),
                  c.expected)
            << int(c.options);
        EXPECT_EQ(rec.lastStatus(), statusText(c.expected));
        // Nothing drives the bus: the pull-ups' level is read.
        if (c.expected == status::kSuccess) {
            EXPECT_EQ(in[report::kInData], 0xFF);
        }
    }
}

TEST_F(VirtualDevices, OneExchangeCanBeAnsweredWithStatus11) {
    devices.registers->registers()[0] = 0x5D;
    ctl.adapter().forceNextStatus(11);
    TUSBI2CReport in{};
    EXPECT_EQ(link.I2CDeviceRead(record(cmdReadMessage, kStopCheck, 0x41, {}, 1), in), 11);
    EXPECT_EQ(rec.lastStatus(), statusText(11));
    EXPECT_EQ(link.I2CDeviceRead(record(cmdReadMessage, kStopCheck, 0x41, {}, 1), in), 0);
    EXPECT_EQ(in[report::kInData], 0x5D);
}

}  // namespace
}  // namespace parvex::adapter
