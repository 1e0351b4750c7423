// parvex-cli: the adapter's EEPROM, register device and expert mode files from a shell.
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char* argv[]) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return parvex::cli::runCli(args);
}
