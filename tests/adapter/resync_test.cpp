// Getting back in step with an adapter whose answers came late, over the scriptable HID layer.

#include <gtest/gtest.h>

#include "adapter/adapter_link.h"
#include "fake_hid.h"

namespace parvex::adapter {
namespace {

using test::Reply;

const std::string kNoHardware = "<P align=\"center\">No Hardware Connected</FONT>";

Reply dataAnswer(std::uint8_t value) {
    Reply r = Reply::status(0);
    r.report[report::kInData] = value;
    return r;
}

class Resync : public ::testing::Test {
protected:
    void SetUp() override {
        link.HIDCtlDeviceChange();
        ASSERT_TRUE(link.attached());
        adapter->written.clear();
        adapter->readTimeouts.clear();
    }

    // The bytes 0 and 2 of each report written since the last call.
    std::vector<std::uint8_t> commandsWritten() {
        std::vector<std::uint8_t> commands;
        for (const auto& r : adapter->written) commands.push_back(r[report::kCommand]);
        adapter->written.clear();
        return commands;
    }

    std::uint8_t readByte() {
        TUSBI2CReport in{};
        link.I2CReadByte(0xA0, 0, in);
        return in[report::kStatus] == 0 ? in[report::kInData] : in[report::kStatus];
    }

    test::FakeController ctl;
    std::shared_ptr<test::FakeDeviceState> adapter = ctl.addAdapter();
    test::Recorder rec;
    AdapterLink link{ctl, rec, rec};
};

TEST_F(Resync, RevisionAnswersOwedFromEarlierAttemptsAreCountedBeforeTheLinkIsInStep) {
    adapter->replies = {Reply::of(Reply::Kind::Delayed),
                        adapter->revisionAnswer(Reply::Kind::Delayed),
                        adapter->revisionAnswer(Reply::Kind::Delayed), dataAnswer(0x42)};
    EXPECT_EQ(readByte(), 170);  // times out
    EXPECT_EQ(link.sync(), LinkSync::OutOfStep);
    // The first answer turns up inside the re-synchronisation, which drops it but times out
    // waiting for its own.
    EXPECT_EQ(readByte(), 170);
    EXPECT_EQ(link.sync(), LinkSync::GaveUp);
    EXPECT_EQ(commandsWritten(), (std::vector<std::uint8_t>{cmdTransfer, cmdFirmwareRev}));

    link.newUserAction();
    // The re-synchronisation takes the first revision answer; the second turns up inside the
    // transfer, ahead of its answer, and must not be read as it.
    EXPECT_EQ(readByte(), 0x42);
    EXPECT_EQ(link.sync(), LinkSync::InStep);
    EXPECT_EQ(commandsWritten(), (std::vector<std::uint8_t>{cmdFirmwareRev, cmdTransfer}));
    EXPECT_TRUE(adapter->inbox.empty());
}

TEST_F(Resync, AGivenUpLinkFailsAtOnceUntilTheNextUserActionOrNotice) {
    struct Case {
        const char* name;
        std::function<void()> wakeUp;
    };
    const Case cases[] = {
        {"user action", [&] { link.newUserAction(); }},
        {"device notice", [&] { link.HIDCtlDeviceChange(); }},
    };
    for (const Case& c : cases) {
        adapter->replies.assign(2, Reply::of(Reply::Kind::Silent));
        EXPECT_EQ(readByte(), 170) << c.name;
        EXPECT_EQ(readByte(), 170) << c.name;  // the re-synchronisation times out too
        EXPECT_EQ(link.sync(), LinkSync::GaveUp) << c.name;
        adapter->written.clear();
        adapter->readTimeouts.clear();
        rec.log.clear();
        for (int i = 0; i < 5; ++i) EXPECT_EQ(link.I2CWriteByte(0xA0, 0, 1), 170) << c.name;
        EXPECT_TRUE(adapter->written.empty()) << c.name;
        EXPECT_TRUE(adapter->readTimeouts.empty()) << c.name;
        EXPECT_EQ(rec.log, std::vector<std::string>(5, "status:" + kNoHardware)) << c.name;

        c.wakeUp();
        EXPECT_EQ(link.I2CWriteByte(0xA0, 0, 1), 0) << c.name;
        EXPECT_EQ(link.sync(), LinkSync::InStep) << c.name;
    }
}

TEST_F(Resync, OneLateAnswerInsideAnOperationCostsOneTimeOutAndTheRestGoesOn) {
    adapter->replies = {Reply::of(Reply::Kind::Late)};
    EXPECT_EQ(readByte(), 170);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(link.I2CWriteByte(0xA0, 0, 1), 0);
    EXPECT_EQ(commandsWritten(),
              (std::vector<std::uint8_t>{cmdTransfer, cmdFirmwareRev, cmdTransfer, cmdTransfer,
                                         cmdTransfer}));
}

TEST(ResyncUnknownRevision, AnAdapterThatNeverToldItsRevisionIsGivenUpUntilItIsReplugged) {
    test::FakeController ctl;
    auto adapter = ctl.addAdapter();
    test::Recorder rec;
    AdapterLink link{ctl, rec, rec};
    adapter->replies = {Reply::of(Reply::Kind::Late)};  // the arrival's revision request
    link.HIDCtlDeviceChange();
    EXPECT_EQ(link.firmwareRev(), "");
    EXPECT_EQ(link.sync(), LinkSync::GaveUp);
    EXPECT_EQ(adapter->written.size(), 1u);  // nothing it could recognise to wait for

    link.newUserAction();
    EXPECT_EQ(link.I2CWriteByte(0xA0, 0, 1), 170);
    EXPECT_EQ(adapter->written.size(), 1u);

    adapter->pluggedIn = false;
    link.HIDCtlDeviceChange();
    adapter->pluggedIn = true;
    link.HIDCtlDeviceChange();
    EXPECT_EQ(link.sync(), LinkSync::InStep);
    EXPECT_EQ(link.I2CWriteByte(0xA0, 0, 1), 0);
}

TEST_F(Resync, AnAdapterFloodingReportsCannotHoldTheWindow) {
    adapter->replies = {Reply::of(Reply::Kind::Silent)};
    EXPECT_EQ(readByte(), 170);
    // Every report the re-synchronisation reads is junk, and more keep coming.
    adapter->delayed.assign(1000, Reply::status(0).report);
    adapter->replies = {Reply::of(Reply::Kind::Silent)};
    EXPECT_EQ(readByte(), 170);
    EXPECT_EQ(link.sync(), LinkSync::GaveUp);
    EXPECT_LE(adapter->readTimeouts.size(), 300u);
}

}  // namespace
}  // namespace parvex::adapter
