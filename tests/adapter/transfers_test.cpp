// The report bytes of every transfer operation and the exchange's failure paths.

#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "adapter/adapter_link.h"
#include "fake_hid.h"

namespace parvex::adapter {
namespace {

using test::Reply;

const std::string kSuccess = "<P align=\"center\">Transmission successful</FONT>";
const std::string kNoHardware = "<P align=\"center\">No Hardware Connected</FONT>";
const std::string kNacked = "<P align=\"center\">Slave address nAcked</FONT>";

// The 65 bytes of a report whose leading bytes are `head` and the rest 0.
TUSBI2CReport padded(std::initializer_list<int> head) {
    TUSBI2CReport r{};
    std::size_t i = 0;
    for (int b : head) r[i++] = static_cast<std::uint8_t>(b);
    return r;
}

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        link.HIDCtlDeviceChange();
        ASSERT_TRUE(link.attached());
        adapter->written.clear();
        adapter->readTimeouts.clear();
        rec.log.clear();
    }

    test::FakeController ctl;
    std::shared_ptr<test::FakeDeviceState> adapter = ctl.addAdapter();
    test::Recorder rec;
    AdapterLink link{ctl, rec, rec};
};

TEST_F(LinkTest, WriteByteSendsTheDocumentedReport) {
    EXPECT_EQ(link.I2CWriteByte(160, 16, 255), 0);
    ASSERT_EQ(adapter->written.size(), 1u);
    EXPECT_EQ(adapter->written[0], padded({0, 8, 5, 2, 0, 0, 160, 16, 255}));
    EXPECT_EQ(rec.log, std::vector<std::string>{"status:" + kSuccess});
}

TEST_F(LinkTest, WriteArrayCountsTheSubaddressAndSendsLengthPlusSeven) {
    std::uint8_t page[16];
    std::iota(std::begin(page), std::end(page), std::uint8_t{0x40});
    EXPECT_EQ(link.I2CWriteArray(160, 32, 17, page), 0);
    ASSERT_EQ(adapter->written.size(), 1u);
    TUSBI2CReport expected = padded({0, 24, 5, 17, 0, 0, 160, 32});
    std::copy(std::begin(page), std::end(page), expected.begin() + 8);
    EXPECT_EQ(adapter->written[0], expected);
}

TEST_F(LinkTest, WriteArrayOfAFullReportFillsTheLastByte) {
    std::uint8_t data[57];
    std::iota(std::begin(data), std::end(data), std::uint8_t{1});
    EXPECT_EQ(link.I2CWriteArray(0xA0, 0, 58, data), 0);
    ASSERT_EQ(adapter->written.size(), 1u);
    EXPECT_EQ(adapter->written[0][1], 65);
    EXPECT_EQ(adapter->written[0][3], 58);
    EXPECT_EQ(adapter->written[0][64], 57);
}

TEST_F(LinkTest, WriteArrayThatCannotFitOneReportIsRefusedUnsent) {
    std::uint8_t data[300] = {};
    const std::string invalid =
        "<P align=\"center\">Invalid HID_I2C Request or Request not supported</FONT>";
    // 258 would go out with a write count of 2 if the low byte were all that was checked.
    for (std::uint16_t n : {59, 258}) {
        EXPECT_EQ(link.I2CWriteArray(0xA0, 0, n, data), 24) << n;
        EXPECT_EQ(rec.lastStatus(), invalid);
    }
    EXPECT_EQ(link.I2CWriteArray(0xA0, 0, 3, nullptr), 24);
    EXPECT_TRUE(adapter->written.empty());
}

TEST_F(LinkTest, EveryOperationBuildsItsReport) {
    TUSBI2CReport in{};
    TUSBI2CReport raw = padded({0, 9, 3, 3, 0, 15, 0x40, 1, 2, 3});
    raw[64] = 0x5A;  // sent unchanged, even past the meaningful bytes
    struct Case {
        const char* name;
        std::function<void()> call;
        TUSBI2CReport expected;
    };
    const Case cases[] = {
        {"I2CWrite", [&] { link.I2CWrite(0x40, 0x99); }, padded({0, 7, 5, 1, 0, 0, 0x40, 0x99})},
        {"I2CRead", [&] { link.I2CRead(0x41, in); }, padded({0, 6, 5, 0, 1, 0, 0x41})},
        {"I2CReadCount", [&] { link.I2CReadCount(0x41, 62, in); },
         padded({0, 6, 5, 0, 62, 0, 0x41})},
        {"I2CReadByte", [&] { link.I2CReadByte(0xA0, 0x7F, in); },
         padded({0, 7, 5, 1, 1, 0, 0xA0, 0x7F})},
        {"I2CReadArray", [&] { link.I2CReadArray(160, 0, 32, in); },
         padded({0, 7, 5, 1, 32, 0, 160, 0})},
        // The read count is the low byte of NumBytes.
        {"I2CReadArray 300", [&] { link.I2CReadArray(160, 5, 300, in); },
         padded({0, 7, 5, 1, 44, 0, 160, 5})},
        {"I2CWriteArray 1", [&] { link.I2CWriteArray(0xA0, 9, 1, nullptr); },
         padded({0, 8, 5, 1, 0, 0, 0xA0, 9})},
        {"I2CDeviceWrite", [&] { link.I2CDeviceWrite(raw); }, raw},
        {"I2CDeviceRead", [&] { link.I2CDeviceRead(raw, in); }, raw},
        {"ResetBus", [&] { link.ResetBus(); }, padded({0, 2, 0})},
    };
    for (const Case& c : cases) {
        adapter->written.clear();
        c.call();
        ASSERT_EQ(adapter->written.size(), 1u) << c.name;
        EXPECT_EQ(adapter->written[0], c.expected) << c.name;
    }
}

TEST_F(LinkTest, ReadArrayDeliversTheBytesReadFromByteThree) {
    Reply reply = Reply::status(0);
    for (int i = 0; i < 32; ++i) reply.report[3 + i] = static_cast<std::uint8_t>(0xC0 + i);
    adapter->replies.push_back(reply);
    TUSBI2CReport in{};
    link.I2CReadArray(160, 0, 32, in);
    EXPECT_EQ(in[2], 0);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(in[3 + i], 0xC0 + i) << i;
    EXPECT_EQ(rec.lastStatus(), kSuccess);
}

TEST_F(LinkTest, AdapterStatusIsShownAndHandedBack) {
    adapter->replies.assign(4, Reply::status(2));
    std::uint8_t data[3] = {1, 2, 3};
    TUSBI2CReport in{};
    EXPECT_EQ(link.I2CWriteByte(0xA0, 0, 1), 2);
    EXPECT_EQ(link.I2CWriteArray(0xA0, 0, 4, data), 2);
    link.I2CReadArray(0xA0, 0, 8, in);
    EXPECT_EQ(in[2], 2);
    in = {};
    EXPECT_EQ(link.I2CDeviceRead(padded({0, 7, 4, 1, 0, 13, 0xA1, 0}), in), 2);
    EXPECT_EQ(in[2], 2);
    EXPECT_EQ(rec.log, std::vector<std::string>(4, "status:" + kNacked));
}

TEST_F(LinkTest, ARunOfSuccessesLeavesTheSuccessText) {
    adapter->replies.push_back(Reply::status(3));
    TUSBI2CReport in{};
    link.I2CReadByte(0xA0, 0, in);
    EXPECT_EQ(rec.lastStatus(), "<P align=\"center\">I2C bus error</FONT>");
    for (int i = 0; i < 3; ++i) link.I2CReadByte(0xA0, static_cast<std::uint8_t>(i), in);
    EXPECT_EQ(rec.lastStatus(), kSuccess);
}

TEST(LinkWithoutAdapter, EveryOperationGives170WithoutTouchingTheHidLayer) {
    test::FakeController ctl;
    test::Recorder rec;
    AdapterLink link{ctl, rec, rec};
    std::uint8_t data[4] = {};
    TUSBI2CReport out = padded({0, 2, 6});

    EXPECT_EQ(link.I2CWrite(0xA0, 1), 170);
    EXPECT_EQ(link.I2CWriteByte(0xA0, 1, 2), 170);
    EXPECT_EQ(link.I2CWriteArray(0xA0, 1, 5, data), 170);
    EXPECT_EQ(link.I2CWriteArray(0xA0, 1, 200, data), 170);
    EXPECT_EQ(link.I2CDeviceWrite(out), 170);
    const std::function<void(TUSBI2CReport&)> reads[] = {
        [&](TUSBI2CReport& in) { link.I2CRead(0xA0, in); },
        [&](TUSBI2CReport& in) { link.I2CReadCount(0xA0, 4, in); },
        [&](TUSBI2CReport& in) { link.I2CReadByte(0xA0, 1, in); },
        [&](TUSBI2CReport& in) { link.I2CReadArray(0xA0, 1, 32, in); },
        [&](TUSBI2CReport& in) { EXPECT_EQ(link.I2CDeviceRead(out, in), 170); },
        [&](TUSBI2CReport& in) { link.HID_Send_OutputReport(out, in); },
    };
    for (const auto& read : reads) {
        TUSBI2CReport in{};  // byte 2 starts as a success
        read(in);
        EXPECT_EQ(in[2], 170);
    }
    EXPECT_EQ(rec.log, std::vector<std::string>(11, "status:" + kNoHardware));

    link.ResetBus();
    link.GetFirmwareRev();
    link.GetSerialNumber();
    EXPECT_EQ(rec.log.size(), 11u);  // nothing more reported
    EXPECT_EQ(ctl.enumerations, 0);
}

// ---- the exchange when the adapter does not answer properly ----

TEST_F(LinkTest, UnansweredReadTimesOutAndGives170NotAStaleSuccess) {
    adapter->replies.push_back(Reply::of(Reply::Kind::Silent));
    TUSBI2CReport in{};
    in[3] = 0x11;
    link.I2CReadArray(0xA0, 0, 16, in);
    EXPECT_EQ(in[2], 170);
    EXPECT_EQ(rec.lastStatus(), kNoHardware);
    EXPECT_EQ(adapter->readTimeouts, std::vector<int>{hid::kReadTimeoutMs});

    adapter->replies.push_back(Reply::of(Reply::Kind::Silent));
    EXPECT_EQ(link.I2CWriteByte(0xA0, 0, 0), 170);
}

TEST_F(LinkTest, FailedReadGives170) {
    adapter->replies.push_back(Reply::of(Reply::Kind::Error));
    EXPECT_EQ(link.I2CWriteByte(0xA0, 0, 0), 170);
    EXPECT_EQ(rec.lastStatus(), kNoHardware);
}

TEST_F(LinkTest, ShortWriteGives170AndReadsNothing) {
    adapter->writeResult = 64;
    TUSBI2CReport in{};
    link.I2CReadByte(0xA0, 0, in);
    EXPECT_EQ(in[2], 170);
    EXPECT_EQ(link.I2CDeviceWrite(padded({0, 2, 0})), 170);
    adapter->writeResult = -1;
    EXPECT_EQ(link.I2CWrite(0xA0, 0), 170);
    EXPECT_TRUE(adapter->readTimeouts.empty());
    EXPECT_EQ(rec.log, std::vector<std::string>(3, "status:" + kNoHardware));
}

TEST_F(LinkTest, LateAnswerOfATimedOutExchangeIsDroppedBeforeTheNextOne) {
    Reply late = Reply::of(Reply::Kind::Late, 2);
    late.report[3] = 0xEE;
    Reply own = Reply::status(0);
    own.report[3] = 0x42;
    adapter->replies = {late, adapter->revisionAnswer(), own};

    TUSBI2CReport in{};
    link.I2CReadByte(0xA0, 0, in);
    EXPECT_EQ(in[2], 170);
    ASSERT_EQ(adapter->inbox.size(), 1u);  // the late answer has arrived meanwhile
    EXPECT_EQ(link.sync(), LinkSync::OutOfStep);

    in = {};
    link.I2CReadByte(0xA0, 1, in);
    EXPECT_EQ(in[2], 0);
    EXPECT_EQ(in[3], 0x42);
    EXPECT_EQ(rec.lastStatus(), kSuccess);
    EXPECT_TRUE(adapter->inbox.empty());
    EXPECT_EQ(link.sync(), LinkSync::InStep);
    // Back in step through one revision request, sent before the read.
    ASSERT_EQ(adapter->written.size(), 3u);
    EXPECT_EQ(adapter->written[1], padded({0, 2, 6}));
}

}  // namespace
}  // namespace parvex::adapter
