#pragma once
// A 24Cxx-style serial EEPROM: block bits in the address byte for chips over 256 bytes,
// an internal address pointer, page writes that wrap inside the page, sequential reads
// that roll over at the end of the chip, and a write cycle during which the chip does
// not acknowledge its address.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sim/i2c_device.h"

namespace parvex::sim {

class Eeprom24 final : public I2CDevice {
public:
    // sizeBytes: 1 to 2048; above 256 a power-of-two number of 256-byte blocks.
    // pageBytes: 1 to sizeBytes, dividing sizeBytes. Throws std::invalid_argument otherwise.
    Eeprom24(std::size_t sizeBytes, std::size_t pageBytes, std::uint8_t baseAddress = 0xA0);

    std::vector<std::uint8_t>& memory() { return memory_; }
    const std::vector<std::uint8_t>& memory() const { return memory_; }

    // Length of the write cycle after a stop that ends a write: default 5; 0 = ready at once.
    void setWriteCycleMs(std::uint32_t ms) { writeCycleMs_ = ms; }
    [[nodiscard]] std::uint32_t writeCycleMs() const { return writeCycleMs_; }
    // Inside a write cycle (the chip then does not acknowledge its address).
    [[nodiscard]] bool busy() const;

    // Address-byte bits the chip does not decode (chip-select pins many parts leave unused):
    // it then answers at every address those bits give, and reading a block it does not
    // have gives one of its own again, as a smaller chip read as a larger one does.
    void setIgnoredAddressBits(std::uint8_t bits) {
        ignoredBits_ = static_cast<std::uint8_t>(bits & 0xFE & ~blockMask_);
    }

    [[nodiscard]] std::size_t pageBytes() const { return pageBytes_; }
    [[nodiscard]] std::size_t addressPointer() const { return pointer_; }

    bool answers(std::uint8_t addressByte) const override;
    bool start(std::uint8_t addressByte, bool read) override;
    bool writeByte(std::uint8_t value) override;
    std::uint8_t readByte() override;
    void stop() override;
    std::string describe() const override;

private:
    enum class Phase { Idle, WordAddress, Data, Reading };

    std::vector<std::uint8_t> memory_;
    std::size_t pageBytes_;
    std::uint8_t baseAddress_;
    std::uint8_t blockMask_;  // the address-byte bits that select a 256-byte block
    std::uint8_t ignoredBits_ = 0;
    std::uint32_t writeCycleMs_ = 5;
    std::uint64_t cycleStartUs_ = 0;
    std::uint64_t cycleLengthUs_ = 0;
    std::size_t block_ = 0;
    std::size_t pointer_ = 0;
    Phase phase_ = Phase::Idle;
    // Bytes latched into the page buffer, in arrival order; programmed at the stop.
    std::vector<std::pair<std::size_t, std::uint8_t>> pending_;
};

}  // namespace parvex::sim
