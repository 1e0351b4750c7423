// The image's cells and the editing rules of the two grids.

#include "eeprom/image.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace parvex::eeprom {
namespace {

class ImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        image.setChangeCallback(
            [this](int first, int count) { changes.emplace_back(first, count); });
    }
    Image image{256};
    std::vector<std::pair<int, int>> changes;
};

TEST_F(ImageTest, StartsErased) {
    EXPECT_EQ(image.size(), 256);
    for (int a : {0, 255}) {
        EXPECT_EQ(image.hexText(a), "FF");
        EXPECT_EQ(image.asciiChar(a), U'.');
    }
    EXPECT_EQ(image.hexText(256), "");
    EXPECT_EQ(image.asciiChar(-1), U'\0');
}

TEST_F(ImageTest, SetBytesShowsBothGridsWithOneNotice) {
    const std::uint8_t data[] = {0x41, 0x07, 0x7E};
    image.setBytes(0x10, data, 3);
    EXPECT_EQ(image.hexText(0x10), "41");
    EXPECT_EQ(image.asciiChar(0x10), U'A');
    EXPECT_EQ(image.hexText(0x11), "07");
    EXPECT_EQ(image.asciiChar(0x11), U'.');
    EXPECT_EQ(image.asciiChar(0x12), U'~');
    EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{0x10, 3}}));
}

TEST_F(ImageTest, SetBytesPastTheEndAreDropped) {
    const std::uint8_t data[] = {1, 2, 3, 4};
    image.setBytes(254, data, 4);
    EXPECT_EQ(image.hexText(254), "01");
    EXPECT_EQ(image.hexText(255), "02");
    EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{254, 2}}));
    changes.clear();
    image.setBytes(300, data, 4);
    EXPECT_TRUE(changes.empty());
}

TEST_F(ImageTest, EditingHexTextFollowsInTheAsciiCellOnlyFromTwoCharacters) {
    image.setByte(5, 0x30);  // ASCII '0'
    changes.clear();
    struct Case {
        const char* typed;
        char32_t ascii;
    };
    const Case cases[] = {
        {"4", U'0'},    // one digit: the ASCII cell keeps what it showed
        {"41", U'A'},   //
        {"07", U'.'},   //
        {"", U'.'},     // cleared: unchanged until left
        {"G1", U'.'},   // not hexadecimal: unchanged, no crash
        {" 42", U'B'},  // trimmed before the rule
    };
    for (const Case& c : cases) {
        image.editHexText(5, c.typed);
        EXPECT_EQ(image.hexText(5), c.typed);
        EXPECT_EQ(image.asciiChar(5), c.ascii) << c.typed;
    }
    EXPECT_EQ(changes.size(), std::size(cases));
}

TEST_F(ImageTest, LeavingACellNormalisesItAndKeepsTheAsciiCellInStep) {
    struct Case {
        const char* typed;
        const char* result;
        char32_t ascii;
    };
    const Case cases[] = {
        {"", "FF", U'.'},   {"5", "05", U'.'},  {" 4 ", "04", U'.'},
        {"41", "41", U'A'}, {"  ", "FF", U'.'},
    };
    for (const Case& c : cases) {
        image.setCell(9, "7A", U'z');
        image.editHexText(9, c.typed);
        EXPECT_EQ(image.validateHexCell(9), c.result) << c.typed;
        EXPECT_EQ(image.hexText(9), c.result);
        EXPECT_EQ(image.asciiChar(9), c.ascii) << c.typed;
    }
    EXPECT_EQ(normalisedCellText("A"), "0A");
}

TEST_F(ImageTest, TypingIntoTheAsciiGrid) {
    struct Case {
        char32_t code;
        AsciiKeyResult result;
        const char* hex;
        char32_t ascii;
    };
    const Case cases[] = {
        {U'A', AsciiKeyResult::Stored, "41", U'A'},
        {U' ', AsciiKeyResult::Stored, "20", U' '},
        {14, AsciiKeyResult::Stored, "0E", 14},
        {U'\u00e9', AsciiKeyResult::Stored, "E9", U'\u00e9'},  // shown as typed, not "."
        {255, AsciiKeyResult::Stored, "FF", 255},
        {8, AsciiKeyResult::Ignored, "33", U'3'},   // Backspace
        {13, AsciiKeyResult::Ignored, "33", U'3'},  // Enter
        {0, AsciiKeyResult::Ignored, "33", U'3'},
        {U'\u20ac', AsciiKeyResult::Ignored, "33", U'3'},  // above 255: no byte holds it
    };
    for (const Case& c : cases) {
        image.setByte(3, 0x33);
        EXPECT_EQ(image.typeAsciiChar(3, c.code), c.result) << static_cast<int>(c.code);
        EXPECT_EQ(image.hexText(3), c.hex) << static_cast<int>(c.code);
        EXPECT_EQ(image.asciiChar(3), c.ascii) << static_cast<int>(c.code);
    }
}

TEST_F(ImageTest, BytesNameTheFirstCellThatIsNotHex) {
    image.setByte(0, 0x12);
    image.setHexText(1, " 5");
    auto ok = image.bytes();
    ASSERT_FALSE(ok.error);
    ASSERT_EQ(ok.bytes.size(), 256u);
    EXPECT_EQ(ok.bytes[0], 0x12);
    EXPECT_EQ(ok.bytes[1], 0x05);
    EXPECT_EQ(ok.bytes[2], 0xFF);

    image.setHexText(40, "Z9");
    image.setHexText(41, "");
    auto bad = image.bytes();
    EXPECT_EQ(bad.error, "'Z9' is not a valid hexadecimal value.");
    EXPECT_EQ(bad.errorAddress, 40);
    EXPECT_TRUE(bad.bytes.empty());
}

TEST_F(ImageTest, EraseRestoresEveryCell) {
    image.setByte(100, 0x41);
    image.setAsciiChar(101, U'x');
    changes.clear();
    image.erase();
    EXPECT_EQ(image.hexText(100), "FF");
    EXPECT_EQ(image.asciiChar(101), U'.');
    EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{0, 256}}));
}

TEST_F(ImageTest, FailureMarksLastUntilTheCellChanges) {
    const struct {
        const char* change;
        std::function<void(Image&)> apply;
    } cases[] = {
        {"read or loaded", [](Image& im) { im.setByte(0x21, 0x12); }},
        {"edited", [](Image& im) { im.editHexText(0x21, "3"); }},
        {"left", [](Image& im) { (void)im.validateHexCell(0x21); }},
        {"typed as a character", [](Image& im) { im.typeAsciiChar(0x21, U'x'); }},
        {"filled or copied", [](Image& im) { im.setCells(0x21, {"41"}, U"A"); }},
        {"written", [](Image& im) { im.clearFailed(0x21, 1); }},
    };
    for (const auto& c : cases) {
        Image image(64);
        image.markFailed(0x20, 8);
        image.markFailed(0x70, 8);  // past the end: ignored
        ASSERT_TRUE(image.failed(0x21)) << c.change;
        c.apply(image);
        EXPECT_FALSE(image.failed(0x21)) << c.change;
        EXPECT_TRUE(image.failed(0x20)) << c.change;
        EXPECT_TRUE(image.failed(0x27)) << c.change;
        EXPECT_FALSE(image.failed(0x28)) << c.change;
    }
    Image image(64);
    EXPECT_FALSE(image.anyFailed());
    image.markFailed(0, 64);
    EXPECT_TRUE(image.anyFailed());
    image.erase();
    EXPECT_FALSE(image.failed(63));
    EXPECT_FALSE(image.anyFailed());
}

TEST_F(ImageTest, ASnapshotDoesNotNotifyTheOriginalsModel) {
    image.setByte(7, 0x41);
    Image snapshot = image;
    changes.clear();
    snapshot.setByte(7, 0x42);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(image.hexText(7), "41");

    image = snapshot;  // restoring it reports every cell to the model
    EXPECT_EQ(image.hexText(7), "42");
    EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{0, 256}}));
}

}  // namespace
}  // namespace parvex::eeprom
