#include "eeprom/geometry.h"

#include "eeprom/hex_text.h"

namespace parvex::eeprom {

namespace {
constexpr std::array<std::string_view, 8> kAllAddresses{"A0", "A2", "A4", "A6",
                                                        "A8", "AA", "AC", "AE"};

// clang-format off
constexpr std::array<Geometry, 6> kGeometries{{
    {"mnu128bit", "16 x 8 (128 bit)", "16 Byte (128 bit) EEPROM", "16", 16, 2,
     kAllAddresses, 8, false, true, 1,
     "0", "F", 1, "0", "7", "8", 1, 1, 16},
    {"mnu1kbit", "128 x 8 (1k bit)", "128 Byte (1024 bit) RAM / FRAM", "128", 128, 9,
     kAllAddresses, 8, false, true, 1,
     "00", "7F", 2, "00", "3F", "40", 2, 4, 32},
    {"mnu2kbit", "256 x 8 (2k bit)", "256 Byte (2048 bit) EEPROM", "256", 256, 17,
     kAllAddresses, 8, false, true, 1,
     "00", "FF", 2, "00", "7F", "80", 2, 8, 32},
    {"mnu4kbit", "512 x 8 (4k bit)", "512 Byte (4k bit) EEPROM", "512", 512, 33,
     {"A0", "A4", "A8", "AC"}, 4, true, true, 2,
     "00", "0FF", 3, "000", "07F", "80", 3, 16, 32},
    {"mnu8kbit", "1k x 8 (8k bit)", "1024 Byte (8k bit) EEPROM", "1024", 1024, 65,
     {"A0", "A8"}, 2, true, true, 4,
     "00", "0FF", 3, "000", "07F", "80", 3, 32, 32},
    {"mnu16kbit", "2k x 8 (16k bit)", "2048 Byte (16k bit) EEPROM", "2048", 2048, 129,
     {"A0"}, 1, true, false, 8,
     "00", "0FF", 3, "000", "07F", "80", 3, 64, 32},
}};
// clang-format on
}  // namespace

const std::array<Geometry, 6>& geometries() {
    return kGeometries;
}

const Geometry* geometryForSize(int bytes) {
    for (const Geometry& g : kGeometries) {
        if (g.bytes == bytes) return &g;
    }
    return nullptr;
}

int clampWriteTime(int ms) {
    if (ms < kMinWriteTimeMs) return kMinWriteTimeMs;
    if (ms > kMaxWriteTimeMs) return kMaxWriteTimeMs;
    return ms;
}

namespace {
// A whole decimal number, blanks around it allowed; nothing past a few digits.
std::optional<int> parseDecimal(std::string_view text) {
    const std::string t = trimmed(text);
    if (t.empty() || t.size() > 9) return std::nullopt;
    std::size_t i = 0;
    const bool negative = t[0] == '-';
    if (negative || t[0] == '+') ++i;
    if (i == t.size()) return std::nullopt;
    int value = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9') return std::nullopt;
        value = value * 10 + (t[i] - '0');
    }
    return negative ? -value : value;
}
}  // namespace

std::optional<int> parsePageSize(std::string_view text) {
    const std::optional<int> value = parseDecimal(text);
    for (const int size : kPageSizes)
        if (value == size) return size;
    return std::nullopt;
}

int parseWriteTime(std::string_view text, int fallback) {
    return clampWriteTime(parseDecimal(text).value_or(fallback));
}

Cell hexCell(int address) {
    return {address / kColumns + 1, address % kColumns + 1};
}

Cell asciiCell(int address) {
    return {address / kColumns + 1, address % kColumns};
}

std::optional<int> addressOfHexCell(int row, int column, int sizeBytes) {
    if (row < 1 || column < 1 || column > kColumns) return std::nullopt;
    const int address = (row - 1) * kColumns + (column - 1);
    if (address >= sizeBytes) return std::nullopt;
    return address;
}

std::optional<int> addressOfAsciiCell(int row, int column, int sizeBytes) {
    if (row < 1 || column < 0 || column >= kColumns) return std::nullopt;
    const int address = (row - 1) * kColumns + column;
    if (address >= sizeBytes) return std::nullopt;
    return address;
}

std::string rowLabel(int row) {
    return hexText(static_cast<std::uint32_t>(row - 1), 1);
}

std::string columnHeader(int index) {
    return hexText(static_cast<std::uint32_t>(index), 1);
}

std::string addressText(int address) {
    return hexText(static_cast<std::uint32_t>(address), 3);
}

char32_t displayChar(std::uint8_t value) {
    return value >= 0x20 && value <= 0x7E ? static_cast<char32_t>(value) : U'.';
}

std::uint8_t deviceAddressByte(std::uint8_t selectedAddress, int address) {
    const int base = selectedAddress & 0xFE;
    return static_cast<std::uint8_t>((base + 2 * (address / kBlockBytes)) & 0xFF);
}

std::uint8_t wordAddress(int address) {
    return static_cast<std::uint8_t>(address % kBlockBytes);
}

std::optional<std::uint8_t> parseBusAddress(std::string_view text) {
    const auto value = parseHex(trimmed(text));
    if (!value || *value > 0xFF) return std::nullopt;
    return static_cast<std::uint8_t>(*value & 0xFE);
}

}  // namespace parvex::eeprom
