#include "eeprom/data_file.h"

#include "eeprom/bin_file.h"
#include "eeprom/geometry.h"
#include "eeprom/hex_file.h"

namespace parvex::eeprom {

namespace {

std::string fileLine(std::string_view fileName, int line) {
    return "\"" + std::string(fileName) + "\" line " + std::to_string(line);
}

DataFileLoad refused(DataFileLoad::Box box, std::string message) {
    DataFileLoad out;
    out.outcome = DataFileLoad::Outcome::Refused;
    out.box = box;
    out.message = std::move(message);
    return out;
}

DataFileLoad fromHex(std::string_view contents, int sizeBytes, std::string_view fileName) {
    HexLoad hex = readHexFile(contents, sizeBytes);
    switch (hex.result) {
        case HexLoad::Result::Loaded:
            break;
        case HexLoad::Result::Dropped:
            if (hex.reason == HexLoad::DropReason::BeyondEnd) {
                return refused(DataFileLoad::Box::Warning,
                               fileLine(fileName, hex.line) + " holds data beyond address 0x" +
                                   addressText(sizeBytes - 1) + "; nothing was loaded.");
            }
            return refused(
                DataFileLoad::Box::Warning,
                fileLine(fileName, hex.line) + " is not an Intel HEX record; nothing was loaded.");
        case HexLoad::Result::Error:
            return refused(DataFileLoad::Box::Error,
                           fileLine(fileName, hex.line) + ": " + hex.message);
    }
    DataFileLoad out;
    out.bytes = std::move(hex.bytes);
    return out;
}

DataFileLoad fromBinary(std::string_view contents, int sizeBytes) {
    BinLoad bin = readBinFile(contents, sizeBytes);
    DataFileLoad out;
    out.bytes = std::move(bin.bytes);
    if (bin.truncated) {
        out.outcome = DataFileLoad::Outcome::Partial;
        out.box = DataFileLoad::Box::Error;
        out.message = std::string(kReadBeyondEndMessage);
    }
    return out;
}

}  // namespace

FileKind fileKindOfFilter(int filterIndex) {
    return filterIndex == static_cast<int>(FileKind::Binary) ? FileKind::Binary
                                                             : FileKind::IntelHex;
}

int filterOfFileKind(FileKind kind) {
    return static_cast<int>(kind);
}

std::string_view defaultExtension(FileKind kind) {
    return kind == FileKind::Binary ? "bin" : "hex";
}

DataFileLoad loadDataFile(FileKind kind, std::string_view contents, int sizeBytes,
                          std::string_view fileName) {
    return kind == FileKind::Binary ? fromBinary(contents, sizeBytes)
                                    : fromHex(contents, sizeBytes, fileName);
}

std::string saveDataFile(FileKind kind, const std::vector<std::uint8_t>& image) {
    return kind == FileKind::Binary ? writeBinFile(image) : writeHexFile(image);
}

}  // namespace parvex::eeprom
