// Whole-file reading of regular files only, with a cap, and saving that never destroys the
// previous file.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
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
