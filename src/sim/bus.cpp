#include "sim/bus.h"

#include <cstdio>
#include <utility>

namespace parvex::sim {

std::string hexByte(std::uint8_t value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value));
    return text;
}

void Bus::attach(std::shared_ptr<I2CDevice> device) {
    if (device) devices_.push_back(std::move(device));
}

std::shared_ptr<I2CDevice> Bus::find(std::uint8_t addressByte) const {
    for (const auto& device : devices_) {
        if (device->answers(addressByte)) return device;
    }
    return nullptr;
}

}  // namespace parvex::sim
