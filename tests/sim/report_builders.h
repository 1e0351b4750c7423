#pragma once
// Output reports as the host composes them, for tests that talk to the firmware directly.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "common/report.h"

namespace parvex::test {

inline TUSBI2CReport commandReport(std::uint8_t command) {
    TUSBI2CReport out{};
    out[report::kLength] = 2;
    out[report::kCommand] = command;
    return out;
}

inline TUSBI2CReport transferReport(std::uint8_t address, const std::vector<std::uint8_t>& write,
                                    std::uint8_t readCount) {
    TUSBI2CReport out{};
    out[report::kLength] = static_cast<std::uint8_t>(6 + write.size());
    out[report::kCommand] = cmdTransfer;
    out[report::kWriteCount] = static_cast<std::uint8_t>(write.size());
    out[report::kReadCount] = readCount;
    out[report::kAddress] = address;
    for (std::size_t i = 0; i < write.size() && report::kWriteData + i < kReportSize; ++i) {
        out[report::kWriteData + i] = write[i];
    }
    return out;
}

// cmdWriteMessage carries the data; cmdReadMessage only the count of bytes to read.
inline TUSBI2CReport messageReport(std::uint8_t command, std::uint8_t address, bool stop,
                                   bool checkAck, const std::vector<std::uint8_t>& data) {
    TUSBI2CReport out{};
    out[report::kLength] = static_cast<std::uint8_t>(6 + data.size());
    out[report::kCommand] = command;
    out[report::kMessageCount] = static_cast<std::uint8_t>(data.size());
    out[report::kMessageOptions] = static_cast<std::uint8_t>(
        report::kOptionAlwaysSet0 | report::kOptionAlwaysSet3 | (stop ? report::kOptionStop : 0) |
        (checkAck ? report::kOptionCheckAck : 0));
    out[report::kMessageAddress] =
        static_cast<std::uint8_t>(command == cmdReadMessage ? address | 1 : address & 0xFE);
    for (std::size_t i = 0; i < data.size() && report::kMessageData + i < kReportSize; ++i) {
        out[report::kMessageData + i] = data[i];
    }
    return out;
}

inline TUSBI2CReport clockReport(std::uint32_t hz) {
    TUSBI2CReport out = commandReport(cmdSetClock);
    out[report::kLength] = 10;
    for (std::size_t i = 0; i < 4; ++i) {
        out[report::kClockHz + i] = static_cast<std::uint8_t>(hz >> (8 * i));
    }
    out[report::kClockFlag] = 1;
    return out;
}

inline std::vector<std::uint8_t> inData(const TUSBI2CReport& in, std::size_t count) {
    return {in.begin() + report::kInData, in.begin() + report::kInData + count};
}

}  // namespace parvex::test
