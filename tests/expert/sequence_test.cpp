// The sequence as text and array, from the editor's cells and from a data file.

#include <gtest/gtest.h>

#include "expert/sequence.h"

namespace parvex::expert {
namespace {

TEST(Sequence, TextAndArrayAreSetTogether) {
    Sequence s;
    EXPECT_EQ(s.count(), 0);
    s.set({1, 5, 12, 5, 64});
    EXPECT_EQ(s.text(), "01,05,12,05,64");
    EXPECT_EQ(s.count(), 5);
    EXPECT_EQ(s.entry(0), 1);
    EXPECT_EQ(s.entry(4), 64);
    s.set({});
    EXPECT_EQ(s.text(), "");
    EXPECT_EQ(s.count(), 0);
}

TEST(Sequence, CellsDropBlanksAndZerosAndRefuseAbove64) {
    SequenceCells c = sequenceFromCells({"5", "", "0", "12", " ", "007", "00"});
    EXPECT_FALSE(c.refused);
    EXPECT_EQ(c.numbers, (std::vector<int>{5, 12, 7}));
    Sequence s;
    s.set(c.numbers);
    EXPECT_EQ(s.text(), "05,12,07");  // leading zeros beyond two digits are normalised

    c = sequenceFromCells({"3", "65", "4"});
    EXPECT_TRUE(c.refused);
    EXPECT_TRUE(c.numbers.empty());
    EXPECT_TRUE(sequenceFromCells({"99999999999999999999"}).refused);
    EXPECT_EQ(kSequenceLimitMessage, "The maximum Msg #\ris 64 in the Sequencer");
}

TEST(Sequence, CellsFromText) {
    EXPECT_EQ(cellsFromSequenceText("10,64,01"), (std::vector<std::string>{"10", "64", "01"}));
    EXPECT_TRUE(cellsFromSequenceText("").empty());
}

TEST(Sequence, FileTextIsNormalisedAndCutToWhatFits) {
    const struct {
        const char* text;
        std::vector<int> numbers;
        bool cut;
    } cases[] = {
        {"10,64", {10, 64}, false},    {"", {}, false},           {"007,1", {7, 1}, false},
        {"01,65,00,02", {1, 2}, true}, {"01,x,02", {1, 2}, true}, {"01,,02", {1, 2}, true},
    };
    for (const auto& c : cases) {
        const ParsedSequence p = parseSequenceText(c.text);
        EXPECT_EQ(p.numbers, c.numbers) << c.text;
        EXPECT_EQ(p.cut, c.cut) << c.text;
    }
    std::string many = "01";
    for (int i = 0; i < 70; ++i) many += ",02";
    const ParsedSequence p = parseSequenceText(many);
    EXPECT_EQ(p.numbers.size(), 64u);
    EXPECT_TRUE(p.cut);
}

}  // namespace
}  // namespace parvex::expert
