#pragma once
// Messages written as the i2c tools write them ("w3@0x50 0x00 0x10 0xff r2@0x50"), grouped
// into the adapter's transfers: a write and a read of the same address that follows it
// share one transfer (with a repeated start); every other message is a transfer of its own.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/report.h"

namespace parvex::cli {

struct BusTransfer {
    std::uint8_t address7 = 0;  // 7-bit address
    std::vector<std::uint8_t> write;
    int readCount = 0;
    bool hasWrite = false;  // a write message, possibly of no bytes (a quick write)

    // The cmdTransfer output report of this transfer.
    [[nodiscard]] TUSBI2CReport report() const;
};

struct ParsedTransfers {
    std::vector<BusTransfer> transfers;
    std::optional<std::string> error;
};

[[nodiscard]] ParsedTransfers parseTransferMessages(const std::vector<std::string>& args);

// A number as C writes it: 0x1F, 31, 037.
[[nodiscard]] std::optional<unsigned long> parseCNumber(const std::string& text, unsigned long max);

}  // namespace parvex::cli
