#include "cli/options.h"

#include <algorithm>
#include <array>

namespace parvex::cli {

namespace {

constexpr std::array<std::string_view, 6> kCommonFlags{
    "virtual-adapter", "quiet", "json", "help", "h", "version"};
constexpr std::array<std::string_view, 7> kCommonValues{
    "clock",           "journal",      "serial", "virtual-state", "virtual-adapters",
    "virtual-pull-at", "virtual-lines"};

template <typename List>
bool contains(const List& list, std::string_view name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

// Options that take a value, whatever the command: a value must never be taken for a word.
bool takesValue(std::string_view name) {
    static constexpr std::array<std::string_view, 8> kCommandValues{
        "size", "address", "page", "write-time", "format", "export", "repeat", "journal"};
    return contains(kCommonValues, name) || contains(kCommandValues, name);
}

}  // namespace

bool CommandLine::flag(std::string_view name) const {
    return contains(flags, name);
}

std::optional<std::string> CommandLine::value(const std::string& name) const {
    const auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

ParsedLine parseCommandLine(const std::vector<std::string>& args) {
    ParsedLine parsed;
    CommandLine& line = parsed.line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-' || (arg[1] != '-' && arg != "-h")) {
            line.words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg == "-h" ? std::string("help") : arg.substr(2);
        std::optional<std::string> value;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        if (name == "help") {
            line.help = true;
            continue;
        }
        if (takesValue(name)) {
            if (!value) {
                if (i + 1 >= args.size()) {
                    parsed.error = "option --" + name + " needs a value";
                    return parsed;
                }
                value = args[++i];
            }
            line.values[name] = *value;
        } else {
            if (value) {
                parsed.error = "option --" + name + " takes no value";
                return parsed;
            }
            line.flags.push_back(name);
        }
    }
    return parsed;
}

std::optional<CommandOptions> optionsOf(std::string_view command) {
    if (command == "info") return CommandOptions{{"all"}, {}};
    if (command == "scan") return CommandOptions{{"write-probe"}, {}};
    if (command == "eeprom") {
        return CommandOptions{{"verify"}, {"size", "address", "page", "write-time", "format"}};
    }
    if (command == "device") return CommandOptions{{}, {"export"}};
    if (command == "expert") return CommandOptions{{"all", "sequence", "ignore-ack"}, {"repeat"}};
    if (command == "transfer") return CommandOptions{{}, {}};
    return std::nullopt;
}

std::optional<std::string> unknownOption(const CommandLine& line) {
    const std::optional<CommandOptions> own =
        line.words.empty() ? CommandOptions{} : optionsOf(line.words.front());
    if (!own) return std::nullopt;
    for (const std::string& f : line.flags) {
        if (!contains(kCommonFlags, f) && !contains(own->flags, f)) return "--" + f;
    }
    for (const auto& [name, value] : line.values) {
        if (!contains(kCommonValues, name) && !contains(own->values, name)) return "--" + name;
    }
    return std::nullopt;
}

std::string_view programHelp() {
    return R"(Usage: parvex-cli [options] COMMAND [arguments]
Drives the Parvex USB I2C adapter without a window.

Commands:
  info [--all]                 adapter identity, bus lines and clock; --all lists adapters
  scan [--write-probe]         probe addresses 0x08 to 0x77 and print the address map
  eeprom read|write|verify FILE --size BYTES [--address A0] [--page N] [--write-time MS]
                               [--format hex|bin] [--verify]
  device read|write FILE.def [--export FILE.txt]
  expert run FILE [--all | --sequence | --repeat N] [--ignore-ack]
  transfer MESSAGE...          messages such as w3@0x50 0x00 0x10 0xff r2@0x50

Common options:
  --clock KHZ          set the I2C clock (1 to 2000 kHz) before the command
  --serial S           use the adapter with serial number S (see info --all)
  --virtual-adapter    use a built-in virtual adapter instead of a real one
  --virtual-adapters N the virtual bench presents N adapters (serials 12345 onward)
  --virtual-state FILE keep the virtual adapter's EEPROM and registers in FILE between runs
  --journal FILE.csv   write every exchange with the adapter to FILE.csv
  --quiet              print nothing but errors
  --json               print the result as one JSON object
  --help               this text; COMMAND --help for a command's

Exit status: 0 success, 1 bus or verify failure, 2 usage or file error.
)";
}

std::optional<std::string_view> commandHelp(std::string_view command) {
    if (command == "info") {
        return R"(Usage: parvex-cli info [--all]
Prints the adapter's firmware revision, serial number, bus-line state and I2C clock.
  --all   list every adapter present with its serial number and firmware revision
)";
    }
    if (command == "scan") {
        return R"(Usage: parvex-cli scan [--write-probe]
Probes the 7-bit addresses 0x08 to 0x77 with a one-byte read and prints a 16 x 8 map,
then each address found as 7-bit (0x50) and 8-bit bus address (A0).
  --write-probe   probe with a write of no data instead (quicker; some chips dislike it)
)";
    }
    if (command == "eeprom") {
        return R"(Usage: parvex-cli eeprom read|write|verify FILE --size BYTES [options]
  read     reads the EEPROM into FILE
  write    programs FILE into the EEPROM
  verify   compares the EEPROM with FILE and lists every difference
FILE is Intel HEX (.hex) or binary (.bin); --format hex|bin decides for other names.
  --size BYTES       16, 128, 256, 512, 1024 or 2048
  --address A0       bus address byte (8-bit form, as the editor shows it); default A0
  --page N           page size for write: 1, 8, 16 or 32; default 8
  --write-time MS    wait after each page, 0 to 100 ms; default 10
  --verify           write only: verify after writing
)";
    }
    if (command == "device") {
        return R"(Usage: parvex-cli device read|write FILE.def [--export FILE.txt]
  read    reads every register of the device into FILE.def's register data and saves it
  write   writes every register of FILE.def to the device
  --export FILE.txt   also write the register text export
)";
    }
    if (command == "expert") {
        return R"(Usage: parvex-cli expert run FILE [--all | --sequence | --repeat N]
Sends the messages of an expert mode data file and prints the bytes each read returned.
  --all          every message with data, in table order (the default)
  --sequence     the file's sequence once
  --repeat N     the file's sequence N times
  --ignore-ack   send the messages without checking the acknowledge
)";
    }
    if (command == "transfer") {
        return R"(Usage: parvex-cli transfer MESSAGE...
Each message is {r|w}LENGTH[@ADDRESS], a write followed by its LENGTH data bytes, with
7-bit addresses: w3@0x50 0x00 0x10 0xff r2@0x50. A message without an address goes to
the address before it. A write followed by a read of the same address is one transfer with
a repeated start; every other message is a transfer of its own. Writes carry at most 58
bytes, reads 1 to 62. Each read's bytes are printed on a line of their own.
)";
    }
    return std::nullopt;
}

}  // namespace parvex::cli
