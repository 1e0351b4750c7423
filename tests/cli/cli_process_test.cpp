// parvex-cli run as a process against the virtual adapter: help and usage, info, scan,
// transfer, the journal, adapters chosen by serial number, and every command with the
// adapter pulled at each of its exchanges.

#include <gtest/gtest.h>

#include "process.h"

namespace parvex::test {
namespace {

using Args = std::vector<std::string>;

Args virtualArgs(Args more) {
    Args args{"--virtual-adapter"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

std::size_t countLines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class Cli : public ::testing::Test {
protected:
    CliRun run(const Args& args) { return runCli(dir.path(), args); }
    TempDir dir;
};

TEST_F(Cli, HelpForTheProgramAndEachCommand) {
    const std::pair<Args, std::string> cases[] = {
        {{"--help"}, "Usage: parvex-cli [options] COMMAND"},
        {{"info", "--help"}, "Usage: parvex-cli info [--all]"},
        {{"scan", "--help"}, "Usage: parvex-cli scan [--write-probe]"},
        {{"--help", "eeprom"}, "Usage: parvex-cli eeprom read|write|verify"},
        {{"device", "-h"}, "Usage: parvex-cli device read|write"},
        {{"expert", "--help"}, "Usage: parvex-cli expert run"},
        {{"transfer", "--help"}, "Usage: parvex-cli transfer MESSAGE..."},
    };
    for (const auto& [args, first] : cases) {
        const CliRun r = run(args);
        EXPECT_EQ(r.exit, 0) << args[0];
        EXPECT_EQ(r.out.rfind(first, 0), 0u) << r.out;
        EXPECT_EQ(r.err, "");
    }
}

TEST_F(Cli, UsageErrorsExitWithTwoAndTouchNoAdapter) {
    const std::pair<Args, std::string> cases[] = {
        {{}, "Usage: parvex-cli"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"scan", "--size", "256"}, "scan takes no option --size"},
        {{"info", "extra"}, "info takes no arguments"},
        {{"info", "--clock", "0"}, "--clock must be 1 to 2000"},
        {{"info", "--clock", "2001"}, "--clock must be 1 to 2000"},
        {{"info", "--serial", "65536"}, "--serial must be a number from 0 to 65535"},
        {{"info", "--clock"}, "option --clock needs a value"},
        {{"info", "--json=yes"}, "option --json takes no value"},
        {{"info", "--virtual-state", "s"}, "go with --virtual-adapter"},
        {{"info", "--virtual-lines", "both-low"}, "go with --virtual-adapter"},
        {{"eeprom", "read", "x.hex"}, "eeprom needs --size"},
        {{"eeprom", "read", "x.hex", "--size", "300"}, "--size must be 16, 128"},
        {{"eeprom", "read", "x.txt", "--size", "256"}, "cannot tell the format of 'x.txt'"},
        {{"eeprom", "read", "x", "--size", "256", "--format", "srec"},
         "--format must be hex or bin"},
        {{"eeprom", "write", "x.hex", "--size", "16", "--page", "32"}, "--page does not fit"},
        {{"eeprom", "write", "x.hex", "--size", "256", "--page", "4"},
         "--page must be 1, 8, 16 or 32"},
        {{"eeprom", "write", "x.hex", "--size", "256", "--write-time", "101"},
         "--write-time must be"},
        {{"eeprom", "read", "x.hex", "--size", "256", "--address", "G0"}, "--address must be"},
        {{"eeprom", "read", "x.hex", "--size", "256", "--verify"},
         "--verify goes with eeprom write"},
        {{"eeprom", "read", "x.hex", "--size", "2048", "--address", "A2"},
         "--address for 2048 bytes must be one of A0"},
        {{"eeprom", "read", "x.hex", "--size", "1024", "--address", "A4"},
         "--address for 1024 bytes must be one of A0, A8"},
        {{"eeprom", "erase", "x.hex", "--size", "256"}, "unknown action 'erase'"},
        {{"device", "read"}, "device needs read or write"},
        {{"expert", "run", "f.txt", "--repeat", "0"}, "--repeat needs a count"},
        {{"expert", "run", "f.txt", "--all", "--sequence"}, "give one of --all"},
        {{"transfer"}, "no messages given"},
        {{"transfer", "r2"}, "the first message needs an address"},
        {{"transfer", "r0@0x50"}, "a read takes 1 to 62 bytes"},
        {{"transfer", "r63@0x50"}, "a read takes 1 to 62 bytes"},
        {{"transfer", "w2@0x50", "0x01"}, "'w2@0x50' needs 2 data bytes"},
        {{"transfer", "w1@0x50", "0x100"}, "'0x100' is not a byte value"},
        {{"transfer", "w1@0x80", "0"}, "the address must be a 7-bit number"},
        {{"transfer", "x1@0x50"}, "is not a message"},
    };
    for (const auto& [args, text] : cases) {
        // Usage is checked before any adapter is looked for: none is given here at all.
        const CliRun r = run(args);
        EXPECT_EQ(r.exit, 2) << (args.empty() ? "" : args[0]) << " " << text;
        EXPECT_NE(r.err.find(text), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(Cli, InfoShowsIdentityLinesAndClock) {
    const CliRun r = run(virtualArgs({"info"}));
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out,
              "Firmware revision: Parvex VA 1.03\n"
              "Serial number: 12345\n"
              "Bus lines: SCL high, SDA high\n"
              "Clock: 100 kHz\n");
    EXPECT_EQ(r.err, "");
    const CliRun json = run(virtualArgs({"--json", "info", "--clock", "333"}));
    EXPECT_EQ(json.exit, 0);
    EXPECT_EQ(json.out,
              "{\"command\":\"info\",\"firmwareRevision\":\"Parvex VA 1.03\",\"serialNumber\":"
              "12345,\"busLines\":3,\"busLinesText\":\"SCL high, SDA high\",\"clockHz\":333333,"
              "\"status\":0}\n");
    EXPECT_EQ(run(virtualArgs({"--quiet", "info"})).out, "");
}

TEST_F(Cli, LinesHeldLowAreReportedAndStopTheBusCommands) {
    struct Case {
        std::string lines;
        std::string warning;
        std::string state;
        std::string status;
    };
    const Case cases[] = {
        {"both-low", "SCL and SDA low.", "SCL low, SDA low", "I2C Time-out. SDA and SCL low."},
        {"sda-low", "SDA low.", "SCL high, SDA low", "I2C Time-out. SDA low."},
        {"scl-low", "SCL low.", "SCL low, SDA high", "I2C Time-out. SCL low."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        // The adapter itself answers: info works and tells what it found.
        const CliRun info = run(virtualArgs({"--virtual-lines", c.lines, "info"}));
        EXPECT_EQ(info.exit, 0);
        EXPECT_EQ(info.err, "parvex-cli: warning: " + c.warning +
                                " Ensure pull-ups are connected to SDA and SCL.\n");
        EXPECT_NE(info.out.find("Bus lines: " + c.state + "\n"), std::string::npos) << info.out;
        // The bus does not: the scan stops at its first address rather than draw an empty map.
        const CliRun scan = run(virtualArgs({"--virtual-lines", c.lines, "scan"}));
        EXPECT_EQ(scan.exit, 1);
        EXPECT_NE(scan.err.find("parvex-cli: scan stopped at 0x08: " + c.status + "\n"),
                  std::string::npos)
            << scan.err;
        EXPECT_EQ(scan.out, "");
    }
}

TEST_F(Cli, AdaptersAreListedAndChosenBySerialNumber) {
    const CliRun list = run({"--virtual-adapters", "2", "info", "--all"});
    EXPECT_EQ(list.exit, 0);
    EXPECT_EQ(list.out,
              "12345  virtual:0  Parvex VA 1.03\n"
              "12346  virtual:1  Parvex VA 1.03\n");

    const CliRun second = run({"--virtual-adapters", "2", "--serial", "12346", "info"});
    EXPECT_EQ(second.exit, 0);
    EXPECT_NE(second.out.find("Serial number: 12346\n"), std::string::npos) << second.out;

    const CliRun missing = run({"--virtual-adapters", "2", "--serial", "999", "info"});
    EXPECT_EQ(missing.exit, 1);
    EXPECT_EQ(missing.err, "parvex-cli: No Parvex adapter with serial number 999 found\n");
    EXPECT_EQ(missing.out, "");
}

TEST_F(Cli, TheChosenAdapterIsTheOneWrittenTo) {
    // Written through the second adapter, its register holds the value; the first's does not.
    const std::string state1 = (dir / "state1").string();
    EXPECT_EQ(run({"--virtual-adapters", "2", "--serial", "12346", "--virtual-state", state1,
                   "transfer", "w2@0x20", "0x05", "0x77"})
                  .exit,
              0);
    const CliRun back = run({"--virtual-adapters", "2", "--serial", "12346", "--virtual-state",
                             state1, "transfer", "w1@0x20", "0x05", "r1"});
    EXPECT_EQ(back.out, "0x77\n");
    const CliRun first = run({"--virtual-adapters", "2", "transfer", "w1@0x20", "0x05", "r1"});
    EXPECT_EQ(first.out, "0x00\n");
}

TEST_F(Cli, ScanPrintsTheMapThenEachAddressInBothForms) {
    const std::string expected =
        "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f\n"
        "00:                         -- -- -- -- -- -- -- --\n"
        "10: -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --\n"
        "20: 20 -- -- -- -- -- -- -- -- -- -- -- -- -- -- --\n"
        "30: -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --\n"
        "40: -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --\n"
        "50: 50 51 52 53 54 55 56 57 -- -- -- -- -- -- -- --\n"
        "60: -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --\n"
        "70: -- -- -- -- -- -- -- --\n"
        "0x20 / 40\n"
        "0x50 / A0  EEPROM block 0\n"
        "0x51 / A2  EEPROM block 1\n"
        "0x52 / A4  EEPROM block 2\n"
        "0x53 / A6  EEPROM block 3\n"
        "0x54 / A8  EEPROM block 4\n"
        "0x55 / AA  EEPROM block 5\n"
        "0x56 / AC  EEPROM block 6\n"
        "0x57 / AE  EEPROM block 7\n"
        "EEPROM blocks 0x50-0x57 (A0-AE): 8 x 256 bytes, as one 2048-byte EEPROM answers\n";
    for (const char* probe : {"", "--write-probe"}) {
        Args args = virtualArgs({"scan"});
        if (*probe) args.emplace_back(probe);
        const CliRun r = run(args);
        EXPECT_EQ(r.exit, 0) << probe;
        EXPECT_EQ(r.out, expected) << probe;
    }
}

TEST_F(Cli, ScanProbesEveryAddressOnceWithTheChosenProbe) {
    const std::string journal = (dir / "scan.csv").string();
    ASSERT_EQ(run(virtualArgs({"scan", "--journal", journal})).exit, 0);
    const std::string csv = slurp(journal);
    // Header and three arrival commands, then 0x08 to 0x77.
    EXPECT_EQ(countLines(csv), 4u + 0x70);
    EXPECT_NE(csv.find("\n0,transfer,10,06 05 00 01 00 10,2,address-nack,,0\n"), std::string::npos);
    EXPECT_NE(csv.find("\n0,transfer,A0,06 05 00 01 00 A0,0,ok,FF,0\n"), std::string::npos);
    ASSERT_EQ(run(virtualArgs({"scan", "--write-probe", "--journal", journal})).exit, 0);
    EXPECT_NE(slurp(journal).find("\n0,transfer,A0,06 05 00 00 00 A0,0,ok,,0\n"),
              std::string::npos);
}

TEST_F(Cli, TransferWritesThenReadsBackWithARepeatedStart) {
    const std::string state = (dir / "state").string();
    const CliRun w = run(virtualArgs(
        {"--virtual-state", state, "transfer", "w4@0x20", "0x10", "0x01", "0xA5", "255"}));
    EXPECT_EQ(w.exit, 0);
    EXPECT_EQ(w.out, "");
    const CliRun r = run(
        virtualArgs({"--virtual-state", state, "transfer", "w1@0x20", "0x10", "r3", "r1@0x20"}));
    EXPECT_EQ(r.exit, 0);
    // The lone read goes on from where the one before it left the register pointer.
    EXPECT_EQ(r.out, "0x01 0xa5 0xff\n0x00\n");
    const CliRun json = run(virtualArgs(
        {"--json", "--virtual-state", state, "transfer", "w1@0x20", "0x11", "r2@0x20"}));
    EXPECT_EQ(json.out,
              "{\"command\":\"transfer\",\"reads\":[[165,255]],\"status\":0,"
              "\"statusText\":\"Transmission successful\"}\n");
}

TEST_F(Cli, ATransferNobodyAnswersFailsWithTheStatusText) {
    const CliRun r = run(virtualArgs({"transfer", "r1@0x30", "r1@0x50"}));
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.err, "parvex-cli: transfer to 0x30 failed: Slave address nAcked\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(Cli, JournalHoldsEveryExchangeOfTheRun) {
    const std::string journal = (dir / "j.csv").string();
    const CliRun r = run(virtualArgs({"--journal", journal, "--clock", "400", "transfer", "w2@0x50",
                                      "0x00", "0x42", "r1@0x31"}));
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(slurp(journal),
              "time_us,command,address,bytes_out,status,class,bytes_in,duration_us\n"
              "0,firmware-revision,,02 06,0,ok,50 61 72 76 65 78 20 56 41 20 31 2E 30 33 20 20 "
              "20 20 20,0\n"
              "0,serial-number,,02 08,0,ok,39 30,0\n"
              "0,port-status,,02 07,0,ok,03 EE 00 EE 00,0\n"
              "0,set-clock,,0A 01 80 1A 06 00 01 00 00 00,0,ok,,0\n"
              "0,transfer,A0,08 05 02 00 00 A0 00 42,0,ok,,0\n"
              "0,transfer,62,06 05 00 01 00 62,2,address-nack,,0\n");
}

TEST_F(Cli, ALongRunKeepsTheJournalsNewestExchangesAndSaysSo) {
    spill(dir / "one.txt", "Expert Mode Data File\r\n40,Write,Yes,0,00\r\nSequence:01\r\n");
    const std::string journal = (dir / "j.csv").string();
    // 3 arrival exchanges and 66000 messages, against a journal of 65536 records.
    const CliRun r =
        run(virtualArgs({"--journal", journal, "expert", "run", "one.txt", "--repeat", "66000"}));
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.err,
              "parvex-cli: warning: the journal holds the last 65536 exchanges; 467 before them "
              "were dropped\n");
    const std::string csv = slurp(journal);
    EXPECT_EQ(countLines(csv), 65537u);
    // The arrival went first, so none of it is left.
    EXPECT_EQ(csv.find("firmware-revision"), std::string::npos);
}

TEST_F(Cli, AJournalThatCannotBeWrittenIsAFileError) {
    std::filesystem::create_directory(dir / "taken");
    const CliRun r = run(virtualArgs({"--journal", (dir / "taken").string(), "info"}));
    EXPECT_EQ(r.exit, 2);
    EXPECT_NE(r.err.find("Cannot write"), std::string::npos) << r.err;
}

// Every command with the adapter pulled during each of its exchanges in turn: it must end
// with the bus failure status and the text of the pull, and succeed once the pull comes
// after its last exchange.
TEST_F(Cli, EveryCommandFailsCleanlyWhenTheAdapterIsPulledAtAnyExchange) {
    spill(dir / "image.bin", std::string(128, '\x5A'));
    std::string def = "[Device Data]\r\nAddress=40\r\nMaxRegister=63\r\n";
    spill(dir / "dev.def", def);
    spill(dir / "msgs.txt",
          "Expert Mode Data File\r\n40,Write,Yes,0,00,5A\r\n41,Read,Yes,0,FF,FF\r\n"
          "Sequence:01,02\r\n");
    struct Case {
        Args args;
        unsigned exchanges;
        int exitWithoutPull;
    };
    const Case cases[] = {
        {{"info"}, 1, 0},
        {{"--clock", "200", "info"}, 2, 0},
        {{"scan"}, 0x70, 0},
        {{"eeprom", "write", "image.bin", "--size", "128", "--verify"}, 16 + 4, 0},
        {{"eeprom", "read", "out.bin", "--size", "256"}, 8, 0},
        // A fresh device is erased, so the image differs from it.
        {{"eeprom", "verify", "image.bin", "--size", "128"}, 4, 1},
        {{"device", "read", "dev.def"}, 2, 0},
        {{"device", "write", "dev.def"}, 2, 0},
        {{"expert", "run", "msgs.txt", "--repeat", "2"}, 4, 0},
        {{"transfer", "w1@0x50", "0", "r2", "r1@0x20"}, 2, 0},
    };
    for (const Case& c : cases) {
        for (unsigned at = 0; at <= c.exchanges; ++at) {
            Args args = virtualArgs({"--virtual-pull-at", std::to_string(at)});
            args.insert(args.end(), c.args.begin(), c.args.end());
            const CliRun r = run(args);
            SCOPED_TRACE(c.args[0] + " pulled at " + std::to_string(at));
            if (at < c.exchanges) {
                EXPECT_EQ(r.exit, 1) << r.err;
                EXPECT_NE(r.err.find("No Hardware Connected"), std::string::npos) << r.err;
                // Nothing half-read is saved.
                EXPECT_FALSE(std::filesystem::exists(dir / "out.bin"));
            } else {
                EXPECT_EQ(r.exit, c.exitWithoutPull) << r.err;
            }
            std::filesystem::remove(dir / "out.bin");
        }
    }
}

}  // namespace
}  // namespace parvex::test
