// Definition files and the register export against golden files: the exact bytes of a new
// file, and the key-by-key update of files that already hold other keys.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "device/definition_file.h"

namespace parvex::device {
namespace {

namespace fs = std::filesystem;

std::string golden(const std::string& name) {
    std::ifstream in(std::string(PARVEX_TEST_DATA) + "/device/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    EXPECT_TRUE(in.good() || in.eof()) << name;
    return s.str();
}

// The device of the three-register example: "New Device" at A0, register 1 "3C" "Gain".
TDeviceDefinition threeRegisters() {
    TDeviceDefinition d;
    d.DeviceName = "New Device";
    d.setRegisterCount(3);
    d.RegisterValues[1] = "3C";
    d.RegisterDescriptions[1] = "Gain";
    return d;
}

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("parvex_def_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    void put(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string get(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path dir;
};

struct UpdateCase {
    const char* what;
    const char* existing;  // golden file the target held before, "" for none
    bool erase;
    const char* expected;
};

class DefinitionUpdate : public TempDir, public ::testing::WithParamInterface<UpdateCase> {};

TEST_P(DefinitionUpdate, WritesTheExpectedBytes) {
    const UpdateCase& c = GetParam();
    if (*c.existing) put("target.def", golden(c.existing));
    ASSERT_EQ(WriteDefinitionFile(threeRegisters(), path("target.def"), c.erase), std::nullopt);
    EXPECT_EQ(get("target.def"), golden(c.expected)) << c.what;
    // Whatever stale keys stay behind, reading gives back the three registers.
    const DefinitionRead back = readDefinition(get("target.def"));
    EXPECT_EQ(back.device.MaxRegister, 2);
    EXPECT_EQ(back.device.RegisterValues[1], "3C");
    EXPECT_EQ(back.device.RegisterValues[3], "XX");
    EXPECT_EQ(back.device.RegisterDescriptions[3], "Undefined Register");
}

INSTANTIATE_TEST_SUITE_P(
    Golden, DefinitionUpdate,
    ::testing::Values(UpdateCase{"Save As into a new file", "", true, "three.def"},
                      UpdateCase{"Save into a new file", "", false, "three.def"},
                      UpdateCase{"Save over a larger device: stale keys in both sections",
                                 "six.def", false, "six_saved.def"},
                      UpdateCase{"Save As over it: stale keys in the descriptions only", "six.def",
                                 true, "six_saved_as.def"}));

TEST_F(TempDir, ExportWritesHexKeysAndKeepsWhatTheFileHeld) {
    ASSERT_EQ(WriteRegisterTextFile(threeRegisters(), path("new.txt")), std::nullopt);
    EXPECT_EQ(get("new.txt"), golden("three.txt"));

    put("device.def", golden("three.def"));
    ASSERT_EQ(WriteRegisterTextFile(threeRegisters(), path("device.def")), std::nullopt);
    EXPECT_EQ(get("device.def"), golden("three_exported.def"));
}

TEST(DefinitionRead, TakesDefaultsForMissingKeys) {
    const DefinitionRead r = readDefinition("");
    EXPECT_EQ(r.addressText, "00");
    EXPECT_EQ(r.device.DeviceName, "Unknown Device");
    EXPECT_EQ(r.device.MaxRegister, 48);
    EXPECT_EQ(r.device.RegisterValues[48], "FF");
    EXPECT_EQ(r.device.RegisterDescriptions[0], "Undefined Register");
    EXPECT_EQ(r.device.RegisterValues[49], "XX");
    EXPECT_EQ(r.device.RegisterValues[255], "XX");
}

TEST(DefinitionRead, MaxRegisterIsClampedOrDefaulted) {
    const struct {
        const char* text;
        int max;
    } cases[] = {{"0", 0},  {"255", 255}, {"-7", 0},  {"300", 255}, {"99999999999", 255},
                 {"x", 48}, {"", 48},     {"1.5", 48}};
    for (const auto& c : cases) {
        const DefinitionRead r =
            readDefinition(std::string("[Device Data]\r\nMaxRegister=") + c.text + "\r\n");
        EXPECT_EQ(r.device.MaxRegister, c.max) << c.text;
        if (c.max < 255) {
            EXPECT_EQ(r.device.RegisterValues[c.max + 1], "XX") << c.text;
        }
        EXPECT_EQ(r.device.RegisterValues[c.max], "FF") << c.text;
    }
}

TEST(DefinitionRead, NamesMatchWithoutCaseAndValuesAreTrimmed) {
    const DefinitionRead r = readDefinition(golden("mixed_case.def"));
    EXPECT_EQ(r.addressText, "3c");
    EXPECT_EQ(r.device.MaxRegister, 1);
    EXPECT_EQ(r.device.DeviceName, "Mixed");
    EXPECT_EQ(r.device.RegisterValues[0], "12");
    EXPECT_EQ(r.device.RegisterDescriptions[1], "High");
}

TEST_F(TempDir, MixedCaseSectionsAreUpdatedInPlace) {
    put("mixed.def", golden("mixed_case.def"));
    TDeviceDefinition d = readDefinition(golden("mixed_case.def")).device;
    d.DeviceAddress = 0x3C;
    d.RegisterValues[0] = "AB";
    ASSERT_EQ(WriteDefinitionFile(d, path("mixed.def"), false), std::nullopt);
    EXPECT_EQ(get("mixed.def"),
              "[DEVICE DATA]\r\nAddress=3C\r\nMaxRegister=1\r\nName=Mixed\r\n[register data]\r\n"
              "0=AB\r\n1=34\r\n[Register DESCRIPTION]\r\n0=Low\r\n1=High\r\n");
}

TEST_F(TempDir, Windows1252AndUtf8DescriptionsReadAlikeAndAreWrittenAsUtf8) {
    const DefinitionRead utf = readDefinition(golden("utf8.def"));
    const DefinitionRead ansi = readDefinition(golden("cp1252.def"));
    EXPECT_EQ(utf.device.DeviceName, "Temp\xC3\xA9rature");
    EXPECT_EQ(ansi.device.DeviceName, utf.device.DeviceName);
    EXPECT_EQ(utf.device.RegisterDescriptions[0],
              "Gain \xC2\xB5V/\xC2\xB0"
              "C");
    EXPECT_EQ(ansi.device.RegisterDescriptions[0],
              "Gain \xC2\xB5V/\xC2\xB0"
              "C \xE2\x82\xAC");

    // A UTF-8 file rewritten with what it holds comes out byte for byte.
    put("utf8.def", golden("utf8.def"));
    TDeviceDefinition d = utf.device;
    ASSERT_EQ(WriteDefinitionFile(d, path("utf8.def"), false), std::nullopt);
    EXPECT_EQ(get("utf8.def"), golden("utf8.def"));
}

TEST_F(TempDir, FilesThatCannotBeReadOrWrittenSayWhyAndChangeNothing) {
    const DefinitionFile missing = ReadDefinitionFile(path("none.def"));
    ASSERT_TRUE(missing.error);
    EXPECT_EQ(missing.error->rfind("Cannot read \"" + path("none.def") + "\": ", 0), 0u);
    EXPECT_TRUE(ReadDefinitionFile(dir.string()).error) << "a folder is not a file";

    put("held.def", golden("six.def"));
    fs::permissions(path("held.def"), fs::perms::none);
    const auto unreadable = WriteDefinitionFile(threeRegisters(), path("held.def"), false);
    fs::permissions(path("held.def"), fs::perms::owner_read | fs::perms::owner_write);
    if (::getuid() != 0) {
        ASSERT_TRUE(unreadable);
        EXPECT_EQ(unreadable->rfind("Cannot write \"" + path("held.def") + "\": ", 0), 0u);
        EXPECT_EQ(get("held.def"), golden("six.def"));
    }

    const auto noFolder = WriteDefinitionFile(threeRegisters(), path("no/such/x.def"), true);
    ASSERT_TRUE(noFolder);
    EXPECT_EQ(noFolder->rfind("Cannot write \"", 0), 0u);
}

TEST_F(TempDir, A256RegisterDeviceRoundTrips) {
    TDeviceDefinition d;
    d.setRegisterCount(256);
    for (int i = 0; i < 256; ++i) {
        d.RegisterValues[static_cast<std::size_t>(i)] = hexByte(255 - i);
        d.RegisterDescriptions[static_cast<std::size_t>(i)] = "R" + std::to_string(i);
    }
    ASSERT_EQ(WriteDefinitionFile(d, path("big.def"), true), std::nullopt);
    const DefinitionFile back = ReadDefinitionFile(path("big.def"));
    ASSERT_TRUE(back.read);
    EXPECT_EQ(back.read->device.MaxRegister, 255);
    EXPECT_EQ(back.read->device.RegisterValues, d.RegisterValues);
    EXPECT_EQ(back.read->device.RegisterDescriptions, d.RegisterDescriptions);
}

}  // namespace
}  // namespace parvex::device
