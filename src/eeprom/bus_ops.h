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

// ---- Write-completion polling -----------------------------------------------------------

// The probe that asks whether a chip has finished its write cycle: a write message to
// deviceAddress with no data bytes, acknowledge checked, ended by a stop. A chip inside its
// write cycle does not acknowledge its address.
[[nodiscard]] TUSBI2CReport writeProbeReport(std::uint8_t deviceAddress);

struct PollResult {
    bool acknowledged = false;
    // The status of the last probe: 0, 2 (still busy) or what stopped the polling.
    std::uint8_t status = 0;
    // From the return of the write to the return of the last probe, in the clock in force.
    std::uint64_t elapsedUs = 0;
    // Acknowledged only at or after the write time: the write time is all the chip gets.
    [[nodiscard]] bool tookWholeWriteTime(std::uint32_t writeTimeMs) const {
        return acknowledged && elapsedUs >= std::uint64_t{writeTimeMs} * 1000;
    }
};
// Probes deviceAddress until it is acknowledged, for at most writeTimeMs after the call: one
// probe at once, then one per exchange (at least 1 ms apart), the last one at or after the
// write time. Any answer other than "not acknowledged" (the adapter gone, a bus fault) ends
// the polling at once.
PollResult pollWriteCompletion(adapter::Transfers& bus, std::uint8_t deviceAddress,
                               std::uint32_t writeTimeMs);

struct WriteByteOutcome {
    bool sent = false;                 // false: the cell is not hexadecimal, nothing was sent
    std::uint8_t status = 0;           // the transfer's status when sent
    std::optional<std::string> error;  // conversion message when not sent
    std::optional<PollResult> poll;    // when polling was asked for and the write succeeded
};
// Write Byte: I2CWriteByte with the low 8 bits of the cell of address; with pollWithinMs,
// then polls the chip for at most that long. A byte written takes its cell's marks off.
WriteByteOutcome writeByte(adapter::Transfers& bus, Image& image, std::uint8_t selectedAddress,
                           int address, std::optional<std::uint32_t> pollWithinMs = {});

struct WriteOptions {
    std::uint32_t writeTimeMs = 10;
    // After each page, poll the chip until it acknowledges (at most the write time) instead
    // of waiting the whole write time.
    bool pollCompletion = false;
    // Read the chip first and write only the pages that differ from the image.
    bool onlyChanged = false;
};

struct WriteAllOutcome {
    // 0 when every page was written (also when the plan is empty), 255 when a page failed,
    // a polled chip did not come back within the write time, or nothing could be sent.
    std::uint8_t status = 0;
    int pagesWritten = 0;
    int pagesTotal = 0;    // pages of the plan
    int pagesToWrite = 0;  // pages that differed (all of them unless onlyChanged)
    // A cell that is not hexadecimal: the conversion message; nothing was sent and the
    // window shows the message instead of a status text.
    std::optional<std::string> error;
    WriteOptions options;
    // With polling: how long each page written kept the chip busy, in page order, and the
    // first byte addresses of the pages acknowledged only at the write time.
    std::vector<std::uint64_t> cycleUs;
    std::vector<int> pagesAtLimit;
    // With polling, the page whose chip was still busy when the write time had passed.
    std::optional<int> busyPage;
};
// Write All: the image converted up front, then one I2CWriteArray per page of the plan,
// the progress observer and a sleep of writeTimeMs (timing::sleepMs) after every page that
// succeeded, the last one included. Stops at the first page whose result is not 0.
// Pages written take their cells' failure marks off.
WriteAllOutcome writeAll(adapter::Transfers& bus, Image& image, std::uint8_t selectedAddress,
                         int pageSize, std::uint32_t writeTimeMs,
                         const PageObserver& afterPage = {});
// The same with the options: polling replaces the sleep after each page; onlyChanged reads
// the whole chip first (a read that fails leaves its pages to be written) and writes only the
// pages that differ, the progress counting those. Pages found equal lose their marks too.
WriteAllOutcome writeAll(adapter::Transfers& bus, Image& image, std::uint8_t selectedAddress,
                         int pageSize, const WriteOptions& options,
                         const PageObserver& afterPage = {});

// The shortest, median (the lower of the two middle ones) and longest of the cycles.
struct CycleSummary {
    std::uint64_t shortestUs = 0;
    std::uint64_t medianUs = 0;
    std::uint64_t longestUs = 0;
};
[[nodiscard]] std::optional<CycleSummary> summariseCycles(std::vector<std::uint64_t> cycleUs);

// One line on what a Write All did beyond its status: the pages written when only changed
// ones were, the measured write cycle when polled, the pages that took the whole write time,
// or the page whose chip stayed busy, short enough for the spare status panel. Empty when
// there is nothing to add. `warning` is set when the line tells of something the user should
// look at.
struct WriteSummary {
    std::string text;    // most important first
    std::string detail;  // the same in whole sentences, for a hint; empty when text says it all
    bool warning = false;
};
[[nodiscard]] WriteSummary writeSummary(const WriteAllOutcome& outcome);
// The same for a polled Write Byte.
[[nodiscard]] WriteSummary writeByteSummary(const WriteByteOutcome& outcome,
                                            std::uint32_t writeTimeMs);

struct VerifyOutcome {
    // 0 when every read succeeded and every byte matched; the failed read's status; or 153
    // (status::kVerifyFailed) at the first difference or when the image cannot be read.
    std::uint8_t status = 0;
    std::optional<int> mismatchAddress;  // the first difference, set with 153
    std::optional<std::string> error;    // a hex cell that is not hexadecimal; nothing read
    // Every differing byte address, in order, of the reads that succeeded.
    std::vector<int> differences;
};
// Verify: reads like Read All and compares with the hex cells. A difference does not stop
// the reading, so every difference is found; the result is still the first one's. A failed
// read stops it (with the read's status unless a difference came first). The image is
// converted before anything is read.
VerifyOutcome verify(adapter::Transfers& bus, const Image& image, std::uint8_t selectedAddress,
                     const ReadObserver& afterRead = {});

// "1 byte differs" / "n bytes differ".
[[nodiscard]] std::string differenceCountText(std::size_t count);

// After a complete read: the smallest span the image repeats itself with when its second half
// repeats its first (a smaller chip read as a larger one, or block bits the chip ignores).
// Nothing for an image whose first half is one byte over and over (an erased or filled chip
// says nothing about its size), or one of 16 bytes.
[[nodiscard]] std::optional<int> mirrorSpan(const std::vector<std::uint8_t>& bytes);
[[nodiscard]] std::string mirrorWarning(int span);
// What the warning means, for a hint.
[[nodiscard]] std::string mirrorDetail(int span);

// "Device failed Verify at Address 0x" + address in upper-case hex, at least two digits.
[[nodiscard]] std::string verifyFailedMessage(int address);

// The status panel's text while Verify runs.
inline constexpr std::string_view kVerifyingStatus =
    "<FONT color=\"clWhite\"> Verifying ... please wait</FONT>";

}  // namespace parvex::eeprom
