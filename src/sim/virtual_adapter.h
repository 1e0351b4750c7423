#pragma once
// The adapter's firmware, in process: answers every output report with one input report,
// carries out the I2C transfers on its virtual bus, and offers the fault switches tests need
// (bus lines held low, a forced status).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/report.h"
#include "sim/bus.h"
#include "sim/eeprom24.h"
#include "sim/register_device.h"

namespace parvex::sim {

enum class Lines { High, BothLow, SdaLow, SclLow };

class VirtualAdapter {
public:
    static constexpr std::uint32_t kStartClockHz = 100000;
    static constexpr std::uint16_t kDefaultSerialNumber = 12345;

    VirtualAdapter();

    Bus& bus() { return bus_; }
    const Bus& bus() const { return bus_; }

    // Answers one output report.
    void exchange(const TUSBI2CReport& out, TUSBI2CReport& in);

    void setSerialNumber(std::uint16_t serial) { serial_ = serial; }
    [[nodiscard]] std::uint16_t serialNumber() const { return serial_; }
    // 19 characters, padded with spaces.
    const std::string& firmwareRevision() const { return firmwareRev_; }

    void setLines(Lines lines) { lines_ = lines; }
    [[nodiscard]] Lines lines() const { return lines_; }

    // The next exchange answers this status and carries out nothing.
    void forceNextStatus(std::uint8_t status);
    // The last clock set, kStartClockHz after power-on.
    [[nodiscard]] std::uint32_t clockHz() const { return clockHz_; }

    // Every output report received, forced ones included.
    const std::vector<TUSBI2CReport>& outputLog() const { return log_; }
    void clearLog() { log_.clear(); }

    // What a power cycle forgets: the clock, an open bus transaction, a forced status.
    // The bus, its devices, the serial number, the line state and the log stay.
    void powerOn();

private:
    std::uint8_t transfer(const TUSBI2CReport& out, TUSBI2CReport& in);
    std::uint8_t writeMessage(const TUSBI2CReport& out);
    std::uint8_t readMessage(const TUSBI2CReport& out, TUSBI2CReport& in);
    std::uint8_t setClock(const TUSBI2CReport& out);
    void portStatus(TUSBI2CReport& in) const;
    [[nodiscard]] std::uint8_t lineFault() const;
    bool startCondition(std::uint8_t addressByte, bool read);
    void stopCondition();

    Bus bus_;
    std::string firmwareRev_;
    std::uint16_t serial_ = kDefaultSerialNumber;
    Lines lines_ = Lines::High;
    std::uint32_t clockHz_ = kStartClockHz;
    bool forced_ = false;
    std::uint8_t forcedStatus_ = 0;
    // The device addressed by the last start and not yet released by a stop.
    std::shared_ptr<I2CDevice> open_;
    std::vector<TUSBI2CReport> log_;
};

struct DefaultDevices {
    std::shared_ptr<Eeprom24> eeprom;
    std::shared_ptr<RegisterDevice> registers;
};

// What the program's virtual adapter carries: a 2048-byte EEPROM with 16-byte pages
// answering A0 to AE, and a device of 64 registers at 40.
DefaultDevices addDefaultDevices(Bus& bus);

}  // namespace parvex::sim
