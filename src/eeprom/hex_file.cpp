#include "eeprom/hex_file.h"

#include <optional>

#include "eeprom/geometry.h"
#include "eeprom/hex_text.h"

namespace parvex::eeprom {

namespace {
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kEndRecord = ":00000001FF";
constexpr int kRecordBytes = 16;

// Character positions of a record, counted from 0 (the ':' is at 0).
constexpr std::size_t kCountPos = 1;
constexpr std::size_t kAddressPos = 3;
constexpr std::size_t kDataPos = 9;

// A line too short for its fields is named whole, but a pasted megabyte should not end
// up in a message box.
constexpr std::size_t kMaxNamedLength = 80;

std::string namedLine(std::string_view line) {
    if (line.size() <= kMaxNamedLength) return std::string(line);
    return std::string(line.substr(0, kMaxNamedLength)) + "...";
}

HexLoad conversionFailure(std::string_view text, int line) {
    HexLoad out;
    out.result = HexLoad::Result::Error;
    out.line = line;
    out.message = hexConversionMessage(text);
    return out;
}

HexLoad dropped(HexLoad::DropReason reason, int line) {
    HexLoad out;
    out.result = HexLoad::Result::Dropped;
    out.reason = reason;
    out.line = line;
    return out;
}

bool blank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// Splits off the next line; a line ends at CR LF, LF or CR. Returns false at the end.
bool nextLine(std::string_view& rest, std::string_view& line) {
    if (rest.empty()) return false;
    const std::size_t end = rest.find_first_of("\r\n");
    if (end == std::string_view::npos) {
        line = rest;
        rest = {};
        return true;
    }
    line = rest.substr(0, end);
    std::size_t skip = 1;
    if (rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n') skip = 2;
    rest.remove_prefix(end + skip);
    return true;
}
}  // namespace

std::string hexRecord(std::uint16_t address, const std::uint8_t* sixteenBytes) {
    std::string line = ":10" + hexText(address, 4) + "00";
    unsigned sum = kRecordBytes + (address >> 8) + (address & 0xFF);
    for (int i = 0; i < kRecordBytes; ++i) {
        line += byteText(sixteenBytes[i]);
        sum += sixteenBytes[i];
    }
    line += byteText(static_cast<std::uint8_t>((0x100 - (sum & 0xFF)) & 0xFF));
    return line;
}

std::string writeHexFile(const std::vector<std::uint8_t>& image) {
    std::string out;
    const std::size_t rows = image.size() / kRecordBytes;
    for (std::size_t r = 0; r < rows; ++r) {
        const std::uint8_t* row = image.data() + r * kRecordBytes;
        bool erased = true;
        for (int i = 0; i < kRecordBytes && erased; ++i) erased = row[i] == 0xFF;
        if (erased) continue;
        out += hexRecord(static_cast<std::uint16_t>(r * kRecordBytes), row);
        out += kLineEnd;
    }
    out += kEndRecord;
    out += kLineEnd;
    return out;
}

HexLoad readHexFile(std::string_view contents, int sizeBytes) {
    HexLoad out;
    out.bytes.assign(static_cast<std::size_t>(sizeBytes > 0 ? sizeBytes : 0), 0xFF);
    const auto size = static_cast<std::uint32_t>(out.bytes.size());

    std::string_view rest = contents;
    std::string_view line;
    int number = 0;
    while (nextLine(rest, line)) {
        ++number;
        if (blank(line)) continue;
        if (line[0] != ':') return dropped(HexLoad::DropReason::NotARecord, number);
        if (line.size() < kAddressPos + 4) return conversionFailure(namedLine(line), number);
        const std::string_view countText = line.substr(kCountPos, 2);
        const auto count = parseHex(countText);
        if (!count) return conversionFailure(countText, number);
        const std::string_view addressText = line.substr(kAddressPos, 4);
        const auto address = parseHex(addressText);
        if (!address) return conversionFailure(addressText, number);
        if (*address >= size) return dropped(HexLoad::DropReason::BeyondEnd, number);
        if (line.size() < kDataPos + 2 * std::size_t{*count}) {
            return conversionFailure(namedLine(line), number);
        }
        for (std::uint32_t i = 0; i < *count; ++i) {
            const std::string_view pair = line.substr(kDataPos + 2 * i, 2);
            const auto value = parseHex(pair);
            if (!value) return conversionFailure(pair, number);
            // Bytes of a record that runs past the device's end are dropped.
            if (*address + i < size) out.bytes[*address + i] = static_cast<std::uint8_t>(*value);
        }
    }
    return out;
}

}  // namespace parvex::eeprom
