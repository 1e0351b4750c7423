// Prints two figures of parvex-cli over the virtual adapter, each the median of several runs:
// - cli.eeprom_write_verify_2k.host_ms: `eeprom write --verify` of a 2048-byte image with
//   16-byte pages, run inside this process. The virtual adapter's waits (page write time, the
//   chip's write cycle) pass on its own clock, so only host work is timed.
// - cli.start.ms: wall time of a whole `info` run as a process, from fork to exit. It holds
//   the program's start, the adapter's arrival (its first exchange) and four exchanges, so it
//   bounds the time from start to the first exchange from above.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool runProcess(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::FILE* null = std::fopen("/dev/null", "w");
        if (null) {
            dup2(fileno(null), 1);
            dup2(fileno(null), 2);
        }
        std::vector<char*> argv;
        std::vector<std::string> copies(args);
        for (auto& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

}  // namespace

int main() {
    const std::filesystem::path image = std::filesystem::temp_directory_path() /
                                        ("parvex-cli-bench-" + std::to_string(getpid()) + ".bin");
    {
        std::ofstream out(image, std::ios::binary);
        for (int i = 0; i < 2048; ++i) out.put(static_cast<char>(i * 13 + 5));
    }
    std::FILE* null = std::fopen("/dev/null", "w");
    if (!null) return 1;
    std::vector<double> writeVerify;
    for (int run = 0; run < 9; ++run) {
        const auto start = Clock::now();
        const int exit =
            parvex::cli::runCli({"--virtual-adapter", "eeprom", "write", image.string(), "--size",
                                 "2048", "--page", "16", "--verify"},
                                null, null);
        writeVerify.push_back(msSince(start));
        if (exit != 0) {
            std::fprintf(stderr, "eeprom write --verify failed (%d)\n", exit);
            return 1;
        }
    }
    std::vector<double> starts;
    for (int run = 0; run < 15; ++run) {
        const auto start = Clock::now();
        if (!runProcess({PARVEX_CLI, "--virtual-adapter", "info"})) {
            std::fprintf(stderr, "info failed\n");
            return 1;
        }
        starts.push_back(msSince(start));
    }
    std::fclose(null);
    std::filesystem::remove(image);
    std::printf("cli.eeprom_write_verify_2k.host_ms %.2f ms\n", median(writeVerify));
    std::printf("cli.start.ms %.2f ms\n", median(starts));
    return 0;
}
