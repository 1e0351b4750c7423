#pragma once
// Whole-file reading and safe saving for the editor's data files.

#include <optional>
#include <string>
#include <string_view>

namespace parvex::eeprom {

struct FileContents {
    std::string bytes;
    std::optional<std::string> error;  // `Cannot read "<path>": <reason>`
};

// Reads the whole file as bytes.
[[nodiscard]] FileContents readWholeFile(const std::string& path);

// Writes bytes to a temporary file in the same folder and renames it over path, so a
// failed save leaves any existing file intact. Returns `Cannot write "<path>": <reason>`
// on failure, nothing on success.
[[nodiscard]] std::optional<std::string> saveFileReplacing(const std::string& path,
                                                           std::string_view bytes);

}  // namespace parvex::eeprom
