#pragma once
// parvex-cli as a function, so that it can be run inside a test as well as by main().

#include <cstdio>
#include <string>
#include <vector>

namespace parvex::cli {

// args: the arguments after the program name. Returns the exit status.
int runCli(const std::vector<std::string>& args, std::FILE* out = stdout, std::FILE* err = stderr);

}  // namespace parvex::cli
