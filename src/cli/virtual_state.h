#pragma once
// The virtual adapter's bus contents in a file, so that separate runs of the command-line
// tool over the virtual adapter see what the runs before them wrote.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parvex::cli {

inline constexpr std::string_view kStateMagic = "PARVEX-VIRTUAL-STATE 1\n";
inline constexpr std::size_t kStateEepromBytes = 2048;
inline constexpr std::size_t kStateRegisterBytes = 64;
inline constexpr std::size_t kStateFileBytes =
    kStateMagic.size() + kStateEepromBytes + kStateRegisterBytes;

struct VirtualState {
    std::vector<std::uint8_t> eeprom;     // kStateEepromBytes
    std::vector<std::uint8_t> registers;  // kStateRegisterBytes
};

struct VirtualStateRead {
    std::optional<VirtualState> state;
    std::string error;
};

// Anything but the exact layout is refused.
[[nodiscard]] VirtualStateRead parseVirtualState(std::string_view bytes);
[[nodiscard]] std::string writeVirtualState(const VirtualState& state);

}  // namespace parvex::cli
