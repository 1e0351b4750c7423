#include "expert/message_table.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace parvex::expert {

const std::array<std::string_view, kColumnCount> kColumnHeaders = {
    "Msg #", "Start", "Address", "R/W", "Data", "Stop?", "Additional Delay", "Notes"};

TGridRecord& CopyBuffer() {
    static TGridRecord buffer;
    return buffer;
}

int dataByteCount(std::string_view data) {
    return static_cast<int>((data.size() + 1) / 3);
}

std::optional<std::uint32_t> parseHexNumber(std::string_view text) {
    if (text.empty() || text.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                          : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
                                                                      : -1;
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::optional<std::int32_t> parseDecimal(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string hexConversionMessage(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid hexadecimal value.";
}

std::string integerConversionMessage(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid integer value.";
}

std::string dataText(const std::uint8_t* bytes, int count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(static_cast<std::size_t>(std::max(0, count * 3 - 1)));
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ',';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::optional<std::string> buildRecord(const TGridRecord& texts, RecordRule rule,
                                       TUSBI2CReport& record) {
    // A Data text longer than a record holds is stored as far as it goes; what the adapter
    // is told to send must never run past the report.
    const int n = std::min(dataByteCount(texts.DataString), kMaxRecordDataBytes);
    record[report::kReportId] = 0;
    record[report::kLength] = static_cast<std::uint8_t>(n + 6);
    if (texts.RW == kWriteText)
        record[report::kCommand] = cmdWriteMessage;
    else if (texts.RW == kReadText)
        record[report::kCommand] = cmdReadMessage;
    else if (rule == RecordRule::File)
        record[report::kCommand] = cmdWriteMessage;
    record[report::kMessageCount] = static_cast<std::uint8_t>(n);
    record[report::kMessageReserved] = 0;
    record[report::kMessageOptions] = texts.Stop == kNoText ? kOptionsNoStop : kOptionsStop;

    const std::optional<std::uint32_t> address = parseHexNumber(texts.Address);
    if (!address) return hexConversionMessage(texts.Address);
    std::uint8_t a = static_cast<std::uint8_t>(*address & 0xFF);
    if (texts.RW == kReadText)
        a |= 0x01;
    else if (rule == RecordRule::Paste)
        a &= 0xFE;
    record[report::kMessageAddress] = a;

    for (int i = 0; i < n; ++i) {
        const std::string_view group =
            std::string_view(texts.DataString).substr(static_cast<std::size_t>(3 * i), 2);
        const std::optional<std::uint32_t> value = parseHexNumber(group);
        if (!value) return hexConversionMessage(group);
        record[report::kMessageData + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(*value);
    }
    return std::nullopt;
}

MessageTable::MessageTable() {
    reset();
}

std::string MessageTable::cellText(int r, int column) const {
    const TGridRecord& t = row(r);
    switch (column) {
        case colNumber:
            return std::to_string(r);
        case colStart:
            return std::string(kStartText);
        case colAddress:
            return t.Address;
        case colRW:
            return t.RW;
        case colData:
            return t.DataString;
        case colStop:
            return t.Stop;
        case colDelay:
            return t.DelayTime;
        case colNotes:
            return t.Comments;
        default:
            return {};
    }
}

bool MessageTable::insertRow(int current) {
    if (rowCount() >= kMaxMessages) return false;
    const int p = std::clamp(current + 1, 1, rowCount() + 1);
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(index(p)), TGridRecord{});
    for (int r = rowCount(); r > p; --r) record(r) = record(r - 1);
    record(p).fill(0);
    if (followed_ >= p) ++followed_;
    return true;
}

void MessageTable::removeRow(int r) {
    const int last = rowCount();
    for (int k = r; k < last; ++k) record(k) = record(k + 1);
    record(last).fill(0);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index(r)));
    if (followed_ == r)
        followed_ = 0;
    else if (followed_ > r)
        --followed_;
}

bool MessageTable::deleteRow(int current) {
    if (rowCount() <= 1 || current < 1 || current > rowCount()) return false;
    removeRow(current);
    return true;
}

void MessageTable::clearRow(int r) {
    rows_.at(index(r)) = TGridRecord{};
    TUSBI2CReport& rec = record(r);
    std::fill(rec.begin(), rec.begin() + 49, std::uint8_t{0});
}

std::optional<std::string> MessageTable::pasteRow(int r, const TGridRecord& copied) {
    setRow(r, copied);
    return buildRecord(copied, RecordRule::Paste, record(r));
}

void MessageTable::compact() {
    for (int r = rowCount(); r >= 1 && rowCount() > 1; --r)
        if (row(r).empty()) removeRow(r);
}

void MessageTable::reset() {
    rows_.assign(kNewTableMessages, TGridRecord{});
    for (TUSBI2CReport& rec : records_) rec.fill(0);
    followed_ = 0;
}

void MessageTable::resetForLoad() {
    rows_.assign(1, TGridRecord{});
    followed_ = 0;
}

bool MessageTable::appendRow() {
    if (rowCount() >= kMaxMessages) return false;
    rows_.emplace_back();
    return true;
}

}  // namespace parvex::expert
