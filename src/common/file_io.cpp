#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

namespace parvex::files {

namespace {
std::string readError(const std::string& path, const std::string& reason) {
    return "Cannot read \"" + path + "\": " + reason;
}

std::string writeError(const std::string& path, const std::string& reason) {
    return "Cannot write \"" + path + "\": " + reason;
}

std::string systemReason(int error) {
    return std::strerror(error);
}
}  // namespace

FileContents readWholeFile(const std::string& path, std::size_t maxBytes) {
    FileContents out;
    // Without O_NONBLOCK, opening a FIFO with no writer waits for ever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        out.error = readError(path, systemReason(errno));
        return out;
    }
    const auto fail = [&](const std::string& reason) {
        ::close(fd);
        out.bytes.clear();
        out.error = readError(path, reason);
        return out;
    };
    struct stat info {};
    if (::fstat(fd, &info) != 0) return fail(systemReason(errno));
    if (S_ISDIR(info.st_mode)) return fail(systemReason(EISDIR));
    if (!S_ISREG(info.st_mode)) return fail("Not a regular file");
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) return fail(systemReason(EFBIG));
    out.bytes.reserve(static_cast<std::size_t>(info.st_size));

    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return fail(systemReason(errno));
        }
        out.bytes.append(buffer, static_cast<std::size_t>(n));
        // The file may grow while it is read.
        if (out.bytes.size() > maxBytes) return fail(systemReason(EFBIG));
    }
    ::close(fd);
    return out;
}

std::optional<std::string> saveFileReplacing(const std::string& path, std::string_view bytes) {
    namespace fs = std::filesystem;
    fs::path target(path);
    std::error_code ec;
    if (fs::is_directory(target, ec)) return writeError(path, systemReason(EISDIR));
    // Saving through a link updates the file it points to instead of replacing the link.
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }

    // The temporary file sits next to the target so the rename stays within one file system.
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device random;
    int fd = -1;
    std::string temp;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = (folder / ("." + target.filename().string() + ".tmp" + std::to_string(random())))
                   .string();
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return writeError(path, systemReason(errno));
    }
    if (fd < 0) return writeError(path, systemReason(EEXIST));

    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            return writeError(path, systemReason(error));
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return writeError(path, systemReason(error));
    }

    // Keep the permissions of a file being replaced; a new file gets the usual ones.
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) (void)::chmod(temp.c_str(), old.st_mode & 07777);

    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return writeError(path, systemReason(error));
    }
    return std::nullopt;
}

}  // namespace parvex::files
