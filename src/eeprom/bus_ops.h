#pragma once
// Read Byte, Read All, Write Byte, Write All and Verify over the transfer operations, and the
// plans of reads and page writes they follow. None of them shows anything: the window turns
// the outcomes into status texts and boxes (callbacks let it repaint between exchanges).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "adapter/transfers.h"
#include "eeprom/image.h"

namespace parvex::eeprom {

// One read of Read All / Verify: I2CReadArray(deviceAddress, wordAddress, count).
struct ReadStep {
    std::uint8_t deviceAddress;
    std::uint8_t wordAddress;
    int firstByte;  // byte address of the first byte read
    int count;      // 16 for the 16-byte device, 32 otherwise
    bool operator==(const ReadStep& o) const {
        return deviceAddress == o.deviceAddress && wordAddress == o.wordAddress &&
               firstByte == o.firstByte && count == o.count;
    }
};

// One page of Write All: I2CWriteArray(deviceAddress, wordAddress, numBytes, image + firstByte).
struct PageWrite {
    std::uint8_t deviceAddress;
    std::uint8_t wordAddress;
    std::uint16_t numBytes;  // page size + 1: the word address byte counts
    int firstByte;           // byte address of the page's first byte
    bool operator==(const PageWrite& o) const {
        return deviceAddress == o.deviceAddress && wordAddress == o.wordAddress &&
               numBytes == o.numBytes && firstByte == o.firstByte;
    }
};

// Reads of a device of sizeBytes at selectedAddress (bit 0 is ignored). Empty for a size
// that is not one of the six.
[[nodiscard]] std::vector<ReadStep> readPlan(int sizeBytes, std::uint8_t selectedAddress);
// Page writes, block by block; empty when the page size does not fit the device (16 bytes
// with page 32) or the size is not one of the six.
[[nodiscard]] std::vector<PageWrite> pageWritePlan(int sizeBytes, std::uint8_t selectedAddress,
                                                   int pageSize);

// ---- Runners ----------------------------------------------------------------------------

// Called after each read with its step and status byte (the window repaints there).
using ReadObserver = std::function<void(const ReadStep& step, std::uint8_t status)>;
// Called after each successful page write with the pages written so far and
// pages * 100 / total, before the write time is waited.
using PageObserver = std::function<void(int pagesWritten, int percent)>;

// Read Byte: one I2CReadByte; on status 0 the cells of address take the byte read. Returns
// the status byte (the window shows its text).
std::uint8_t readByte(adapter::Transfers& bus, Image& image, std::uint8_t selectedAddress,
                      int address);

// Read All: every read of the plan in order; a successful read shows its bytes, a failed
// one changes no cell, marks its cells failed, and the next read follows. Returns the status
// of the first failed read, or 0 when every read succeeded.
std::uint8_t readAll(adapter::Transfers& bus, Image& image, std::uint8_t selectedAddress,
                     const ReadObserver& afterRead = {});

struct WriteByteOutcome {
    bool sent = false;                 // false: the cell is not hexadecimal, nothing was sent
    std::uint8_t status = 0;           // the transfer's status when sent
    std::optional<std::string> error;  // conversion message when not sent
};
// Write Byte: I2CWriteByte with the low 8 bits of the cell of address.
// A byte written takes its cell's failure mark off.
WriteByteOutcome writeByte(adapter::Transfers& bus, Image& image, std::uint8_t selectedAddress,
                           int address);

struct WriteAllOutcome {
    // 0 when every page was written (also when the plan is empty), 255 when a page failed
    // or nothing could be sent.
    std::uint8_t status = 0;
    int pagesWritten = 0;
    int pagesTotal = 0;
    // A cell that is not hexadecimal: the conversion message; nothing was sent and the
    // window shows the message instead of a status text.
    std::optional<std::string> error;
};
// Write All: the image converted up front, then one I2CWriteArray per page of the plan,
// the progress observer and a sleep of writeTimeMs (timing::sleepMs) after every page that
// succeeded, the last one included. Stops at the first page whose result is not 0.
// Pages written take their cells' failure marks off.
WriteAllOutcome writeAll(adapter::Transfers& bus, Image& image, std::uint8_t selectedAddress,
                         int pageSize, std::uint32_t writeTimeMs,
                         const PageObserver& afterPage = {});

struct VerifyOutcome {
    // 0 when every read succeeded and every byte matched; the failed read's status; or 153
    // (status::kVerifyFailed) at the first difference or when the image cannot be read.
    std::uint8_t status = 0;
    std::optional<int> mismatchAddress;  // set with 153 at a difference
    std::optional<std::string> error;    // a hex cell that is not hexadecimal; nothing read
};
// Verify: reads like Read All and compares with the hex cells; stops at the first failed
// read or difference. The image is converted before anything is read.
VerifyOutcome verify(adapter::Transfers& bus, const Image& image, std::uint8_t selectedAddress,
                     const ReadObserver& afterRead = {});

// "Device failed Verify at Address 0x" + address in upper-case hex, at least two digits.
[[nodiscard]] std::string verifyFailedMessage(int address);

// The status panel's text while Verify runs.
inline constexpr std::string_view kVerifyingStatus =
    "<FONT color=\"clWhite\"> Verifying ... please wait</FONT>";

}  // namespace parvex::eeprom
