// parvex-cli's file commands run as processes: EEPROM images, definition files and expert
// data files against the virtual adapter, whose contents carry from run to run in a state file.

#include <gtest/gtest.h>

#include "eeprom/hex_file.h"
#include "process.h"

namespace parvex::test {
namespace {

using Args = std::vector<std::string>;

std::string pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + 1) & 0xFF);
    return bytes;
}

std::size_t countLines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class CliFiles : public ::testing::Test {
protected:
    // A run over the virtual adapter whose contents live in this test's state file.
    CliRun bench(Args more) {
        Args args{"--virtual-adapter", "--virtual-state", state()};
        args.insert(args.end(), more.begin(), more.end());
        return runCli(dir.path(), args);
    }
    CliRun fresh(Args more) {
        more.insert(more.begin(), "--virtual-adapter");
        return runCli(dir.path(), more);
    }
    std::string state() const { return (dir / "bench.state").string(); }
    TempDir dir;
};

TEST_F(CliFiles, EepromWriteVerifyAndReadCarryAcrossRuns) {
    const std::string image = pattern(2048);
    spill(dir / "image.bin", image);
    const CliRun w = bench({"eeprom", "write", "image.bin", "--size", "2048", "--page", "16"});
    EXPECT_EQ(w.exit, 0) << w.err;
    EXPECT_EQ(w.out, "Wrote 128 pages from image.bin\n");

    const CliRun v = bench({"eeprom", "verify", "image.bin", "--size", "2048"});
    EXPECT_EQ(v.exit, 0) << v.err;
    EXPECT_EQ(v.out, "Verification successful\n");

    ASSERT_EQ(bench({"eeprom", "read", "back.bin", "--size", "2048"}).exit, 0);
    EXPECT_EQ(slurp(dir / "back.bin"), image);
    ASSERT_EQ(bench({"eeprom", "read", "back.hex", "--size", "2048"}).exit, 0);
    const std::vector<std::uint8_t> bytes(image.begin(), image.end());
    EXPECT_EQ(slurp(dir / "back.hex"), eeprom::writeHexFile(bytes));
    // --format decides for a name that says nothing.
    ASSERT_EQ(bench({"eeprom", "read", "back.img", "--size", "2048", "--format", "bin"}).exit, 0);
    EXPECT_EQ(slurp(dir / "back.img"), image);
}

TEST_F(CliFiles, BlocksAboveTheFirstAreReachedThroughTheirAddresses) {
    // 256 bytes at A4 are block 2 of the 2048-byte chip.
    spill(dir / "block.bin", pattern(256));
    ASSERT_EQ(bench({"eeprom", "write", "block.bin", "--size", "256", "--address", "A4"}).exit, 0);
    ASSERT_EQ(bench({"eeprom", "read", "all.bin", "--size", "2048"}).exit, 0);
    const std::string all = slurp(dir / "all.bin");
    ASSERT_EQ(all.size(), 2048u);
    EXPECT_EQ(all.substr(512, 256), pattern(256));
    EXPECT_EQ(all.substr(0, 512), std::string(512, '\xFF'));
}

TEST_F(CliFiles, VerifyListsEveryDifference) {
    spill(dir / "image.bin", pattern(2048));
    const CliRun v = fresh({"eeprom", "verify", "image.bin", "--size", "2048"});
    EXPECT_EQ(v.exit, 1);
    // The erased device holds FF; the pattern has FF at 8 addresses only.
    EXPECT_EQ(countLines(v.out), 2040u);
    EXPECT_EQ(v.out.substr(0, 40), "000: file 01, device FF\n001: file 08, de");
    EXPECT_EQ(v.err, "parvex-cli: Device failed Verify at Address 0x00 (2040 bytes differ)\n");
    const CliRun json = fresh({"--json", "eeprom", "verify", "image.bin", "--size", "16"});
    EXPECT_EQ(json.exit, 1);
    EXPECT_NE(json.out.find("\"differences\":[{\"address\":0,\"file\":1,\"device\":255},"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"status\":153"), std::string::npos);
}

TEST_F(CliFiles, WriteWithVerifyChecksInTheSameRun) {
    spill(dir / "image.hex", eeprom::writeHexFile({0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0,
                                                   0, 1, 2, 3, 4, 5, 6, 7}));
    const CliRun r = fresh({"eeprom", "write", "image.hex", "--size", "16", "--verify"});
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, "Wrote 2 pages from image.hex\nVerification successful\n");
}

TEST_F(CliFiles, APageWriteTimeShorterThanTheChipsCycleFails) {
    spill(dir / "image.bin", pattern(256));
    const std::pair<std::string, int> cases[] = {{"0", 1}, {"4", 1}, {"5", 0}, {"10", 0}};
    for (const auto& [ms, exit] : cases) {
        const CliRun r = fresh(
            {"eeprom", "write", "image.bin", "--size", "256", "--write-time", ms, "--verify"});
        EXPECT_EQ(r.exit, exit) << ms << " ms: " << r.err;
        if (exit == 1) {
            EXPECT_EQ(r.err,
                      "parvex-cli: write failed after 1 of 32 pages: Slave address nAcked\n");
        }
    }
}

TEST_F(CliFiles, EepromFilesThatCannotBeUsedAreFileErrors) {
    spill(dir / "short.bin", pattern(100));
    spill(dir / "junk.hex", ":10000000000102030405060708090A0B0C0D0E0F78\r\nnot a record\r\n");
    spill(dir / "beyond.hex", eeprom::writeHexFile(std::vector<std::uint8_t>(512, 0x11)));
    const std::pair<Args, std::string> cases[] = {
        {{"eeprom", "write", "short.bin", "--size", "256"}, "Read beyond end of file"},
        {{"eeprom", "write", "junk.hex", "--size", "256"}, "line 2 is not an Intel HEX record"},
        {{"eeprom", "verify", "beyond.hex", "--size", "256"}, "holds data beyond address"},
        {{"eeprom", "write", "missing.bin", "--size", "256"}, "Cannot read \"missing.bin\""},
        // Only regular files are read: a device would never end.
        {{"eeprom", "write", "/dev/zero", "--size", "256", "--format", "bin"}, "Cannot read"},
        {{"eeprom", "read", "nodir/out.hex", "--size", "16"}, "Cannot write \"nodir/out.hex\""},
    };
    for (const auto& [args, text] : cases) {
        const CliRun r = fresh(args);
        EXPECT_EQ(r.exit, 2) << args[2];
        EXPECT_NE(r.err.find(text), std::string::npos) << r.err;
    }
}

TEST_F(CliFiles, DeviceWriteThenReadIntoAnotherDefinition) {
    spill(dir / "set.def",
          "[Device Data]\r\nAddress=40\r\nMaxRegister=3\r\nName=Bench\r\n[Register Data]\r\n"
          "0=11\r\n1=22\r\n2=3\r\n3=44\r\n[Register Description]\r\n1=Gain\r\n");
    const CliRun w = bench({"device", "write", "set.def"});
    EXPECT_EQ(w.exit, 0) << w.err;
    EXPECT_EQ(w.out, "Wrote 4 registers to 40\n");

    spill(dir / "get.def",
          "[Device Data]\r\nAddress=41\r\nMaxRegister=2\r\nName=Reader\r\n; kept\r\n"
          "[Register Data]\r\n0=FF\r\n1=FF\r\n2=FF\r\n");
    const CliRun r = bench({"device", "read", "get.def", "--export", "get.txt"});
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, "00: 11\n01: 22\n02: 03\n");
    const std::string saved = slurp(dir / "get.def");
    EXPECT_NE(saved.find("[Register Data]\r\n0=11\r\n1=22\r\n2=03\r\n"), std::string::npos)
        << saved;
    EXPECT_NE(saved.find("; kept\r\n"), std::string::npos);
    EXPECT_NE(slurp(dir / "get.txt").find("02=03  ;Undefined Register"), std::string::npos);
}

TEST_F(CliFiles, DeviceFilesThatCannotBeUsed) {
    spill(dir / "bad.def",
          "[Device Data]\r\nAddress=40\r\nMaxRegister=1\r\n[Register Data]\r\n"
          "0=ZZ\r\n");
    spill(dir / "noaddr.def", "[Device Data]\r\nAddress=4\r\n");
    spill(dir / "nobody.def", "[Device Data]\r\nAddress=30\r\nMaxRegister=1\r\n");
    struct Case {
        Args args;
        int exit;
        std::string text;
    };
    const Case cases[] = {
        {{"device", "write", "bad.def"}, 2, "'ZZ' is not a valid hexadecimal value."},
        {{"device", "read", "noaddr.def"}, 2, "holds no valid device address"},
        {{"device", "read", "missing.def"}, 2, "Cannot read \"missing.def\""},
        {{"device", "read", "nobody.def"}, 1, "read failed: Slave address nAcked"},
    };
    for (const Case& c : cases) {
        const CliRun r = fresh(c.args);
        EXPECT_EQ(r.exit, c.exit) << c.args[2];
        EXPECT_NE(r.err.find(c.text), std::string::npos) << r.err;
    }
    // A failed read leaves the file as it was.
    EXPECT_EQ(slurp(dir / "nobody.def"), "[Device Data]\r\nAddress=30\r\nMaxRegister=1\r\n");
}

TEST_F(CliFiles, ExpertRunsAllTheSequenceOrItsRepeats) {
    spill(dir / "msgs.txt",
          "Expert Mode Data File\r\n"
          "40,Write,Yes,0,00,5A,6B,7C\r\n"
          "41,Read,Yes,0,FF,FF\r\n"
          "40,Write,No,0,01\r\n"
          "Sequence:03,02,02\r\n");
    struct Case {
        Args mode;
        std::string out;
    };
    const Case cases[] = {
        // Write 5A 6B 7C from register 0, read two from where that left the pointer (3),
        // point at 1 (no read follows in this run).
        {{}, "Msg 2 read 41: 00,00\n"},
        {{"--sequence"}, "Msg 2 read 41: 6B,7C\nMsg 2 read 41: 00,00\n"},
        {{"--repeat", "2"},
         "Msg 2 read 41: 6B,7C\nMsg 2 read 41: 00,00\nMsg 2 read 41: 6B,7C\n"
         "Msg 2 read 41: 00,00\n"},
    };
    // The first run writes the registers; the state carries them into the later runs.
    for (const Case& c : cases) {
        Args args{"expert", "run", "msgs.txt"};
        args.insert(args.end(), c.mode.begin(), c.mode.end());
        const CliRun r = bench(args);
        EXPECT_EQ(r.exit, 0) << r.err;
        EXPECT_EQ(r.out, c.out) << (c.mode.empty() ? "all" : c.mode[0]);
    }
    const CliRun json = bench({"--json", "expert", "run", "msgs.txt", "--sequence"});
    EXPECT_EQ(json.out,
              "{\"command\":\"expert\",\"file\":\"msgs.txt\",\"reads\":[{\"message\":2,"
              "\"address\":\"41\",\"bytes\":[107,124]},{\"message\":2,\"address\":\"41\","
              "\"bytes\":[0,0]}],\"sent\":3,\"status\":0,\"statusText\":\"Transmission "
              "successful\"}\n");
}

TEST_F(CliFiles, ExpertMessagesGoOutAsTheirRecordsWithTheAcknowledgeBitChosen) {
    spill(dir / "msgs.txt", "Expert Mode Data File\r\n40,Write,Yes,0,00,5A\r\n41,Read,No,0,FF\r\n");
    const std::string journal = (dir / "j.csv").string();
    const std::pair<std::string, std::string> cases[] = {
        {"",
         "write-message,40,08 03 02 00 0F 40 00 5A,0,ok,,0\n"
         "0,read-message,41,07 04 01 00 0D 41 FF,"},
        {"--ignore-ack",
         "write-message,40,08 03 02 00 0B 40 00 5A,0,ok,,0\n"
         "0,read-message,41,07 04 01 00 09 41 FF,"},
    };
    for (const auto& [flag, rows] : cases) {
        Args args{"--journal", journal, "expert", "run", "msgs.txt"};
        if (!flag.empty()) args.push_back(flag);
        ASSERT_EQ(fresh(args).exit, 0) << flag;
        EXPECT_NE(slurp(journal).find(rows), std::string::npos) << slurp(journal);
    }
}

TEST_F(CliFiles, ExpertRunsThatCannotGoOn) {
    spill(dir / "other.txt", "Something else\r\n40,Write,Yes,0,00\r\n");
    spill(dir / "delay.txt", "Expert Mode Data File\r\n40,Write,Yes,x,00\r\n");
    spill(dir / "nobody.txt",
          "Expert Mode Data File\r\n30,Write,Yes,0,00\r\n40,Write,Yes,0,00\r\n");
    struct Case {
        std::string file;
        int exit;
        std::string text;
    };
    const Case cases[] = {
        {"other.txt", 2, "is not an expert mode data file"},
        {"delay.txt", 2, "'x' is not a valid integer value."},
        {"nobody.txt", 1, "run stopped: Slave address nAcked"},
        {"missing.txt", 2, "Cannot read \"missing.txt\""},
    };
    for (const Case& c : cases) {
        const CliRun r = fresh({"expert", "run", c.file});
        EXPECT_EQ(r.exit, c.exit) << c.file;
        EXPECT_NE(r.err.find(c.text), std::string::npos) << r.err;
    }
}

TEST_F(CliFiles, AStateFileThatIsNotOneIsRefused) {
    spill(dir / "bench.state", "PARVEX-VIRTUAL-STATE 1\nshort");
    const CliRun r = bench({"info"});
    EXPECT_EQ(r.exit, 2);
    EXPECT_NE(r.err.find("not a virtual adapter state file"), std::string::npos) << r.err;
    // Left as it was, not replaced by a fresh bench.
    EXPECT_EQ(slurp(dir / "bench.state"), "PARVEX-VIRTUAL-STATE 1\nshort");
}

}  // namespace
}  // namespace parvex::test
