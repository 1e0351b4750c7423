#include "eeprom/image.h"

#include <algorithm>

#include "eeprom/geometry.h"
#include "eeprom/hex_text.h"

namespace parvex::eeprom {

namespace {
const std::string kNoText;
}

Image::Image(int sizeBytes)
    : hex_(static_cast<std::size_t>(sizeBytes > 0 ? sizeBytes : 0), std::string(kErasedCellText)),
      ascii_(hex_.size(), kErasedCellChar),
      marks_(hex_.size(), Mark::None) {}

Image::Image(const Image& other)
    : hex_(other.hex_), ascii_(other.ascii_), marks_(other.marks_), marked_(other.marked_) {}

Image& Image::operator=(const Image& other) {
    if (this != &other) {
        hex_ = other.hex_;
        ascii_ = other.ascii_;
        marks_ = other.marks_;
        marked_ = other.marked_;
        notify(0, size());
    }
    return *this;
}

const std::string& Image::hexText(int address) const {
    return contains(address) ? hex_[static_cast<std::size_t>(address)] : kNoText;
}

char32_t Image::asciiChar(int address) const {
    return contains(address) ? ascii_[static_cast<std::size_t>(address)] : U'\0';
}

std::optional<std::uint32_t> Image::cellValue(int address) const {
    if (!contains(address)) return std::nullopt;
    return parseHex(trimmed(hex_[static_cast<std::size_t>(address)]));
}

ImageBytes Image::bytes() const {
    ImageBytes out;
    out.bytes.reserve(hex_.size());
    for (int a = 0; a < size(); ++a) {
        const auto value = cellValue(a);
        if (!value) {
            out.bytes.clear();
            out.error = hexConversionMessage(hexText(a));
            out.errorAddress = a;
            return out;
        }
        out.bytes.push_back(static_cast<std::uint8_t>(*value & 0xFF));
    }
    return out;
}

void Image::setHexText(int address, std::string text) {
    if (!contains(address)) return;
    hex_[static_cast<std::size_t>(address)] = std::move(text);
    unmark(address);
    notify(address, 1);
}

void Image::setAsciiChar(int address, char32_t c) {
    if (!contains(address)) return;
    ascii_[static_cast<std::size_t>(address)] = c;
    unmark(address);
    notify(address, 1);
}

void Image::setCell(int address, std::string text, char32_t c) {
    if (!contains(address)) return;
    hex_[static_cast<std::size_t>(address)] = std::move(text);
    ascii_[static_cast<std::size_t>(address)] = c;
    unmark(address);
    notify(address, 1);
}

void Image::setByte(int address, std::uint8_t value) {
    setCell(address, byteText(value), displayChar(value));
}

void Image::setBytes(int first, const std::uint8_t* data, int count) {
    if (data == nullptr || count <= 0) return;
    int begin = first < 0 ? 0 : first;
    int end = first + count;
    if (end > size()) end = size();
    if (begin >= end) return;
    for (int a = begin; a < end; ++a) {
        const std::uint8_t value = data[a - first];
        hex_[static_cast<std::size_t>(a)] = byteText(value);
        ascii_[static_cast<std::size_t>(a)] = displayChar(value);
        unmark(a);
    }
    notify(begin, end - begin);
}

void Image::setCells(int first, std::vector<std::string> texts, const std::u32string& chars) {
    const std::size_t n = texts.size() < chars.size() ? texts.size() : chars.size();
    int begin = -1;
    int end = -1;
    for (std::size_t k = 0; k < n; ++k) {
        const int a = first + static_cast<int>(k);
        if (!contains(a)) continue;
        hex_[static_cast<std::size_t>(a)] = std::move(texts[k]);
        ascii_[static_cast<std::size_t>(a)] = chars[k];
        unmark(a);
        if (begin < 0) begin = a;
        end = a + 1;
    }
    if (begin >= 0) notify(begin, end - begin);
}

void Image::erase() {
    for (auto& text : hex_) text = std::string(kErasedCellText);
    ascii_.assign(ascii_.size(), kErasedCellChar);
    marks_.assign(marks_.size(), Mark::None);
    marked_ = 0;
    notify(0, size());
}

void Image::editHexText(int address, std::string_view text) {
    if (!contains(address)) return;
    hex_[static_cast<std::size_t>(address)] = std::string(text);
    unmark(address);
    const std::string t = trimmed(text);
    if (t.size() > 1) {
        // Text that is not hexadecimal (the key filter normally prevents it) leaves the
        // character as it was rather than failing half-way through an edit.
        if (const auto value = parseHex(t)) {
            ascii_[static_cast<std::size_t>(address)] =
                displayChar(static_cast<std::uint8_t>(*value & 0xFF));
        }
    }
    notify(address, 1);
}

std::string Image::validateHexCell(int address) {
    if (!contains(address)) return {};
    auto& text = hex_[static_cast<std::size_t>(address)];
    text = normalisedCellText(text);
    unmark(address);
    if (const auto value = parseHex(text)) {
        ascii_[static_cast<std::size_t>(address)] =
            displayChar(static_cast<std::uint8_t>(*value & 0xFF));
    }
    notify(address, 1);
    return text;
}

AsciiKeyResult Image::typeAsciiChar(int address, char32_t code) {
    if (!contains(address) || code <= 13 || code > 255) return AsciiKeyResult::Ignored;
    hex_[static_cast<std::size_t>(address)] = byteText(static_cast<std::uint8_t>(code));
    ascii_[static_cast<std::size_t>(address)] = code;
    unmark(address);
    notify(address, 1);
    return AsciiKeyResult::Stored;
}

bool Image::anyFailed() const {
    return marked_ > 0 && std::find(marks_.begin(), marks_.end(), Mark::ReadFailed) != marks_.end();
}

void Image::setMark(int address, Mark m) {
    Mark& current = marks_[static_cast<std::size_t>(address)];
    if (current == m) return;
    marked_ += (m != Mark::None) - (current != Mark::None);
    current = m;
}

void Image::markFailed(int first, int count) {
    setFailed(first, count, true);
}

void Image::clearFailed(int first, int count) {
    setFailed(first, count, false);
}

void Image::setFailed(int first, int count, bool failed) {
    const int begin = first < 0 ? 0 : first;
    const int end = first + count > size() ? size() : first + count;
    if (begin >= end) return;
    bool changed = false;
    const Mark m = failed ? Mark::ReadFailed : Mark::None;
    for (int a = begin; a < end; ++a) {
        changed = changed || mark(a) != m;
        setMark(a, m);
    }
    if (changed) notify(begin, end - begin);
}

void Image::markDiffering(const std::vector<int>& addresses) {
    int begin = size();
    int end = 0;
    for (int a = 0; a < size() && marked_ > 0; ++a) {
        if (mark(a) != Mark::Differs) continue;
        setMark(a, Mark::None);
        begin = std::min(begin, a);
        end = a + 1;
    }
    for (const int a : addresses) {
        if (!contains(a) || mark(a) == Mark::ReadFailed) continue;
        setMark(a, Mark::Differs);
        begin = std::min(begin, a);
        end = std::max(end, a + 1);
    }
    if (begin < end) notify(begin, end - begin);
}

void Image::notify(int first, int count) const {
    if (onChange_) onChange_(first, count);
}

std::string normalisedCellText(std::string_view text) {
    std::string t = trimmed(text);
    if (t.empty()) return std::string(kErasedCellText);
    if (t.size() == 1) return "0" + t;
    return t;
}

}  // namespace parvex::eeprom
