#include "eeprom/bin_file.h"

namespace parvex::eeprom {

namespace {
constexpr std::size_t kGroupBytes = 16;
}

std::string writeBinFile(const std::vector<std::uint8_t>& image) {
    return std::string(image.begin(), image.end());
}

BinLoad readBinFile(std::string_view contents, int sizeBytes) {
    BinLoad out;
    const std::size_t size = sizeBytes > 0 ? static_cast<std::size_t>(sizeBytes) : 0;
    const std::size_t groups = size / kGroupBytes;
    std::size_t whole = contents.size() / kGroupBytes;
    if (whole >= groups) {
        whole = groups;
    } else {
        out.truncated = true;
    }
    out.bytes.reserve(whole * kGroupBytes);
    for (std::size_t i = 0; i < whole * kGroupBytes; ++i) {
        out.bytes.push_back(static_cast<std::uint8_t>(contents[i]));
    }
    return out;
}

}  // namespace parvex::eeprom
