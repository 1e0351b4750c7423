// Intel HEX and binary files: golden writer output, the reader's rules, and saving.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "eeprom/bin_file.h"
#include "eeprom/data_file.h"
#include "eeprom/geometry.h"
#include "eeprom/hex_file.h"

namespace parvex::eeprom {
namespace {

using Result = HexLoad::Result;

std::string golden(const std::string& name) {
    const auto file =
        files::readWholeFile(std::string(PARVEX_TEST_DATA) + "/eeprom/" + name, kMaxDataFileBytes);
    EXPECT_FALSE(file.error) << *file.error;
    return file.bytes;
}

std::vector<std::uint8_t> erased(int size) {
    return std::vector<std::uint8_t>(static_cast<std::size_t>(size), 0xFF);
}

TEST(HexWriter, GoldenFiles) {
    for (const Geometry& g : geometries()) {
        EXPECT_EQ(writeHexFile(erased(g.bytes)), golden("all_ff.hex")) << g.bytes;
    }
    auto one = erased(256);
    one[0x10] = 0x55;
    EXPECT_EQ(writeHexFile(one), golden("byte10_is_55_256.hex"));

    auto lastRow = erased(2048);
    std::fill(lastRow.begin() + 0x7F0, lastRow.end(), 0x41);
    EXPECT_EQ(writeHexFile(lastRow), golden("last_row_41_2048.hex"));
}

TEST(HexWriter, ChecksumAndRowSelection) {
    std::vector<std::uint8_t> image(32, 0x00);
    std::fill(image.begin() + 16, image.end(), 0xFF);
    image[31] = 0xFE;  // one byte short of erased: the row is written
    // Row 0: 16 + 0 + 0 = 0x10, two's complement F0. Row 1: 0x10 + 0x10 + 15 * 0xFF + 0xFE
    // = 0x100F, two's complement F1.
    EXPECT_EQ(writeHexFile(image), ":10000000" + std::string(32, '0') + "F0\r\n" + ":10001000" +
                                       std::string(30, 'F') + "FEF1\r\n" + ":00000001FF\r\n");
}

TEST(HexReader, GoldenFilesRoundTrip) {
    auto lastRow = erased(2048);
    std::fill(lastRow.begin() + 0x7F0, lastRow.end(), 0x41);
    const auto same = readHexFile(golden("last_row_41_2048.hex"), 2048);
    EXPECT_EQ(same.result, Result::Loaded);
    EXPECT_EQ(same.bytes, lastRow);

    // 07F0 lies past the end of a 1024-byte device: dropped, no message.
    const auto smaller = readHexFile(golden("last_row_41_2048.hex"), 1024);
    EXPECT_EQ(smaller.result, Result::Dropped);
    EXPECT_TRUE(smaller.message.empty());

    auto one = erased(256);
    one[0x10] = 0x55;
    EXPECT_EQ(readHexFile(golden("byte10_is_55_256.hex"), 256).bytes, one);
}

TEST(HexReader, EveryColonLineIsADataRecord) {
    // An extended linear address record puts its two data bytes at addresses 0 and 1.
    auto want = erased(16);
    want[0] = 0x00;
    want[1] = 0x01;
    want[2] = 0x11;
    want[3] = 0x22;
    want[4] = 0x33;
    want[5] = 0x44;
    const auto load = readHexFile(golden("linear_address_record.hex"), 16);
    EXPECT_EQ(load.result, Result::Loaded);
    EXPECT_EQ(load.bytes, want);
}

TEST(HexReader, Cases) {
    struct Case {
        const char* name;
        std::string text;
        int size;
        Result result;
        std::vector<std::pair<int, int>> bytes;  // address, value; the rest FF
        std::string message;
    };
    const std::string bad = " is not a valid hexadecimal value.";
    const Case cases[] = {
        {"wrong checksum is not checked",
         ":0100000041FF\r\n:00000001FF\r\n",
         16,
         Result::Loaded,
         {{0, 0x41}},
         ""},
        {"lower-case digits",
         ":02000a00ab0c00\r\n",
         16,
         Result::Loaded,
         {{10, 0xAB}, {11, 0x0C}},
         ""},
        {"LF and CR line ends, no final end",
         ":0100010011\n:0100020022\r:0100030033",
         16,
         Result::Loaded,
         {{1, 0x11}, {2, 0x22}, {3, 0x33}},
         ""},
        {"reading goes on after the end record",
         ":00000001FF\r\n:0100040044BB\r\n",
         16,
         Result::Loaded,
         {{4, 0x44}},
         ""},
        {"later record wins",
         ":0100050011\r\n:0100050022\r\n",
         16,
         Result::Loaded,
         {{5, 0x22}},
         ""},
        {"an empty file gives an erased image", "", 16, Result::Loaded, {}, ""},
        {"record runs past the end: the rest is dropped",
         ":04000E0001020304\r\n:0100000099\r\n",
         16,
         Result::Loaded,
         {{14, 1}, {15, 2}, {0, 0x99}},
         ""},
        {"blank lines are skipped",
         ":0100000041\r\n\r\n  \t\n:0100010042\r\n:00000001FF\r\n\r\n",
         16,
         Result::Loaded,
         {{0, 0x41}, {1, 0x42}},
         ""},
        {"line without a colon", ":0100000041\r\nhello\r\n", 16, Result::Dropped, {}, ""},
        {"start beyond the end", ":0100100041\r\n", 16, Result::Dropped, {}, ""},
        {"start at the last address", ":01000F0041\r\n", 16, Result::Loaded, {{15, 0x41}}, ""},
        {"line too short for its count",
         ":04000000414243\r\n",
         16,
         Result::Error,
         {},
         "':04000000414243'" + bad},
        {"line too short for an address", ":0100\r\n", 16, Result::Error, {}, "':0100'" + bad},
        {"bad count digits", ":G100000041\r\n", 16, Result::Error, {}, "'G1'" + bad},
        {"bad address digits", ":01 0000041\r\n", 16, Result::Error, {}, "' 000'" + bad},
        {"bad data digits", ":020000004X41\r\n", 16, Result::Error, {}, "'4X'" + bad},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto load = readHexFile(c.text, c.size);
        EXPECT_EQ(load.result, c.result);
        EXPECT_EQ(load.message, c.message);
        if (c.result != Result::Loaded) {
            EXPECT_TRUE(load.bytes.empty());
            continue;
        }
        auto want = erased(c.size);
        for (const auto& [a, v] : c.bytes)
            want[static_cast<std::size_t>(a)] = static_cast<std::uint8_t>(v);
        EXPECT_EQ(load.bytes, want);
    }
}

TEST(HexReader, ALoadThatEndsEarlySaysWhichLineAndWhy) {
    using Reason = HexLoad::DropReason;
    const struct {
        const char* text;
        Result result;
        Reason reason;
        int line;
    } cases[] = {
        {":0100000041\r\n\r\nhello\r\n", Result::Dropped, Reason::NotARecord, 3},
        {"\n\n:0100100041\n", Result::Dropped, Reason::BeyondEnd, 3},
        {":0100000041\r:01000000ZZ\r", Result::Error, Reason::None, 2},
        {":0100000041\r\n:00000001FF\r\n", Result::Loaded, Reason::None, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto load = readHexFile(c.text, 16);
        EXPECT_EQ(load.result, c.result);
        EXPECT_EQ(load.reason, c.reason);
        EXPECT_EQ(load.line, c.line);
    }
}

TEST(DataFile, OneEntryForBothFormatsWithTheBoxesItNeeds) {
    using Outcome = DataFileLoad::Outcome;
    using Box = DataFileLoad::Box;
    const struct {
        const char* name;
        FileKind kind;
        std::string contents;
        int size;
        Outcome outcome;
        Box box;
        std::string message;
        std::size_t bytes;
    } cases[] = {
        {"hex", FileKind::IntelHex, ":0100000041\r\n", 256, Outcome::Loaded, Box::None, "", 256},
        {"hex not a record", FileKind::IntelHex, ":0100000041\r\n; note\r\n", 256, Outcome::Refused,
         Box::Warning, "\"/d/a.hex\" line 2 is not an Intel HEX record; nothing was loaded.", 0},
        {"hex beyond the device", FileKind::IntelHex,
         ":1007F00041414141414141414141414141414141E9\r\n", 1024, Outcome::Refused, Box::Warning,
         "\"/d/a.hex\" line 1 holds data beyond address 0x3FF; nothing was loaded.", 0},
        {"hex bad digits", FileKind::IntelHex, ":01000000ZZ\r\n", 16, Outcome::Refused, Box::Error,
         "\"/d/a.hex\" line 1: 'ZZ' is not a valid hexadecimal value.", 0},
        {"binary", FileKind::Binary, std::string(300, 'x'), 256, Outcome::Loaded, Box::None, "",
         256},
        {"short binary", FileKind::Binary, std::string(100, 'x'), 256, Outcome::Partial, Box::Error,
         "Read beyond end of file", 96},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DataFileLoad load = loadDataFile(c.kind, c.contents, c.size, "/d/a.hex");
        EXPECT_EQ(load.outcome, c.outcome);
        EXPECT_EQ(load.box, c.box);
        EXPECT_EQ(load.message, c.message);
        EXPECT_EQ(load.bytes.size(), c.bytes);
    }
    std::vector<std::uint8_t> image = erased(16);
    image[3] = 0x33;
    EXPECT_EQ(saveDataFile(FileKind::Binary, image), std::string(image.begin(), image.end()));
    EXPECT_EQ(saveDataFile(FileKind::IntelHex, image), writeHexFile(image));
    EXPECT_EQ(fileKindOfFilter(2), FileKind::Binary);
    EXPECT_EQ(fileKindOfFilter(1), FileKind::IntelHex);
    EXPECT_EQ(fileKindOfFilter(0), FileKind::IntelHex);
    EXPECT_EQ(defaultExtension(FileKind::Binary), "bin");
    EXPECT_EQ(defaultExtension(FileKind::IntelHex), "hex");
}

TEST(HexReader, AVeryLongBadLineIsNamedShortened) {
    const std::string line = ":FF000000" + std::string(300, '4');
    const auto load = readHexFile(line, 2048);
    EXPECT_EQ(load.result, Result::Error);
    EXPECT_EQ(load.message, "'" + line.substr(0, 80) + "...' is not a valid hexadecimal value.");
}

TEST(BinFiles, WriterAndReader) {
    std::vector<std::uint8_t> image(256);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(255 - i);
    const std::string file = writeBinFile(image);
    ASSERT_EQ(file.size(), 256u);
    EXPECT_EQ(static_cast<std::uint8_t>(file[0]), 255);
    EXPECT_EQ(static_cast<std::uint8_t>(file[255]), 0);

    struct Case {
        std::size_t fileBytes;
        int size;
        std::size_t kept;
        bool truncated;
    };
    const Case cases[] = {
        {300, 256, 256, false}, {256, 256, 256, false}, {100, 256, 96, true},
        {15, 16, 0, true},      {0, 128, 0, true},      {2048, 16, 16, false},
    };
    std::string source;
    for (int i = 0; i < 2048; ++i) source.push_back(static_cast<char>(i * 13));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileBytes);
        const auto load = readBinFile(std::string_view(source).substr(0, c.fileBytes), c.size);
        EXPECT_EQ(load.truncated, c.truncated);
        ASSERT_EQ(load.bytes.size(), c.kept);
        EXPECT_TRUE(
            std::equal(load.bytes.begin(), load.bytes.end(), source.begin(),
                       [](std::uint8_t b, char s) { return b == static_cast<std::uint8_t>(s); }));
    }
    EXPECT_EQ(kReadBeyondEndMessage, "Read beyond end of file");
}

}  // namespace
}  // namespace parvex::eeprom
