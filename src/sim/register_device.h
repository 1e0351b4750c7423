#pragma once
// A register-based I2C device: the first byte written sets the register pointer, further
// bytes write registers, and reads continue from the pointer; the pointer wraps at the
// register count.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/i2c_device.h"

namespace parvex::sim {

class RegisterDevice final : public I2CDevice {
public:
    // registerCount: 1 to 256. Throws std::invalid_argument otherwise.
    RegisterDevice(std::uint8_t address, std::size_t registerCount);

    std::vector<std::uint8_t>& registers() { return registers_; }
    const std::vector<std::uint8_t>& registers() const { return registers_; }
    [[nodiscard]] std::size_t registerPointer() const { return pointer_; }
    // 8-bit form, bit 0 clear.
    [[nodiscard]] std::uint8_t busAddress() const { return address_; }

    bool answers(std::uint8_t addressByte) const override;
    bool start(std::uint8_t addressByte, bool read) override;
    bool writeByte(std::uint8_t value) override;
    std::uint8_t readByte() override;
    void stop() override;
    std::string describe() const override;

private:
    std::uint8_t address_;
    std::vector<std::uint8_t> registers_;
    std::size_t pointer_ = 0;
    bool expectPointer_ = false;
};

}  // namespace parvex::sim
