// The rules every window applies to the device: grid mapping, cell and dialog value checks,
// the address field and the count field.
#include <gtest/gtest.h>

#include "device/definition.h"

namespace parvex::device {
namespace {

TEST(Definition, NewWindowState) {
    const TDeviceDefinition d;
    EXPECT_EQ(d.DeviceName, "User Definable Device");
    EXPECT_EQ(d.DeviceAddress, 0xA0);
    EXPECT_EQ(d.MaxRegister, 63);
    EXPECT_EQ(d.RegisterValues[63], "FF");
    EXPECT_EQ(d.RegisterDescriptions[63], "Undefined Register");
    EXPECT_EQ(d.RegisterValues[64], "");
    EXPECT_EQ(d.RegisterDescriptions[255], "");
}

TEST(Definition, RegisterCountMarksTheRestUndefinedAndFillsEmptyEntries) {
    TDeviceDefinition d;
    d.RegisterValues[2] = "3C";
    d.RegisterDescriptions[2] = "";
    d.setRegisterCount(100);
    EXPECT_EQ(d.MaxRegister, 99);
    EXPECT_EQ(d.RegisterValues[2], "3C");
    EXPECT_EQ(d.RegisterDescriptions[2], "Undefined Register");
    EXPECT_EQ(d.RegisterValues[99], "FF") << "an entry that was empty takes the default";
    EXPECT_EQ(d.RegisterValues[100], "XX");
    d.setRegisterCount(0);
    EXPECT_EQ(d.MaxRegister, 0) << "at least one register";
    d.setRegisterCount(1000);
    EXPECT_EQ(d.MaxRegister, 255);
}

TEST(Definition, GridMapping) {
    EXPECT_EQ(gridRowsFor(0), 1);
    EXPECT_EQ(gridRowsFor(15), 1);
    EXPECT_EQ(gridRowsFor(16), 2);
    EXPECT_EQ(gridRowsFor(20), 2);
    EXPECT_EQ(gridRowsFor(63), 4);
    EXPECT_EQ(gridRowsFor(255), 16);
    EXPECT_EQ(registerAt(1, 3), 0x13);
    EXPECT_EQ(rowOf(0x13), 1);
    EXPECT_EQ(columnOf(0x13), 3);
    EXPECT_EQ(headerDigit(10), "A");
}

TEST(Definition, CaptionLine) {
    TDeviceDefinition d;
    EXPECT_EQ(registerCaption(d, 31), "0x1F: Undefined Register");
    d.RegisterDescriptions[0x13] = "Gain";
    EXPECT_EQ(registerCaption(d, 0x13), "0x13: Gain");
    EXPECT_EQ(registerCaption(d, 64), "Invalid Register selection");
}

TEST(Definition, ValueBytes) {
    const struct {
        const char* text;
        int byte;  // -1: not a number
    } cases[] = {{"3C", 0x3C}, {"3c", 0x3C}, {"7", 7},   {" 7 ", 7},        {"ABC", 0xBC},
                 {"XX", -1},   {"", -1},     {"1G", -1}, {"123456789", -1}, {"-1", -1}};
    for (const auto& c : cases) {
        const auto b = valueByte(c.text);
        if (c.byte < 0)
            EXPECT_FALSE(b) << c.text;
        else
            EXPECT_EQ(b, std::optional<std::uint8_t>(static_cast<std::uint8_t>(c.byte))) << c.text;
    }
    EXPECT_EQ(hexConversionMessage("XX"), "'XX' is not a valid hexadecimal value.");
}

TEST(Definition, ValidHexCheckAndCellValidation) {
    const std::pair<const char*, const char*> dialog[] = {{"", "FF"},   {"  ", "FF"}, {" 5", "FF"},
                                                          {"5 ", "05"}, {"A", "A"},   {"3C", "3C"}};
    for (const auto& [in, out] : dialog) EXPECT_EQ(ValidHexCheck(in), out) << '"' << in << '"';

    const std::pair<const char*, const char*> cell[] = {
        {"7", "07"}, {"", "FF"}, {" ", "FF"}, {" A ", "0A"}, {"3C", "3C"}};
    for (const auto& [in, out] : cell) EXPECT_EQ(validateCell(in, true), out) << '"' << in << '"';
    EXPECT_EQ(validateCell("12", false), "XX");
}

TEST(Definition, AddressField) {
    EXPECT_FALSE(addressChange("A"));
    EXPECT_FALSE(addressChange("ZZ")) << "a text that is no number leaves the address alone";
    const struct {
        const char* text;
        int address;
        const char* shown;
    } changes[] = {{"A1", 0xA0, "A0"}, {"a1", 0xA0, "A0"}, {"5F", 0x5E, "5E"}, {"00", 0, "00"}};
    for (const auto& c : changes) {
        const auto r = addressChange(c.text);
        ASSERT_TRUE(r) << c.text;
        EXPECT_EQ(r->address, c.address) << c.text;
        EXPECT_EQ(r->text, c.shown) << c.text;
    }

    EXPECT_EQ(addressExit("5").text, std::optional<std::string>("05"));
    EXPECT_FALSE(addressExit("A0").text);
    EXPECT_EQ(addressExit("").error,
              std::optional<std::string>("'' is not a valid hexadecimal value."));
    EXPECT_TRUE(addressExit("G").error);

    EXPECT_EQ(CheckAddress("5").status,
              std::optional<std::string>("<FONT color=\"clRed\">Invalid address</FONT>"));
    EXPECT_FALSE(CheckAddress("").address);
    EXPECT_EQ(CheckAddress("A1").address, std::optional<std::uint8_t>(0xA0));
    EXPECT_EQ(CheckAddress("ZZ").error,
              std::optional<std::string>("'ZZ' is not a valid hexadecimal value."));
}

TEST(Definition, CountField) {
    const struct {
        const char* text;
        CountCheck check;
    } cases[] = {{"0", CountCheck::TooSmall},   {"1", CountCheck::Apply},
                 {"256", CountCheck::Apply},    {"257", CountCheck::TooLarge},
                 {"999", CountCheck::TooLarge}, {"1000", CountCheck::Ignore},
                 {"-3", CountCheck::Ignore},    {"", CountCheck::Ignore},
                 {"x", CountCheck::Ignore},     {"-", CountCheck::Ignore}};
    for (const auto& c : cases) {
        int v = -99;
        EXPECT_EQ(checkCount(c.text, v), c.check) << c.text;
    }
}

}  // namespace
}  // namespace parvex::device
