#pragma once
// One user-defined register device: its name, bus address, register count and the value and
// description of each register, with the rules every window applies to them. Values stay
// text, as the grid and the definition file hold them; they become bytes only on the way to
// the bus.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parvex::device {

inline constexpr int kRegisterSlots = 256;
inline constexpr int kGridColumns = 16;
inline constexpr int kDefaultMaxRegister = 63;
inline constexpr std::uint8_t kDefaultAddress = 0xA0;

inline constexpr std::string_view kWindowCaption = "User Definable Device";
inline constexpr std::string_view kUnknownDevice = "Unknown Device";
inline constexpr std::string_view kUndefinedDescription = "Undefined Register";
inline constexpr std::string_view kUndefinedValue = "XX";
inline constexpr std::string_view kUnknownValue = "FF";
inline constexpr std::string_view kInvalidSelection = "Invalid Register selection";
inline constexpr std::string_view kInvalidAddressStatus =
    "<FONT color=\"clRed\">Invalid address</FONT>";
inline constexpr std::string_view kNoWriteMessage = "Invalid register ... no write performed";
inline constexpr std::string_view kNoWriteStatus =
    "<FONT color=\"clRed\">Invalid register ... no write performed</FONT>";
inline constexpr std::string_view kNoReadMessage = "Invalid device register ... no read performed";
inline constexpr std::string_view kCannotEditUndefined = "Cannot edit an undefined cell";

struct TDeviceDefinition {
    std::string DeviceName{kWindowCaption};
    std::uint8_t DeviceAddress = kDefaultAddress;
    int MaxRegister = kDefaultMaxRegister;
    std::array<std::string, kRegisterSlots> RegisterValues;
    std::array<std::string, kRegisterSlots> RegisterDescriptions;

    // The state of a newly opened window: 64 registers of "FF", entries above them empty.
    TDeviceDefinition();

    [[nodiscard]] int registerCount() const { return MaxRegister + 1; }
    [[nodiscard]] bool isDefined(int reg) const { return reg >= 0 && reg <= MaxRegister; }
    // A new register count (clamped to 1..256): registers beyond it become "XX" /
    // "Undefined Register"; those below keep their entries, an empty one taking the
    // defaults.
    void setRegisterCount(int count);
};

// Grid geometry: model row r (0-based, the header row excluded) holds registers 16r..16r+15.
[[nodiscard]] int gridRowsFor(int maxRegister);  // data rows, header excluded
[[nodiscard]] inline int rowOf(int reg) {
    return reg / kGridColumns;
}
[[nodiscard]] inline int columnOf(int reg) {
    return reg % kGridColumns;
}
[[nodiscard]] inline int registerAt(int row, int column) {
    return row * kGridColumns + column;
}
// "0" .. "F": the single hexadecimal digit of a header section.
[[nodiscard]] std::string headerDigit(int section);

// Two upper-case hexadecimal digits.
[[nodiscard]] std::string hexByte(int value);
// A value text as a byte: a hexadecimal number (blanks around it allowed, up to eight
// digits) of which the low 8 bits count; nothing for any other text.
[[nodiscard]] std::optional<std::uint8_t> valueByte(std::string_view text);
// `'<text>' is not a valid hexadecimal value.`
[[nodiscard]] std::string hexConversionMessage(std::string_view text);
// `'<text>' is not a valid integer value.`
[[nodiscard]] std::string integerConversionMessage(std::string_view text);

// The register caption line: "0x1F: <description>", or "Invalid Register selection".
[[nodiscard]] std::string registerCaption(const TDeviceDefinition& device, int reg);

// The text a definition dialog value cell stores: "" or "  " or " x" give "FF", "5 " gives
// "05", anything else stays.
[[nodiscard]] std::string ValidHexCheck(std::string_view text);
// The text a register grid cell keeps when its editor closes: "XX" for an undefined register;
// otherwise trimmed, "" -> "FF", "7" -> "07".
[[nodiscard]] std::string validateCell(std::string_view text, bool defined);

// The address field. Change rule: a two-character text that is a hexadecimal number gives
// the address with bit 0 cleared; any other text leaves the address alone.
struct AddressChange {
    std::uint8_t address;
    std::string text;  // the field's text rewritten from the address
};
[[nodiscard]] std::optional<AddressChange> addressChange(std::string_view text);
// Exit rule: a text of one or two hexadecimal digits is rewritten as two digits (the change
// rule then clears bit 0). An error message for a text that is not a number; nothing to do
// for a text already in its final form.
struct AddressExit {
    std::optional<std::string> text;
    std::optional<std::string> error;
};
[[nodiscard]] AddressExit addressExit(std::string_view text);
// CheckAddress: fewer than two characters -> the "Invalid address" status; a text that is
// not hexadecimal -> the conversion message; otherwise the even address.
struct AddressCheck {
    std::optional<std::uint8_t> address;
    std::optional<std::string> status;  // red status markup
    std::optional<std::string> error;   // message box
};
[[nodiscard]] AddressCheck CheckAddress(std::string_view text);

// A definition dialog's count field: the message for a typed count, if any.
enum class CountCheck { Apply, TooSmall, TooLarge, Ignore };
[[nodiscard]] CountCheck checkCount(std::string_view text, int& value);
inline constexpr std::string_view kCountTooSmall = "Please enter a number between 1 and 256";
inline constexpr std::string_view kCountTooLarge = "Please enter an integer between 1 and 256";

}  // namespace parvex::device
