#include "device/ini_text.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace parvex::device {

namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// "[Name]" -> "Name" (trimmed); nothing for a line that is not a section header.
std::optional<std::string_view> headerName(std::string_view line) {
    line = trimmed(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trimmed(line.substr(1, close - 1));
}

struct KeyValue {
    std::string_view key;
    std::string_view value;
};
std::optional<KeyValue> keyValue(std::string_view line) {
    const std::string_view t = trimmed(line);
    if (t.empty() || t.front() == ';' || t.front() == '#' || t.front() == '[') return std::nullopt;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return KeyValue{trimmed(line.substr(0, eq)), trimmed(line.substr(eq + 1))};
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Code points of 0x80..0x9F in Windows-1252; 0 where the code page defines none.
constexpr char16_t kHigh1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        int extra = 0;
        char32_t min = 0;
        if (b < 0x80) {
            ++i;
            continue;
        }
        if ((b & 0xE0) == 0xC0) {
            extra = 1;
            min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            min = 0x10000;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= bytes.size()) return false;
        char32_t c = b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<std::uint8_t>(bytes[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char ch : bytes) {
        const auto b = static_cast<std::uint8_t>(ch);
        char32_t c = b;
        if (b >= 0x80 && b < 0xA0) c = kHigh1252[b - 0x80] ? kHigh1252[b - 0x80] : 0xFFFD;
        appendUtf8(out, c);
    }
    return out;
}

IniText::IniText(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    const std::string text = isValidUtf8(bytes) ? std::string(bytes) : windows1252ToUtf8(bytes);
    sections_.push_back({});
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (const auto name = headerName(line)) sections_.push_back({lower(*name), {}, {}, 0});
        addLine(sections_.back(), std::move(line));
        start = end + 1;
    }
}

void IniText::addLine(Section& section, std::string line) {
    if (!section.lines.empty() || section.name.empty()) {
        if (const auto kv = keyValue(line))
            section.keys.emplace(lower(kv->key), section.lines.size());
    }
    section.lines.push_back(std::move(line));
    if (!trimmed(section.lines.back()).empty()) section.lastFilled = section.lines.size();
}

const IniText::Section* IniText::find(const std::string& lowerName) const {
    // The first section of the name counts, as for every reader of these files.
    for (const Section& s : sections_)
        if (!s.lines.empty() && s.name == lowerName && headerName(s.lines.front())) return &s;
    return nullptr;
}

std::optional<std::string> IniText::value(std::string_view section, std::string_view key) const {
    const Section* s = find(lower(section));
    if (!s) return std::nullopt;
    const auto it = s->keys.find(lower(key));
    if (it == s->keys.end()) return std::nullopt;
    return std::string(keyValue(s->lines[it->second])->value);
}

void IniText::setValue(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + std::string(trimmed(value));
    // A line break inside a value would start a line of its own in the file.
    std::replace(line.begin(), line.end(), '\r', ' ');
    std::replace(line.begin(), line.end(), '\n', ' ');
    auto* s = const_cast<Section*>(find(lower(section)));
    if (!s) {
        sections_.push_back({lower(section), {}, {}, 0});
        s = &sections_.back();
        addLine(*s, "[" + std::string(section) + "]");
    }
    if (const auto it = s->keys.find(lower(key)); it != s->keys.end()) {
        s->lines[it->second] = std::move(line);
        return;
    }
    // A new key follows the section's last line that is not blank; only blank lines move.
    const std::size_t at = s->lastFilled;
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    s->keys.emplace(lower(key), at);
    s->lastFilled = at + 1;
}

void IniText::eraseSection(std::string_view section) {
    const std::string name = lower(section);
    sections_.erase(std::remove_if(sections_.begin(), sections_.end(),
                                   [&](const Section& s) {
                                       return !s.lines.empty() && s.name == name &&
                                              headerName(s.lines.front());
                                   }),
                    sections_.end());
}

std::string IniText::text() const {
    std::string out;
    for (const Section& s : sections_)
        for (const std::string& line : s.lines) {
            out += line;
            out += "\r\n";
        }
    return out;
}

}  // namespace parvex::device
