#include "hid/virtual_backend.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/wait.h"
#include "sim/eeprom24.h"
#include "sim/report_builders.h"

namespace parvex::hid {
namespace {

class VirtualBackendTest : public ::testing::Test {
protected:
    VirtualBackendTest() {
        controller.setChangeHandler([this] { ++notices; });
    }

    std::vector<DeviceInfo> listed() {
        std::vector<DeviceInfo> all;
        controller.enumerate([&](const DeviceInfo& info, int) {
            all.push_back(info);
            return true;
        });
        return all;
    }

    std::unique_ptr<Device> plugAndCheckOut() {
        controller.plug();
        const auto all = listed();
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].path == VirtualController::kAdapterPath) {
                return controller.checkOut(static_cast<int>(i));
            }
        }
        return nullptr;
    }

    static void send(Device& device, std::uint8_t command) {
        const TUSBI2CReport out = test::commandReport(command);
        ASSERT_EQ(device.write(out.data(), out.size()), static_cast<int>(kReportSize));
    }

    timing::FakeClock clock;
    timing::ScopedClock scoped{clock};
    VirtualController controller;
    int notices = 0;
};

TEST_F(VirtualBackendTest, StartsUnpluggedWithAnEmptyBus) {
    EXPECT_FALSE(controller.plugged());
    EXPECT_TRUE(listed().empty());
    EXPECT_TRUE(controller.adapter().bus().devices().empty());
    EXPECT_EQ(controller.noticeDescriptor(), -1);
}

TEST_F(VirtualBackendTest, EveryChangeNoticesAtOnceAndRepeatsDoNot) {
    controller.plug();
    controller.plug();
    EXPECT_EQ(notices, 1);
    controller.plugOtherDevice();
    controller.plugOtherDevice();
    EXPECT_EQ(notices, 2);

    const auto all = listed();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].path, VirtualController::kOtherPath);
    EXPECT_FALSE(all[0].vendorId == kAdapterVendorId && all[0].productId == kAdapterProductId);
    EXPECT_EQ(all[1].vendorId, kAdapterVendorId);
    EXPECT_EQ(all[1].productId, kAdapterProductId);
    EXPECT_EQ(controller.checkOut(0), nullptr);  // the mouse is not ours to open

    controller.unplugOtherDevice();
    controller.unplug();
    controller.unplug();
    EXPECT_EQ(notices, 4);
    EXPECT_TRUE(listed().empty());
}

TEST_F(VirtualBackendTest, HandlerMayEnumerateAndCheckOutWhileNoticed) {
    std::unique_ptr<Device> claimed;
    controller.setChangeHandler([&] {
        controller.enumerate([&](const DeviceInfo& info, int index) {
            if (info.vendorId == kAdapterVendorId) claimed = controller.checkOut(index);
            return !claimed;
        });
    });
    controller.plugOtherDevice();
    EXPECT_EQ(claimed, nullptr);
    controller.plug();
    ASSERT_NE(claimed, nullptr);
    EXPECT_TRUE(claimed->pluggedIn());
}

TEST_F(VirtualBackendTest, LinkTimeIsSpentHalfBeforeAndHalfAfterTheCommand) {
    auto device = plugAndCheckOut();
    ASSERT_NE(device, nullptr);
    auto chip = std::make_shared<sim::Eeprom24>(256, 8);
    chip->setWriteCycleMs(3);
    controller.adapter().bus().attach(chip);

    send(*device, cmdFirmwareRev);
    EXPECT_EQ(clock.nowMicros(), 0u) << "exchanges cost nothing unless asked to";

    controller.setLinkTimeMs(VirtualController::kFullSpeedLinkMs);
    const TUSBI2CReport write = test::transferReport(0xA0, {0x00, 0x55}, 0);
    ASSERT_EQ(device->write(write.data(), write.size()), static_cast<int>(kReportSize));
    EXPECT_EQ(clock.nowMicros(), 2000u);
    // The chip started its cycle when the report arrived, 1 ms in: 2 ms of it are left.
    EXPECT_TRUE(chip->busy());
    clock.advanceMicros(1999);
    EXPECT_TRUE(chip->busy());
    clock.advanceMicros(1);
    EXPECT_FALSE(chip->busy());
}

TEST_F(VirtualBackendTest, StalledAdapterTimesOutAndAnswersLate) {
    auto device = plugAndCheckOut();
    ASSERT_NE(device, nullptr);
    controller.setStalled(true);
    send(*device, cmdFirmwareRev);
    TUSBI2CReport in{};
    EXPECT_EQ(device->read(in.data(), in.size(), kReadTimeoutMs), 0);
    EXPECT_EQ(clock.totalSleptMillis(), std::uint64_t{kReadTimeoutMs});
    // An endless wait would hang the one thread; it waits the usual time instead.
    EXPECT_EQ(device->read(in.data(), in.size(), -1), 0);
    EXPECT_EQ(clock.totalSleptMillis(), 2u * kReadTimeoutMs);

    // A drain while stalled cannot drop what has not arrived yet.
    device->drainInput();
    controller.setStalled(false);
    ASSERT_EQ(device->read(in.data(), in.size(), 0), static_cast<int>(kReportSize));
    EXPECT_EQ(in[report::kFirmwareRev], controller.adapter().firmwareRevision()[0]);
}

TEST_F(VirtualBackendTest, DrainAfterAStallKeepsLateAnswersOutOfTheNextExchange) {
    auto device = plugAndCheckOut();
    ASSERT_NE(device, nullptr);
    controller.setStalled(true);
    send(*device, cmdFirmwareRev);
    TUSBI2CReport in{};
    ASSERT_EQ(device->read(in.data(), in.size(), kReadTimeoutMs), 0);
    controller.setStalled(false);

    device->drainInput();
    send(*device, cmdSerialNumber);
    ASSERT_EQ(device->read(in.data(), in.size(), kReadTimeoutMs), static_cast<int>(kReportSize));
    EXPECT_EQ(in[3], 57);
    EXPECT_EQ(in[4], 48);
}

// The command byte the answer read next belongs to, told apart by what each command answers;
// 0 when the read timed out.
int answerRead(Device& device) {
    TUSBI2CReport in{};
    if (device.read(in.data(), in.size(), kReadTimeoutMs) != static_cast<int>(kReportSize))
        return 0;
    if (in[3] == 57 && in[4] == 48) return cmdSerialNumber;  // 12345
    if (in[3] == 'P') return cmdFirmwareRev;
    return cmdPortStatus;
}

TEST_F(VirtualBackendTest, ScheduledUnplugTakesTheReportThenTheAdapterIsGone) {
    auto device = plugAndCheckOut();
    ASSERT_NE(device, nullptr);
    int observed = 0;
    controller.setExchangeObserver([&] { ++observed; });
    controller.scheduleUnplug(2);
    const int noticesBefore = notices;
    for (int i = 0; i < 2; ++i) {
        send(*device, cmdSerialNumber);
        EXPECT_EQ(answerRead(*device), cmdSerialNumber);
    }
    ASSERT_TRUE(controller.scheduledFault());
    EXPECT_EQ(controller.scheduledFault()->remaining, 0u);
    EXPECT_EQ(notices, noticesBefore);

    send(*device, cmdSerialNumber);  // carried out, never answered
    EXPECT_EQ(controller.adapter().outputLog().size(), 3u);
    EXPECT_EQ(notices, noticesBefore + 1);
    EXPECT_FALSE(device->pluggedIn());
    TUSBI2CReport in{};
    EXPECT_EQ(device->read(in.data(), in.size(), kReadTimeoutMs), -1);
    EXPECT_FALSE(controller.scheduledFault());
    EXPECT_EQ(observed, 3);
}

TEST_F(VirtualBackendTest, ScheduledStallHoldsAnswersFromItsExchangeOn) {
    auto device = plugAndCheckOut();
    ASSERT_NE(device, nullptr);
    controller.scheduleStall(1);
    send(*device, cmdSerialNumber);
    EXPECT_EQ(answerRead(*device), cmdSerialNumber);
    EXPECT_FALSE(controller.stalled());
    send(*device, cmdFirmwareRev);
    EXPECT_TRUE(controller.stalled());
    EXPECT_EQ(answerRead(*device), 0);
    controller.setStalled(false);
    EXPECT_EQ(answerRead(*device), cmdFirmwareRev);

    controller.scheduleStall(0);
    controller.cancelScheduledFault();
    send(*device, cmdSerialNumber);
    EXPECT_EQ(answerRead(*device), cmdSerialNumber);
}

TEST_F(VirtualBackendTest, HeldAnswersArriveInsideTheNextExchangeAheadOfItsOwn) {
    auto device = plugAndCheckOut();
    ASSERT_NE(device, nullptr);
    controller.holdAnswers(2);
    send(*device, cmdFirmwareRev);
    EXPECT_EQ(answerRead(*device), 0);
    send(*device, cmdPortStatus);
    EXPECT_EQ(answerRead(*device), 0);
    device->drainInput();  // nothing has arrived yet to be dropped
    send(*device, cmdSerialNumber);
    EXPECT_EQ(answerRead(*device), cmdFirmwareRev);
    EXPECT_EQ(answerRead(*device), cmdPortStatus);
    EXPECT_EQ(answerRead(*device), cmdSerialNumber);
    send(*device, cmdSerialNumber);
    EXPECT_EQ(answerRead(*device), cmdSerialNumber);
}

TEST_F(VirtualBackendTest, WriteRefusesWhatIsNotOneOutputReport) {
    auto device = plugAndCheckOut();
    ASSERT_NE(device, nullptr);
    TUSBI2CReport out = test::commandReport(cmdSerialNumber);
    std::vector<std::uint8_t> tooLong(kReportSize + 1, 0);
    EXPECT_EQ(device->write(out.data(), 0), -1);
    EXPECT_EQ(device->write(tooLong.data(), tooLong.size()), -1);
    EXPECT_EQ(device->write(nullptr, kReportSize), -1);
    out[report::kReportId] = 1;
    EXPECT_EQ(device->write(out.data(), out.size()), -1);
    EXPECT_TRUE(controller.adapter().outputLog().empty());
    EXPECT_TRUE(device->pluggedIn());

    // A short report is padded with zeros to the adapter's 65 bytes.
    out[report::kReportId] = 0;
    EXPECT_EQ(device->write(out.data(), 3), 3);
    ASSERT_EQ(controller.adapter().outputLog().size(), 1u);
    EXPECT_EQ(controller.adapter().outputLog()[0], test::commandReport(cmdSerialNumber));
}

TEST_F(VirtualBackendTest, ReplugPowersTheAdapterOnAndLeavesOldDevicesDead) {
    auto device = plugAndCheckOut();
    ASSERT_NE(device, nullptr);
    const TUSBI2CReport fast = test::clockReport(400000);
    ASSERT_EQ(device->write(fast.data(), fast.size()), static_cast<int>(kReportSize));
    EXPECT_EQ(controller.adapter().clockHz(), 400000u);
    send(*device, cmdSerialNumber);  // an answer left unread across the unplug

    controller.unplug();
    auto fresh = plugAndCheckOut();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(controller.adapter().clockHz(), 100000u);
    EXPECT_FALSE(device->pluggedIn());
    TUSBI2CReport in{};
    EXPECT_EQ(fresh->read(in.data(), in.size(), 0), 0);
    // Releasing the dead device does not free the fresh one's claim.
    device.reset();
    EXPECT_EQ(controller.checkOut(0), nullptr);
}

}  // namespace
}  // namespace parvex::hid
