// Whole-file reading of regular files only, with a cap, and saving that never destroys the
// previous file.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "common/file_io.h"

namespace parvex::files {
namespace {

constexpr std::size_t kCap = 4096;

class FileIo : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 ("parvex-files-" + std::to_string(::getpid()) + "-" + info->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(folder);
    }
    std::vector<std::string> listing() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder))
            names.push_back(e.path().filename().string());
        return names;
    }
    std::filesystem::path folder;
};

TEST_F(FileIo, SavingReplacesALongerFileWhole) {
    const std::string path = (folder / "image.bin").string();
    ASSERT_FALSE(saveFileReplacing(path, std::string(2048, 'x')));
    ASSERT_FALSE(saveFileReplacing(path, std::string(256, 'A')));
    const auto back = readWholeFile(path, kCap);
    ASSERT_FALSE(back.error);
    EXPECT_EQ(back.bytes, std::string(256, 'A'));
    EXPECT_EQ(listing(), std::vector<std::string>{"image.bin"}) << "no temporary file left";
}

TEST_F(FileIo, SavingKeepsALinkAndThePermissions) {
    const auto real = folder / "real.hex";
    ASSERT_FALSE(saveFileReplacing(real.string(), "old"));
    std::filesystem::permissions(
        real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const auto link = folder / "link.hex";
    std::filesystem::create_symlink(real, link);

    ASSERT_FALSE(saveFileReplacing(link.string(), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readWholeFile(real.string(), kCap).bytes, "new");
    EXPECT_EQ(std::filesystem::status(real).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(FileIo, ANameAtTheFileSystemsLimitSaves) {
    // 250 bytes: the file system takes it, so must a save; a temporary file named after it
    // would not fit in 255.
    const std::string name = std::string(246, 'n') + ".hex";
    const std::string path = (folder / name).string();
    for (const std::string content : {"first", "second, longer"}) {
        ASSERT_EQ(saveFileReplacing(path, content), std::nullopt);
        EXPECT_EQ(readWholeFile(path, kCap).bytes, content);
        EXPECT_EQ(listing(), std::vector<std::string>{name});
    }
    const TemporaryFile temp = createTemporaryBeside(path);
    ASSERT_GE(temp.fd, 0) << std::strerror(temp.error);
    ::close(temp.fd);
    EXPECT_EQ(std::filesystem::path(temp.path).parent_path(), folder);
    EXPECT_LE(std::filesystem::path(temp.path).filename().string().size(), 32u) << temp.path;
    std::filesystem::remove(temp.path);
}

// The temporary file has its final permissions while still empty, whatever the umask: a
// private file is never copied into a world-readable one, a shared one is not narrowed.
TEST_F(FileIo, TheTemporaryFileStartsWithTheTargetsPermissions) {
    struct Case {
        const char* what;
        std::optional<mode_t> target;  // nothing: saving a new file
        mode_t umask;
        mode_t expected;
    };
    const Case cases[] = {
        {"private file, lax umask", 0600, 022, 0600},
        {"group-readable file, strict umask", 0640, 077, 0640},
        {"read-only file", 0444, 022, 0444},
        {"new file, usual umask", std::nullopt, 022, 0644},
        {"new file, strict umask", std::nullopt, 077, 0600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = (folder / "target.bin").string();
        std::filesystem::remove(path);
        if (c.target) {
            std::ofstream(path) << "old";
            ASSERT_EQ(::chmod(path.c_str(), *c.target), 0);
        }
        const mode_t before = ::umask(c.umask);
        const TemporaryFile temp = createTemporaryBeside(path);
        struct stat made {};
        const bool statted = temp.fd >= 0 && ::fstat(temp.fd, &made) == 0;
        if (temp.fd >= 0) ::close(temp.fd);
        if (!temp.path.empty()) std::filesystem::remove(temp.path);
        const auto saved = saveFileReplacing(path, "new contents");
        ::umask(before);

        ASSERT_TRUE(statted) << std::strerror(temp.error);
        EXPECT_EQ(made.st_size, 0);
        EXPECT_EQ(made.st_mode & 07777, c.expected);
        ASSERT_EQ(saved, std::nullopt);
        struct stat after {};
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode & 07777, c.expected);
        EXPECT_EQ(readWholeFile(path, kCap).bytes, "new contents");
    }
}

TEST_F(FileIo, AFailedSaveLeavesTheOldFileAndSaysWhy) {
    const std::string path = (folder / "keep.hex").string();
    ASSERT_FALSE(saveFileReplacing(path, ":00000001FF\r\n"));
    if (::geteuid() == 0) {
        // root writes into read-only folders; a folder in the file's place fails for anyone.
        const std::string dirPath = (folder / "sub").string();
        std::filesystem::create_directory(dirPath);
        const auto error = saveFileReplacing(dirPath, "x");
        ASSERT_TRUE(error);
        EXPECT_EQ(error->rfind("Cannot write \"" + dirPath + "\": ", 0), 0u) << *error;
        EXPECT_TRUE(std::filesystem::is_directory(dirPath));
    } else {
        std::filesystem::permissions(
            folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        const auto error = saveFileReplacing(path, "changed");
        ASSERT_TRUE(error);
        EXPECT_EQ(*error, "Cannot write \"" + path + "\": Permission denied");
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    }
    EXPECT_EQ(readWholeFile(path, kCap).bytes, ":00000001FF\r\n");
}

TEST_F(FileIo, ReadErrorsNameThePathAndReason) {
    const std::string missing = (folder / "missing.hex").string();
    const auto none = readWholeFile(missing, kCap);
    EXPECT_EQ(none.error, "Cannot read \"" + missing + "\": No such file or directory");
    const auto dir = readWholeFile(folder.string(), kCap);
    EXPECT_EQ(dir.error, "Cannot read \"" + folder.string() + "\": Is a directory");
    const auto toMissingFolder = saveFileReplacing((folder / "no" / "x.bin").string(), "x");
    ASSERT_TRUE(toMissingFolder);
    EXPECT_NE(toMissingFolder->find("No such file or directory"), std::string::npos);
}

TEST_F(FileIo, OnlyRegularFilesWithinTheCapAreRead) {
    const std::string fifo = (folder / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A FIFO without a writer would block a plain open for ever.
    EXPECT_EQ(readWholeFile(fifo, kCap).error, "Cannot read \"" + fifo + "\": Not a regular file");
    EXPECT_EQ(readWholeFile("/dev/zero", kCap).error,
              "Cannot read \"/dev/zero\": Not a regular file");

    const std::string big = (folder / "big.bin").string();
    std::ofstream(big, std::ios::binary) << std::string(kCap + 1, 'x');
    const auto tooBig = readWholeFile(big, kCap);
    EXPECT_EQ(tooBig.error, "Cannot read \"" + big + "\": File too large");
    EXPECT_TRUE(tooBig.bytes.empty());

    const std::string exact = (folder / "exact.bin").string();
    std::ofstream(exact, std::ios::binary) << std::string(kCap, 'y');
    const auto fits = readWholeFile(exact, kCap);
    EXPECT_FALSE(fits.error);
    EXPECT_EQ(fits.bytes, std::string(kCap, 'y'));
}

}  // namespace
}  // namespace parvex::files
