// The command line's own readers: i2c-style messages and options.

#include <gtest/gtest.h>

#include "cli/options.h"
#include "cli/output.h"
#include "cli/transfer_messages.h"
#include "cli/virtual_state.h"

namespace parvex::cli {
namespace {

TEST(TransferMessages, AreGroupedIntoTheAdaptersTransfers) {
    struct Expected {
        std::uint8_t address7;
        std::vector<std::uint8_t> write;
        int readCount;
        bool hasWrite;
    };
    struct Case {
        std::vector<std::string> args;
        std::vector<Expected> transfers;
    };
    const Case cases[] = {
        {{"w3@0x50", "0x00", "0x10", "0xff", "r2@0x50"}, {{0x50, {0x00, 0x10, 0xFF}, 2, true}}},
        // An address left out is the one before; a read after a read is its own transfer.
        {{"w1@0x20", "5", "r2", "r1"}, {{0x20, {5}, 2, true}, {0x20, {}, 1, false}}},
        // A read of another address does not join the write.
        {{"w1@0x20", "017", "r1@0x21"}, {{0x20, {15}, 0, true}, {0x21, {}, 1, false}}},
        // A write of no bytes is a quick write.
        {{"w0@0x50"}, {{0x50, {}, 0, true}}},
        {{"w1@80", "255", "w1", "0"}, {{80, {255}, 0, true}, {80, {0}, 0, true}}},
    };
    for (const Case& c : cases) {
        const ParsedTransfers p = parseTransferMessages(c.args);
        ASSERT_FALSE(p.error) << *p.error;
        ASSERT_EQ(p.transfers.size(), c.transfers.size()) << c.args[0];
        for (std::size_t i = 0; i < c.transfers.size(); ++i) {
            EXPECT_EQ(p.transfers[i].address7, c.transfers[i].address7);
            EXPECT_EQ(p.transfers[i].write, c.transfers[i].write);
            EXPECT_EQ(p.transfers[i].readCount, c.transfers[i].readCount);
            EXPECT_EQ(p.transfers[i].hasWrite, c.transfers[i].hasWrite);
        }
    }
}

TEST(TransferMessages, BuildTheTransferReport) {
    const ParsedTransfers p = parseTransferMessages({"w2@0x50", "0x10", "0x20", "r3"});
    ASSERT_EQ(p.transfers.size(), 1u);
    const TUSBI2CReport out = p.transfers[0].report();
    const std::vector<std::uint8_t> head(out.begin(), out.begin() + 10);
    EXPECT_EQ(head, (std::vector<std::uint8_t>{0, 8, 5, 2, 3, 0, 0xA0, 0x10, 0x20, 0}));
}

TEST(TransferMessages, TheLargestMessagesFitOneReport) {
    std::vector<std::string> args{"w58@0x50"};
    for (int i = 0; i < 58; ++i) args.push_back(std::to_string(i));
    args.push_back("r62");
    const ParsedTransfers p = parseTransferMessages(args);
    ASSERT_FALSE(p.error);
    const TUSBI2CReport out = p.transfers[0].report();
    EXPECT_EQ(out[3], 58);
    EXPECT_EQ(out[4], 62);
    EXPECT_EQ(out[64], 57);
    EXPECT_TRUE(parseTransferMessages({"w59@0x50"}).error);
}

TEST(CNumbers, AreReadAsTheToolsReadThem) {
    const std::pair<std::string, std::optional<unsigned long>> cases[] = {
        {"0x1f", 31},
        {"0X1F", 31},
        {"31", 31},
        {"037", 31},
        {"0", 0},
        {"255", 255},
        {"256", std::nullopt},
        {"-1", std::nullopt},
        {"+1", std::nullopt},
        {"", std::nullopt},
        {"0x", std::nullopt},
        {"1a", std::nullopt},
        {" 1", std::nullopt},
        {"08", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(parseCNumber(text, 255), value) << text;
}

TEST(CommandLines, OptionsStandAnywhereAndTakeTheirValues) {
    const ParsedLine p = parseCommandLine(
        {"--json", "eeprom", "--size=256", "read", "--address", "A2", "f.hex", "--", "--odd"});
    ASSERT_FALSE(p.error);
    EXPECT_EQ(p.line.words, (std::vector<std::string>{"eeprom", "read", "f.hex", "--odd"}));
    EXPECT_EQ(p.line.value("size"), "256");
    EXPECT_EQ(p.line.value("address"), "A2");
    EXPECT_TRUE(p.line.flag("json"));
    EXPECT_FALSE(unknownOption(p.line));
    // A value is never taken for a word, even one that looks like an option.
    const ParsedLine v = parseCommandLine({"--journal", "--json", "info"});
    EXPECT_EQ(v.line.value("journal"), "--json");
    EXPECT_FALSE(v.line.flag("json"));
}

TEST(VirtualStates, OnlyTheExactLayoutIsRead) {
    VirtualState state{std::vector<std::uint8_t>(kStateEepromBytes, 0x42),
                       std::vector<std::uint8_t>(kStateRegisterBytes, 0x07)};
    const std::string bytes = writeVirtualState(state);
    ASSERT_EQ(bytes.size(), kStateFileBytes);
    const VirtualStateRead back = parseVirtualState(bytes);
    ASSERT_TRUE(back.state);
    EXPECT_EQ(back.state->eeprom, state.eeprom);
    EXPECT_EQ(back.state->registers, state.registers);
    EXPECT_FALSE(parseVirtualState(bytes.substr(1)).state);
    EXPECT_FALSE(parseVirtualState(bytes + "x").state);
    std::string otherMagic = bytes;
    otherMagic[0] = 'Q';
    EXPECT_FALSE(parseVirtualState(otherMagic).state);
}

}  // namespace
}  // namespace parvex::cli

namespace parvex::cli {
namespace {

TEST(JsonStrings, StayValidWhateverTheBytes) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "\"plain\""},
        {"a\"b\\c\n", "\"a\\\"b\\\\c\\n\""},
        {std::string("\x01\x7f", 2), "\"\\u0001\\u007f\""},
        {"caf\xC3\xA9.hex", "\"caf\xC3\xA9.hex\""},  // UTF-8 passes
        {"caf\xE9.hex", "\"caf\\u00e9.hex\""},       // a Windows-1252 name does not
        {"\xC3", "\"\\u00c3\""},                     // a sequence cut short
    };
    for (const auto& [text, json] : cases) EXPECT_EQ(jsonString(text), json) << text;
}

}  // namespace
}  // namespace parvex::cli
