// The exchange journal: what the link records against what the virtual adapter received.

#include <gtest/gtest.h>

#include <sstream>

#include "adapter/adapter_link.h"
#include "adapter/journal.h"
#include "common/wait.h"
#include "fake_hid.h"
#include "hid/virtual_backend.h"
#include "sim/virtual_adapter.h"

namespace parvex::adapter {
namespace {

std::vector<std::string> split(const std::string& text, char by) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, by)) parts.push_back(part);
    if (!text.empty() && text.back() == by) parts.emplace_back();
    return parts;
}

// A report from the journal's bytes_out column: report id 0, the bytes, zeros after them.
TUSBI2CReport reportOf(const std::string& hexBytes) {
    TUSBI2CReport out{};
    std::size_t at = 1;
    for (const std::string& b : split(hexBytes, ' ')) {
        EXPECT_LT(at, kReportSize);
        if (at < kReportSize) out[at++] = static_cast<std::uint8_t>(std::stoul(b, nullptr, 16));
    }
    return out;
}

class Journalled : public ::testing::Test {
protected:
    void SetUp() override {
        devices = sim::addDefaultDevices(ctl.adapter().bus());
        ctl.setChangeHandler([this] { link.HIDCtlDeviceChange(); });
        link.setJournal(&journal);
    }
    void TearDown() override { ctl.setChangeHandler(nullptr); }

    timing::FakeClock fakeClock;
    timing::ScopedClock scopedClock{fakeClock};
    hid::VirtualController ctl;
    sim::DefaultDevices devices;
    test::Recorder rec;
    AdapterLink link{ctl, rec, rec};
    Journal journal{1000};
};

TEST_F(Journalled, CsvMatchesTheReportsTheAdapterReceived) {
    ctl.plug();
    devices.eeprom->memory()[0x110] = 0x5A;
    const std::uint8_t page[8] = {1, 2, 3, 4, 5, 6, 7, 0};  // a trailing zero data byte
    std::vector<std::uint8_t> statuses;
    statuses.push_back(link.I2CWriteArray(0xA0, 0x20, 9, page));
    fakeClock.sleepMillis(10);  // the chip's write cycle
    TUSBI2CReport in{};
    link.I2CReadArray(0xA2, 0x10, 4, in);
    statuses.push_back(in[report::kStatus]);
    statuses.push_back(link.I2CWriteByte(0x30, 0x00, 0x11));  // nobody at 30
    statuses.push_back(link.HID_UpdateClock(400, true));
    // A message record with stale bytes after its data, as the expert table keeps them.
    TUSBI2CReport message{};
    message[1] = 8;
    message[2] = cmdReadMessage;
    message[3] = 2;
    message[5] = 15;
    message[6] = 0x41;
    message[40] = 0xEE;
    statuses.push_back(link.I2CDeviceRead(message, in));
    ctl.scheduleUnplug(0);
    link.I2CReadArray(0xA0, 0x00, 2, in);
    statuses.push_back(in[report::kStatus]);

    const std::vector<TUSBI2CReport>& received = ctl.adapter().outputLog();
    const std::vector<std::string> lines = split(journalCsv(journal.records()), '\n');
    ASSERT_EQ(lines.front(), "time_us,command,address,bytes_out,status,class,bytes_in,duration_us");
    ASSERT_EQ(lines.size(), received.size() + 2);  // header, then a final empty piece
    for (std::size_t i = 0; i < received.size(); ++i) {
        const std::vector<std::string> cells = split(lines[i + 1], ',');
        ASSERT_EQ(cells.size(), 8u) << lines[i + 1];
        EXPECT_EQ(reportOf(cells[3]), received[i]) << "row " << i + 1;
        EXPECT_EQ(cells[1], commandName(received[i][report::kCommand]));
    }
    // The three arrival commands come first; then the operations above, in order.
    const std::size_t first = 3;
    const char* expected[][4] = {
        {"A0", "0", "ok", ""}, {"A2", "0", "ok", "5A FF FF FF"}, {"30", "2", "address-nack", ""},
        {"", "0", "ok", ""},   {"41", "0", "ok", "00 00"},       {"A0", "170", "no-adapter", ""},
    };
    for (std::size_t k = 0; k < std::size(expected); ++k) {
        const std::vector<std::string> cells = split(lines[first + k + 1], ',');
        SCOPED_TRACE(lines[first + k + 1]);
        EXPECT_EQ(cells[2], expected[k][0]);
        EXPECT_EQ(cells[4], expected[k][1]);
        EXPECT_EQ(std::to_string(statuses[k]), expected[k][1]);
        EXPECT_EQ(cells[5], expected[k][2]);
        EXPECT_EQ(cells[6], expected[k][3]);
    }
    // The pulled adapter is let go: nothing more reaches it, and nothing more is recorded.
    link.I2CReadArray(0xA0, 0x00, 2, in);
    EXPECT_EQ(journal.size(), received.size());
}

TEST_F(Journalled, AnAnswerThatNeverComesIsATimeOut) {
    ctl.plug();
    ctl.setStalled(true);
    TUSBI2CReport in{};
    link.I2CReadArray(0xA0, 0, 1, in);
    ASSERT_GT(journal.size(), 0u);
    const ExchangeRecord last = journal.records().back();
    EXPECT_EQ(last.status, 170);
    EXPECT_EQ(last.statusClass, StatusClass::Timeout);
    EXPECT_TRUE(last.in.empty());
}

TEST_F(Journalled, WithoutAJournalNothingIsKept) {
    link.setJournal(nullptr);
    ctl.plug();
    EXPECT_EQ(journal.size(), 0u);
}

TEST(JournalRing, KeepsTheNewestRecordsOldestFirst) {
    Journal ring(3);
    for (std::uint8_t k = 0; k < 5; ++k) {
        ExchangeRecord r;
        r.command = k;
        ring.record(r);
    }
    ASSERT_EQ(ring.size(), 3u);
    EXPECT_EQ(ring.dropped(), 2u);
    const auto records = ring.records();
    EXPECT_EQ(records[0].command, 2);
    EXPECT_EQ(records[1].command, 3);
    EXPECT_EQ(records[2].command, 4);
    ring.clear();
    EXPECT_EQ(ring.size(), 0u);
    EXPECT_EQ(ring.dropped(), 0u);
}

TEST(JournalClasses, StatusesFallIntoTheirClasses) {
    const std::pair<int, StatusClass> cases[] = {
        {0, StatusClass::Ok},          {2, StatusClass::AddressNack},
        {4, StatusClass::AddressNack}, {64, StatusClass::DataNack},
        {16, StatusClass::LineLow},    {17, StatusClass::LineLow},
        {18, StatusClass::LineLow},    {10, StatusClass::Timeout},
        {170, StatusClass::NoAdapter}, {24, StatusClass::InvalidRequest},
        {9, StatusClass::Other},
    };
    for (const auto& [status, cls] : cases) {
        EXPECT_EQ(classifyStatus(static_cast<std::uint8_t>(status)), cls) << status;
    }
}

}  // namespace
}  // namespace parvex::adapter
