// The link end to end over the in-process virtual adapter.

#include <gtest/gtest.h>

#include <algorithm>

#include "adapter/adapter_link.h"
#include "common/wait.h"
#include "fake_hid.h"
#include "hid/virtual_backend.h"
#include "sim/virtual_adapter.h"

namespace parvex::adapter {
namespace {

const std::string kSuccess = "<P align=\"center\">Transmission successful</FONT>";
const std::string kNoHardware = "<P align=\"center\">No Hardware Connected</FONT>";

class VirtualLink : public ::testing::Test {
protected:
    void SetUp() override {
        devices = sim::addDefaultDevices(ctl.adapter().bus());
        ctl.setChangeHandler([this] { link.HIDCtlDeviceChange(); });
    }
    void TearDown() override { ctl.setChangeHandler(nullptr); }

    timing::FakeClock fakeClock;
    timing::ScopedClock scopedClock{fakeClock};
    hid::VirtualController ctl;
    sim::DefaultDevices devices;
    test::Recorder rec;
    AdapterLink link{ctl, rec, rec};
};

TEST_F(VirtualLink, ArrivalReadsIdentityAndClockAndFollowsTheClockSet) {
    ctl.plug();
    ASSERT_TRUE(link.attached());
    EXPECT_EQ(link.firmwareRev(), ctl.adapter().firmwareRevision());
    EXPECT_EQ(link.firmwareRev().size(), 19u);
    EXPECT_EQ(link.SerialNumber(), 12345);
    EXPECT_EQ(link.ActualClock(), 100000);
    EXPECT_EQ(rec.lastStatus(), kSuccess);
    EXPECT_EQ(rec.log.back(), "repaint");

    EXPECT_EQ(link.HID_UpdateClock(200, true), 0);
    EXPECT_EQ(ctl.adapter().clockHz(), 200000u);
    // Another HID device coming repeats the arrival, which now reads the new counts.
    rec.log.clear();
    ctl.plugOtherDevice();
    EXPECT_EQ(link.ActualClock(), 200000);
    EXPECT_EQ(rec.log.end()[-2],
              "frequency:<P align=\"center\"><FONT color=\"clWhite\">200 kHz</FONT>");
}

TEST_F(VirtualLink, ReadsAndWritesTheEeprom) {
    ctl.plug();
    auto& memory = devices.eeprom->memory();
    ASSERT_EQ(memory.size(), 2048u);
    for (std::size_t i = 0; i < memory.size(); ++i)
        memory[i] = static_cast<std::uint8_t>(i * 7 + 3);

    std::vector<std::uint8_t> image;
    for (int address = 0; address < 2048; address += 32) {
        TUSBI2CReport in{};
        const auto busAddress = static_cast<std::uint8_t>(0xA0 | ((address >> 8) << 1));
        link.I2CReadArray(busAddress, static_cast<std::uint8_t>(address & 0xFF), 32, in);
        ASSERT_EQ(in[2], 0) << address;
        image.insert(image.end(), in.begin() + 3, in.begin() + 35);
    }
    EXPECT_EQ(image, memory);

    const std::uint8_t page[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    EXPECT_EQ(link.I2CWriteArray(0xA2, 0x10, 17, page), 0);
    timing::sleepMs(10);  // the chip's write cycle
    TUSBI2CReport in{};
    link.I2CReadArray(0xA2, 0x10, 16, in);
    ASSERT_EQ(in[2], 0);
    EXPECT_TRUE(std::equal(std::begin(page), std::end(page), in.begin() + 3));
    EXPECT_TRUE(std::equal(std::begin(page), std::end(page), memory.begin() + 0x110));

    link.I2CReadByte(0xB0, 0, in);  // nobody answers there
    EXPECT_EQ(in[2], 2);
}

TEST_F(VirtualLink, StalledAdapterGives170AfterTheTimeOutAndItsLateAnswerIsDropped) {
    ctl.plug();
    devices.eeprom->memory()[5] = 0x5A;
    devices.eeprom->memory()[6] = 0x6B;
    ctl.setStalled(true);
    TUSBI2CReport in{};
    link.I2CReadByte(0xA0, 5, in);
    EXPECT_EQ(in[2], 170);
    EXPECT_EQ(rec.lastStatus(), kNoHardware);
    EXPECT_EQ(fakeClock.totalSleptMillis(), std::uint64_t{hid::kReadTimeoutMs});

    // The held answer (byte 5) arrives now; the next exchange must get its own (byte 6).
    ctl.setStalled(false);
    in = {};
    link.I2CReadByte(0xA0, 6, in);
    EXPECT_EQ(in[2], 0);
    EXPECT_EQ(in[3], 0x6B);
}

// ---- a stalled adapter and answers that come late ----

class StalledVirtualLink : public VirtualLink {
protected:
    void SetUp() override {
        VirtualLink::SetUp();
        ctl.plug();
        auto& memory = devices.eeprom->memory();
        for (std::size_t i = 0; i < memory.size(); ++i)
            memory[i] = static_cast<std::uint8_t>(i * 13 + 7);
        ctl.adapter().clearLog();
        rec.log.clear();
    }

    // A Read All of the whole chip in 32-byte chunks, as the EEPROM editor does it; the
    // statuses of the chunks, and what was read into `image`.
    std::vector<std::uint8_t> readAll(std::vector<std::uint8_t>& image) {
        std::vector<std::uint8_t> statuses;
        image.clear();
        for (int address = 0; address < 2048; address += 32) {
            TUSBI2CReport in{};
            const auto busAddress = static_cast<std::uint8_t>(0xA0 | ((address >> 8) << 1));
            link.I2CReadArray(busAddress, static_cast<std::uint8_t>(address & 0xFF), 32, in);
            statuses.push_back(in[report::kStatus]);
            image.insert(image.end(), in.begin() + 3, in.begin() + 35);
        }
        return statuses;
    }

    bool anySuccessShown() const {
        return std::find(rec.log.begin(), rec.log.end(), "status:" + kSuccess) != rec.log.end();
    }
};

TEST_F(StalledVirtualLink, LateAnswersReleasedInsideALaterExchangeAreNeverTakenForItsOwn) {
    ctl.holdAnswers(5);
    const auto& memory = devices.eeprom->memory();
    TUSBI2CReport in{};
    // Five user actions each wait one time-out: the read, then four attempts to get back in step.
    for (std::uint8_t k = 1; k <= 5; ++k) {
        in = {};
        link.I2CReadByte(0xA0, k, in);
        EXPECT_EQ(in[report::kStatus], 170) << int(k);
        link.newUserAction();
    }
    EXPECT_FALSE(anySuccessShown());
    EXPECT_EQ(fakeClock.totalSleptMillis(), 5u * hid::kReadTimeoutMs);

    // The five held answers arrive inside the sixth exchange, ahead of its own.
    in = {};
    link.I2CReadByte(0xA0, 6, in);
    EXPECT_EQ(in[report::kStatus], 0);
    EXPECT_EQ(in[report::kInData], memory[6]);
    EXPECT_NE(in[report::kInData], memory[1]);
    EXPECT_EQ(fakeClock.totalSleptMillis(), 5u * hid::kReadTimeoutMs);

    // And the link stays in step for what follows.
    std::vector<std::uint8_t> image;
    EXPECT_EQ(readAll(image), std::vector<std::uint8_t>(64, 0));
    EXPECT_EQ(image, memory);
}

TEST_F(StalledVirtualLink, ReadAllOverAStalledAdapterEndsWithin2TimeOutsAnd170) {
    ctl.setStalled(true);
    std::vector<std::uint8_t> image;
    EXPECT_EQ(readAll(image), std::vector<std::uint8_t>(64, 170));
    EXPECT_LE(fakeClock.totalSleptMillis(), 2u * hid::kReadTimeoutMs);
    // The first chunk and one revision request: nothing more goes to a silent adapter.
    EXPECT_EQ(ctl.adapter().outputLog().size(), 2u);
    EXPECT_FALSE(anySuccessShown());
    EXPECT_EQ(rec.lastStatus(), kNoHardware);

    // The next user action tries once more, within one time-out.
    link.newUserAction();
    const auto before = fakeClock.totalSleptMillis();
    EXPECT_EQ(readAll(image), std::vector<std::uint8_t>(64, 170));
    EXPECT_LE(fakeClock.totalSleptMillis() - before, std::uint64_t{hid::kReadTimeoutMs});
}

TEST_F(StalledVirtualLink, TheLinkRecoversOnceTheStallEnds) {
    ctl.scheduleStall(3);
    std::vector<std::uint8_t> image;
    std::vector<std::uint8_t> statuses = readAll(image);
    EXPECT_EQ(std::vector<std::uint8_t>(statuses.begin(), statuses.begin() + 3),
              std::vector<std::uint8_t>(3, 0));
    EXPECT_EQ(std::vector<std::uint8_t>(statuses.begin() + 3, statuses.end()),
              std::vector<std::uint8_t>(61, 170));

    // The held answers arrive when the stall ends; the link drops them on its way back.
    ctl.setStalled(false);
    link.newUserAction();
    const auto before = fakeClock.totalSleptMillis();
    EXPECT_EQ(readAll(image), std::vector<std::uint8_t>(64, 0));
    EXPECT_EQ(image, devices.eeprom->memory());
    EXPECT_EQ(fakeClock.totalSleptMillis(), before);
    EXPECT_EQ(rec.lastStatus(), kSuccess);
}

TEST_F(StalledVirtualLink, ANoticeGetsAGivenUpLinkBackWithoutAUserAction) {
    ctl.setStalled(true);
    std::vector<std::uint8_t> image;
    readAll(image);
    ASSERT_EQ(link.sync(), LinkSync::GaveUp);
    ctl.setStalled(false);
    ctl.plugOtherDevice();  // the arrival sequence runs again and re-synchronises first
    EXPECT_EQ(link.sync(), LinkSync::InStep);
    EXPECT_EQ(link.SerialNumber(), 12345);
    EXPECT_EQ(readAll(image), std::vector<std::uint8_t>(64, 0));
}

TEST_F(VirtualLink, UnplugAndReplug) {
    ctl.adapter().setLines(sim::Lines::SclLow);
    ctl.plug();
    EXPECT_EQ(rec.log.end()[-2], "message:SCL low. Ensure pull-ups are connected to SDA and SCL.");

    ctl.unplug();
    EXPECT_FALSE(link.attached());
    EXPECT_EQ(rec.log.end()[-2],
              "frequency:<P align=\"center\"><FONT color=\"clSilver\">100 kHz</FONT>");
    EXPECT_EQ(link.I2CWriteByte(0x40, 0, 1), 170);

    ctl.adapter().setLines(sim::Lines::High);
    ctl.plug();
    EXPECT_TRUE(link.attached());
    EXPECT_EQ(link.I2CWriteByte(0x40, 0, 1), 0);
}

}  // namespace
}  // namespace parvex::adapter
