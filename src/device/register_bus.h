#pragma once
// Read All and Write All of a register device over the host's transfer operations: how the
// registers are split into transfers, and what each transfer's outcome does to the values.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "adapter/transfers.h"
#include "device/definition.h"

namespace parvex::device {

struct Chunk {
    int first;
    int count;
    bool operator==(const Chunk& o) const { return first == o.first && count == o.count; }
};

// Up to 60 registers in one read; more in reads of 32 and the rest.
inline constexpr int kMaxSingleRead = 60;
// Up to 57 values in one write (57 + the subaddress fill a report's 58 bytes); more in
// writes of 32 and the rest.
inline constexpr int kMaxSingleWrite = 57;
inline constexpr int kChunkRegisters = 32;

[[nodiscard]] std::vector<Chunk> readAllPlan(int registerCount);
[[nodiscard]] std::vector<Chunk> writeAllPlan(int registerCount);

struct BusOutcome {
    // The first failed transfer's status, or the last one's when every transfer succeeded.
    std::uint8_t status = 0;
    // Registers whose read failed, in order.
    std::vector<int> failed;
    // A value that is not hexadecimal: the conversion message; nothing was sent.
    std::optional<std::string> error;
};

// Reads registers 0..MaxRegister into the device's values; a failed transfer leaves its
// values and the next transfer follows. `changed` hears each range that was written into.
[[nodiscard]] BusOutcome readAll(adapter::Transfers& bus, TDeviceDefinition& device,
                                 std::uint8_t address,
                                 const std::function<void(int first, int count)>& changed = {});
// Writes registers 0..MaxRegister; every value is converted before anything is sent.
[[nodiscard]] BusOutcome writeAll(adapter::Transfers& bus, const TDeviceDefinition& device,
                                  std::uint8_t address);

}  // namespace parvex::device
