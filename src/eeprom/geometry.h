#pragma once
// The six EEPROM sizes the editor handles, and how a byte address maps onto the two grids
// and onto the I2C bus.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parvex::eeprom {

inline constexpr int kColumns = 16;        // data columns of both grids
inline constexpr int kBlockBytes = 256;    // bytes reachable with one bus address byte
inline constexpr int kHexLabelColumn = 0;  // hex grid column holding the row labels
inline constexpr int kHeaderRow = 0;       // row 0 of both grids is the header

// One geometry: everything the window sets up from the size it was opened for.
struct Geometry {
    std::string_view menuItem;       // "mnu128bit" ...
    std::string_view menuCaption;    // "16 x 8 (128 bit)" ...
    std::string_view windowCaption;  // "16 Byte (128 bit) EEPROM" ...
    std::string_view sizeLabel;      // "16" ... (decimal byte count as the size label shows it)
    int bytes;
    int gridRows;                                    // header row included
    std::array<std::string_view, 8> addressChoices;  // first addressCount entries are used
    int addressCount;
    bool refillAddressList;   // the three largest sizes replace the built-in list
    bool addressListEnabled;  // false for 2048 bytes: A0 is the only address
    int blocks;               // blocks of 256 bytes (1 for the sizes up to 256)
    // Initial texts and maximum lengths of the fill and copy fields.
    std::string_view fillFrom;
    std::string_view fillTo;
    int fillMaxLength;
    std::string_view copyStart;
    std::string_view copyEnd;
    std::string_view copyTarget;
    int copyMaxLength;
    // Read geometry of Read All and Verify.
    int reads;
    int bytesPerRead;

    // Last byte address (size - 1).
    [[nodiscard]] int lastAddress() const { return bytes - 1; }
    // Bytes written through one bus address byte: 256, or the whole device when smaller.
    [[nodiscard]] int bytesPerBlock() const { return bytes < kBlockBytes ? bytes : kBlockBytes; }
    // Page writes per block for page size p; 0 when p does not fit (16-byte device, p = 32)
    // or p is not positive.
    [[nodiscard]] int pagesPerBlock(int pageSize) const {
        return pageSize > 0 ? bytesPerBlock() / pageSize : 0;
    }
};

// The six geometries in menu order: 16, 128, 256, 512, 1024, 2048 bytes.
[[nodiscard]] const std::array<Geometry, 6>& geometries();

// The geometry of a byte size; nullptr for any other size.
[[nodiscard]] const Geometry* geometryForSize(int bytes);

// Shared by all sizes.
// The page size list, in bytes.
inline constexpr std::array<int, 4> kPageSizes{1, 8, 16, 32};
inline constexpr int kDefaultPageSizeIndex = 1;
inline constexpr int kDefaultPageSize = kPageSizes[kDefaultPageSizeIndex];
inline constexpr int kDefaultWriteTimeMs = 10;
// The largest HEX or binary file the editor opens: far more than the largest device's HEX
// text with comments and line ends, far less than would stall the window.
inline constexpr std::size_t kMaxDataFileBytes = 4u << 20;
inline constexpr int kMinWriteTimeMs = 0;
inline constexpr int kMaxWriteTimeMs = 100;
inline constexpr std::string_view kDefaultFillValue = "FF";
inline constexpr int kFillValueMaxLength = 2;
inline constexpr std::string_view kInitialByteAddressText = "000";
inline constexpr std::string_view kErasedCellText = "FF";
inline constexpr char32_t kErasedCellChar = U'.';

// A typed write time brought into 0..100 (above 100 becomes 100).
[[nodiscard]] int clampWriteTime(int ms);

// The page size list's text as a number of bytes; nothing for any text but one of
// kPageSizes in decimal.
[[nodiscard]] std::optional<int> parsePageSize(std::string_view text);
// The write time field's text (the number as typed, without its unit) in milliseconds,
// brought into 0..100; fallback when the text is not a whole decimal number.
[[nodiscard]] int parseWriteTime(std::string_view text, int fallback);

// ---- Grid cells -------------------------------------------------------------------------

struct Cell {
    int row;
    int column;
    bool operator==(const Cell& o) const { return row == o.row && column == o.column; }
};

// Hex grid cell of byte address a: row a/16 + 1, column a%16 + 1.
[[nodiscard]] Cell hexCell(int address);
// ASCII grid cell of byte address a: row a/16 + 1, column a%16 (no label column).
[[nodiscard]] Cell asciiCell(int address);
// Byte address of a hex or ASCII data cell of a device of sizeBytes; nothing for header and
// label cells and for cells past the device's end.
[[nodiscard]] std::optional<int> addressOfHexCell(int row, int column, int sizeBytes);
[[nodiscard]] std::optional<int> addressOfAsciiCell(int row, int column, int sizeBytes);

// Label of hex grid row r (r >= 1): r - 1 in upper-case hexadecimal without leading zeros.
[[nodiscard]] std::string rowLabel(int row);
// Header of data column i (0..15): "0" to "F".
[[nodiscard]] std::string columnHeader(int index);
// A byte address as the byte-address label shows it: three upper-case hexadecimal digits.
[[nodiscard]] std::string addressText(int address);

// The character display rule of the ASCII grid: 0x20..0x7E as itself, anything else ".".
[[nodiscard]] char32_t displayChar(std::uint8_t value);

// ---- Bus addressing ---------------------------------------------------------------------

// Device address byte of byte address a: (selected with bit 0 cleared) + 2 * (a / 256),
// modulo 256.
[[nodiscard]] std::uint8_t deviceAddressByte(std::uint8_t selectedAddress, int address);
// Word address of byte address a: a mod 256.
[[nodiscard]] std::uint8_t wordAddress(int address);
// The address list's text ("A0", typed in either case) as a bus address byte with bit 0
// cleared; nothing when the text is not a hexadecimal value up to FF (see hexConversionMessage).
[[nodiscard]] std::optional<std::uint8_t> parseBusAddress(std::string_view text);

}  // namespace parvex::eeprom
