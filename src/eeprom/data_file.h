#pragma once
// The one way the editor opens and saves an image, whichever of the two formats the user
// chose: Intel HEX text or raw binary. The window reads and writes the file through
// common/file_io.h and turns the outcome into its boxes; everything the outcome says is
// decided here.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace parvex::eeprom {

// The formats in the order of the file dialogs' filter entries (1: HEX, 2: binary).
enum class FileKind { IntelHex = 1, Binary = 2 };

// The filter of both file dialogs.
inline constexpr std::string_view kDataFileFilter =
    "hex files (*.hex)|*.hex|bin files (*.bin)|*.bin";

// The format of a filter entry (1-based, as the dialogs count); anything else is HEX, the
// first entry.
[[nodiscard]] FileKind fileKindOfFilter(int filterIndex);
[[nodiscard]] int filterOfFileKind(FileKind kind);
// "hex" or "bin": the default extension that follows the chosen format.
[[nodiscard]] std::string_view defaultExtension(FileKind kind);

struct DataFileLoad {
    enum class Outcome {
        Loaded,   // bytes is the whole new image
        Partial,  // a binary file shorter than the device: bytes holds the whole 16-byte
                  // groups read (from address 0), shown before the error box
        Refused,  // nothing is loaded
    };
    enum class Box { None, Warning, Error };
    Outcome outcome = Outcome::Loaded;
    std::vector<std::uint8_t> bytes;
    Box box = Box::None;
    std::string message;  // the box's text
};

// Reads a file's contents as an image of sizeBytes. fileName is how the messages name the
// file. Only a complete load counts as an open: the window keeps its caption and Modified
// for the other outcomes.
[[nodiscard]] DataFileLoad loadDataFile(FileKind kind, std::string_view contents, int sizeBytes,
                                        std::string_view fileName);

// The file's contents for an image.
[[nodiscard]] std::string saveDataFile(FileKind kind, const std::vector<std::uint8_t>& image);

}  // namespace parvex::eeprom
