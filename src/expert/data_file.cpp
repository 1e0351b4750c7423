#include "expert/data_file.h"

#include <algorithm>

namespace parvex::expert {

namespace {

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool validUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int extra = 0;
        std::uint32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((d & 0xC0) != 0x80) return false;
            code = (code << 6) | (d & 0x3F);
        }
        static constexpr std::uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        if (code < kMinimum[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Windows-1252 0x80 to 0x9F; the five unassigned codes keep their C1 values.
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Splits off the text before the first comma; without a comma the field is empty and the
// rest stays whole, so the next field is taken from the same text.
std::string takeField(std::string_view& rest) {
    const std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos) return {};
    std::string field(rest.substr(0, comma));
    rest.remove_prefix(comma + 1);
    return field;
}

TGridRecord parseMessageLine(std::string_view s, bool& cut) {
    TGridRecord row;
    if (const std::size_t at = s.find(kCommentsMarker); at != std::string_view::npos) {
        row.Comments = std::string(s.substr(at + kCommentsMarker.size()));
        s = s.substr(0, at);
    }
    row.Address = takeField(s);
    row.RW = takeField(s);
    row.Stop = takeField(s);
    row.DelayTime = takeField(s);
    row.DataString = std::string(s);
    constexpr std::size_t kMaxDataChars = kMaxRecordDataBytes * 3 - 1;
    if (dataByteCount(row.DataString) > kMaxRecordDataBytes) {
        row.DataString.resize(kMaxDataChars);
        cut = true;
    }
    return row;
}

}  // namespace

std::string toUtf8(std::string_view bytes) {
    if (validUtf8(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        appendUtf8(out, c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
    }
    return out;
}

DataFileContents readDataFile(std::string_view bytes) {
    DataFileContents out;
    const std::string text = toUtf8(bytes);
    std::string_view rest = text;
    auto nextLine = [&rest]() {
        const std::size_t nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        rest = nl == std::string_view::npos ? std::string_view{} : rest.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    };
    if (text.empty() || nextLine() != kDataFileHeader) return out;
    out.headerOk = true;

    while (!rest.empty()) {
        const std::string_view line = trimmed(nextLine());
        if (line.empty()) continue;
        if (line.substr(0, kSequencePrefix.size()) == kSequencePrefix) {
            ParsedSequence parsed = parseSequenceText(line.substr(kSequencePrefix.size()));
            out.cut = out.cut || parsed.cut;
            out.sequence = std::move(parsed.numbers);
            continue;
        }
        if (line.substr(0, 2) == "//") continue;
        if (static_cast<int>(out.rows.size()) >= kMaxMessages) {
            out.cut = true;
            continue;
        }
        TGridRecord row = parseMessageLine(line, out.cut);
        // The texts must convert now, as they would when the record is built from them.
        TUSBI2CReport probe{};
        if (std::optional<std::string> error = buildRecord(row, RecordRule::File, probe)) {
            out.error = std::move(error);
            return out;
        }
        out.rows.push_back(std::move(row));
    }
    return out;
}

void loadIntoTable(const DataFileContents& contents, MessageTable& table) {
    table.resetForLoad();
    for (std::size_t i = 0; i < contents.rows.size(); ++i) {
        const int r = static_cast<int>(i) + 1;
        if (r > 1 && !table.appendRow()) break;
        table.setRow(r, contents.rows[i]);
        // The reader has converted every text already.
        (void)buildRecord(contents.rows[i], RecordRule::File, table.record(r));
    }
}

std::string writeDataFile(const MessageTable& table, std::string_view sequenceText) {
    std::string out;
    out.reserve(128 + static_cast<std::size_t>(table.rowCount()) * 96);
    out.append(kDataFileHeader).append("\r\n");
    for (int r = 1; r <= table.rowCount(); ++r) {
        const TGridRecord& t = table.row(r);
        if (t.empty()) continue;
        out.append(t.Address).append(",").append(t.RW).append(",").append(t.Stop).append(",");
        out.append(t.DelayTime).append(",").append(t.DataString);
        if (!t.Comments.empty()) out.append(kCommentsMarker).append(t.Comments);
        out.append("\r\n");
    }
    out.append(kSequencePrefix).append(sequenceText).append("\r\n");
    return out;
}

}  // namespace parvex::expert
