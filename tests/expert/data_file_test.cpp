// The data file: what the writer produces, and every tolerance of the reader.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "expert/data_file.h"

namespace parvex::expert {
namespace {

std::string golden(const char* name) {
    std::ifstream in(std::string(PARVEX_TEST_DATA) + "/expert/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(DataFile, NewTableWritesHeaderAndSequenceOnly) {
    MessageTable t;
    EXPECT_EQ(writeDataFile(t, ""), "Expert Mode Data File\r\nSequence:\r\n");
}

TEST(DataFile, WrittenExampleMatchesTheGoldenFileAndReadsBack) {
    MessageTable t;
    ASSERT_FALSE(t.pasteRow(1, {"A0", "Write", "00,1F", "Yes", "0", "set register pointer"}));
    ASSERT_FALSE(t.pasteRow(3, {"A1", "Read", "FF,FF", "Yes", "10", ""}));
    EXPECT_EQ(writeDataFile(t, "01,02,02"), golden("two_messages.txt"));

    const DataFileContents c = readDataFile(golden("two_messages.txt"));
    ASSERT_TRUE(c.headerOk);
    EXPECT_FALSE(c.error);
    EXPECT_FALSE(c.cut);
    ASSERT_EQ(c.rows.size(), 2u);
    EXPECT_EQ(c.rows[1], (TGridRecord{"A1", "Read", "FF,FF", "Yes", "10", ""}));
    EXPECT_EQ(c.sequence, (std::vector<int>{1, 2, 2}));

    MessageTable loaded;
    loadIntoTable(c, loaded);
    EXPECT_EQ(loaded.rowCount(), 2);
    EXPECT_EQ(loaded.row(1).Comments, "set register pointer");
    const TUSBI2CReport& rec = loaded.record(2);
    EXPECT_EQ(std::vector<int>(rec.begin(), rec.begin() + 9),
              (std::vector<int>{0, 8, 4, 2, 0, 15, 161, 255, 255}));
}

TEST(DataFile, ReaderTolerances) {
    const DataFileContents c = readDataFile(golden("tolerances.txt"));
    ASSERT_TRUE(c.headerOk);
    // The empty address on the fourth message line stops the reading there.
    ASSERT_TRUE(c.error);
    EXPECT_EQ(*c.error, "'' is not a valid hexadecimal value.");
    ASSERT_EQ(c.rows.size(), 2u);
    EXPECT_EQ(c.rows[0], (TGridRecord{"40", "Read", "ab;cd", "No", "x", ""}));
    EXPECT_EQ(c.rows[1], (TGridRecord{"41", "Write", "00", "Maybe", "5", "a, b,Comments: c"}));
    EXPECT_EQ(c.sequence, (std::vector<int>{7, 2}));  // found before the messages, normalised

    MessageTable t;
    t.record(10)[0] = 0x99;  // records beyond the loaded rows keep their content
    loadIntoTable(c, t);
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_EQ(std::vector<int>(t.record(1).begin(), t.record(1).begin() + 9),
              (std::vector<int>{0, 8, 4, 2, 0, 13, 0x41, 0xAB, 0xCD}));
    // A write keeps bit 0 of its address; a Stop? other than "No" sends a stop.
    EXPECT_EQ(t.record(2)[report::kMessageAddress], 0x41);
    EXPECT_EQ(t.record(2)[report::kMessageOptions], 15);
    EXPECT_EQ(t.record(10)[0], 0x99);
}

TEST(DataFile, HeaderMustMatchExactly) {
    for (const char* text : {"", "Expert Mode Data File \r\n", " Expert Mode Data File\r\n",
                             "expert mode data file\r\n", "Sequence:01\r\n"}) {
        EXPECT_FALSE(readDataFile(text).headerOk) << text;
    }
    EXPECT_TRUE(readDataFile("Expert Mode Data File").headerOk);
    const DataFileContents c = readDataFile("Expert Mode Data File\n");
    EXPECT_TRUE(c.rows.empty());
    EXPECT_FALSE(c.sequence);  // no Sequence: line keeps the previous sequence
}

TEST(DataFile, NotesHoldingTheMarkerSurviveARoundTrip) {
    MessageTable t;
    ASSERT_FALSE(t.pasteRow(1, {"A0", "Write", "00", "Yes", "0", ",Comments: x, y"}));
    t.setRow(2, TGridRecord{"", "", "", "", "", "only notes"});
    const std::string file = writeDataFile(t, "");
    EXPECT_NE(file.find("\r\n,,,,,Comments: only notes\r\n"), std::string::npos);
    const DataFileContents c = readDataFile(file);
    ASSERT_GE(c.rows.size(), 1u);
    EXPECT_EQ(c.rows[0].Comments, ",Comments: x, y");
    ASSERT_TRUE(c.error);  // the notes-only row fails on its empty address
}

TEST(DataFile, LaterSequenceLineWinsAndEmptyRowsAreNotWritten) {
    MessageTable t;
    ASSERT_FALSE(t.pasteRow(1, {"A0", "Write", "01", "Yes", "0", ""}));
    ASSERT_FALSE(t.pasteRow(3, {"A0", "Write", "03", "Yes", "0", ""}));
    const DataFileContents c = readDataFile(writeDataFile(t, "10,64") + "Sequence:03\r\n");
    ASSERT_EQ(c.rows.size(), 2u);
    EXPECT_EQ(c.rows[1].DataString, "03");
    EXPECT_EQ(c.sequence, std::vector<int>{3});
}

TEST(DataFile, WhatDoesNotFitIsCut) {
    std::string file = "Expert Mode Data File\r\n";
    std::string longData = "00";
    for (int i = 1; i < 60; ++i) longData += ",01";
    file += "A0,Write,Yes,0," + longData + "\r\n";
    for (int i = 1; i < 70; ++i) file += "A0,Write,Yes,0,02\r\n";
    const DataFileContents c = readDataFile(file);
    EXPECT_TRUE(c.cut);
    EXPECT_FALSE(c.error);
    ASSERT_EQ(c.rows.size(), 64u);
    EXPECT_EQ(dataByteCount(c.rows[0].DataString), kMaxRecordDataBytes);
    EXPECT_EQ(c.rows[0].DataString.size(), 173u);
    EXPECT_EQ(readDataFile("Expert Mode Data File\r\nSequence:01,99\r\n").cut, true);
}

TEST(DataFile, Windows1252NotesBecomeUtf8AndUtf8StaysAsItIs) {
    const std::string cp1252 =
        "Expert Mode Data File\r\nA0,Write,Yes,0,00,Comments: 25\xB0"
        "C \x80\r\n";
    const DataFileContents a = readDataFile(cp1252);
    ASSERT_EQ(a.rows.size(), 1u);
    EXPECT_EQ(a.rows[0].Comments,
              "25\xC2\xB0"
              "C \xE2\x82\xAC");
    const std::string utf8 =
        "Expert Mode Data File\r\nA0,Write,Yes,0,00,Comments: I\xC2\xB2"
        "C\r\n";
    EXPECT_EQ(readDataFile(utf8).rows.at(0).Comments,
              "I\xC2\xB2"
              "C");
    EXPECT_EQ(toUtf8("\xC2"), "\xC3\x82");  // a cut-off sequence is not UTF-8
}

}  // namespace
}  // namespace parvex::expert
