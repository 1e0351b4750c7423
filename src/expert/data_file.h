#pragma once
// The expert mode's data file: a header line, one line per message row with content
// (Address,R/W,Stop?,Delay,Data[,Comments: notes]) and a "Sequence:" line.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "expert/message_table.h"
#include "expert/sequence.h"

namespace parvex::expert {

inline constexpr std::string_view kDataFileHeader = "Expert Mode Data File";
inline constexpr std::string_view kSequencePrefix = "Sequence:";
inline constexpr std::string_view kCommentsMarker = ",Comments: ";
// A file of 64 full messages is under 16 KiB; anything far beyond is not one of ours.
inline constexpr std::size_t kMaxDataFileBytes = 1024 * 1024;
inline constexpr std::string_view kTooMuchWarning =
    "The file holds more than the table can take; the rest was not loaded.";

struct DataFileContents {
    bool headerOk = false;
    // Message lines in file order, Data cut to what a record holds.
    std::vector<TGridRecord> rows;
    // The last "Sequence:" line's entries, when the file has one.
    std::optional<std::vector<int>> sequence;
    // The conversion message of the line that stopped the reading; `rows` then holds the
    // rows before it.
    std::optional<std::string> error;
    // More messages, data bytes or sequence entries than fit were left out.
    bool cut = false;
};

// Reads a data file's bytes (UTF-8, or Windows-1252 where they are not valid UTF-8).
[[nodiscard]] DataFileContents readDataFile(std::string_view bytes);

// Loads what was read into the table: one empty row, then a row per message line with its
// record rebuilt by the file rule. Records past the loaded rows keep their content.
void loadIntoTable(const DataFileContents& contents, MessageTable& table);

// The file for a table and a sequence text, UTF-8, lines ended by CR LF.
[[nodiscard]] std::string writeDataFile(const MessageTable& table, std::string_view sequenceText);

// Text in UTF-8: valid UTF-8 as it stands, anything else read as Windows-1252.
[[nodiscard]] std::string toUtf8(std::string_view bytes);

}  // namespace parvex::expert
