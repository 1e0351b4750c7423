// Read and page-write plans and the five bus operations over a recording fake.

#include "eeprom/bus_ops.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "common/wait.h"
#include "eeprom/geometry.h"
#include "fake_transfers.h"

namespace parvex::eeprom {
namespace {

using test::Call;
using test::FakeTransfers;

std::vector<std::uint8_t> counting(int size) {
    std::vector<std::uint8_t> v(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7 + 3);
    return v;
}

TEST(ReadPlan, FiveHundredTwelveBytesAtA4UseA4ThenA6) {
    const auto plan = readPlan(512, 0xA4);
    ASSERT_EQ(plan.size(), 16u);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(plan[static_cast<std::size_t>(k)],
                  (ReadStep{static_cast<std::uint8_t>(k < 8 ? 0xA4 : 0xA6),
                            static_cast<std::uint8_t>((k % 8) * 0x20), k * 32, 32}))
            << k;
    }
}

TEST(ReadPlan, SmallAndLargeDevices) {
    EXPECT_EQ(readPlan(16, 0xA0), (std::vector<ReadStep>{{0xA0, 0x00, 0, 16}}));
    const auto big = readPlan(2048, 0xA0);
    ASSERT_EQ(big.size(), 64u);
    EXPECT_EQ(big.back(), (ReadStep{0xAE, 0xE0, 0x7E0, 32}));
    EXPECT_TRUE(readPlan(100, 0xA0).empty());
}

TEST(PageWritePlan, TwoThousandFortyEightBytesInEightBytePages) {
    const auto plan = pageWritePlan(2048, 0xA0, 8);
    ASSERT_EQ(plan.size(), 256u);
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const int block = static_cast<int>(i) / 32;
        const int page = static_cast<int>(i) % 32;
        EXPECT_EQ(plan[i],
                  (PageWrite{static_cast<std::uint8_t>(0xA0 + 2 * block),
                             static_cast<std::uint8_t>(page * 8), 9, block * 256 + page * 8}))
            << i;
    }
}

TEST(PageWritePlan, PageSizesThatDoNotFit) {
    EXPECT_TRUE(pageWritePlan(16, 0xA0, 32).empty());
    const auto single = pageWritePlan(16, 0xA0, 1);
    ASSERT_EQ(single.size(), 16u);
    EXPECT_EQ(single[15], (PageWrite{0xA0, 0x0F, 2, 15}));
    EXPECT_EQ(pageWritePlan(128, 0xA2, 32).size(), 4u);
    EXPECT_TRUE(pageWritePlan(256, 0xA0, 0).empty());
}

class BusOps : public ::testing::Test {
protected:
    timing::FakeClock clock;
    timing::ScopedClock scoped{clock};
    FakeTransfers bus;
};

TEST_F(BusOps, ReadAllShowsEachSuccessfulReadAndGoesOnAfterAFailure) {
    Image image(512);
    bus.base = 0xA4;
    bus.memory = counting(512);
    // The fourth read (bytes 60..7F) is not acknowledged, the sixth finds the lines low.
    bus.failAt = {{3, 2}, {5, 16}};
    std::vector<std::pair<int, int>> seen;
    const auto status = readAll(bus, image, 0xA4, [&](const ReadStep& step, std::uint8_t s) {
        seen.emplace_back(step.firstByte, s);
    });
    EXPECT_EQ(status, 2) << "the first failed read's status, not the last read's";
    ASSERT_EQ(bus.calls.size(), 16u);
    EXPECT_EQ(bus.calls[8], (Call{Call::Op::ReadArray, 0xA6, 0x00, 32, {}}));
    EXPECT_EQ(seen.size(), 16u);
    EXPECT_EQ(seen[3], (std::pair<int, int>{0x60, 2}));
    for (int a = 0; a < 512; ++a) {
        const bool failed = (a >= 0x60 && a < 0x80) || (a >= 0xA0 && a < 0xC0);
        const std::uint8_t want = failed ? 0xFF : bus.memory[static_cast<std::size_t>(a)];
        ASSERT_EQ(image.cellValue(a), want) << a;
        ASSERT_EQ(image.failed(a), failed) << a;
    }
    // A later successful read takes the marks off.
    bus.failAt.clear();
    EXPECT_EQ(readAll(bus, image, 0xA4), 0);
    for (int a = 0; a < 512; ++a) ASSERT_FALSE(image.failed(a)) << a;
    // The second block lands in hex grid rows 17 to 32.
    EXPECT_EQ(hexCell(0x100).row, 17);
}

TEST_F(BusOps, ReadAllWithoutAnAdapterChangesNoCell) {
    Image image(128);
    image.setByte(4, 0x44);
    for (int i = 0; i < 4; ++i) bus.failAt[i] = 170;
    EXPECT_EQ(readAll(bus, image, 0xA0), 170);
    EXPECT_EQ(bus.calls.size(), 4u);
    EXPECT_EQ(image.hexText(4), "44");
    EXPECT_EQ(image.hexText(5), "FF");
}

TEST_F(BusOps, ReadByteUsesTheBlockBitsAndFillsItsCell) {
    Image image(512);
    bus.memory = counting(512);
    EXPECT_EQ(readByte(bus, image, 0xA0, 0x1F3), 0);
    EXPECT_EQ(bus.calls, (std::vector<Call>{{Call::Op::ReadByte, 0xA2, 0xF3, 1, {}}}));
    EXPECT_EQ(image.cellValue(0x1F3), bus.memory[0x1F3]);

    bus.failAt = {{1, 2}};
    image.setByte(0x1F3, 0x00);
    EXPECT_EQ(readByte(bus, image, 0xA0, 0x1F3), 2);
    EXPECT_EQ(image.hexText(0x1F3), "00");
}

TEST_F(BusOps, WriteByteSendsTheCellsValueOrRefusesText) {
    Image image(256);
    image.setHexText(0x20, "7");
    auto ok = writeByte(bus, image, 0xA8, 0x20);
    EXPECT_TRUE(ok.sent);
    EXPECT_EQ(ok.status, 0);
    EXPECT_FALSE(ok.error);
    EXPECT_EQ(bus.calls, (std::vector<Call>{{Call::Op::WriteByte, 0xA8, 0x20, 1, {0x07}}}));

    image.setHexText(0x21, "");
    auto refused = writeByte(bus, image, 0xA8, 0x21);
    EXPECT_FALSE(refused.sent);
    EXPECT_EQ(refused.error, "'' is not a valid hexadecimal value.");
    EXPECT_EQ(bus.calls.size(), 1u);

    bus.failAt = {{1, 170}};
    EXPECT_EQ(writeByte(bus, image, 0xA8, 0x20).status, 170);
}

TEST_F(BusOps, WriteAllSendsEveryPageThenWaitsItsWriteTime) {
    Image image(16);
    const auto data = counting(16);
    image.setBytes(0, data);
    std::vector<std::pair<int, int>> progress;
    std::vector<std::uint64_t> sleptBefore;
    const auto out = writeAll(bus, image, 0xA0, 1, 10, [&](int pages, int percent) {
        progress.emplace_back(pages, percent);
        sleptBefore.push_back(clock.totalSleptMillis());
    });
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.pagesWritten, 16);
    EXPECT_EQ(out.pagesTotal, 16);
    ASSERT_EQ(bus.calls.size(), 16u);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(bus.calls[static_cast<std::size_t>(i)],
                  (Call{Call::Op::WriteArray,
                        0xA0,
                        static_cast<std::uint8_t>(i),
                        2,
                        {data[static_cast<std::size_t>(i)]}}));
        EXPECT_EQ(progress[static_cast<std::size_t>(i)].second, (i + 1) * 100 / 16);
        // The progress shows before the page's wait, and the previous page's wait is done.
        EXPECT_EQ(sleptBefore[static_cast<std::size_t>(i)], static_cast<std::uint64_t>(i) * 10);
    }
    EXPECT_EQ(progress.back(), (std::pair<int, int>{16, 100}));
    EXPECT_EQ(clock.totalSleptMillis(), 160u) << "the last page waits too";
}

TEST_F(BusOps, WriteAllOfALargeDeviceCarriesEachPagesBytes) {
    Image image(2048);
    const auto data = counting(2048);
    image.setBytes(0, data);
    const auto out = writeAll(bus, image, 0xA0, 8, 5);
    EXPECT_EQ(out.status, 0);
    ASSERT_EQ(bus.calls.size(), 256u);
    for (std::size_t i = 0; i < 256; ++i) {
        const auto& c = bus.calls[i];
        const std::size_t first = (c.address - 0xA0) / 2 * 256 + c.subaddress;
        EXPECT_EQ(first, i * 8);
        ASSERT_EQ(c.count, 9);
        EXPECT_TRUE(
            std::equal(c.data.begin(), c.data.end(), data.begin() + static_cast<long>(first)));
    }
    EXPECT_EQ(clock.totalSleptMillis(), 256u * 5);
}

TEST_F(BusOps, WriteAllStopsAtTheFirstFailedPage) {
    Image image(256);
    image.markFailed(0, 256);  // as a failed Read All leaves them
    bus.failAt = {{2, 2}};
    int lastPercent = -1;
    const auto out =
        writeAll(bus, image, 0xA0, 16, 10, [&](int, int percent) { lastPercent = percent; });
    EXPECT_EQ(out.status, 255);
    EXPECT_EQ(out.pagesWritten, 2);
    // The pages written hold the grid's bytes now; the rest are as unknown as before.
    EXPECT_FALSE(image.failed(0x1F));
    EXPECT_TRUE(image.failed(0x20));
    EXPECT_EQ(bus.calls.size(), 3u);
    EXPECT_EQ(lastPercent, 2 * 100 / 16);
    EXPECT_EQ(clock.totalSleptMillis(), 20u) << "no wait after the failed page";
}

TEST_F(BusOps, WriteAllWithNothingToSendSucceeds) {
    Image image(16);
    const auto out = writeAll(bus, image, 0xA0, 32, 10);
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.pagesTotal, 0);
    EXPECT_TRUE(bus.calls.empty());
    EXPECT_EQ(clock.totalSleptMillis(), 0u);
}

TEST_F(BusOps, WriteAllRefusesACellThatIsNotHexBeforeSendingAnything) {
    Image image(256);
    image.setHexText(0xC0, "XY");
    const auto out = writeAll(bus, image, 0xA0, 8, 10);
    EXPECT_EQ(out.error, "'XY' is not a valid hexadecimal value.");
    EXPECT_EQ(out.status, 255);
    EXPECT_TRUE(bus.calls.empty());
}

// The reading goes on past a difference, so that every one is found.
TEST_F(BusOps, VerifyReportsTheFirstDifferenceAndReadsTheWholeDevice) {
    struct Case {
        int size;
        int address;
        std::size_t reads;
        const char* message;
    };
    const Case cases[] = {
        {512, 0x1F3, 16, "Device failed Verify at Address 0x1F3"},
        {2048, 0x005, 64, "Device failed Verify at Address 0x05"},
        {2048, 0x7FF, 64, "Device failed Verify at Address 0x7FF"},
        {16, 0x00F, 1, "Device failed Verify at Address 0x0F"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        FakeTransfers fake;
        fake.memory = counting(c.size);
        Image image(c.size);
        image.setBytes(0, fake.memory);
        image.setByte(c.address,
                      static_cast<std::uint8_t>(~fake.memory[static_cast<std::size_t>(c.address)]));
        const auto out = verify(fake, image, 0xA0);
        EXPECT_EQ(out.status, 153);
        EXPECT_EQ(out.mismatchAddress, c.address);
        EXPECT_EQ(fake.calls.size(), c.reads);
        EXPECT_EQ(out.differences, std::vector<int>{c.address});
        EXPECT_EQ(verifyFailedMessage(*out.mismatchAddress), c.message);
    }
}

TEST_F(BusOps, VerifyOfMatchingDataAndOfAFailedRead) {
    Image image(1024);
    bus.memory = counting(1024);
    image.setBytes(0, bus.memory);
    int reads = 0;
    const auto same = verify(bus, image, 0xA0, [&](const ReadStep&, std::uint8_t) { ++reads; });
    EXPECT_EQ(same.status, 0);
    EXPECT_FALSE(same.mismatchAddress);
    EXPECT_EQ(reads, 32);
    EXPECT_EQ(bus.calls[31], (Call{Call::Op::ReadArray, 0xA6, 0xE0, 32, {}}));

    bus.calls.clear();
    bus.failAt = {{1, 170}};
    const auto failed = verify(bus, image, 0xA0);
    EXPECT_EQ(failed.status, 170);
    EXPECT_FALSE(failed.mismatchAddress);
    EXPECT_EQ(bus.calls.size(), 2u);
}

TEST_F(BusOps, VerifyRefusesACellThatIsNotHexBeforeReading) {
    Image image(128);
    image.setHexText(3, "");
    const auto out = verify(bus, image, 0xA0);
    EXPECT_EQ(out.error, "'' is not a valid hexadecimal value.");
    EXPECT_TRUE(bus.calls.empty());
}

}  // namespace
}  // namespace parvex::eeprom
