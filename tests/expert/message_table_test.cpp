// Rows and records of the expert table move together through every row operation.

#include <gtest/gtest.h>

#include <vector>

#include "expert/editor_rules.h"
#include "expert/message_table.h"

namespace parvex::expert {
namespace {

// Gives row r a recognisable message and record: address 2r, one data byte r, and a marker
// after the data that row operations must carry along.
void mark(MessageTable& t, int r) {
    TGridRecord texts{dataText(std::vector<std::uint8_t>{std::uint8_t(2 * r)}.data(), 1),
                      "Write",
                      dataText(std::vector<std::uint8_t>{std::uint8_t(r)}.data(), 1),
                      "Yes",
                      "0",
                      "row " + std::to_string(r)};
    ASSERT_FALSE(t.pasteRow(r, texts));
    t.record(r)[60] = std::uint8_t(0xC0 + r);
}

// The data byte of each row's record, which equals the number the row had when marked.
std::vector<int> markers(const MessageTable& t) {
    std::vector<int> out;
    for (int r = 1; r <= t.rowCount(); ++r) out.push_back(t.record(r)[report::kMessageData]);
    return out;
}

TEST(MessageTable, NewTableHasEightEmptyNumberedMessagesAndZeroRecords) {
    MessageTable t;
    ASSERT_EQ(t.rowCount(), 8);
    for (int r = 1; r <= 8; ++r) {
        EXPECT_EQ(t.cellText(r, colNumber), std::to_string(r));
        EXPECT_EQ(t.cellText(r, colStart), "ST");
        for (int c = colAddress; c < kColumnCount; ++c) EXPECT_EQ(t.cellText(r, c), "");
    }
    for (int r = 1; r <= kMaxMessages; ++r) EXPECT_EQ(t.record(r), TUSBI2CReport{});
    EXPECT_EQ(kColumnHeaders[colDelay], "Additional Delay");
}

TEST(MessageTable, InsertRowMovesRecordsDownAndLeavesTheNewRecordZero) {
    MessageTable t;
    for (int r = 1; r <= 8; ++r) mark(t, r);
    ASSERT_TRUE(t.insertRow(3));
    EXPECT_EQ(t.rowCount(), 9);
    EXPECT_EQ(markers(t), (std::vector<int>{1, 2, 3, 0, 4, 5, 6, 7, 8}));
    EXPECT_EQ(t.record(4), TUSBI2CReport{});
    EXPECT_TRUE(t.row(4).empty());
    EXPECT_EQ(t.row(5).Comments, "row 4");
    EXPECT_EQ(t.record(9)[60], 0xC8);  // bytes past the data travel too
    EXPECT_EQ(t.cellText(9, colNumber), "9");
}

TEST(MessageTable, InsertRowOnAFullTableChangesNothing) {
    MessageTable t;
    for (int r = 9; r <= kMaxMessages; ++r) ASSERT_TRUE(t.insertRow(r - 1));
    mark(t, 64);
    EXPECT_FALSE(t.insertRow(10));
    EXPECT_EQ(t.rowCount(), 64);
    EXPECT_EQ(t.record(64)[report::kMessageData], 64);
}

TEST(MessageTable, DeleteRowMovesRecordsUpAndZeroesTheFormerLast) {
    MessageTable t;
    while (t.rowCount() > 3) t.deleteRow(t.rowCount());
    for (int r = 1; r <= 3; ++r) mark(t, r);
    ASSERT_TRUE(t.deleteRow(2));
    EXPECT_EQ(markers(t), (std::vector<int>{1, 3}));
    EXPECT_EQ(t.row(2).Comments, "row 3");
    EXPECT_EQ(t.record(3), TUSBI2CReport{});

    while (t.rowCount() > 1) t.deleteRow(1);
    EXPECT_FALSE(t.deleteRow(1));
    EXPECT_EQ(t.rowCount(), 1);
}

TEST(MessageTable, ClearRowEmptiesTextsAndTheFirst49RecordBytes) {
    MessageTable t;
    mark(t, 2);
    t.record(2)[48] = 0x11;
    t.record(2)[49] = 0x22;
    t.clearRow(2);
    EXPECT_TRUE(t.row(2).empty());
    EXPECT_EQ(t.record(2)[report::kLength], 0);
    EXPECT_EQ(t.record(2)[48], 0);
    EXPECT_EQ(t.record(2)[49], 0x22);
    EXPECT_EQ(t.record(2)[60], 0xC2);
}

TEST(MessageTable, CompactRemovesEmptyRowsBottomUpKeepingRecordsWithTheirRows) {
    MessageTable t;
    for (int r : {1, 3, 4, 6, 7, 8}) mark(t, r);
    t.compact();
    EXPECT_EQ(markers(t), (std::vector<int>{1, 3, 4, 6, 7, 8}));
    EXPECT_EQ(t.row(2).Comments, "row 3");
    EXPECT_EQ(t.record(7), TUSBI2CReport{});

    MessageTable empty;
    empty.compact();
    EXPECT_EQ(empty.rowCount(), 1);
}

TEST(MessageTable, PasteRebuildsTheRecordFromTheCopiedTexts) {
    MessageTable t;
    const TGridRecord copied{"a1", "Read", "00,1f,FF", "No", "5", "n"};
    ASSERT_FALSE(t.pasteRow(1, copied));
    EXPECT_EQ(t.row(1), copied);
    const TUSBI2CReport& rec = t.record(1);
    const std::vector<int> head(rec.begin(), rec.begin() + 10);
    EXPECT_EQ(head, (std::vector<int>{0, 9, 4, 3, 0, 13, 0xA1, 0x00, 0x1F, 0xFF}));

    // A write clears the direction bit; an unknown R/W keeps the command byte.
    ASSERT_FALSE(t.pasteRow(1, TGridRecord{"A1", "Write", "0", "Yes", "0", ""}));
    EXPECT_EQ(t.record(1)[report::kMessageAddress], 0xA0);
    EXPECT_EQ(t.record(1)[report::kLength], 6);  // Data shorter than 2 characters: no bytes
    ASSERT_FALSE(t.pasteRow(1, TGridRecord{"A1", "Both", "00", "Yes", "0", ""}));
    EXPECT_EQ(t.record(1)[report::kCommand], cmdWriteMessage);
}

TEST(MessageTable, PasteOfTextsThatDoNotConvertReportsTheText) {
    const struct {
        TGridRecord texts;
        const char* message;
    } cases[] = {
        {TGridRecord{}, "'' is not a valid hexadecimal value."},
        {TGridRecord{"A0", "Write", "00,G1", "Yes", "0", ""},
         "'G1' is not a valid hexadecimal value."},
        {TGridRecord{"0x", "Write", "00", "Yes", "0", ""},
         "'0x' is not a valid hexadecimal value."},
    };
    for (const auto& c : cases) {
        MessageTable t;
        const auto error = t.pasteRow(1, c.texts);
        ASSERT_TRUE(error);
        EXPECT_EQ(*error, c.message);
        EXPECT_EQ(t.row(1), c.texts);  // the texts were placed before the conversion failed
    }
}

TEST(MessageTable, ADataTextLongerThanARecordStoresOnly58Bytes) {
    MessageTable t;
    std::string data = "01";
    for (int i = 1; i < 70; ++i) data += ",01";
    t.record(2)[0] = 0x77;  // the next record must stay untouched
    ASSERT_FALSE(t.pasteRow(1, TGridRecord{"A0", "Write", data, "Yes", "0", ""}));
    EXPECT_EQ(t.record(1)[report::kMessageCount], kMaxRecordDataBytes);
    EXPECT_EQ(t.record(1)[report::kLength], kMaxRecordDataBytes + 6);
    EXPECT_EQ(t.record(2)[0], 0x77);
}

TEST(MessageTable, FollowedRowMovesWithInsertsAndDeletesAndEndsWhenDeleted) {
    MessageTable t;
    t.setFollowedRow(4);
    t.insertRow(5);  // below: no move
    EXPECT_EQ(t.followedRow(), 4);
    t.insertRow(1);  // new row 2, above
    EXPECT_EQ(t.followedRow(), 5);
    t.deleteRow(2);
    EXPECT_EQ(t.followedRow(), 4);
    t.deleteRow(4);
    EXPECT_EQ(t.followedRow(), 0);

    t.setFollowedRow(3);
    mark(t, 3);
    t.compact();  // rows 1 and 2 go
    EXPECT_EQ(t.followedRow(), 1);
    t.reset();
    EXPECT_EQ(t.followedRow(), 0);
}

TEST(MessageTable, CopyBufferOutlivesTables) {
    { CopyBuffer() = TGridRecord{"A0", "Write", "00", "Yes", "0", "kept"}; }
    MessageTable fresh;
    EXPECT_EQ(CopyBuffer().Comments, "kept");
    CopyBuffer() = TGridRecord{};
}

TEST(ParseNumbers, HexAndDecimal) {
    EXPECT_EQ(parseHexNumber("a0"), 0xA0u);
    EXPECT_EQ(parseHexNumber("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_FALSE(parseHexNumber("123456789"));
    EXPECT_FALSE(parseHexNumber(""));
    EXPECT_FALSE(parseHexNumber("$A0"));
    EXPECT_EQ(parseDecimal(" 10 "), 10);
    EXPECT_EQ(parseDecimal("-5"), -5);
    EXPECT_EQ(parseDecimal("2147483647"), 2147483647);
    EXPECT_FALSE(parseDecimal("2147483648"));
    EXPECT_FALSE(parseDecimal("99999999999999999999"));
    EXPECT_FALSE(parseDecimal(""));
    EXPECT_FALSE(parseDecimal("1O"));
}

// ---- editor rules ----

TEST(EditorRules, EmptyRowOpensWithDefaultsAndClosesAsOneFFWrite) {
    const EditorFill fill = editorFieldsFor(TGridRecord{});
    ASSERT_FALSE(fill.error);
    EXPECT_EQ(fill.fields.address, "A0");
    EXPECT_FALSE(fill.fields.read);
    EXPECT_FALSE(fill.fields.noStop);
    EXPECT_EQ(fill.fields.byteCount, 1);
    EXPECT_EQ(fill.fields.cells, std::vector<std::string>{"FF"});

    TGridRecord row;
    TUSBI2CReport rec{};
    ASSERT_FALSE(applyEditor(fill.fields, row, rec).error);
    EXPECT_EQ(row, (TGridRecord{"A0", "Write", "FF", "Yes", "0", ""}));
    EXPECT_EQ(std::vector<int>(rec.begin(), rec.begin() + 8),
              (std::vector<int>{0, 7, 3, 1, 0, 15, 160, 255}));
}

TEST(EditorRules, ClosingPadsCellsAndSetsTheDirectionBit) {
    EditorFields f;
    f.address = "A1";  // typed with bit 0 set, for a write
    f.byteCount = 3;
    f.cells = {"", "7", " 1f "};
    TGridRecord row;
    TUSBI2CReport rec{};
    const EditorApply a = applyEditor(f, row, rec);
    EXPECT_EQ(a.cells, (std::vector<std::string>{"FF", "07", "1f"}));
    EXPECT_EQ(row.DataString, "FF,07,1f");
    EXPECT_EQ(row.Address, "A0");

    f.read = true;
    f.address = "A0";
    ASSERT_FALSE(applyEditor(f, row, rec).error);
    EXPECT_EQ(row.Address, "A1");
    EXPECT_EQ(rec[report::kCommand], cmdReadMessage);
    EXPECT_EQ(rec[report::kMessageAddress], 161);
    EXPECT_EQ(std::vector<int>(rec.begin() + 7, rec.begin() + 10),
              (std::vector<int>{0xFF, 7, 0x1F}));
}

TEST(EditorRules, EmptyAddressAtCloseWritesEverythingButAddressAndData) {
    EditorFields f;
    f.address = "";
    f.noStop = true;
    f.cells = {"12"};
    TGridRecord row{"B0", "Write", "00", "Yes", "0", ""};
    TUSBI2CReport rec{};
    rec[report::kMessageAddress] = 0x55;
    const EditorApply a = applyEditor(f, row, rec);
    ASSERT_TRUE(a.error);
    EXPECT_EQ(*a.error, "'' is not a valid hexadecimal value.");
    EXPECT_EQ(row.Stop, "No");
    EXPECT_EQ(row.Address, "B0");
    EXPECT_EQ(rec[report::kMessageOptions], 13);
    EXPECT_EQ(rec[report::kMessageAddress], 0x55);
}

TEST(EditorRules, LongDataOpensAllCellsButWritesBack49) {
    std::string data = "00";
    for (int i = 1; i < 55; ++i)
        data += "," + dataText(std::vector<std::uint8_t>{std::uint8_t(i)}.data(), 1);
    const EditorFill fill = editorFieldsFor(TGridRecord{"A0", "Write", data, "Yes", "0", ""});
    EXPECT_EQ(fill.fields.cells.size(), 55u);
    EXPECT_EQ(fill.fields.byteCount, 49);
    TGridRecord row;
    TUSBI2CReport rec{};
    ASSERT_FALSE(applyEditor(fill.fields, row, rec).error);
    EXPECT_EQ(dataByteCount(row.DataString), 49);
    EXPECT_EQ(rec[report::kMessageCount], 49);
}

TEST(EditorRules, DelayThatIsNotANumberStopsFillingAfterIt) {
    const EditorFill fill = editorFieldsFor(TGridRecord{"A0", "Write", "00", "No", "x1", "note"});
    ASSERT_TRUE(fill.error);
    EXPECT_EQ(*fill.error, "'x1' is not a valid integer value.");
    EXPECT_TRUE(fill.fields.noStop);
    EXPECT_EQ(fill.fields.notes, "");
}

TEST(EditorRules, PasteOfAnEditedMessageGivesTheSameRecord) {
    for (const bool read : {false, true}) {
        EditorFields f;
        f.address = "A2";
        f.read = read;
        f.noStop = true;
        f.byteCount = 3;
        f.cells = {"01", "ab", "7"};
        MessageTable t;
        TGridRecord edited;
        ASSERT_FALSE(applyEditor(f, edited, t.record(1)).error);
        t.setRow(1, edited);
        ASSERT_FALSE(t.pasteRow(2, t.row(1)));
        EXPECT_EQ(t.row(2), t.row(1));
        const int n = t.record(1)[report::kMessageCount];
        EXPECT_EQ(std::vector<int>(t.record(1).begin(), t.record(1).begin() + 7 + n),
                  std::vector<int>(t.record(2).begin(), t.record(2).begin() + 7 + n))
            << read;
    }
}

TEST(EditorRules, FieldsLeft) {
    const std::pair<const char*, const char*> cells[] = {
        {"", "00"}, {" ", "00"}, {"7", "07"}, {"AB", "AB"}};
    for (const auto& [in, out] : cells) EXPECT_EQ(byteCellLeft(in), out) << in;
    EXPECT_EQ(addressFieldLeft(""), "A0");
    EXPECT_EQ(addressFieldLeft("7"), "07");
    EXPECT_EQ(addressFieldLeft("B2"), "B2");
}

}  // namespace
}  // namespace parvex::expert
