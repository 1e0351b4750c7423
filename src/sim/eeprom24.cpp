#include "sim/eeprom24.h"

#include <stdexcept>

#include "common/wait.h"

namespace parvex::sim {
namespace {
constexpr std::size_t kBlockBytes = 256;
constexpr std::size_t kMaxBlocks = 8;  // three block bits in the address byte
}  // namespace

Eeprom24::Eeprom24(std::size_t sizeBytes, std::size_t pageBytes, std::uint8_t baseAddress)
    : pageBytes_(pageBytes), baseAddress_(static_cast<std::uint8_t>(baseAddress & 0xFE)) {
    if (sizeBytes == 0 || sizeBytes > kBlockBytes * kMaxBlocks) {
        throw std::invalid_argument("an EEPROM holds 1 to 2048 bytes");
    }
    const std::size_t blocks = (sizeBytes + kBlockBytes - 1) / kBlockBytes;
    if (sizeBytes > kBlockBytes && (sizeBytes % kBlockBytes != 0 || (blocks & (blocks - 1)) != 0)) {
        throw std::invalid_argument("an EEPROM over 256 bytes holds 2, 4 or 8 blocks of 256");
    }
    if (pageBytes == 0 || pageBytes > sizeBytes || sizeBytes % pageBytes != 0) {
        throw std::invalid_argument("the page size must divide the EEPROM size");
    }
    blockMask_ = static_cast<std::uint8_t>((blocks - 1) << 1);
    baseAddress_ = static_cast<std::uint8_t>(baseAddress_ & ~blockMask_);
    memory_.assign(sizeBytes, 0xFF);
}

bool Eeprom24::busy() const {
    const std::uint64_t now = timing::nowUs();
    // A clock that was swapped for one running behind the cycle's start ends the cycle.
    return cycleLengthUs_ != 0 && now >= cycleStartUs_ && now - cycleStartUs_ < cycleLengthUs_;
}

bool Eeprom24::answers(std::uint8_t addressByte) const {
    const auto decoded = static_cast<std::uint8_t>(0xFE & ~blockMask_ & ~ignoredBits_);
    return (addressByte & decoded) == (baseAddress_ & decoded);
}

bool Eeprom24::start(std::uint8_t addressByte, bool read) {
    // A (repeated) start abandons bytes latched without a stop: nothing is programmed.
    pending_.clear();
    if (busy()) {
        phase_ = Phase::Idle;
        return false;
    }
    if (read) {
        // Reads follow the internal pointer, whatever block bits the read address carries.
        phase_ = Phase::Reading;
    } else {
        block_ = static_cast<std::size_t>((addressByte & blockMask_) >> 1);
        phase_ = Phase::WordAddress;
    }
    return true;
}

bool Eeprom24::writeByte(std::uint8_t value) {
    switch (phase_) {
        case Phase::WordAddress:
            pointer_ = (block_ * kBlockBytes + value) % memory_.size();
            phase_ = Phase::Data;
            return true;
        case Phase::Data: {
            pending_.emplace_back(pointer_, value);
            const std::size_t pageStart = pointer_ - pointer_ % pageBytes_;
            pointer_ = pageStart + (pointer_ + 1 - pageStart) % pageBytes_;
            return true;
        }
        case Phase::Idle:
        case Phase::Reading:
            break;
    }
    return false;
}

std::uint8_t Eeprom24::readByte() {
    if (phase_ != Phase::Reading) return 0xFF;  // the bus idles high
    const std::uint8_t value = memory_[pointer_];
    pointer_ = (pointer_ + 1) % memory_.size();
    return value;
}

void Eeprom24::stop() {
    if (!pending_.empty()) {
        // Later bytes for the same cell replace earlier ones, as the page buffer wraps.
        for (const auto& [address, value] : pending_) memory_[address] = value;
        pending_.clear();
        cycleStartUs_ = timing::nowUs();
        cycleLengthUs_ = std::uint64_t{writeCycleMs_} * 1000;
    }
    phase_ = Phase::Idle;
}

std::string Eeprom24::describe() const {
    const std::uint8_t last = static_cast<std::uint8_t>(baseAddress_ | blockMask_);
    std::string addresses = hexByte(baseAddress_);
    if (last != baseAddress_) addresses += " to " + hexByte(last);
    return std::to_string(memory_.size()) + "-byte EEPROM at " + addresses + ", " +
           std::to_string(pageBytes_) + "-byte pages";
}

}  // namespace parvex::sim
