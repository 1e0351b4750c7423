#pragma once
// Intel HEX files of an EEPROM image. The reader works on the bytes of the whole file so it
// can be fed anything; the window reads and writes the file through common/file_io.h.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace parvex::eeprom {

// The file's text: one ":10" data record per 16-byte row that is not all FF, CR LF after
// every line, the end record ":00000001FF" last.
[[nodiscard]] std::string writeHexFile(const std::vector<std::uint8_t>& image);

// The data record of one row (no line end): ":10" aaaa "00" 32 digits checksum.
[[nodiscard]] std::string hexRecord(std::uint16_t address, const std::uint8_t* sixteenBytes);

struct HexLoad {
    enum class Result {
        Loaded,   // bytes holds the new image
        Dropped,  // a line not starting with ':' or a record starting past the end (reason):
                  // nothing is loaded
        Error,    // message holds the conversion message; nothing is loaded
    };
    enum class DropReason { None, NotARecord, BeyondEnd };
    Result result = Result::Loaded;
    DropReason reason = DropReason::None;
    int line = 0;                     // the line that ended the load (from 1), when not Loaded
    std::vector<std::uint8_t> bytes;  // sizeBytes bytes when Loaded; FF where no record wrote
    std::string message;
};

// Reads a HEX file's contents into an image of sizeBytes. Lines end in CR LF, LF or CR;
// lines holding nothing but blanks are skipped.
// Every line starting with ':' is taken as a data record whatever its type; checksums are
// not checked; digits in either case. A record that starts inside the device but runs past
// its end keeps the bytes that fit and drops the rest.
[[nodiscard]] HexLoad readHexFile(std::string_view contents, int sizeBytes);

}  // namespace parvex::eeprom
