#pragma once
// Raw binary files of an EEPROM image: exactly the image's bytes, address 0 first.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace parvex::eeprom {

inline constexpr std::string_view kReadBeyondEndMessage = "Read beyond end of file";

// The file's bytes: exactly image.size() bytes.
[[nodiscard]] std::string writeBinFile(const std::vector<std::uint8_t>& image);

struct BinLoad {
    // The whole 16-byte groups read, at most sizeBytes bytes: row r of the grid takes bytes
    // 16r..16r+15. Rows past its end keep their former contents.
    std::vector<std::uint8_t> bytes;
    // The file ended before the device did: show the groups read, then kReadBeyondEndMessage.
    bool truncated = false;
};

// Reads a binary file's contents in 16-byte groups; bytes past sizeBytes are ignored, a
// final group shorter than 16 bytes is not used.
[[nodiscard]] BinLoad readBinFile(std::string_view contents, int sizeBytes);

}  // namespace parvex::eeprom
