#pragma once
// The EEPROM image as the editor's two grids hold it: one hex cell text and one ASCII cell
// character per byte. The hex cells are the only store of the data; every operation reads
// the bytes from them and writes them back.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parvex::eeprom {

// The bytes of an image, or the conversion message of the first hex cell that does not
// hold a hexadecimal number.
struct ImageBytes {
    std::vector<std::uint8_t> bytes;   // one per address when error is empty
    std::optional<std::string> error;  // hexConversionMessage of the offending cell text
    std::optional<int> errorAddress;   // the offending cell's byte address
};

// What a key typed into the ASCII grid did.
enum class AsciiKeyResult {
    Ignored,  // code 0..13 (Backspace, Tab, Enter ...) or above 255: nothing changed
    Stored,   // the ASCII cell shows the character, the hex cell holds its code
};

class Image {
public:
    // Called after cells change: the first byte address and the number of consecutive
    // addresses whose hex and/or ASCII cell may have changed. Lets a model emit one
    // dataChanged per operation instead of one per cell.
    using ChangeCallback = std::function<void(int first, int count)>;

    // An erased image: every hex cell "FF", every ASCII cell ".".
    explicit Image(int sizeBytes);

    // A copy holds the same cells but no change callback, so a snapshot never notifies the
    // model of the image it was taken from. Assigning to an image keeps its own callback
    // and reports every cell as changed.
    Image(const Image& other);
    Image& operator=(const Image& other);
    Image(Image&&) = default;
    Image& operator=(Image&&) = default;
    ~Image() = default;

    [[nodiscard]] int size() const { return static_cast<int>(hex_.size()); }
    [[nodiscard]] bool contains(int address) const { return address >= 0 && address < size(); }

    void setChangeCallback(ChangeCallback callback) { onChange_ = std::move(callback); }

    // Cell contents. Out-of-range addresses read as "" and U'\0'.
    [[nodiscard]] const std::string& hexText(int address) const;
    [[nodiscard]] char32_t asciiChar(int address) const;

    // Value of a hex cell: its text trimmed and read as hexadecimal; nothing when it is not
    // a hexadecimal number (empty included).
    [[nodiscard]] std::optional<std::uint32_t> cellValue(int address) const;
    // All bytes (low 8 bits of each cell's value), or the first cell that cannot be read.
    [[nodiscard]] ImageBytes bytes() const;

    // Raw setters: exactly what is given, nothing derived. Out-of-range addresses are ignored.
    void setHexText(int address, std::string text);
    void setAsciiChar(int address, char32_t c);
    void setCell(int address, std::string text, char32_t c);

    // A byte as read from a device or a file: hex cell two upper-case digits, ASCII cell by
    // the display rule.
    void setByte(int address, std::uint8_t value);
    // count bytes from first on, one change notice for the lot. Bytes past the image's end
    // are dropped.
    void setBytes(int first, const std::uint8_t* data, int count);
    void setBytes(int first, const std::vector<std::uint8_t>& data) {
        setBytes(first, data.data(), static_cast<int>(data.size()));
    }
    // Cells first, first + 1, ... take texts[k] and chars[k] (the shorter of the two decides
    // the count), one change notice for the lot. Cells past the image's end are dropped.
    void setCells(int first, std::vector<std::string> texts, const std::u32string& chars);
    // Every cell "FF" / ".".
    void erase();

    // ---- Marks ----
    // Cells whose read failed keep their former contents and are marked, and so are cells
    // a verify found different on the chip, so the grids can show them apart, until the cell
    // next changes (read, loaded, edited, filled) or is written to the device. Addresses past
    // the end are ignored. clearFailed takes both marks off.
    void markFailed(int first, int count);
    void clearFailed(int first, int count);
    [[nodiscard]] bool failed(int address) const { return mark(address) == Mark::ReadFailed; }
    [[nodiscard]] bool anyFailed() const;
    // The differences of the last verify: every earlier one is taken off first. Cells
    // marked failed stay so.
    void markDiffering(const std::vector<int>& addresses);
    [[nodiscard]] bool differs(int address) const { return mark(address) == Mark::Differs; }
    [[nodiscard]] bool anyMarked() const { return marked_ > 0; }

    // ---- Editing rules of the grids ----

    // The hex cell editor's text changed to text (as typed, it may be "", "5", "A7"): the
    // cell holds it, and when the trimmed text has more than one character and is
    // hexadecimal, the ASCII cell follows by the display rule. The caller marks the
    // window modified.
    void editHexText(int address, std::string_view text);
    // Leaving an edited hex cell: trim, "" becomes "FF", one character c becomes "0c". The
    // ASCII cell is brought into step with the result, so a cleared cell never keeps showing
    // the old character. Always accepted; returns the cell's final text.
    std::string validateHexCell(int address);
    // A character typed into the ASCII grid (a Unicode code point). Codes 14..255: the ASCII
    // cell shows the character as typed (which may differ from the display rule, e.g. "é")
    // and the hex cell receives its code as two upper-case digits.
    AsciiKeyResult typeAsciiChar(int address, char32_t code);

private:
    void notify(int first, int count) const;
    // Marks change without the cells' texts changing: one notice, so the grids redraw.
    enum class Mark : std::uint8_t { None, ReadFailed, Differs };
    [[nodiscard]] Mark mark(int address) const {
        return contains(address) ? marks_[static_cast<std::size_t>(address)] : Mark::None;
    }
    void setMark(int address, Mark m);
    void setFailed(int first, int count, bool failed);
    void unmark(int address) { setMark(address, Mark::None); }

    std::vector<std::string> hex_;
    std::u32string ascii_;
    std::vector<Mark> marks_;
    int marked_ = 0;  // cells with a mark, so the grids ask no cell when there is none
    ChangeCallback onChange_;
};

// The rule for leaving a hex cell on its own: trim, "" -> "FF", "c" -> "0c", else unchanged.
[[nodiscard]] std::string normalisedCellText(std::string_view text);

}  // namespace parvex::eeprom
