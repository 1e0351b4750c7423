#pragma once
// Hexadecimal text as the editor shows, types and stores it: upper-case digits, no prefix.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parvex::eeprom {

// The text with leading and trailing blanks (spaces, tabs, CR, LF) removed.
[[nodiscard]] std::string trimmed(std::string_view text);

// Reads text as an unsigned hexadecimal number, digits in either case, no prefix, no blanks.
// Empty text, any other character, or a value above 0xFFFFFFFF gives nothing.
[[nodiscard]] std::optional<std::uint32_t> parseHex(std::string_view text);

// value in upper-case hexadecimal with at least minDigits digits ("7" with 2 gives "07").
[[nodiscard]] std::string hexText(std::uint32_t value, int minDigits);

// A byte as two upper-case hexadecimal digits, as a hex cell holds it.
[[nodiscard]] std::string byteText(std::uint8_t value);

// "'<text>' is not a valid hexadecimal value." - the one message for text that is not a
// hexadecimal number (typed fields, grid cells, file contents).
[[nodiscard]] std::string hexConversionMessage(std::string_view text);

}  // namespace parvex::eeprom
