#include "device/definition.h"

#include <algorithm>
#include <cctype>

namespace parvex::device {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The whole text as a hexadecimal number of at most eight digits.
std::optional<std::uint32_t> parseHex(std::string_view text) {
    text = trimmed(text);
    if (text.empty() || text.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        const int digit = hexValue(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

}  // namespace

TDeviceDefinition::TDeviceDefinition() {
    for (int i = 0; i <= MaxRegister; ++i) {
        RegisterValues[static_cast<std::size_t>(i)] = std::string(kUnknownValue);
        RegisterDescriptions[static_cast<std::size_t>(i)] = std::string(kUndefinedDescription);
    }
}

void TDeviceDefinition::setRegisterCount(int count) {
    MaxRegister = std::clamp(count, 1, kRegisterSlots) - 1;
    for (int i = 0; i < kRegisterSlots; ++i) {
        std::string& value = RegisterValues[static_cast<std::size_t>(i)];
        std::string& description = RegisterDescriptions[static_cast<std::size_t>(i)];
        if (i > MaxRegister) {
            value = std::string(kUndefinedValue);
            description = std::string(kUndefinedDescription);
            continue;
        }
        if (value.empty()) value = std::string(kUnknownValue);
        if (description.empty()) description = std::string(kUndefinedDescription);
    }
}

int gridRowsFor(int maxRegister) {
    return std::clamp(maxRegister, 0, kRegisterSlots - 1) / kGridColumns + 1;
}

std::string headerDigit(int section) {
    return std::string(1, kHexDigits[section & 0xF]);
}

std::string hexByte(int value) {
    return {kHexDigits[(value >> 4) & 0xF], kHexDigits[value & 0xF]};
}

std::optional<std::uint8_t> valueByte(std::string_view text) {
    const auto value = parseHex(text);
    if (!value) return std::nullopt;
    return static_cast<std::uint8_t>(*value & 0xFF);
}

std::string hexConversionMessage(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid hexadecimal value.";
}

std::string integerConversionMessage(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid integer value.";
}

std::string registerCaption(const TDeviceDefinition& device, int reg) {
    if (!device.isDefined(reg)) return std::string(kInvalidSelection);
    return "0x" + hexByte(reg) + ": " + device.RegisterDescriptions[static_cast<std::size_t>(reg)];
}

std::string ValidHexCheck(std::string_view text) {
    if (text.empty() || text.front() == ' ') return std::string(kUnknownValue);
    if (text.size() >= 2 && text[1] == ' ') return std::string("0") + text.front();
    return std::string(text);
}

std::string validateCell(std::string_view text, bool defined) {
    if (!defined) return std::string(kUndefinedValue);
    text = trimmed(text);
    if (text.empty()) return std::string(kUnknownValue);
    if (text.size() == 1) return "0" + std::string(text);
    return std::string(text);
}

std::optional<AddressChange> addressChange(std::string_view text) {
    if (text.size() != 2) return std::nullopt;
    const auto value = parseHex(text);
    if (!value) return std::nullopt;
    const auto address = static_cast<std::uint8_t>(*value & 0xFE);
    return AddressChange{address, hexByte(address)};
}

AddressExit addressExit(std::string_view text) {
    if (text.size() > 2) return {};
    const auto value = parseHex(text);
    if (!value) return {std::nullopt, hexConversionMessage(text)};
    const std::string rewritten = hexByte(static_cast<int>(*value));
    if (rewritten == text) return {};
    return {rewritten, std::nullopt};
}

AddressCheck CheckAddress(std::string_view text) {
    if (text.size() < 2) return {std::nullopt, std::string(kInvalidAddressStatus), std::nullopt};
    const auto value = parseHex(text);
    if (!value) return {std::nullopt, std::nullopt, hexConversionMessage(text)};
    return {static_cast<std::uint8_t>(*value & 0xFE), std::nullopt, std::nullopt};
}

CountCheck checkCount(std::string_view text, int& value) {
    text = trimmed(text);
    if (text.empty() || text.size() > 6) return CountCheck::Ignore;
    int v = 0;
    std::size_t i = 0;
    const bool negative = text.front() == '-';
    if (negative || text.front() == '+') ++i;
    if (i == text.size()) return CountCheck::Ignore;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return CountCheck::Ignore;
        v = v * 10 + (text[i] - '0');
    }
    value = negative ? -v : v;
    if (value == 0) return CountCheck::TooSmall;
    if (value >= 1 && value <= kRegisterSlots) return CountCheck::Apply;
    if (value > kRegisterSlots && value <= 999) return CountCheck::TooLarge;
    return CountCheck::Ignore;
}

}  // namespace parvex::device
