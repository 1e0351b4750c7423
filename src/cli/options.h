#pragma once
// The command line of parvex-cli: a command, its words and its options.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parvex::cli {

struct CommandLine {
    std::vector<std::string> words;             // the command, its subcommand and its operands
    std::map<std::string, std::string> values;  // options with a value, by name without "--"
    std::vector<std::string> flags;             // options without a value
    bool help = false;

    [[nodiscard]] bool flag(std::string_view name) const;
    [[nodiscard]] std::optional<std::string> value(const std::string& name) const;
};

struct ParsedLine {
    CommandLine line;
    std::optional<std::string> error;  // a usage error
};

// Options may stand anywhere after the program name, as "--name value" or "--name=value".
[[nodiscard]] ParsedLine parseCommandLine(const std::vector<std::string>& args);

// The options a command accepts besides the common ones; an empty optional for an unknown
// command. `command` is the first word ("eeprom", "scan", ...).
struct CommandOptions {
    std::vector<std::string_view> flags;
    std::vector<std::string_view> values;
};
[[nodiscard]] std::optional<CommandOptions> optionsOf(std::string_view command);

// The first option the command does not take, if any.
[[nodiscard]] std::optional<std::string> unknownOption(const CommandLine& line);

// Help texts: the program's, and each command's.
[[nodiscard]] std::string_view programHelp();
[[nodiscard]] std::optional<std::string_view> commandHelp(std::string_view command);

}  // namespace parvex::cli
