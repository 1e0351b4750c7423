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

TemporaryFile createTemporaryBeside(const std::string& target) {
    namespace fs = std::filesystem;
    const fs::path where(target);
    const fs::path folder = where.has_parent_path() ? where.parent_path() : fs::path(".");
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;

    TemporaryFile out;
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, ".parvex-%08x.tmp", static_cast<unsigned>(random()));
        out.path = (folder / name).string();
        // Owner-only until the target's own permissions are set: never wider than either.
        out.fd = ::open(out.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                        replacing ? 0600 : 0666);
        if (out.fd >= 0) break;
        if (errno != EEXIST) {
            out.error = errno;
            return out;
        }
    }
    if (out.fd < 0) {
        out.error = EEXIST;
        return out;
    }
    // fchmod, unlike the mode given to open, is not narrowed by the umask.
    if (replacing && ::fchmod(out.fd, old.st_mode & 07777) != 0) {
        out.error = errno;
        ::close(out.fd);
        ::unlink(out.path.c_str());
        out.fd = -1;
    }
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

    const TemporaryFile temp = createTemporaryBeside(target.string());
    if (temp.fd < 0) return writeError(path, systemReason(temp.error));
    const auto fail = [&](int error) {
        ::unlink(temp.path.c_str());
        return writeError(path, systemReason(error));
    };

    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(temp.fd, data, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(temp.fd);
            return fail(error);
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    const int synced = ::fsync(temp.fd) == 0 ? 0 : errno;
    const int closed = ::close(temp.fd) == 0 ? 0 : errno;
    if (synced != 0 || closed != 0) return fail(synced != 0 ? synced : closed);

    if (::rename(temp.path.c_str(), target.c_str()) != 0) return fail(errno);
    return std::nullopt;
}

}  // namespace parvex::files
