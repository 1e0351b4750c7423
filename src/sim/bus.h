#pragma once
// The virtual I2C bus: the devices attached to the adapter.

#include <cstdint>
#include <memory>
#include <vector>

#include "sim/i2c_device.h"

namespace parvex::sim {

class Bus {
public:
    void attach(std::shared_ptr<I2CDevice> device);
    void detachAll() { devices_.clear(); }
    const std::vector<std::shared_ptr<I2CDevice>>& devices() const { return devices_; }
    // The first attached device that owns the address, or nullptr.
    [[nodiscard]] std::shared_ptr<I2CDevice> find(std::uint8_t addressByte) const;

private:
    std::vector<std::shared_ptr<I2CDevice>> devices_;
};

}  // namespace parvex::sim
