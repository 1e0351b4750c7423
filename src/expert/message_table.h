#pragma once
// The expert mode's message table: up to 64 numbered messages, each kept twice, as the texts
// its row shows and as the 65-byte report that goes to the adapter unchanged. Every change of
// the row structure moves the reports with their rows, so the two never part.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/report.h"

namespace parvex::expert {

inline constexpr int kMaxMessages = 64;
inline constexpr int kNewTableMessages = 8;
// What one record carries after its address byte (bytes 7 to 64).
inline constexpr int kMaxRecordDataBytes = 58;

enum Column : int {
    colNumber = 0,
    colStart,
    colAddress,
    colRW,
    colData,
    colStop,
    colDelay,
    colNotes,
    kColumnCount
};

// Header texts, column by column.
extern const std::array<std::string_view, kColumnCount> kColumnHeaders;

inline constexpr std::string_view kStartText = "ST";
inline constexpr std::string_view kWriteText = "Write";
inline constexpr std::string_view kReadText = "Read";
inline constexpr std::string_view kYesText = "Yes";
inline constexpr std::string_view kNoText = "No";

// Options byte values before the acknowledge bit is set for a send.
inline constexpr std::uint8_t kOptionsStop = 15;
inline constexpr std::uint8_t kOptionsNoStop = 13;

// The texts of columns 2 to 7 of a row; also what Copy Row keeps.
struct TGridRecord {
    std::string Address;
    std::string RW;
    std::string DataString;
    std::string Stop;
    std::string DelayTime;
    std::string Comments;

    [[nodiscard]] bool empty() const {
        return Address.empty() && RW.empty() && DataString.empty() && Stop.empty() &&
               DelayTime.empty() && Comments.empty();
    }
    bool operator==(const TGridRecord& o) const {
        return Address == o.Address && RW == o.RW && DataString == o.DataString && Stop == o.Stop &&
               DelayTime == o.DelayTime && Comments == o.Comments;
    }
};

// The last copied row. It lives as long as the program, across expert windows.
TGridRecord& CopyBuffer();

// How a record is rebuilt from a row's texts where the two rules differ: Paste Row leaves the
// command byte alone for an R/W text that is neither "Write" nor "Read"; a data file makes
// every such row a write.
enum class RecordRule { Paste, File };

// Number of bytes a Data text holds: (length + 1) div 3.
[[nodiscard]] int dataByteCount(std::string_view data);

// A hexadecimal number of one to eight digits, either case, without prefix.
[[nodiscard]] std::optional<std::uint32_t> parseHexNumber(std::string_view text);
// A decimal integer, optionally signed, surrounding blanks allowed, within 32 bits.
[[nodiscard]] std::optional<std::int32_t> parseDecimal(std::string_view text);
// `'text' is not a valid hexadecimal value.` and the same for integers.
[[nodiscard]] std::string hexConversionMessage(std::string_view text);
[[nodiscard]] std::string integerConversionMessage(std::string_view text);

// Bytes as two upper-case digits each, joined by ",".
[[nodiscard]] std::string dataText(const std::uint8_t* bytes, int count);

// Rebuilds a record from texts. The bytes after the data keep what they held. On a
// conversion error the bytes up to the failing field have been written and the message
// names the text that failed. At most kMaxRecordDataBytes data bytes are stored.
[[nodiscard]] std::optional<std::string> buildRecord(const TGridRecord& texts, RecordRule rule,
                                                     TUSBI2CReport& record);

class MessageTable {
public:
    MessageTable();

    [[nodiscard]] int rowCount() const { return static_cast<int>(rows_.size()); }
    // Rows and records count from 1.
    [[nodiscard]] const TGridRecord& row(int r) const { return rows_.at(index(r)); }
    [[nodiscard]] std::string cellText(int r, int column) const;
    void setRow(int r, const TGridRecord& texts) { rows_.at(index(r)) = texts; }
    void setDataText(int r, std::string text) { rows_.at(index(r)).DataString = std::move(text); }

    [[nodiscard]] const TUSBI2CReport& record(int r) const { return records_.at(index(r)); }
    [[nodiscard]] TUSBI2CReport& record(int r) { return records_.at(index(r)); }

    // Insert Row below `current`; false (nothing changed) when the table is full.
    bool insertRow(int current);
    // Delete Row `current`; false when it is the only message.
    bool deleteRow(int current);
    // Clear current message: the texts go, and the record's first 49 bytes.
    void clearRow(int r);
    // Paste Row: the row takes the copied texts, then its record is rebuilt from them.
    [[nodiscard]] std::optional<std::string> pasteRow(int r, const TGridRecord& copied);
    // Compact Rows: removes every row without texts, bottom up, keeping at least one.
    void compact();
    // New: eight empty messages, every record zero.
    void reset();
    // Before a file is read: one empty message; records stay as they are.
    void resetForLoad();
    // Appends an empty row (a file's further message lines); false when full.
    bool appendRow();

    // A message followed through row moves (the one an open editor works on): its row
    // number changes with inserts and deletes above it and becomes 0 when it is deleted or
    // the table is reset.
    void setFollowedRow(int r) { followed_ = r; }
    [[nodiscard]] int followedRow() const { return followed_; }

private:
    [[nodiscard]] static std::size_t index(int r) { return static_cast<std::size_t>(r - 1); }
    void removeRow(int r);

    std::vector<TGridRecord> rows_;
    std::array<TUSBI2CReport, kMaxMessages> records_{};
    int followed_ = 0;
};

}  // namespace parvex::expert
