#include "sim/register_device.h"

#include <stdexcept>

namespace parvex::sim {

RegisterDevice::RegisterDevice(std::uint8_t address, std::size_t registerCount)
    : address_(static_cast<std::uint8_t>(address & 0xFE)) {
    if (registerCount < 1 || registerCount > 256) {
        throw std::invalid_argument("a register device holds 1 to 256 registers");
    }
    registers_.assign(registerCount, 0);
}

bool RegisterDevice::answers(std::uint8_t addressByte) const {
    return (addressByte & 0xFE) == address_;
}

bool RegisterDevice::start(std::uint8_t, bool read) {
    expectPointer_ = !read;
    return true;
}

bool RegisterDevice::writeByte(std::uint8_t value) {
    if (expectPointer_) {
        pointer_ = value % registers_.size();
        expectPointer_ = false;
    } else {
        registers_[pointer_] = value;
        pointer_ = (pointer_ + 1) % registers_.size();
    }
    return true;
}

std::uint8_t RegisterDevice::readByte() {
    const std::uint8_t value = registers_[pointer_];
    pointer_ = (pointer_ + 1) % registers_.size();
    return value;
}

void RegisterDevice::stop() {
    expectPointer_ = false;
}

std::string RegisterDevice::describe() const {
    return "Register device at " + hexByte(address_) + ": " + std::to_string(registers_.size()) +
           (registers_.size() == 1 ? " register" : " registers");
}

}  // namespace parvex::sim
