#pragma once
// A device on the virtual I2C bus, seen from the bus master's side: it is addressed
// with a start condition, takes or gives bytes one at a time and is released by a stop.

#include <cstdint>
#include <string>

namespace parvex::sim {

class I2CDevice {
public:
    virtual ~I2CDevice() = default;
    // Whether the device owns this bus address (8-bit form, bit 0 ignored).
    [[nodiscard]] virtual bool answers(std::uint8_t addressByte) const = 0;
    // A start (or repeated start) addressed to this device. False = address not acknowledged.
    virtual bool start(std::uint8_t addressByte, bool read) = 0;
    // One byte from the master. False = the byte was not acknowledged.
    virtual bool writeByte(std::uint8_t value) = 0;
    // One byte to the master.
    virtual std::uint8_t readByte() = 0;
    // The stop condition that ends the device's transaction.
    virtual void stop() = 0;
    // One line for the tool window.
    [[nodiscard]] virtual std::string describe() const = 0;
};

// The two-digit upper-case hexadecimal form the program shows bus addresses in.
std::string hexByte(std::uint8_t value);

}  // namespace parvex::sim
