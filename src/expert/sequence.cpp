#include "expert/sequence.h"

#include <algorithm>
#include <cctype>

namespace parvex::expert {

const std::string_view kSequenceLimitMessage = "The maximum Msg #\ris 64 in the Sequencer";

namespace {

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The value of a digits-only text, saturating so that any long text reads as "too big".
std::optional<int> digitsValue(std::string_view s) {
    if (s.empty()) return std::nullopt;
    int value = 0;
    for (const char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = std::min(value * 10 + (c - '0'), 1000);
    }
    return value;
}

}  // namespace

void Sequence::set(const std::vector<int>& numbers) {
    text_.clear();
    entries_.fill(0);
    const std::size_t n = std::min<std::size_t>(numbers.size(), kMaxSequenceEntries);
    for (std::size_t k = 0; k < n; ++k) {
        const int v = numbers[k];
        if (!text_.empty()) text_ += ',';
        text_ += static_cast<char>('0' + v / 10);
        text_ += static_cast<char>('0' + v % 10);
        entries_[k] = v;
    }
}

ParsedSequence parseSequenceText(std::string_view text) {
    ParsedSequence out;
    text = trimmed(text);
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = trimmed(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        const std::optional<int> value = digitsValue(item);
        if (!value || *value < 1 || *value > kMaxSequenceNumber ||
            static_cast<int>(out.numbers.size()) >= kMaxSequenceEntries) {
            out.cut = true;
            continue;
        }
        out.numbers.push_back(*value);
    }
    return out;
}

SequenceCells sequenceFromCells(const std::vector<std::string>& cells) {
    SequenceCells out;
    for (const std::string& cell : cells) {
        const std::optional<int> value = digitsValue(trimmed(cell));
        if (!value || *value == 0) continue;
        if (*value > kMaxSequenceNumber) {
            out.numbers.clear();
            out.refused = true;
            return out;
        }
        out.numbers.push_back(*value);
    }
    return out;
}

std::vector<std::string> cellsFromSequenceText(std::string_view text) {
    std::vector<std::string> cells;
    const std::size_t count = (text.size() + 1) / 3;
    for (std::size_t c = 0; c < count && c < kMaxSequenceEntries; ++c)
        cells.emplace_back(text.substr(3 * c, 2));
    return cells;
}

}  // namespace parvex::expert
