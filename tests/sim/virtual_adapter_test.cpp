#include "sim/virtual_adapter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/report_builders.h"

namespace parvex::sim {
namespace {

using test::clockReport;
using test::commandReport;
using test::inData;
using test::messageReport;
using test::transferReport;

// Writes down every bus event it sees, and refuses data bytes after a set number.
class RecordingDevice final : public I2CDevice {
public:
    explicit RecordingDevice(std::uint8_t address, int acceptBytes = 1000)
        : address_(address), acceptBytes_(acceptBytes) {}
    bool answers(std::uint8_t a) const override { return (a & 0xFE) == address_; }
    bool start(std::uint8_t a, bool read) override {
        events.push_back(std::string(read ? "R" : "W") + hexByte(a));
        return true;
    }
    bool writeByte(std::uint8_t v) override {
        events.push_back("w" + hexByte(v));
        return acceptBytes_-- > 0;
    }
    std::uint8_t readByte() override {
        events.push_back("r");
        return next++;
    }
    void stop() override { events.push_back("P"); }
    std::string describe() const override { return "recorder"; }

    std::vector<std::string> events;
    std::uint8_t next = 0x30;

private:
    std::uint8_t address_;
    int acceptBytes_;
};

class VirtualAdapterTest : public ::testing::Test {
protected:
    TUSBI2CReport send(const TUSBI2CReport& out) {
        TUSBI2CReport in;
        in.fill(0xEE);  // stale bytes the answer must overwrite
        adapter.exchange(out, in);
        return in;
    }
    std::shared_ptr<RecordingDevice> attachRecorder(std::uint8_t address, int acceptBytes = 1000) {
        auto device = std::make_shared<RecordingDevice>(address, acceptBytes);
        adapter.bus().attach(device);
        return device;
    }

    VirtualAdapter adapter;
};

TEST_F(VirtualAdapterTest, IdentityCommands) {
    TUSBI2CReport in = send(commandReport(cmdFirmwareRev));
    EXPECT_EQ(in[report::kStatus], status::kSuccess);
    const std::string rev(in.begin() + report::kFirmwareRev,
                          in.begin() + report::kFirmwareRev + report::kFirmwareRevLength);
    EXPECT_EQ(rev, adapter.firmwareRevision());
    EXPECT_EQ(rev.size(), 19u);
    EXPECT_NE(rev.front(), ' ');
    EXPECT_EQ(rev.back(), ' ');
    EXPECT_EQ(in[report::kFirmwareRev + report::kFirmwareRevLength], 0);

    in = send(commandReport(cmdSerialNumber));
    EXPECT_EQ(in[report::kStatus], status::kSuccess);
    EXPECT_EQ(in[3], 57);
    EXPECT_EQ(in[4], 48);
    adapter.setSerialNumber(0xBEEF);
    in = send(commandReport(cmdSerialNumber));
    EXPECT_EQ(in[3], 0xEF);
    EXPECT_EQ(in[4], 0xBE);
}

TEST_F(VirtualAdapterTest, PortStatusFollowsLinesAndLastClock) {
    struct Case {
        Lines lines;
        std::uint8_t state;
    };
    for (const Case& c : {Case{Lines::High, 3}, Case{Lines::BothLow, 0}, Case{Lines::SdaLow, 1},
                          Case{Lines::SclLow, 2}}) {
        adapter.setLines(c.lines);
        const TUSBI2CReport in = send(commandReport(cmdPortStatus));
        EXPECT_EQ(in[report::kStatus], status::kSuccess);
        EXPECT_EQ(in[report::kLineState], c.state);
        EXPECT_EQ(in[4] | in[5] << 8, 238);
        EXPECT_EQ(in[6] | in[7] << 8, 238);
    }

    struct Clock {
        std::uint32_t hz;
        int count;
    };
    // Clocks too fast for the counter clamp at 0; too slow ones at the counter's top.
    for (const Clock& c : {Clock{200000, 118}, Clock{333333, 70}, Clock{1000, 23998},
                           Clock{48000000, 0}, Clock{100, 65535}}) {
        SCOPED_TRACE(c.hz);
        EXPECT_EQ(send(clockReport(c.hz))[report::kStatus], status::kSuccess);
        EXPECT_EQ(adapter.clockHz(), c.hz);
        const TUSBI2CReport in = send(commandReport(cmdPortStatus));
        EXPECT_EQ(in[4] | in[5] << 8, c.count);
        EXPECT_EQ(in[6] | in[7] << 8, c.count);
    }
}

TEST_F(VirtualAdapterTest, ClockIsTakenLeastSignificantByteFirstAndZeroIsRefused) {
    EXPECT_EQ(adapter.clockHz(), 100000u);
    TUSBI2CReport out = commandReport(cmdSetClock);
    out[3] = 21, out[4] = 22, out[5] = 5, out[6] = 0, out[7] = 1;
    EXPECT_EQ(send(out)[report::kStatus], status::kSuccess);
    EXPECT_EQ(adapter.clockHz(), 333333u);

    EXPECT_EQ(send(clockReport(0))[report::kStatus], status::kInvalidRequest);
    EXPECT_EQ(adapter.clockHz(), 333333u);

    adapter.powerOn();
    EXPECT_EQ(adapter.clockHz(), 100000u);
}

TEST_F(VirtualAdapterTest, UnknownCommandsAndOversizedCountsAreInvalid) {
    attachRecorder(0x40);
    for (std::uint8_t command : {2, 9, 0x80, 0xFF}) {
        EXPECT_EQ(send(commandReport(command))[report::kStatus], status::kInvalidRequest);
    }
    TUSBI2CReport out = transferReport(0x40, {}, 0);
    out[report::kWriteCount] = 59;
    EXPECT_EQ(send(out)[report::kStatus], status::kInvalidRequest);
    EXPECT_EQ(send(transferReport(0x40, {}, 63))[report::kStatus], status::kInvalidRequest);
    EXPECT_EQ(send(transferReport(0x40, std::vector<std::uint8_t>(58, 1), 62))[report::kStatus],
              status::kSuccess);

    out = messageReport(cmdWriteMessage, 0x40, true, true, {});
    out[report::kMessageCount] = 59;
    EXPECT_EQ(send(out)[report::kStatus], status::kInvalidRequest);
    out = messageReport(cmdReadMessage, 0x40, true, true, {});
    out[report::kMessageCount] = 63;
    EXPECT_EQ(send(out)[report::kStatus], status::kInvalidRequest);
    out[report::kMessageCount] = 62;
    EXPECT_EQ(send(out)[report::kStatus], status::kSuccess);
}

TEST_F(VirtualAdapterTest, ResetBusAnswersSuccess) {
    EXPECT_EQ(send(commandReport(cmdResetBus))[report::kStatus], status::kSuccess);
    adapter.setLines(Lines::BothLow);
    EXPECT_EQ(send(commandReport(cmdResetBus))[report::kStatus], status::kSuccess);
}

TEST_F(VirtualAdapterTest, TransferWritesThenReadsAfterARepeatedStart) {
    auto device = attachRecorder(0x40);
    const TUSBI2CReport in = send(transferReport(0x40, {0x05, 0x06}, 3));
    EXPECT_EQ(in[report::kStatus], status::kSuccess);
    EXPECT_EQ(inData(in, 4), (std::vector<std::uint8_t>{0x30, 0x31, 0x32, 0}));
    EXPECT_EQ(device->events,
              (std::vector<std::string>{"W40", "w05", "w06", "R41", "r", "r", "r", "P"}));

    // Read only, write only, and a bare probe of the address.
    device->events.clear();
    send(transferReport(0x40, {}, 1));
    send(transferReport(0x40, {0x07}, 0));
    send(transferReport(0x40, {}, 0));
    EXPECT_EQ(device->events,
              (std::vector<std::string>{"R41", "r", "P", "W40", "w07", "P", "W40", "P"}));
}

TEST_F(VirtualAdapterTest, BusFaultsGiveTheirStatus) {
    attachRecorder(0x40, 2);
    struct Case {
        const char* what;
        TUSBI2CReport out;
        std::uint8_t status;
    };
    const Case cases[] = {
        {"absent address", transferReport(0x50, {1}, 1), status::kAddressNack},
        {"absent address, read only", transferReport(0x50, {}, 1), status::kAddressNack},
        {"third data byte refused", transferReport(0x40, {1, 2, 3}, 0), status::kPartialTransfer},
        {"message, absent address", messageReport(cmdWriteMessage, 0x50, true, true, {1}),
         status::kAddressNack},
        {"message, byte refused", messageReport(cmdWriteMessage, 0x40, true, true, {1, 2, 3}),
         status::kPartialTransfer},
        {"message, unchecked absent address",
         messageReport(cmdWriteMessage, 0x50, true, false, {1}), status::kSuccess},
        {"message, unchecked refused byte",
         messageReport(cmdWriteMessage, 0x40, true, false, {1, 2, 3}), status::kSuccess},
        {"read message, absent address", messageReport(cmdReadMessage, 0x50, true, true, {0}),
         status::kAddressNack},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(send(c.out)[report::kStatus], c.status) << c.what;
    }
}

TEST_F(VirtualAdapterTest, UncheckedReadFromAbsentAddressGivesIdleBus) {
    const TUSBI2CReport in = send(messageReport(cmdReadMessage, 0x50, true, false, {0, 0, 0}));
    EXPECT_EQ(in[report::kStatus], status::kSuccess);
    EXPECT_EQ(inData(in, 4), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0}));
}

TEST_F(VirtualAdapterTest, LinesHeldLowFailBusCommandsOnly) {
    auto device = attachRecorder(0x40);
    const TUSBI2CReport busCommands[] = {
        transferReport(0x40, {1}, 1),
        messageReport(cmdWriteMessage, 0x40, true, true, {1}),
        messageReport(cmdReadMessage, 0x40, true, true, {0}),
    };
    struct Case {
        Lines lines;
        std::uint8_t status;
    };
    for (const Case& c :
         {Case{Lines::BothLow, 16}, Case{Lines::SdaLow, 17}, Case{Lines::SclLow, 18}}) {
        adapter.setLines(c.lines);
        for (const auto& out : busCommands) EXPECT_EQ(send(out)[report::kStatus], c.status);
        EXPECT_EQ(send(commandReport(cmdSerialNumber))[report::kStatus], status::kSuccess);
    }
    EXPECT_TRUE(device->events.empty());
}

TEST_F(VirtualAdapterTest, MessagesWithoutStopKeepTheBus) {
    auto device = attachRecorder(0x40);
    send(messageReport(cmdWriteMessage, 0x40, false, true, {0x10}));
    const TUSBI2CReport in = send(messageReport(cmdReadMessage, 0x40, true, true, {0, 0}));
    EXPECT_EQ(in[report::kStatus], status::kSuccess);
    EXPECT_EQ(inData(in, 2), (std::vector<std::uint8_t>{0x30, 0x31}));
    EXPECT_EQ(device->events, (std::vector<std::string>{"W40", "w10", "R41", "r", "r", "P"}));
}

TEST_F(VirtualAdapterTest, ForcedStatusAnswersOneExchangeWithoutCarryingItOut) {
    auto device = attachRecorder(0x40);
    adapter.forceNextStatus(5);
    EXPECT_EQ(send(transferReport(0x40, {1}, 0))[report::kStatus], 5);
    EXPECT_TRUE(device->events.empty());
    EXPECT_EQ(send(transferReport(0x40, {1}, 0))[report::kStatus], status::kSuccess);
    EXPECT_FALSE(device->events.empty());
}

TEST_F(VirtualAdapterTest, LogKeepsEveryReportReceived) {
    const TUSBI2CReport first = commandReport(cmdSerialNumber);
    const TUSBI2CReport second = transferReport(0x50, {1, 2}, 0);
    adapter.forceNextStatus(1);
    send(first);
    send(second);
    ASSERT_EQ(adapter.outputLog().size(), 2u);
    EXPECT_EQ(adapter.outputLog()[0], first);
    EXPECT_EQ(adapter.outputLog()[1], second);
    adapter.clearLog();
    EXPECT_TRUE(adapter.outputLog().empty());
}

TEST(DefaultDevicesTest, EepromAndRegistersAnswerAtTheirAddresses) {
    VirtualAdapter adapter;
    const DefaultDevices devices = addDefaultDevices(adapter.bus());
    ASSERT_EQ(adapter.bus().devices().size(), 2u);
    EXPECT_EQ(devices.eeprom->memory().size(), 2048u);
    EXPECT_EQ(devices.eeprom->pageBytes(), 16u);
    EXPECT_EQ(devices.registers->registers().size(), 64u);
    for (int a = 0xA0; a <= 0xAE; a += 2) EXPECT_EQ(adapter.bus().find(a), devices.eeprom);
    EXPECT_EQ(adapter.bus().find(0x40), devices.registers);
    EXPECT_EQ(adapter.bus().find(0x41), devices.registers);
    EXPECT_EQ(adapter.bus().find(0xB0), nullptr);
    EXPECT_EQ(devices.eeprom->describe(), "2048-byte EEPROM at A0 to AE, 16-byte pages");
    EXPECT_EQ(devices.registers->describe(), "Register device at 40: 64 registers");
}

}  // namespace
}  // namespace parvex::sim
