#pragma once
// The transfer operations through which every window reaches the I2C bus. AdapterLink
// implements them over the HID layer; tests and command-line tools may implement them
// over anything else.

#include <cstdint>

#include "common/report.h"

namespace parvex::adapter {

class Transfers {
public:
    virtual ~Transfers() = default;

    // Write operations return the status byte of their exchange (170 with no adapter).
    virtual std::uint8_t I2CWrite(std::uint8_t address, std::uint8_t dataByte) = 0;
    virtual std::uint8_t I2CWriteByte(std::uint8_t address, std::uint8_t subaddress,
                                      std::uint8_t dataByte) = 0;
    // numBytes counts the subaddress: dataPointer holds numBytes - 1 data bytes.
    virtual std::uint8_t I2CWriteArray(std::uint8_t address, std::uint8_t subaddress,
                                       std::uint16_t numBytes, const std::uint8_t* dataPointer) = 0;

    // Read operations leave the status in inReport[2] and the bytes read from inReport[3] on.
    virtual void I2CRead(std::uint8_t address, TUSBI2CReport& inReport) = 0;
    virtual void I2CReadCount(std::uint8_t address, std::uint8_t count,
                              TUSBI2CReport& inReport) = 0;
    virtual void I2CReadByte(std::uint8_t address, std::uint8_t subaddress,
                             TUSBI2CReport& inReport) = 0;
    virtual void I2CReadArray(std::uint8_t address, std::uint8_t subaddress, std::int32_t numBytes,
                              TUSBI2CReport& inReport) = 0;

    // Raw reports composed by the caller, sent unchanged.
    virtual std::uint8_t I2CDeviceWrite(const TUSBI2CReport& outReport) = 0;
    virtual std::uint8_t I2CDeviceRead(const TUSBI2CReport& outReport, TUSBI2CReport& inReport) = 0;
};

}  // namespace parvex::adapter
