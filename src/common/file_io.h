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

// An empty file made to be renamed over target: beside it (one file system), under a short
// name of its own (a target name near the 255-byte limit leaves no room to add to it), and
// already carrying the target's permissions, so no byte is ever readable by more people than
// could read the file it replaces. A target that does not exist yet gives the usual
// permissions of a new file. The caller owns fd and the file; on failure fd is -1 and error
// holds the errno.
struct TemporaryFile {
    int fd = -1;
    std::string path;
    int error = 0;
};
[[nodiscard]] TemporaryFile createTemporaryBeside(const std::string& target);

// Writes bytes to a temporary file in the same folder and renames it over path, so a
// failed save leaves any existing file intact. Returns `Cannot write "<path>": <reason>`
// on failure, nothing on success.
[[nodiscard]] std::optional<std::string> saveFileReplacing(const std::string& path,
                                                           std::string_view bytes);

}  // namespace parvex::files
