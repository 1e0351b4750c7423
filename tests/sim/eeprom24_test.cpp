#include "sim/eeprom24.h"

#include <gtest/gtest.h>

#include <numeric>
#include <stdexcept>
#include <vector>

#include "common/wait.h"
#include "sim/report_builders.h"
#include "sim/virtual_adapter.h"

namespace parvex::sim {
namespace {

using test::inData;
using test::transferReport;

std::vector<std::uint8_t> counting(std::size_t n, std::uint8_t first = 0) {
    std::vector<std::uint8_t> bytes(n);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

// One EEPROM on the adapter's bus, with time standing still unless a test sleeps.
class EepromTest : public ::testing::Test {
protected:
    void useChip(std::size_t size, std::size_t page, std::uint8_t base = 0xA0) {
        adapter.bus().detachAll();
        chip = std::make_shared<Eeprom24>(size, page, base);
        adapter.bus().attach(chip);
    }
    std::uint8_t writeAt(std::uint8_t address, std::uint8_t word, std::vector<std::uint8_t> data) {
        data.insert(data.begin(), word);
        TUSBI2CReport in{};
        adapter.exchange(transferReport(address, data, 0), in);
        return in[report::kStatus];
    }
    TUSBI2CReport readAt(std::uint8_t address, std::uint8_t word, std::uint8_t count) {
        TUSBI2CReport in{};
        adapter.exchange(transferReport(address, {word}, count), in);
        return in;
    }
    TUSBI2CReport readOn(std::uint8_t address, std::uint8_t count) {
        TUSBI2CReport in{};
        adapter.exchange(transferReport(address, {}, count), in);
        return in;
    }

    timing::FakeClock clock;
    timing::ScopedClock scoped{clock};
    VirtualAdapter adapter;
    std::shared_ptr<Eeprom24> chip;
};

TEST_F(EepromTest, PageWriteWrapsInsideItsPage) {
    useChip(2048, 16);
    chip->setWriteCycleMs(0);
    // 32 bytes at a page start: the last 16 land over the first 16.
    ASSERT_EQ(writeAt(0xA0, 0x20, counting(32, 0x40)), status::kSuccess);
    EXPECT_EQ(
        std::vector<std::uint8_t>(chip->memory().begin() + 0x20, chip->memory().begin() + 0x30),
        counting(16, 0x50));
    EXPECT_EQ(chip->memory()[0x1F], 0xFF);
    EXPECT_EQ(chip->memory()[0x30], 0xFF);

    // Starting mid-page, the bytes past the page end go to the page start.
    ASSERT_EQ(writeAt(0xA0, 0x4C, counting(6, 1)), status::kSuccess);
    EXPECT_EQ(
        std::vector<std::uint8_t>(chip->memory().begin() + 0x40, chip->memory().begin() + 0x50),
        (std::vector<std::uint8_t>{5, 6, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                   1, 2, 3, 4}));
}

TEST_F(EepromTest, BlockBitsSelectAddressesAndBlocks) {
    struct Case {
        std::size_t size;
        std::uint8_t base;
        std::uint8_t address;
        bool answers;
    };
    const Case cases[] = {
        {2048, 0xA0, 0xA0, true},  {2048, 0xA0, 0xAE, true},  {2048, 0xA0, 0xAF, true},
        {2048, 0xA0, 0xB0, false}, {512, 0xA4, 0xA4, true},   {512, 0xA4, 0xA6, true},
        {512, 0xA4, 0xA0, false},  {512, 0xA4, 0xA2, false},  {512, 0xA4, 0xA8, false},
        {1024, 0xA8, 0xAE, true},  {1024, 0xA8, 0xA6, false}, {256, 0xA2, 0xA2, true},
        {256, 0xA2, 0xA0, false},  {16, 0xA0, 0xA0, true},    {16, 0xA0, 0xA2, false},
    };
    for (const Case& c : cases) {
        const Eeprom24 eeprom(c.size, c.size < 16 ? c.size : 16, c.base);
        EXPECT_EQ(eeprom.answers(c.address), c.answers)
            << c.size << " bytes at " << hexByte(c.base) << " addressed as " << hexByte(c.address);
    }

    useChip(2048, 16);
    chip->setWriteCycleMs(0);
    ASSERT_EQ(writeAt(0xAE, 0xF0, {0x77}), status::kSuccess);
    ASSERT_EQ(writeAt(0xA2, 0x10, {0x66}), status::kSuccess);
    EXPECT_EQ(chip->memory()[0x7F0], 0x77);
    EXPECT_EQ(chip->memory()[0x110], 0x66);
    EXPECT_EQ(inData(readAt(0xA2, 0x10, 1), 1)[0], 0x66);
}

TEST_F(EepromTest, ReadsContinueFromTheAddressPointerAndRollOverAtTheEnd) {
    useChip(2048, 16);
    chip->memory() = counting(2048);  // low byte of each address
    EXPECT_EQ(inData(readAt(0xAE, 0xFD, 2), 2), (std::vector<std::uint8_t>{0xFD, 0xFE}));
    // Current-address reads go on from there, through the end of the chip to its start.
    EXPECT_EQ(inData(readOn(0xA0, 4), 4), (std::vector<std::uint8_t>{0xFF, 0x00, 0x01, 0x02}));
    EXPECT_EQ(chip->addressPointer(), 3u);

    // A small chip ignores word-address bits beyond its size.
    useChip(128, 8);
    chip->memory() = counting(128);
    EXPECT_EQ(inData(readAt(0xA0, 0x85, 1), 1)[0], 0x05);
}

TEST_F(EepromTest, WriteCycleRefusesTheAddressUntilItEnds) {
    useChip(2048, 16);
    ASSERT_EQ(writeAt(0xA0, 0x00, {1, 2}), status::kSuccess);
    EXPECT_TRUE(chip->busy());
    EXPECT_EQ(readAt(0xA0, 0x00, 1)[report::kStatus], status::kAddressNack);
    EXPECT_EQ(writeAt(0xA6, 0x00, {9}), status::kAddressNack);  // any block: one chip
    timing::sleepMs(4);
    EXPECT_TRUE(chip->busy());
    timing::sleepMs(1);
    EXPECT_FALSE(chip->busy());
    const TUSBI2CReport in = readAt(0xA0, 0x00, 2);
    EXPECT_EQ(in[report::kStatus], status::kSuccess);
    EXPECT_EQ(inData(in, 2), (std::vector<std::uint8_t>{1, 2}));

    chip->setWriteCycleMs(10);
    ASSERT_EQ(writeAt(0xA0, 0x00, {3}), status::kSuccess);
    timing::sleepMs(9);
    EXPECT_TRUE(chip->busy());
    timing::sleepMs(1);
    EXPECT_FALSE(chip->busy());
}

TEST_F(EepromTest, ZeroDataWriteMessageProbesTheWriteCycle) {
    // The probe a host polls with: the address alone, acknowledge checked, then a stop.
    const TUSBI2CReport probe = test::messageReport(cmdWriteMessage, 0xA0, true, true, {});
    useChip(2048, 16);
    chip->setWriteCycleMs(3);
    ASSERT_EQ(writeAt(0xA0, 0x10, {7}), status::kSuccess);
    std::vector<int> statuses;
    for (int ms = 0; ms < 5; ++ms) {
        TUSBI2CReport in{};
        adapter.exchange(probe, in);
        statuses.push_back(in[report::kStatus]);
        timing::sleepMs(1);
    }
    EXPECT_EQ(statuses, (std::vector<int>{2, 2, 2, 0, 0}));
    // The probe itself programs nothing and starts no new cycle.
    EXPECT_FALSE(chip->busy());
    EXPECT_EQ(chip->memory()[0x10], 7);
}

TEST_F(EepromTest, IgnoredAddressBitsMirrorTheChipIntoBlocksItDoesNotHave) {
    useChip(1024, 16);
    chip->memory() = counting(1024);
    EXPECT_EQ(readAt(0xA8, 0x00, 1)[report::kStatus], status::kAddressNack);

    chip->setIgnoredAddressBits(0x08);
    for (const std::uint8_t mirror : {0xA8, 0xAA, 0xAC, 0xAE}) {
        const TUSBI2CReport in = readAt(mirror, 0x05, 1);
        ASSERT_EQ(in[report::kStatus], status::kSuccess);
        EXPECT_EQ(inData(in, 1)[0], chip->memory()[std::size_t(mirror - 0xA8) / 2 * 256 + 5]);
    }
    // Other addresses stay someone else's.
    EXPECT_EQ(readAt(0xB0, 0x00, 1)[report::kStatus], status::kAddressNack);
}

TEST_F(EepromTest, OnlyAStopAfterDataStartsAWriteCycle) {
    useChip(2048, 16);
    // Setting the pointer alone programs nothing.
    ASSERT_EQ(writeAt(0xA0, 0x30, {}), status::kSuccess);
    EXPECT_FALSE(chip->busy());
    EXPECT_EQ(chip->addressPointer(), 0x30u);

    // Data followed by a repeated start instead of a stop is abandoned.
    TUSBI2CReport in{};
    adapter.exchange(test::messageReport(cmdWriteMessage, 0xA0, false, true, {0x30, 0x11}), in);
    adapter.exchange(test::messageReport(cmdReadMessage, 0xA0, true, true, {0}), in);
    EXPECT_EQ(in[report::kStatus], status::kSuccess);
    EXPECT_FALSE(chip->busy());
    EXPECT_EQ(chip->memory()[0x30], 0xFF);
}

TEST_F(EepromTest, ClockSwappedBehindTheCycleEndsIt) {
    useChip(256, 8);
    clock.advanceMicros(1'000'000);
    ASSERT_EQ(writeAt(0xA0, 0x00, {1}), status::kSuccess);
    EXPECT_TRUE(chip->busy());
    timing::FakeClock fresh;
    timing::ScopedClock swapped(fresh);
    EXPECT_FALSE(chip->busy());
}

TEST(Eeprom24Geometry, RejectsImpossibleChips) {
    struct Case {
        std::size_t size;
        std::size_t page;
    };
    for (const Case& c : {Case{0, 1}, Case{4096, 16}, Case{768, 16}, Case{300, 4}, Case{256, 0},
                          Case{256, 512}, Case{256, 24}}) {
        EXPECT_THROW(Eeprom24(c.size, c.page), std::invalid_argument) << c.size << "/" << c.page;
    }
    EXPECT_NO_THROW(Eeprom24(16, 16));
    EXPECT_NO_THROW(Eeprom24(1024, 16, 0xA8));
}

}  // namespace
}  // namespace parvex::sim
