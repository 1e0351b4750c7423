// The six geometries, cell and bus addressing, and the hexadecimal texts they rest on.

#include "eeprom/geometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eeprom/hex_text.h"

namespace parvex::eeprom {
namespace {

struct GeometryRow {
    int bytes;
    const char* menuItem;
    const char* menuCaption;
    const char* windowCaption;
    int gridRows;
    std::vector<std::string> addresses;
    bool refill;
    bool enabled;
    int blocks;
    std::vector<std::string> fields;  // from, to, copy start, copy end, target
    int fillMax;
    int copyMax;
    int reads;
    int perRead;
    std::string lastRowLabel;
};

const std::vector<std::string> kEight{"A0", "A2", "A4", "A6", "A8", "AA", "AC", "AE"};

const GeometryRow kGeometryRows[] = {
    {16,
     "mnu128bit",
     "16 x 8 (128 bit)",
     "16 Byte (128 bit) EEPROM",
     2,
     kEight,
     false,
     true,
     1,
     {"0", "F", "0", "7", "8"},
     1,
     1,
     1,
     16,
     "0"},
    {128,
     "mnu1kbit",
     "128 x 8 (1k bit)",
     "128 Byte (1024 bit) RAM / FRAM",
     9,
     kEight,
     false,
     true,
     1,
     {"00", "7F", "00", "3F", "40"},
     2,
     2,
     4,
     32,
     "7"},
    {256,
     "mnu2kbit",
     "256 x 8 (2k bit)",
     "256 Byte (2048 bit) EEPROM",
     17,
     kEight,
     false,
     true,
     1,
     {"00", "FF", "00", "7F", "80"},
     2,
     2,
     8,
     32,
     "F"},
    {512,
     "mnu4kbit",
     "512 x 8 (4k bit)",
     "512 Byte (4k bit) EEPROM",
     33,
     {"A0", "A4", "A8", "AC"},
     true,
     true,
     2,
     {"00", "0FF", "000", "07F", "80"},
     3,
     3,
     16,
     32,
     "1F"},
    {1024,
     "mnu8kbit",
     "1k x 8 (8k bit)",
     "1024 Byte (8k bit) EEPROM",
     65,
     {"A0", "A8"},
     true,
     true,
     4,
     {"00", "0FF", "000", "07F", "80"},
     3,
     3,
     32,
     32,
     "3F"},
    {2048,
     "mnu16kbit",
     "2k x 8 (16k bit)",
     "2048 Byte (16k bit) EEPROM",
     129,
     {"A0"},
     true,
     false,
     8,
     {"00", "0FF", "000", "07F", "80"},
     3,
     3,
     64,
     32,
     "7F"},
};

TEST(Geometry, TableMatchesEverySize) {
    ASSERT_EQ(geometries().size(), std::size(kGeometryRows));
    for (std::size_t i = 0; i < std::size(kGeometryRows); ++i) {
        const GeometryRow& want = kGeometryRows[i];
        SCOPED_TRACE(want.bytes);
        const Geometry* g = geometryForSize(want.bytes);
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g, &geometries()[i]) << "menu order";
        EXPECT_EQ(g->menuItem, want.menuItem);
        EXPECT_EQ(g->menuCaption, want.menuCaption);
        EXPECT_EQ(g->windowCaption, want.windowCaption);
        EXPECT_EQ(g->sizeLabel, std::to_string(want.bytes));
        EXPECT_EQ(g->gridRows, want.gridRows);
        EXPECT_EQ(g->gridRows, want.bytes / 16 + 1);
        std::vector<std::string> addresses(g->addressChoices.begin(),
                                           g->addressChoices.begin() + g->addressCount);
        EXPECT_EQ(addresses, want.addresses);
        EXPECT_EQ(g->refillAddressList, want.refill);
        EXPECT_EQ(g->addressListEnabled, want.enabled);
        EXPECT_EQ(g->blocks, want.blocks);
        EXPECT_EQ((std::vector<std::string>{std::string(g->fillFrom), std::string(g->fillTo),
                                            std::string(g->copyStart), std::string(g->copyEnd),
                                            std::string(g->copyTarget)}),
                  want.fields);
        EXPECT_EQ(g->fillMaxLength, want.fillMax);
        EXPECT_EQ(g->copyMaxLength, want.copyMax);
        EXPECT_EQ(g->reads, want.reads);
        EXPECT_EQ(g->bytesPerRead, want.perRead);
        EXPECT_EQ(g->reads * g->bytesPerRead, want.bytes);
        EXPECT_EQ(rowLabel(g->gridRows - 1), want.lastRowLabel);
    }
    EXPECT_EQ(geometryForSize(64), nullptr);
    EXPECT_EQ(geometryForSize(0), nullptr);
}

TEST(Geometry, PagesPerBlockDropTheRemainder) {
    EXPECT_EQ(geometryForSize(16)->pagesPerBlock(32), 0);
    EXPECT_EQ(geometryForSize(16)->pagesPerBlock(1), 16);
    EXPECT_EQ(geometryForSize(128)->pagesPerBlock(8), 16);
    EXPECT_EQ(geometryForSize(2048)->pagesPerBlock(8), 32);
    EXPECT_EQ(geometryForSize(2048)->pagesPerBlock(0), 0);
}

TEST(Geometry, SharedDefaults) {
    EXPECT_EQ(kPageSizes[kDefaultPageSizeIndex], 8);
    EXPECT_EQ(clampWriteTime(150), 100);
    EXPECT_EQ(clampWriteTime(-3), 0);
    EXPECT_EQ(clampWriteTime(10), 10);
}

TEST(Geometry, TypedPageSizeAndWriteTime) {
    const struct {
        const char* text;
        std::optional<int> page;
        int writeTime;  // with 10 as the fallback
    } cases[] = {
        {"8", 8, 8},
        {"32", 32, 32},
        {" 16 ", 16, 16},
        {"4", std::nullopt, 4},
        {"250", std::nullopt, 100},
        {"-5", std::nullopt, 0},
        {"", std::nullopt, 10},
        {"1e3", std::nullopt, 10},
        {"99999999999", std::nullopt, 10},
        {"+1", 1, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parsePageSize(c.text), c.page) << c.text;
        EXPECT_EQ(parseWriteTime(c.text, 10), c.writeTime) << c.text;
    }
}

TEST(CellAddressing, BothGridsAndBack) {
    EXPECT_EQ(hexCell(0x2F), (Cell{3, 16}));
    EXPECT_EQ(asciiCell(0x2F), (Cell{3, 15}));
    EXPECT_EQ(hexCell(0x1F3), (Cell{32, 4}));
    EXPECT_EQ(addressOfHexCell(3, 16, 256), 0x2F);
    EXPECT_EQ(addressOfAsciiCell(1, 0, 256), 0);
    EXPECT_EQ(addressOfAsciiCell(3, 15, 256), 0x2F);
    // Headers, the label column and rows past the end are no byte.
    EXPECT_EQ(addressOfHexCell(0, 1, 256), std::nullopt);
    EXPECT_EQ(addressOfHexCell(1, 0, 256), std::nullopt);
    EXPECT_EQ(addressOfHexCell(1, 17, 256), std::nullopt);
    EXPECT_EQ(addressOfHexCell(17, 1, 256), std::nullopt);
    EXPECT_EQ(addressOfAsciiCell(1, 16, 256), std::nullopt);
    for (int a : {0, 15, 16, 0x2F, 0x7FF}) {
        EXPECT_EQ(addressOfHexCell(hexCell(a).row, hexCell(a).column, 2048), a);
        EXPECT_EQ(addressOfAsciiCell(asciiCell(a).row, asciiCell(a).column, 2048), a);
    }
}

TEST(CellAddressing, Texts) {
    EXPECT_EQ(addressText(0), "000");
    EXPECT_EQ(addressText(0x2F), "02F");
    EXPECT_EQ(addressText(0x7FF), "7FF");
    EXPECT_EQ(rowLabel(1), "0");
    EXPECT_EQ(rowLabel(17), "10");
    EXPECT_EQ(columnHeader(0), "0");
    EXPECT_EQ(columnHeader(15), "F");
}

TEST(CellAddressing, DisplayRule) {
    const std::pair<int, char32_t> cases[] = {{0x00, U'.'}, {0x07, U'.'}, {0x1F, U'.'},
                                              {0x20, U' '}, {0x41, U'A'}, {0x7E, U'~'},
                                              {0x7F, U'.'}, {0xE9, U'.'}, {0xFF, U'.'}};
    for (const auto& [value, shown] : cases) {
        EXPECT_EQ(displayChar(static_cast<std::uint8_t>(value)), shown) << value;
    }
}

TEST(BusAddressing, BlockBitsAndWordAddress) {
    EXPECT_EQ(deviceAddressByte(0xA0, 0x1F3), 0xA2);
    EXPECT_EQ(wordAddress(0x1F3), 0xF3);
    EXPECT_EQ(deviceAddressByte(0xA4, 0x100), 0xA6);
    EXPECT_EQ(deviceAddressByte(0xA1, 0x000), 0xA0) << "bit 0 of the selection is cleared";
    EXPECT_EQ(deviceAddressByte(0xA0, 0x7FF), 0xAE);
    EXPECT_EQ(deviceAddressByte(0xFE, 0x100), 0x00) << "modulo 256";
}

TEST(BusAddressing, ParseSelection) {
    EXPECT_EQ(parseBusAddress("A4"), 0xA4);
    EXPECT_EQ(parseBusAddress("a5"), 0xA4);
    EXPECT_EQ(parseBusAddress(""), std::nullopt);
    EXPECT_EQ(parseBusAddress("G0"), std::nullopt);
    EXPECT_EQ(parseBusAddress("1A0"), std::nullopt);
}

TEST(HexText, ParseAndFormat) {
    EXPECT_EQ(parseHex("7"), 7u);
    EXPECT_EQ(parseHex("a7"), 0xA7u);
    EXPECT_EQ(parseHex("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(parseHex("100000000"), std::nullopt);
    EXPECT_EQ(parseHex(""), std::nullopt);
    EXPECT_EQ(parseHex(" 5"), std::nullopt);
    EXPECT_EQ(parseHex("$5"), std::nullopt);
    EXPECT_EQ(parseHex("0x5"), std::nullopt);
    EXPECT_EQ(hexText(0x7, 2), "07");
    EXPECT_EQ(hexText(0x1FF, 2), "1FF");
    EXPECT_EQ(hexText(0, 1), "0");
    EXPECT_EQ(byteText(0xAB), "AB");
    EXPECT_EQ(trimmed(" \t5 \r\n"), "5");
    EXPECT_EQ(hexConversionMessage("G1"), "'G1' is not a valid hexadecimal value.");
}

}  // namespace
}  // namespace parvex::eeprom
