#pragma once
// Whole-file reading and safe saving for every data file the program opens or writes.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace parvex::files {

struct FileContents {
    std::string bytes;
    std::optional<std::string> error;  // `Cannot read "<path>": <reason>`
};

// Reads the whole file as bytes. Only a regular file is read (a FIFO or a device such as
// /dev/zero would block or never end), and only up to maxBytes: a larger file is refused
// with "File too large" rather than read in part.
[[nodiscard]] FileContents readWholeFile(const std::string& path, std::size_t maxBytes);

// Writes bytes to a temporary file in the same folder and renames it over path, so a
// failed save leaves any existing file intact. Returns `Cannot write "<path>": <reason>`
// on failure, nothing on success.
[[nodiscard]] std::optional<std::string> saveFileReplacing(const std::string& path,
                                                           std::string_view bytes);

}  // namespace parvex::files
