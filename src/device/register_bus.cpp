#include "device/register_bus.h"

#include <array>

#include "common/report.h"

namespace parvex::device {

namespace {

std::vector<Chunk> chunked(int registerCount, int singleLimit) {
    if (registerCount <= 0) return {};
    if (registerCount <= singleLimit) return {{0, registerCount}};
    std::vector<Chunk> plan;
    for (int first = 0; first < registerCount; first += kChunkRegisters)
        plan.push_back({first, std::min(kChunkRegisters, registerCount - first)});
    return plan;
}

// Status of a sequence of transfers: the first failure sticks.
void note(BusOutcome& outcome, bool& failedBefore, std::uint8_t status) {
    if (failedBefore) return;
    outcome.status = status;
    failedBefore = status != 0;
}

}  // namespace

std::vector<Chunk> readAllPlan(int registerCount) {
    return chunked(registerCount, kMaxSingleRead);
}

std::vector<Chunk> writeAllPlan(int registerCount) {
    return chunked(registerCount, kMaxSingleWrite);
}

BusOutcome readAll(adapter::Transfers& bus, TDeviceDefinition& device, std::uint8_t address,
                   const std::function<void(int, int)>& changed) {
    BusOutcome outcome;
    bool failedBefore = false;
    TUSBI2CReport reply{};
    for (const Chunk& c : readAllPlan(device.registerCount())) {
        reply.fill(0);
        bus.I2CReadArray(address, static_cast<std::uint8_t>(c.first), c.count, reply);
        const std::uint8_t status = reply[2];
        note(outcome, failedBefore, status);
        if (status != 0) {
            for (int r = c.first; r < c.first + c.count; ++r) outcome.failed.push_back(r);
            continue;
        }
        for (int i = 0; i < c.count; ++i)
            device.RegisterValues[static_cast<std::size_t>(c.first + i)] =
                hexByte(reply[static_cast<std::size_t>(3 + i)]);
        if (changed) changed(c.first, c.count);
    }
    return outcome;
}

BusOutcome writeAll(adapter::Transfers& bus, const TDeviceDefinition& device,
                    std::uint8_t address) {
    BusOutcome outcome;
    std::array<std::uint8_t, kRegisterSlots> values{};
    const int n = device.registerCount();
    for (int i = 0; i < n; ++i) {
        const std::string& text = device.RegisterValues[static_cast<std::size_t>(i)];
        const auto byte = valueByte(text);
        if (!byte) {
            outcome.error = hexConversionMessage(text);
            return outcome;
        }
        values[static_cast<std::size_t>(i)] = *byte;
    }
    bool failedBefore = false;
    for (const Chunk& c : writeAllPlan(n)) {
        const std::uint8_t status =
            bus.I2CWriteArray(address, static_cast<std::uint8_t>(c.first),
                              static_cast<std::uint16_t>(c.count + 1), values.data() + c.first);
        note(outcome, failedBefore, status);
    }
    return outcome;
}

}  // namespace parvex::device
