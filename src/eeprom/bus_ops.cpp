#include "eeprom/bus_ops.h"

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

WriteByteOutcome writeByte(adapter::Transfers& bus, Image& image, std::uint8_t selectedAddress,
                           int address) {
    WriteByteOutcome out;
    const auto value = image.cellValue(address);
    if (!value) {
        out.error = hexConversionMessage(image.hexText(address));
        return out;
    }
    out.sent = true;
    out.status = bus.I2CWriteByte(deviceAddressByte(selectedAddress, address), wordAddress(address),
                                  static_cast<std::uint8_t>(*value & 0xFF));
    if (out.status == status::kSuccess) image.clearFailed(address, 1);
    return out;
}

WriteAllOutcome writeAll(adapter::Transfers& bus, Image& image, std::uint8_t selectedAddress,
                         int pageSize, std::uint32_t writeTimeMs, const PageObserver& afterPage) {
    WriteAllOutcome out;
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
    for (const PageWrite& page : plan) {
        const std::uint8_t result =
            bus.I2CWriteArray(page.deviceAddress, page.wordAddress, page.numBytes,
                              data.bytes.data() + page.firstByte);
        if (result != status::kSuccess) {
            out.status = status::kWriteAllFailed;
            return out;
        }
        image.clearFailed(page.firstByte, page.numBytes - 1);
        ++out.pagesWritten;
        if (afterPage) afterPage(out.pagesWritten, out.pagesWritten * 100 / out.pagesTotal);
        timing::sleepMs(writeTimeMs);
    }
    out.status = status::kSuccess;
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
            out.status = status;
            return out;
        }
        for (int i = 0; i < step.count; ++i) {
            const int a = step.firstByte + i;
            if (data.bytes[static_cast<std::size_t>(a)] !=
                reply[report::kInData + static_cast<std::size_t>(i)]) {
                out.status = status::kVerifyFailed;
                out.mismatchAddress = a;
                return out;
            }
        }
    }
    out.status = status::kSuccess;
    return out;
}

std::string verifyFailedMessage(int address) {
    return "Device failed Verify at Address 0x" + hexText(static_cast<std::uint32_t>(address), 2);
}

}  // namespace parvex::eeprom
