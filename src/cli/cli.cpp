#include "cli/cli.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "cli/commands.h"
#include "common/file_io.h"
#include "common/wait.h"

#ifndef PARVEX_VERSION
#define PARVEX_VERSION "unknown"
#endif

namespace parvex::cli {

namespace {

// Entries of the journal: far more than any one command makes.
constexpr std::size_t kJournalCapacity = 1u << 16;
constexpr int kMaxVirtualAdapters = 8;

std::optional<long> number(const std::string& text, long min, long max) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const long value = std::stol(text);
    if (value < min || value > max) return std::nullopt;
    return value;
}

using Runner = int (*)(Context&);

Runner runnerOf(const std::string& command) {
    if (command == "info") return runInfo;
    if (command == "scan") return runScan;
    if (command == "eeprom") return runEeprom;
    if (command == "device") return runDevice;
    if (command == "expert") return runExpert;
    if (command == "transfer") return runTransfer;
    return nullptr;
}

std::optional<std::string> commandUsage(const CommandLine& line) {
    const std::string& command = line.words.front();
    if (command == "eeprom") return checkEeprom(line);
    if (command == "device") return checkDevice(line);
    if (command == "expert") return checkExpert(line);
    if (command == "transfer") return checkTransfer(line);
    if (line.words.size() > 1) return command + " takes no arguments";
    return std::nullopt;
}

// The session options of the common options; a usage error as text.
std::optional<std::string> sessionOptions(const CommandLine& line, SessionOptions& s) {
    s.virtualAdapter = line.flag("virtual-adapter");
    if (const auto v = line.value("serial")) {
        const auto n = number(*v, 0, 65535);
        if (!n) return "--serial must be a number from 0 to 65535";
        s.serial = static_cast<std::uint16_t>(*n);
    }
    if (const auto v = line.value("virtual-adapters")) {
        const auto n = number(*v, 1, kMaxVirtualAdapters);
        if (!n) return "--virtual-adapters must be 1 to 8";
        s.virtualCount = static_cast<int>(*n);
        s.virtualAdapter = true;
    }
    if (const auto v = line.value("virtual-pull-at")) {
        const auto n = number(*v, 0, 1000000);
        if (!n) return "--virtual-pull-at must be an exchange number";
        s.virtualPullAt = static_cast<unsigned>(*n);
    }
    if (const auto v = line.value("virtual-lines")) {
        // Named as the port status reports them.
        const std::pair<const char*, std::uint8_t> names[] = {
            {"idle", 3}, {"both-low", 0}, {"sda-low", 1}, {"scl-low", 2}};
        const auto* it = std::find_if(std::begin(names), std::end(names),
                                      [&](const auto& n) { return *v == n.first; });
        if (it == std::end(names))
            return "--virtual-lines must be idle, both-low, sda-low or scl-low";
        s.virtualLines = it->second;
    }
    s.virtualState = line.value("virtual-state");
    if ((s.virtualState || s.virtualPullAt || line.value("virtual-lines")) && !s.virtualAdapter) {
        return "--virtual-state, --virtual-pull-at and --virtual-lines go with --virtual-adapter";
    }
    if (line.value("journal")) s.journalCapacity = kJournalCapacity;
    return std::nullopt;
}

// Runs the command on a claimed adapter (or lists adapters) and settles the exit status.
int runOnAdapter(const CommandLine& line, Console& console, const SessionOptions& options) {
    const bool listing = line.words.front() == "info" && line.flag("all");
    Session::Opened opened = Session::open(options, !listing);
    if (!opened.session) {
        console.error(opened.error);
        return opened.exitCode;
    }
    Session& session = *opened.session;
    int exit = kExitOk;
    if (listing) {
        exit = runInfoAll(line, console, session);
    } else {
        for (const std::string& m : session.observer().busLineMessages) console.warning(m);
        Context c{line, console, session};
        if (const auto khz = line.value("clock")) {
            const std::uint8_t status =
                session.link().HID_UpdateClock(static_cast<std::uint32_t>(std::stol(*khz)), true);
            if (status != status::kSuccess) {
                JsonObject result;
                result.text("command", line.words.front());
                exit = busFailure(c, result, "clock change failed", status);
            }
        }
        if (exit == kExitOk) exit = runnerOf(line.words.front())(c);
    }
    if (auto error = session.saveVirtualState()) {
        console.error(*error);
        if (exit == kExitOk) exit = kExitUsage;
    }
    if (const auto path = line.value("journal"); path && session.journal()) {
        const auto records = session.journal()->records();
        if (const auto dropped = session.journal()->dropped()) {
            console.warning("the journal holds the last " + std::to_string(records.size()) +
                            " exchanges; " + std::to_string(dropped) + " before them were dropped");
        }
        if (auto error = files::saveFileReplacing(*path, adapter::journalCsv(records))) {
            console.error(*error);
            if (exit == kExitOk) exit = kExitUsage;
        }
    }
    return exit;
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    const ParsedLine parsed = parseCommandLine(args);
    const CommandLine& line = parsed.line;
    Console console(line.flag("quiet"), line.flag("json"), out, err);
    auto usage = [&](const std::string& text) {
        console.error(text);
        std::fputs("Try 'parvex-cli --help'.\n", err);
        return kExitUsage;
    };
    if (parsed.error) return usage(*parsed.error);
    if (line.flag("version")) {
        std::fprintf(out, "parvex-cli %s\n", PARVEX_VERSION);
        return kExitOk;
    }
    if (line.words.empty()) {
        std::fputs(programHelp().data(), line.help ? out : err);
        return line.help ? kExitOk : kExitUsage;
    }
    const std::string& command = line.words.front();
    if (!runnerOf(command)) return usage("unknown command '" + command + "'");
    if (line.help) {
        std::fputs(commandHelp(command)->data(), out);
        return kExitOk;
    }
    if (const auto option = unknownOption(line)) {
        return usage(command + " takes no option " + *option);
    }
    if (const auto khz = line.value("clock"); khz && !number(*khz, 1, 2000)) {
        return usage("--clock must be 1 to 2000 (kHz)");
    }
    SessionOptions options;
    if (auto error = sessionOptions(line, options)) return usage(*error);
    if (auto error = commandUsage(line)) return usage(*error);

    // A virtual adapter's waits (page write times, chip write cycles, message delays) need
    // no real time: they pass on a clock of their own.
    timing::FakeClock virtualTime;
    std::unique_ptr<timing::ScopedClock> scoped;
    if (options.virtualAdapter) scoped = std::make_unique<timing::ScopedClock>(virtualTime);
    return runOnAdapter(line, console, options);
}

}  // namespace parvex::cli
