#include "cli/virtual_state.h"

namespace parvex::cli {

VirtualStateRead parseVirtualState(std::string_view bytes) {
    if (bytes.size() != kStateFileBytes || bytes.substr(0, kStateMagic.size()) != kStateMagic) {
        return {std::nullopt, "not a virtual adapter state file"};
    }
    VirtualState state;
    const auto* first = reinterpret_cast<const std::uint8_t*>(bytes.data()) + kStateMagic.size();
    state.eeprom.assign(first, first + kStateEepromBytes);
    state.registers.assign(first + kStateEepromBytes,
                           first + kStateEepromBytes + kStateRegisterBytes);
    return {std::move(state), {}};
}

std::string writeVirtualState(const VirtualState& state) {
    std::string bytes(kStateMagic);
    bytes.append(state.eeprom.begin(), state.eeprom.end());
    bytes.resize(kStateMagic.size() + kStateEepromBytes, '\xFF');
    bytes.append(state.registers.begin(), state.registers.end());
    bytes.resize(kStateFileBytes, '\0');
    return bytes;
}

}  // namespace parvex::cli
