#pragma once
// The commands of parvex-cli. Each returns the process's exit status.

#include "cli/adapter_session.h"
#include "cli/options.h"
#include "cli/output.h"

namespace parvex::cli {

struct Context {
    const CommandLine& line;
    Console& console;
    Session& session;
};

int runInfo(Context& c);
int runScan(Context& c);
int runEeprom(Context& c);
int runDevice(Context& c);
int runExpert(Context& c);
int runTransfer(Context& c);

// The usage error of a command's words and options, found before any adapter is sought.
std::optional<std::string> checkEeprom(const CommandLine& line);
std::optional<std::string> checkDevice(const CommandLine& line);
std::optional<std::string> checkExpert(const CommandLine& line);
std::optional<std::string> checkTransfer(const CommandLine& line);

// `info --all`: needs the backend only, no claimed adapter.
int runInfoAll(const CommandLine& line, Console& console, Session& session);

// Ends a command on a bus failure: the text on stderr, the status in the JSON result.
int busFailure(Context& c, JsonObject& result, const std::string& what, std::uint8_t status);

}  // namespace parvex::cli
