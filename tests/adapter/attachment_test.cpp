// Finding the adapter, the arrival and removal sequences, its identity, bus lines and clock.

#include <gtest/gtest.h>

#include "adapter/adapter_link.h"
#include "fake_hid.h"

namespace parvex::adapter {
namespace {

using test::Reply;
using Log = std::vector<std::string>;

const std::string kSuccess = "status:<P align=\"center\">Transmission successful</FONT>";
const std::string kNoHardware = "status:<P align=\"center\">No Hardware Connected</FONT>";
const std::string kWhite100 =
    "frequency:<P align=\"center\"><FONT color=\"clWhite\">100 kHz</FONT>";

Log arrivalLog(const std::string& portStatusFrequency, const std::string& message = "") {
    Log log = {
        kSuccess,
        kSuccess,
        "options:on",
        "statusbar:on",
        "hardware:<P align=\"center\"><FONT color=\"clWhite\">Parvex Hardware Detected</FONT>",
        kWhite100,
        kSuccess,
        portStatusFrequency};
    if (!message.empty()) log.push_back("message:" + message);
    log.push_back("repaint");
    return log;
}

const Log kRemovalLog = {
    "options:off",
    "statusbar:off",
    "status:<P align=\"center\"><FONT color=\"clSilver\"></FONT>",
    "hardware:<P align=\"center\"><FONT color=\"clWhite\">Parvex Hardware Not Detected</FONT>",
    "frequency:<P align=\"center\"><FONT color=\"clSilver\">100 kHz</FONT>",
    "repaint",
};

class Attachment : public ::testing::Test {
protected:
    std::vector<std::uint8_t> commandsSent(const test::FakeDeviceState& d) const {
        std::vector<std::uint8_t> commands;
        for (const auto& r : d.written) commands.push_back(r[report::kCommand]);
        return commands;
    }

    test::FakeController ctl;
    test::Recorder rec;
    AdapterLink link{ctl, rec, rec};
};

TEST_F(Attachment, ArrivalReadsIdentityAndBusLinesInOrder) {
    auto adapter = ctl.addAdapter();
    adapter->firmware = "Parvex FW 1.07\0\0\0\0\0";
    adapter->firmware.resize(19);
    adapter->serial = 0xBEEF;
    link.HIDCtlDeviceChange();

    ASSERT_TRUE(link.attached());
    EXPECT_EQ(rec.log, arrivalLog(kWhite100));
    EXPECT_EQ(commandsSent(*adapter),
              (std::vector<std::uint8_t>{cmdFirmwareRev, cmdSerialNumber, cmdPortStatus}));
    for (const auto& r : adapter->written) EXPECT_EQ(r[report::kLength], 2);
    EXPECT_EQ(link.firmwareRev(), adapter->firmware);
    EXPECT_EQ(link.firmwareRev().size(), 19u);
    EXPECT_EQ(link.SerialNumber(), 0xBEEF);
    EXPECT_EQ(link.ActualClock(), 100000);
}

TEST_F(Attachment, NoAdapterRunsTheRemovalSequence) {
    ctl.add(0x046D, 0xC077, "mouse");
    link.HIDCtlDeviceChange();
    EXPECT_FALSE(link.attached());
    EXPECT_EQ(rec.log, kRemovalLog);
    EXPECT_EQ(link.firmwareRev(), "");
    EXPECT_EQ(link.SerialNumber(), 0);
    EXPECT_EQ(link.ActualClock(), 100000);
}

TEST_F(Attachment, IdentityFieldsAreReadLeastSignificantByteFirst) {
    auto adapter = ctl.addAdapter();
    Reply fw = Reply::status(0);
    for (std::size_t i = 0; i < 22; ++i) fw.report[3 + i] = static_cast<std::uint8_t>('A' + i);
    Reply serial = Reply::status(0);
    serial.report[3] = 57;
    serial.report[4] = 48;
    adapter->replies = {fw, serial};
    link.HIDCtlDeviceChange();
    EXPECT_EQ(link.firmwareRev(), "ABCDEFGHIJKLMNOPQRS");  // bytes 3 to 21 only
    EXPECT_EQ(link.SerialNumber(), 12345);
}

TEST_F(Attachment, PortStatusCountsSetTheClockAndPanel) {
    struct Case {
        std::uint16_t first, second;
        std::int32_t clock;
        const char* kHz;
    };
    for (const Case& c : {Case{238, 238, 100000, "100"}, Case{118, 118, 200000, "200"},
                          Case{0, 0, 12000000, "12000"}, Case{0x1234, 0x0102, 9752, "9"}}) {
        test::FakeController controller;
        test::Recorder recorder;
        AdapterLink l{controller, recorder, recorder};
        auto adapter = controller.addAdapter();
        adapter->firstCount = c.first;
        adapter->secondCount = c.second;
        l.HIDCtlDeviceChange();
        EXPECT_EQ(l.ActualClock(), c.clock) << c.first;
        EXPECT_EQ(recorder.log,
                  arrivalLog(std::string("frequency:<P align=\"center\"><FONT color=\"clWhite\">") +
                             c.kHz + " kHz</FONT>"));
    }
}

TEST_F(Attachment, LowBusLinesShowOneMessageAndTheAdapterStaysUsable) {
    struct Case {
        std::uint8_t state;
        const char* message;
    };
    for (const Case& c : {Case{0, "SCL and SDA low. Ensure pull-ups are connected to SDA and SCL."},
                          Case{1, "SDA low. Ensure pull-ups are connected to SDA and SCL."},
                          Case{2, "SCL low. Ensure pull-ups are connected to SDA and SCL."},
                          Case{3, ""}, Case{0x83, ""}}) {
        test::FakeController controller;
        test::Recorder recorder;
        AdapterLink l{controller, recorder, recorder};
        auto adapter = controller.addAdapter();
        adapter->lineState = c.state;
        l.HIDCtlDeviceChange();
        EXPECT_EQ(recorder.log, arrivalLog(kWhite100, c.message)) << int{c.state};
        EXPECT_EQ(l.I2CWriteByte(0xA0, 0, 1), 0);
    }
}

TEST_F(Attachment, TheFirstMatchingDeviceThatOpensIsClaimed) {
    auto mouse = ctl.add(0x046D, 0xC077, "mouse");
    auto wrongProduct = ctl.add(kAdapterVendorId, kAdapterProductId + 1, "other");
    auto broken = ctl.addAdapter("adapter:busy");
    broken->openable = false;
    auto first = ctl.addAdapter("adapter:1");
    auto second = ctl.addAdapter("adapter:2");
    link.HIDCtlDeviceChange();

    ASSERT_TRUE(link.attached());
    EXPECT_EQ(first->checkOuts, 1);
    EXPECT_EQ(second->checkOuts, 0);
    EXPECT_EQ(mouse->checkOuts + wrongProduct->checkOuts, 0);
    EXPECT_EQ(commandsSent(*first).size(), 3u);
    EXPECT_TRUE(second->written.empty());

    // With an adapter claimed, a notice does not look for another one.
    link.HIDCtlDeviceChange();
    EXPECT_EQ(ctl.enumerations, 1);
    EXPECT_EQ(second->checkOuts, 0);
}

TEST_F(Attachment, UnrelatedDeviceChangeRepeatsTheArrivalInFull) {
    auto adapter = ctl.addAdapter();
    adapter->lineState = 0;
    link.HIDCtlDeviceChange();
    rec.log.clear();
    ctl.add(0x046D, 0xC077, "mouse");
    link.HIDCtlDeviceChange();
    EXPECT_EQ(
        rec.log,
        arrivalLog(kWhite100, "SCL and SDA low. Ensure pull-ups are connected to SDA and SCL."));
    EXPECT_EQ(adapter->written.size(), 6u);
    EXPECT_EQ(adapter->checkOuts, 1);
}

TEST_F(Attachment, UnplugMidRunFailsWithNoHardwareUntilTheAdapterReturns) {
    auto adapter = ctl.addAdapter();
    link.HIDCtlDeviceChange();
    TUSBI2CReport in{};
    link.I2CReadArray(0xA0, 0, 32, in);
    EXPECT_EQ(in[2], 0);

    // Pulled during a read of several chunks: the rest fail before any notice arrives.
    adapter->pluggedIn = false;
    for (int chunk = 1; chunk < 4; ++chunk) {
        in = {};
        link.I2CReadArray(0xA0, static_cast<std::uint8_t>(chunk * 32), 32, in);
        EXPECT_EQ(in[2], 170);
        EXPECT_EQ(rec.log.back(), kNoHardware);
    }

    rec.log.clear();
    link.HIDCtlDeviceChange();
    EXPECT_FALSE(link.attached());
    EXPECT_EQ(rec.log, kRemovalLog);
    const auto writesWhileAway = adapter->written.size();
    EXPECT_EQ(link.I2CWriteByte(0xA0, 0, 0), 170);
    EXPECT_EQ(adapter->written.size(), writesWhileAway);
    EXPECT_EQ(link.SerialNumber(), 4711);  // kept from the last arrival

    adapter->pluggedIn = true;
    adapter->serial = 99;
    rec.log.clear();
    link.HIDCtlDeviceChange();
    EXPECT_TRUE(link.attached());
    EXPECT_EQ(adapter->checkOuts, 2);  // the dead device object was released, a new one claimed
    EXPECT_EQ(rec.log, arrivalLog(kWhite100));
    EXPECT_EQ(link.SerialNumber(), 99);
    EXPECT_EQ(link.I2CWriteByte(0xA0, 0, 0), 0);
}

TEST_F(Attachment, NoticeWhileTheHandlerRunsIsIgnored) {
    auto adapter = ctl.addAdapter();
    adapter->lineState = 1;
    int nested = 0;
    rec.onMessage = [&] {
        // The user leaves the message box open while another device comes and goes.
        ++nested;
        ctl.add(0x046D, 0xC077, "mouse");
        link.HIDCtlDeviceChange();
    };
    link.HIDCtlDeviceChange();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(rec.log,
              arrivalLog(kWhite100, "SDA low. Ensure pull-ups are connected to SDA and SCL."));
    EXPECT_EQ(adapter->written.size(), 3u);

    // Once the handler has returned, notices are handled again.
    rec.onMessage = nullptr;
    rec.log.clear();
    link.HIDCtlDeviceChange();
    EXPECT_EQ(rec.log.back(), "repaint");
    EXPECT_EQ(adapter->written.size(), 6u);
}

TEST_F(Attachment, UnansweredIdentityAndPortStatusInventNothing) {
    auto adapter = ctl.addAdapter();
    link.HIDCtlDeviceChange();
    adapter->firstCount = adapter->secondCount = 118;
    link.HID_UpdateClock(400, true);
    rec.log.clear();

    adapter->replies.assign(3, Reply::of(Reply::Kind::Silent));
    link.DeviceAttachMessage(true);
    EXPECT_EQ(link.firmwareRev(), "");
    EXPECT_EQ(link.SerialNumber(), 4711);
    EXPECT_EQ(link.ActualClock(), 400000);
    // No clock from absent counts and no "lines low" message from an absent line state.
    EXPECT_EQ(rec.log, (Log{kNoHardware, kNoHardware, "options:on", "statusbar:on",
                            "hardware:<P align=\"center\"><FONT color=\"clWhite\">Parvex Hardware "
                            "Detected</FONT>",
                            kWhite100, kNoHardware, "repaint"}));
}

TEST_F(Attachment, ResetBusSendsTheResetCommandOnlyWithAnAdapter) {
    link.ResetBus();
    EXPECT_TRUE(rec.log.empty());
    auto adapter = ctl.addAdapter();
    link.HIDCtlDeviceChange();
    adapter->written.clear();
    rec.log.clear();
    adapter->replies.push_back(Reply::status(10));
    link.ResetBus();
    ASSERT_EQ(adapter->written.size(), 1u);
    EXPECT_EQ(adapter->written[0][1], 2);
    EXPECT_EQ(adapter->written[0][2], cmdResetBus);
    EXPECT_EQ(rec.log, Log{"status:<P align=\"center\">I2C bus Time-out</FONT>"});
}

TEST_F(Attachment, StatusPanelCanBeEmptied) {
    link.ErrorMessage(7);
    link.ResetWarning();
    EXPECT_EQ(rec.log, (Log{"status:<P align=\"center\"></FONT>", "status:"}));
}

// ---- the clock ----

class Clock : public Attachment {
protected:
    void SetUp() override {
        link.HIDCtlDeviceChange();
        ASSERT_TRUE(link.attached());
        adapter->written.clear();
        rec.log.clear();
    }
    std::shared_ptr<test::FakeDeviceState> adapter = ctl.addAdapter();
};

TEST_F(Clock, ChangeSendsTheAchievableClockAndShowsIt) {
    struct Case {
        std::uint32_t request;
        std::int32_t clock;
        std::uint8_t hz[4];
        const char* panel;
    };
    const Case cases[] = {
        {333, 333333, {21, 22, 5, 0}, "<P align=\"center\">333 kHz</FONT>"},
        {2000, 2000000, {0x80, 0x84, 0x1E, 0}, "<P align=\"center\">2000 kHz</FONT>"},
        {700, 705882, {0x5A, 0xC5, 0x0A, 0}, "<P align=\"center\">705 kHz</FONT>"},
        // Requests outside 1..48000 kHz are taken as the nearest valid one.
        {0, 1000, {0xE8, 0x03, 0, 0}, "<P align=\"center\">1 kHz</FONT>"},
        {60000, 48000000, {0x00, 0x6C, 0xDC, 0x02}, "<P align=\"center\">48000 kHz</FONT>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        adapter->written.clear();
        rec.log.clear();
        EXPECT_EQ(link.HID_UpdateClock(c.request, true), 0);
        EXPECT_EQ(link.ActualClock(), c.clock);
        ASSERT_EQ(adapter->written.size(), 1u);
        EXPECT_EQ(adapter->written[0],
                  (TUSBI2CReport{0, 10, 1, c.hz[0], c.hz[1], c.hz[2], c.hz[3], 1, 0, 0, 0}));
        EXPECT_EQ(rec.log, (Log{kSuccess, std::string("frequency:") + c.panel, "repaint"}));
    }
}

TEST_F(Clock, AdapterErrorStillUpdatesTheClockAndLeavesFirmwareAlone) {
    const std::string firmware = link.firmwareRev();
    Reply reply = Reply::status(24);
    for (std::size_t i = 3; i < 25; ++i) reply.report[i] = 'x';
    adapter->replies.push_back(reply);
    EXPECT_EQ(link.HID_UpdateClock(400, false), 24);
    EXPECT_EQ(link.ActualClock(), 400000);
    EXPECT_EQ(rec.log.back(), "repaint");
    EXPECT_EQ(rec.log[1], "frequency:<P align=\"center\">400 kHz</FONT>");
    EXPECT_EQ(link.firmwareRev(), firmware);
}

TEST_F(Clock, WithoutAdapterNothingChanges) {
    link.HID_UpdateClock(400, true);
    adapter->pluggedIn = false;
    link.HIDCtlDeviceChange();
    rec.log.clear();
    const auto sent = adapter->written.size();
    EXPECT_EQ(link.HID_UpdateClock(100, true), 170);
    EXPECT_EQ(link.ActualClock(), 400000);
    EXPECT_EQ(rec.log, Log{kNoHardware});
    EXPECT_EQ(adapter->written.size(), sent);
}

}  // namespace
}  // namespace parvex::adapter
