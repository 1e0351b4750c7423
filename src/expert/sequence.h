#pragma once
// The send sequence: message numbers 1 to 64 in the order they are sent, kept as the text the
// window shows ("01,05,12,05", two digits per entry) and as the array the runs read. Both are
// only ever set together.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parvex::expert {

inline constexpr int kMaxSequenceEntries = 64;
inline constexpr int kMaxSequenceNumber = 64;
// "The maximum Msg #\ris 64 in the Sequencer", with the line break as the box shows it.
extern const std::string_view kSequenceLimitMessage;

class Sequence {
public:
    [[nodiscard]] const std::string& text() const { return text_; }
    // Entry count of the text: (length + 1) div 3.
    [[nodiscard]] int count() const { return static_cast<int>((text_.size() + 1) / 3); }
    // SequencerArray entry k (from 0).
    [[nodiscard]] int entry(int k) const { return entries_.at(static_cast<std::size_t>(k)); }

    // Sets text and array from message numbers, each 1 to 64, at most 64 of them.
    void set(const std::vector<int>& numbers);

private:
    std::string text_;
    std::array<int, kMaxSequenceEntries> entries_{};
};

// A sequence text as a data file holds it, normalised: entries written with leading zeros
// beyond two digits become two digits, and what does not fit (entries that are not numbers
// from 1 to 64, entries past the 64th) is dropped with `cut` set.
struct ParsedSequence {
    std::vector<int> numbers;
    bool cut = false;
};
[[nodiscard]] ParsedSequence parseSequenceText(std::string_view text);

// The sequence editor's cells, in column order. Blank and zero cells drop out; a value above
// 64 refuses the whole entry row with kSequenceLimitMessage and nothing is changed.
struct SequenceCells {
    std::vector<int> numbers;
    bool refused = false;
};
[[nodiscard]] SequenceCells sequenceFromCells(const std::vector<std::string>& cells);

// The sequence editor's cell texts for a sequence text: cell c holds the two characters at
// positions 3c and 3c+1 of the text.
[[nodiscard]] std::vector<std::string> cellsFromSequenceText(std::string_view text);

}  // namespace parvex::expert
