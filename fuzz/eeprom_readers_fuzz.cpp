// libFuzzer target for the EEPROM file readers (Intel HEX and binary): any bytes, any of
// the six sizes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "eeprom/bin_file.h"
#include "eeprom/geometry.h"
#include "eeprom/data_file.h"
#include "eeprom/hex_file.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The file's length picks the device size, so a real file used as a seed stays whole.
    const auto& sizes = parvex::eeprom::geometries();
    const int deviceBytes = sizes[size % sizes.size()].bytes;
    const std::string_view file(reinterpret_cast<const char*>(data), size);

    using parvex::eeprom::HexLoad;
    const HexLoad hex = parvex::eeprom::readHexFile(file, deviceBytes);
    switch (hex.result) {
        case HexLoad::Result::Loaded:
            check(hex.bytes.size() == static_cast<std::size_t>(deviceBytes));
            check(hex.message.empty());
            break;
        case HexLoad::Result::Dropped:
            check(hex.bytes.empty() && hex.message.empty());
            break;
        case HexLoad::Result::Error:
            check(hex.bytes.empty() && !hex.message.empty());
            break;
    }
    // What was loaded survives a save and a second load unchanged.
    if (hex.result == HexLoad::Result::Loaded) {
        const HexLoad again =
            parvex::eeprom::readHexFile(parvex::eeprom::writeHexFile(hex.bytes), deviceBytes);
        check(again.result == HexLoad::Result::Loaded && again.bytes == hex.bytes);
    }

    const parvex::eeprom::BinLoad bin = parvex::eeprom::readBinFile(file, deviceBytes);
    check(bin.bytes.size() % 16 == 0);
    check(bin.bytes.size() <= static_cast<std::size_t>(deviceBytes));
    check(bin.truncated == (file.size() < static_cast<std::size_t>(deviceBytes)));

    // The window's one entry for both formats: never more than the device, and a message
    // for everything short of a complete load.
    for (const auto kind : {parvex::eeprom::FileKind::IntelHex, parvex::eeprom::FileKind::Binary}) {
        using Load = parvex::eeprom::DataFileLoad;
        const Load load = parvex::eeprom::loadDataFile(kind, file, deviceBytes, "fuzz");
        check(load.bytes.size() <= static_cast<std::size_t>(deviceBytes));
        check((load.outcome == Load::Outcome::Loaded) == load.message.empty());
    }
    return 0;
}
