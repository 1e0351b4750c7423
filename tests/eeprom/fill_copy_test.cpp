// Fill Buffer, Copy Block and their field rules.

#include "eeprom/fill_copy.h"

#include <gtest/gtest.h>

#include <vector>

namespace parvex::eeprom {
namespace {

using Kind = ToolOutcome::Kind;

// An image whose byte a holds a (low 8 bits), so moved bytes show where they came from.
Image numbered(int size) {
    Image image(size);
    for (int a = 0; a < size; ++a) image.setByte(a, static_cast<std::uint8_t>(a));
    return image;
}

std::vector<std::string> texts(const Image& image) {
    std::vector<std::string> out;
    for (int a = 0; a < image.size(); ++a) out.push_back(image.hexText(a));
    return out;
}

TEST(Fill, WholeDeviceWithALetter) {
    Image image(256);
    const auto out = fillBuffer(image, "256", "00", "FF", "41");
    EXPECT_EQ(out.kind, Kind::Done);
    for (int a = 0; a < 256; ++a) {
        ASSERT_EQ(image.hexText(a), "41");
        ASSERT_EQ(image.asciiChar(a), U'A');
    }
}

TEST(Fill, RangeBoundsAndTheValueAsTyped) {
    Image image = numbered(256);
    int notices = 0;
    image.setChangeCallback([&](int first, int count) {
        ++notices;
        EXPECT_EQ(first, 0x10);
        EXPECT_EQ(count, 1);
    });
    EXPECT_EQ(fillBuffer(image, "256", "10", "10", "07").kind, Kind::Done);
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(image.hexText(0x0F), "0F");
    EXPECT_EQ(image.hexText(0x10), "07");
    EXPECT_EQ(image.asciiChar(0x10), U'.');
    EXPECT_EQ(image.hexText(0x11), "11");

    // The hex cells take the field's text unchanged; the ASCII cells its value.
    image.setChangeCallback({});
    EXPECT_EQ(fillBuffer(image, "256", "20", "21", "5").kind, Kind::Done);
    EXPECT_EQ(image.hexText(0x20), "5");
    EXPECT_EQ(image.cellValue(0x21), 5u);
}

TEST(Fill, WarningsLeaveTheImageAlone) {
    struct Case {
        const char* from;
        const char* to;
        const char* message;
        std::optional<std::string> correctedTo;
    };
    const Case cases[] = {
        {"00", "100", "The \"To hex address\" must be less than\r256  (0x0FF)", "0FF"},
        {"10", "0F", "The \"From Address\"\rmust be less than\r\"To Address\"", std::nullopt},
    };
    for (const Case& c : cases) {
        Image image = numbered(256);
        const auto before = texts(image);
        const auto out = fillBuffer(image, "256", c.from, c.to, "41");
        EXPECT_EQ(out.kind, Kind::Warning);
        EXPECT_EQ(out.message, c.message);
        EXPECT_EQ(out.correctedTo, c.correctedTo);
        EXPECT_EQ(texts(image), before);
    }
    Image small(16);
    EXPECT_EQ(fillBuffer(small, "16", "0", "10", "00").message,
              "The \"To hex address\" must be less than\r16  (0x00F)");
}

TEST(Fill, FieldsThatAreNotHexAreNamed) {
    struct Case {
        const char* from;
        const char* to;
        const char* preset;
        const char* message;
    };
    const Case cases[] = {
        {"", "0F", "41", "'' is not a valid hexadecimal value."},
        {"00", "G", "41", "'G' is not a valid hexadecimal value."},
        {"00", "0F", "", "'' is not a valid hexadecimal value."},
        {"00", "0F", "4Z", "'4Z' is not a valid hexadecimal value."},
    };
    for (const Case& c : cases) {
        Image image = numbered(256);
        const auto before = texts(image);
        const auto out = fillBuffer(image, "256", c.from, c.to, c.preset);
        EXPECT_EQ(out.kind, Kind::Error);
        EXPECT_EQ(out.message, c.message);
        EXPECT_EQ(texts(image), before) << "nothing half-filled";
    }
}

TEST(Copy, RangesIncludingOverlapsInBothDirections) {
    struct Case {
        int size;
        const char* start;
        const char* end;
        const char* target;
        int from;
        int count;
        int to;
    };
    const Case cases[] = {
        {16, "0", "7", "8", 0, 8, 8},            // the 16-byte window's initial fields
        {256, "00", "0F", "08", 0, 16, 8},       // target overlaps the source's tail
        {256, "08", "17", "00", 8, 16, 0},       // target overlaps the source's head
        {256, "00", "0F", "F0", 0, 16, 0xF0},    // ends on the last address
        {256, "10", "10", "80", 0x10, 1, 0x80},  // one byte
        {2048, "000", "7FE", "001", 0, 0x7FF, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + ".." + c.end + " -> " + c.target);
        Image image = numbered(c.size);
        const Image original = numbered(c.size);
        EXPECT_EQ(copyBlock(image, c.start, c.end, c.target).kind, Kind::Done);
        for (int a = 0; a < c.size; ++a) {
            const bool inTarget = a >= c.to && a < c.to + c.count;
            const int source = inTarget ? c.from + (a - c.to) : a;
            ASSERT_EQ(image.hexText(a), original.hexText(source)) << a;
            ASSERT_EQ(image.asciiChar(a), original.asciiChar(source)) << a;
        }
    }
}

TEST(Copy, SourceTextsAreCutToTwoCharacters) {
    Image image(256);
    image.setCell(0, "7", U'?');
    image.setCell(1, "414", U'?');
    EXPECT_EQ(copyBlock(image, "00", "01", "10").kind, Kind::Done);
    EXPECT_EQ(image.hexText(0x10), "7");
    EXPECT_EQ(image.asciiChar(0x10), U'.');
    EXPECT_EQ(image.hexText(0x11), "41");
    EXPECT_EQ(image.asciiChar(0x11), U'A');
}

TEST(Copy, RefusalsLeaveTheImageAlone) {
    const std::string beyond =
        "Copied block extends beyond the maximum EEPROM address.\rEnding address must be less "
        "than 0x0FF";
    struct Case {
        const char* start;
        const char* end;
        const char* target;
        Kind kind;
        std::string message;
    };
    const Case cases[] = {
        {"10", "0F", "80", Kind::Warning,
         "Copy From \"Starting Address\" must be less than Copy From \"Ending Address\""},
        {"00", "0F", "F1", Kind::Warning, beyond},
        {"F0", "1FF", "00", Kind::Warning, beyond},  // the source itself runs past the end
        {"", "0F", "80", Kind::Error, "'' is not a valid hexadecimal value."},
        {"00", "0F", "8G", Kind::Error, "'8G' is not a valid hexadecimal value."},
    };
    for (const Case& c : cases) {
        Image image = numbered(256);
        const auto before = texts(image);
        const auto out = copyBlock(image, c.start, c.end, c.target);
        EXPECT_EQ(out.kind, c.kind);
        EXPECT_EQ(out.message, c.message);
        EXPECT_EQ(texts(image), before);
    }
    Image large(2048);
    EXPECT_EQ(copyBlock(large, "000", "0FF", "7F0").message,
              "Copied block extends beyond the maximum EEPROM address.\rEnding address must be "
              "less than 0x7FF");
}

TEST(Fields, LeavingTheFillValueAndCopyAddressFields) {
    EXPECT_EQ(presetExit(""), "FF");
    EXPECT_EQ(presetExit(" "), "FF");
    EXPECT_EQ(presetExit("A"), "0A");
    EXPECT_EQ(presetExit("3C"), "3C");

    const std::pair<const char*, const char*> normalised[] = {
        {"7", "07"}, {"080", "80"}, {"1FF", "1FF"}, {"000", "00"}, {"a", "0A"}};
    for (const auto& [typed, shown] : normalised) {
        const auto out = copyFieldExit(typed);
        EXPECT_EQ(out.text, shown);
        EXPECT_FALSE(out.error);
    }
    const auto empty = copyFieldExit("");
    EXPECT_EQ(empty.text, "");
    EXPECT_EQ(empty.error, "'' is not a valid hexadecimal value.");
}

}  // namespace
}  // namespace parvex::eeprom
