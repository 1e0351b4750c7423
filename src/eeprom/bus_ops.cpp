#include "eeprom/bus_ops.h"

#include <algorithm>
#include <cstdio>

#include "common/report.h"
#include "common/wait.h"
#include "eeprom/geometry.h"
#include "eeprom/hex_text.h"

namespace parvex::eeprom {

std::vector<ReadStep> readPlan(int sizeBytes, std::uint8_t selectedAddress) {
    std::vector<ReadStep> plan;
    const Geometry* g = geometryForSize(sizeBytes);
    if (g == nullptr) return plan;
    plan.reserve(static_cast<std::size_t>(g->reads));
    for (int k = 0; k < g->reads; ++k) {
        const int a = k * g->bytesPerRead;
        plan.push_back({deviceAddressByte(selectedAddress, a), wordAddress(a), a, g->bytesPerRead});
    }
    return plan;
}

std::vector<PageWrite> pageWritePlan(int sizeBytes, std::uint8_t selectedAddress, int pageSize) {
    std::vector<PageWrite> plan;
    const Geometry* g = geometryForSize(sizeBytes);
    if (g == nullptr) return plan;
    const int pages = g->pagesPerBlock(pageSize);
    plan.reserve(static_cast<std::size_t>(g->blocks * pages));
    for (int j = 0; j < g->blocks; ++j) {
        for (int e = 0; e < pages; ++e) {
            const int first = j * kBlockBytes + e * pageSize;
            plan.push_back({deviceAddressByte(selectedAddress, first), wordAddress(first),
                            static_cast<std::uint16_t>(pageSize + 1), first});
        }
    }
    return plan;
}

std::uint8_t readByte(adapter::Transfers& bus, Image& image, std::uint8_t selectedAddress,
                      int address) {
    TUSBI2CReport reply{};
    bus.I2CReadByte(deviceAddressByte(selectedAddress, address), wordAddress(address), reply);
    const std::uint8_t status = reply[report::kStatus];
    if (status == status::kSuccess) image.setByte(address, reply[report::kInData]);
    return status;
}

std::uint8_t readAll(adapter::Transfers& bus, Image& image, std::uint8_t selectedAddress,
                     const ReadObserver& afterRead) {
    std::optional<std::uint8_t> firstFailure;
    for (const ReadStep& step : readPlan(image.size(), selectedAddress)) {
        TUSBI2CReport reply{};
        bus.I2CReadArray(step.deviceAddress, step.wordAddress, step.count, reply);
        const std::uint8_t status = reply[report::kStatus];
        if (status == status::kSuccess) {
            image.setBytes(step.firstByte, reply.data() + report::kInData, step.count);
        } else {
            // The run goes on, but the cells left as they were must not pass for the chip's.
            image.markFailed(step.firstByte, step.count);
            if (!firstFailure) firstFailure = status;
        }
        if (afterRead) afterRead(step, status);
    }
    return firstFailure.value_or(status::kSuccess);
}

TUSBI2CReport writeProbeReport(std::uint8_t deviceAddress) {
    TUSBI2CReport out{};
    out[report::kLength] = 6;  // n + 6 with no data bytes
    out[report::kCommand] = cmdWriteMessage;
    out[report::kMessageCount] = 0;
    out[report::kMessageOptions] = report::kOptionAlwaysSet0 | report::kOptionStop |
                                   report::kOptionCheckAck | report::kOptionAlwaysSet3;
    out[report::kMessageAddress] = static_cast<std::uint8_t>(deviceAddress & 0xFE);
    return out;
}

PollResult pollWriteCompletion(adapter::Transfers& bus, std::uint8_t deviceAddress,
                               std::uint32_t writeTimeMs) {
    const TUSBI2CReport probe = writeProbeReport(deviceAddress);
    const std::uint64_t limitUs = std::uint64_t{writeTimeMs} * 1000;
    const std::uint64_t start = timing::nowUs();
    PollResult out;
    for (;;) {
        const std::uint64_t probeStart = timing::nowUs();
        out.status = bus.I2CDeviceWrite(probe);
        const std::uint64_t now = timing::nowUs();
        out.elapsedUs = now - start;
        out.acknowledged = out.status == status::kSuccess;
        if (out.acknowledged || out.status != status::kAddressNack) return out;
        if (out.elapsedUs >= limitUs) return out;
        // An adapter that answers at once would otherwise flood the bus with probes.
        if (now - probeStart < 1000) timing::sleepMs(1);
    }
}

WriteByteOutcome writeByte(adapter::Transfers& bus, Image& image, std::uint8_t selectedAddress,
                           int address, std::optional<std::uint32_t> pollWithinMs) {
    WriteByteOutcome out;
    const auto value = image.cellValue(address);
    if (!value) {
        out.error = hexConversionMessage(image.hexText(address));
        return out;
    }
    out.sent = true;
    const std::uint8_t device = deviceAddressByte(selectedAddress, address);
    out.status =
        bus.I2CWriteByte(device, wordAddress(address), static_cast<std::uint8_t>(*value & 0xFF));
    if (out.status != status::kSuccess) return out;
    image.clearFailed(address, 1);
    if (pollWithinMs) out.poll = pollWriteCompletion(bus, device, *pollWithinMs);
    return out;
}

namespace {

// The pages of the plan whose bytes on the chip differ from data, or could not be read.
std::vector<PageWrite> changedPages(adapter::Transfers& bus, const std::vector<PageWrite>& plan,
                                    const std::vector<std::uint8_t>& data,
                                    std::uint8_t selectedAddress) {
    std::vector<bool> differs(data.size(), false);
    for (const ReadStep& step : readPlan(static_cast<int>(data.size()), selectedAddress)) {
        TUSBI2CReport reply{};
        bus.I2CReadArray(step.deviceAddress, step.wordAddress, step.count, reply);
        const bool read = reply[report::kStatus] == status::kSuccess;
        for (int i = 0; i < step.count; ++i) {
            const auto a = static_cast<std::size_t>(step.firstByte + i);
            differs[a] = !read || reply[report::kInData + static_cast<std::size_t>(i)] != data[a];
        }
    }
    std::vector<PageWrite> pages;
    for (const PageWrite& page : plan) {
        const auto first = differs.begin() + page.firstByte;
        if (std::find(first, first + (page.numBytes - 1), true) != first + (page.numBytes - 1))
            pages.push_back(page);
    }
    return pages;
}

}  // namespace

WriteAllOutcome writeAll(adapter::Transfers& bus, Image& image, std::uint8_t selectedAddress,
                         int pageSize, std::uint32_t writeTimeMs, const PageObserver& afterPage) {
    WriteOptions options;
    options.writeTimeMs = writeTimeMs;
    return writeAll(bus, image, selectedAddress, pageSize, options, afterPage);
}

WriteAllOutcome writeAll(adapter::Transfers& bus, Image& image, std::uint8_t selectedAddress,
                         int pageSize, const WriteOptions& options, const PageObserver& afterPage) {
    WriteAllOutcome out;
    out.options = options;
    // Convert every cell before the first page goes out: a half-written device would be
    // worse than refusing the whole write.
    ImageBytes data = image.bytes();
    if (data.error) {
        out.status = status::kWriteAllFailed;
        out.error = std::move(data.error);
        return out;
    }
    const std::vector<PageWrite> plan = pageWritePlan(image.size(), selectedAddress, pageSize);
    out.pagesTotal = static_cast<int>(plan.size());
    const std::vector<PageWrite> pages = options.onlyChanged && !plan.empty()
                                             ? changedPages(bus, plan, data.bytes, selectedAddress)
                                             : plan;
    out.pagesToWrite = static_cast<int>(pages.size());
    for (const PageWrite& page : pages) {
        const std::uint8_t result =
            bus.I2CWriteArray(page.deviceAddress, page.wordAddress, page.numBytes,
                              data.bytes.data() + page.firstByte);
        if (result != status::kSuccess) {
            out.status = status::kWriteAllFailed;
            return out;
        }
        image.clearFailed(page.firstByte, page.numBytes - 1);
        if (options.pollCompletion) {
            const PollResult poll =
                pollWriteCompletion(bus, page.deviceAddress, options.writeTimeMs);
            if (!poll.acknowledged) {
                out.busyPage = page.firstByte;
                out.status = status::kWriteAllFailed;
                return out;
            }
            out.cycleUs.push_back(poll.elapsedUs);
            if (poll.tookWholeWriteTime(options.writeTimeMs))
                out.pagesAtLimit.push_back(page.firstByte);
        }
        ++out.pagesWritten;
        if (afterPage) afterPage(out.pagesWritten, out.pagesWritten * 100 / out.pagesToWrite);
        if (!options.pollCompletion) timing::sleepMs(options.writeTimeMs);
    }
    // The pages left alone hold on the chip what the grid holds.
    if (options.onlyChanged && !plan.empty()) image.clearFailed(0, image.size());
    out.status = status::kSuccess;
    return out;
}

std::optional<CycleSummary> summariseCycles(std::vector<std::uint64_t> cycleUs) {
    if (cycleUs.empty()) return std::nullopt;
    std::sort(cycleUs.begin(), cycleUs.end());
    return CycleSummary{cycleUs.front(), cycleUs[(cycleUs.size() - 1) / 2], cycleUs.back()};
}

namespace {

std::string millis(std::uint64_t us) {
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%llu", static_cast<unsigned long long>(us / 1000),
                  static_cast<unsigned long long>(us % 1000 / 100));
    return text;
}

std::string pageList(const std::vector<int>& pages) {
    constexpr std::size_t kNamed = 4;
    std::string text;
    for (std::size_t i = 0; i < pages.size() && i < kNamed; ++i) {
        if (i > 0) text += ", ";
        text += addressText(pages[i]);
    }
    if (pages.size() > kNamed) text += " and " + std::to_string(pages.size() - kNamed) + " more";
    return text;
}

void append(std::string& text, const std::string& part) {
    if (!text.empty()) text += text.back() == '.' ? " " : "; ";
    text += part;
}

}  // namespace

WriteSummary writeSummary(const WriteAllOutcome& outcome) {
    WriteSummary out;
    if (outcome.error) return out;
    const std::string writeTime = std::to_string(outcome.options.writeTimeMs) + " ms";
    if (outcome.busyPage) {
        append(out.text, "Chip busy after page " + addressText(*outcome.busyPage));
        append(out.detail, "The chip did not answer within the write time of " + writeTime +
                               " after page " + addressText(*outcome.busyPage) + ".");
        out.warning = true;
    }
    if (!outcome.pagesAtLimit.empty()) {
        const std::size_t n = outcome.pagesAtLimit.size();
        const std::string pages = std::to_string(n) + (n == 1 ? " page" : " pages");
        append(out.text, pages + " took all " + writeTime);
        append(out.detail, pages + " took the whole write time of " + writeTime + ": " +
                               pageList(outcome.pagesAtLimit) + ".");
        out.warning = true;
    }
    if (outcome.options.onlyChanged) {
        const std::string wrote = "Wrote " + std::to_string(outcome.pagesWritten) + " of " +
                                  std::to_string(outcome.pagesTotal) + " pages";
        append(out.text, wrote);
        append(out.detail, wrote + "; the others already held the image.");
    }
    if (const auto cycles = summariseCycles(outcome.cycleUs)) {
        append(out.text, "Cycle " + millis(cycles->shortestUs) + "/" + millis(cycles->medianUs) +
                             "/" + millis(cycles->longestUs) + " ms");
        append(out.detail, "Write cycle: shortest " + millis(cycles->shortestUs) + " ms, median " +
                               millis(cycles->medianUs) + " ms, longest " +
                               millis(cycles->longestUs) + " ms.");
    }
    return out;
}

WriteSummary writeByteSummary(const WriteByteOutcome& outcome, std::uint32_t writeTimeMs) {
    WriteSummary out;
    if (!outcome.poll) return out;
    if (!outcome.poll->acknowledged) {
        out.text = "Chip busy after the write";
        out.detail = "The chip did not answer within the write time of " +
                     std::to_string(writeTimeMs) + " ms.";
        out.warning = true;
    } else {
        out.text = "Write cycle " + millis(outcome.poll->elapsedUs) + " ms";
        out.warning = outcome.poll->tookWholeWriteTime(writeTimeMs);
    }
    return out;
}

VerifyOutcome verify(adapter::Transfers& bus, const Image& image, std::uint8_t selectedAddress,
                     const ReadObserver& afterRead) {
    VerifyOutcome out;
    ImageBytes data = image.bytes();
    if (data.error) {
        out.status = status::kVerifyFailed;
        out.error = std::move(data.error);
        return out;
    }
    for (const ReadStep& step : readPlan(image.size(), selectedAddress)) {
        TUSBI2CReport reply{};
        bus.I2CReadArray(step.deviceAddress, step.wordAddress, step.count, reply);
        const std::uint8_t status = reply[report::kStatus];
        if (afterRead) afterRead(step, status);
        if (status != status::kSuccess) {
            if (!out.mismatchAddress) out.status = status;
            return out;
        }
        for (int i = 0; i < step.count; ++i) {
            const int a = step.firstByte + i;
            if (data.bytes[static_cast<std::size_t>(a)] !=
                reply[report::kInData + static_cast<std::size_t>(i)]) {
                out.differences.push_back(a);
            }
        }
        if (!out.mismatchAddress && !out.differences.empty()) {
            out.status = status::kVerifyFailed;
            out.mismatchAddress = out.differences.front();
        }
    }
    return out;
}

std::string differenceCountText(std::size_t count) {
    return count == 1 ? std::string("1 byte differs") : std::to_string(count) + " bytes differ";
}

std::optional<int> mirrorSpan(const std::vector<std::uint8_t>& bytes) {
    constexpr std::size_t kSmallestSpan = 16;
    std::size_t span = bytes.size();
    const auto repeats = [&bytes](std::size_t half) {
        // The first half itself one byte over and over tells nothing.
        if (std::all_of(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(half),
                        [&](std::uint8_t b) { return b == bytes.front(); }))
            return false;
        for (std::size_t a = half; a < bytes.size(); ++a)
            if (bytes[a] != bytes[a % half]) return false;
        return true;
    };
    while (span % 2 == 0 && span / 2 >= kSmallestSpan && repeats(span / 2)) span /= 2;
    if (span == bytes.size()) return std::nullopt;
    return static_cast<int>(span);
}

std::string mirrorWarning(int span) {
    return "Image repeats every " + std::to_string(span) + " bytes";
}

std::string mirrorDetail(int span) {
    return "The second half of the image repeats the first: a chip of " + std::to_string(span) +
           " bytes read as a larger one, or an address bit the chip ignores?";
}

std::string verifyFailedMessage(int address) {
    return "Device failed Verify at Address 0x" + hexText(static_cast<std::uint32_t>(address), 2);
}

}  // namespace parvex::eeprom
