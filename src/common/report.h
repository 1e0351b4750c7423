#pragma once
// The 65-byte HID report every exchange with the adapter uses, its byte offsets,
// command codes and the status codes the program assigns itself.

#include <array>
#include <cstddef>
#include <cstdint>

namespace parvex {

inline constexpr std::size_t kReportSize = 65;
// Byte 0 is the report id (always 0), bytes 1 to 64 the report data.
inline constexpr std::size_t kReportDataSize = kReportSize - 1;

using TUSBI2CReport = std::array<std::uint8_t, kReportSize>;

// USB identifiers of the Parvex adapter (pid.codes test range).
inline constexpr std::uint16_t kAdapterVendorId = 0x1209;
inline constexpr std::uint16_t kAdapterProductId = 0x0007;

namespace report {
// Common head of an output report.
inline constexpr std::size_t kReportId = 0;
inline constexpr std::size_t kLength = 1;
inline constexpr std::size_t kCommand = 2;
// The length byte of a command without fields: the length byte and the command byte.
inline constexpr std::uint8_t kLengthNoFields = 2;
// The length byte of a cmdTransfer report: up to its last write byte.
constexpr std::uint8_t transferLength(std::uint8_t writeCount) {
    return static_cast<std::uint8_t>(6 + writeCount);
}
// Input report.
inline constexpr std::size_t kStatus = 2;
inline constexpr std::size_t kInData = 3;
// cmdTransfer fields.
inline constexpr std::size_t kWriteCount = 3;
inline constexpr std::size_t kReadCount = 4;
inline constexpr std::size_t kTransferReserved = 5;
inline constexpr std::size_t kAddress = 6;
inline constexpr std::size_t kWriteData = 7;
// cmdWriteMessage / cmdReadMessage fields.
inline constexpr std::size_t kMessageCount = 3;
inline constexpr std::size_t kMessageReserved = 4;
inline constexpr std::size_t kMessageOptions = 5;
inline constexpr std::size_t kMessageAddress = 6;
inline constexpr std::size_t kMessageData = 7;
// cmdSetClock fields.
inline constexpr std::size_t kClockHz = 3;    // 4 bytes, least significant first
inline constexpr std::size_t kClockFlag = 7;  // always 1
// Its length byte counts three zero bytes after the flag.
inline constexpr std::uint8_t kLengthSetClock = 10;
// cmdPortStatus answer.
inline constexpr std::size_t kLineState = 3;
inline constexpr std::size_t kFirstCount = 4;   // 2 bytes, least significant first
inline constexpr std::size_t kSecondCount = 6;  // 2 bytes, least significant first
// cmdFirmwareRev answer.
inline constexpr std::size_t kFirmwareRev = 3;
inline constexpr std::size_t kFirmwareRevLength = 19;
// cmdSerialNumber answer.
inline constexpr std::size_t kSerialNumber = 3;  // 2 bytes, least significant first

// Capacity of one report.
inline constexpr std::size_t kMaxWriteBytes = 58;  // bytes 7 to 64 of an output report
inline constexpr std::size_t kMaxReadBytes = 62;   // bytes 3 to 64 of an input report

// Bits of the message options byte.
inline constexpr std::uint8_t kOptionAlwaysSet0 = 0x01;
inline constexpr std::uint8_t kOptionStop = 0x02;
inline constexpr std::uint8_t kOptionCheckAck = 0x04;
inline constexpr std::uint8_t kOptionAlwaysSet3 = 0x08;

// Bus-line state bits of the port status answer (1 = high).
inline constexpr std::uint8_t kLineScl = 0x01;
inline constexpr std::uint8_t kLineSda = 0x02;
}  // namespace report

enum Command : std::uint8_t {
    cmdResetBus = 0,
    cmdSetClock = 1,
    cmdWriteMessage = 3,
    cmdReadMessage = 4,
    cmdTransfer = 5,
    cmdFirmwareRev = 6,
    cmdPortStatus = 7,
    cmdSerialNumber = 8,
};

namespace status {
inline constexpr std::uint8_t kSuccess = 0;
inline constexpr std::uint8_t kAddressNack = 2;
inline constexpr std::uint8_t kBothLinesLow = 16;
inline constexpr std::uint8_t kSdaLow = 17;
inline constexpr std::uint8_t kSclLow = 18;
inline constexpr std::uint8_t kInvalidRequest = 24;
inline constexpr std::uint8_t kPartialTransfer = 64;
inline constexpr std::uint8_t kVerifySuccessful = 65;
inline constexpr std::uint8_t kDataFileRejected = 72;
inline constexpr std::uint8_t kVerifyFailed = 153;
inline constexpr std::uint8_t kNoHardware = 170;
inline constexpr std::uint8_t kWriteAllFailed = 255;
}  // namespace status

}  // namespace parvex
