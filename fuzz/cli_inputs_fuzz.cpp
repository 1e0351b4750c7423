// libFuzzer target for what parvex-cli reads from outside: the virtual adapter's state file,
// i2c-style transfer messages and the command line itself.
// Built with -DPARVEX_FUZZ=ON and run by scripts/fuzz.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/options.h"
#include "cli/transfer_messages.h"
#include "cli/virtual_state.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

std::vector<std::string> words(std::string_view text) {
    std::vector<std::string> out;
    std::string word;
    for (const char c : text) {
        if (c == ' ' || c == '\n') {
            if (!word.empty()) out.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) out.push_back(word);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    using namespace parvex::cli;
    switch (data[0] % 3) {
        case 0: {
            const VirtualStateRead read = parseVirtualState(input);
            if (read.state) {
                check(read.state->eeprom.size() == kStateEepromBytes);
                check(read.state->registers.size() == kStateRegisterBytes);
                check(writeVirtualState(*read.state) == input);
            }
            break;
        }
        case 1: {
            const ParsedTransfers parsed = parseTransferMessages(words(input));
            if (!parsed.error) {
                for (const BusTransfer& t : parsed.transfers) {
                    check(t.address7 <= 0x7F);
                    check(t.write.size() <= 58);
                    check(t.readCount >= 0 && t.readCount <= 62);
                    const auto report = t.report();
                    check(report[3] == t.write.size() && report[4] == t.readCount);
                }
            }
            break;
        }
        default: {
            const ParsedLine parsed = parseCommandLine(words(input));
            if (!parsed.error && !parsed.line.words.empty()) {
                (void)unknownOption(parsed.line);
                (void)commandHelp(parsed.line.words.front());
            }
            break;
        }
    }
    return 0;
}
