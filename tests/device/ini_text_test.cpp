// The INI layer on its own: what it keeps of a file it updates, and what it reads.
#include <gtest/gtest.h>

#include "device/ini_text.h"

namespace parvex::device {
namespace {

TEST(IniText, UpdatesInPlaceAndKeepsEverythingElse) {
    const struct {
        const char* what;
        const char* before;
        const char* after;  // after setValue("S", "k", "v")
    } cases[] = {
        {"a new file", "", "[S]\r\nk=v\r\n"},
        {"the first of two equal keys", "[S]\r\nk=1\r\nk=2\r\n", "[S]\r\nk=v\r\nk=2\r\n"},
        {"comments and odd lines stay", "; c\r\n[S]\r\n# x\r\njunk\r\n",
         "; c\r\n[S]\r\n# x\r\njunk\r\nk=v\r\n"},
        {"a new key before the blank lines that end its section", "[S]\r\na=1\r\n\r\n[T]\r\n",
         "[S]\r\na=1\r\nk=v\r\n\r\n[T]\r\n"},
        {"the first section of a name", "[s]\r\na=1\r\n[S]\r\nk=0\r\n",
         "[s]\r\na=1\r\nk=v\r\n[S]\r\nk=0\r\n"},
        {"LF and a missing last line end", "[S]\nk = 1", "[S]\r\nk=v\r\n"},
        {"a byte-order mark is dropped", "\xEF\xBB\xBF[S]\r\n", "[S]\r\nk=v\r\n"},
    };
    for (const auto& c : cases) {
        IniText ini(c.before);
        ini.setValue("S", "k", "v");
        EXPECT_EQ(ini.text(), c.after) << c.what;
    }
}

TEST(IniText, ReadsValuesTrimmedAndNamesWithoutCase) {
    const IniText ini(
        "[ Device Data ]\r\n  Name =  Spaced Out  \r\nempty=\r\n[Other]\r\nName=No\r\n");
    EXPECT_EQ(ini.value("device data", "NAME"), std::optional<std::string>("Spaced Out"));
    EXPECT_EQ(ini.value("Device Data", "empty"), std::optional<std::string>(""));
    EXPECT_FALSE(ini.value("Device Data", "missing"));
    EXPECT_FALSE(ini.value("Missing", "Name"));
}

TEST(IniText, ErasesEverySectionOfTheNameAndKeepsValuesOnOneLine) {
    IniText ini("[A]\r\nx=1\r\n[B]\r\ny=2\r\n[a]\r\nz=3\r\n");
    ini.eraseSection("a");
    EXPECT_EQ(ini.text(), "[B]\r\ny=2\r\n");
    ini.setValue("B", "y", "two\r\nlines");
    EXPECT_EQ(ini.text(), "[B]\r\ny=two  lines\r\n");
}

TEST(IniText, Encodings) {
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"));
    for (const char* bad : {"\xE9", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(isValidUtf8(bad)) << "invalid sequence";
    EXPECT_EQ(windows1252ToUtf8("\x80\x81\xE9"), "\xE2\x82\xAC\xEF\xBF\xBD\xC3\xA9");
    EXPECT_EQ(IniText("[S]\r\nk=caf\xE9\r\n").value("S", "k"),
              std::optional<std::string>("caf\xC3\xA9"));
}

}  // namespace
}  // namespace parvex::device
