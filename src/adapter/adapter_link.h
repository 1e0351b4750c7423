#pragma once
// The adapter link: the report exchange, the transfer operations, the status texts'
// reporting, finding and following the adapter, its identity, bus lines and clock.
// No windowing code: it reports through a status sink and an adapter-state listener,
// which the main window implements.

#include <cstdint>
#include <memory>
#include <string>

#include "adapter/status_texts.h"
#include "adapter/transfers.h"
#include "common/report.h"
#include "hid/hid.h"

namespace parvex::adapter {

// Receives the status panel's markup text; must repaint the status bar at once.
class StatusSink {
public:
    virtual ~StatusSink() = default;
    virtual void showStatus(const std::string& markup) = 0;
};

// Receives the adapter's presence and what follows from it.
class AdapterListener {
public:
    virtual ~AdapterListener() = default;
    virtual void setOptionsMenuEnabled(bool enabled) = 0;
    virtual void setStatusBarEnabled(bool enabled) = 0;
    virtual void setHardwarePanel(const std::string& markup) = 0;
    virtual void setFrequencyPanel(const std::string& markup) = 0;
    // A message box with an OK button (bus lines low at arrival). Returns when dismissed.
    virtual void showBusLineMessage(const std::string& text) = 0;
    virtual void repaintStatusBar() = 0;
};

inline constexpr std::int32_t BaseClock = 48000000;

class AdapterLink final : public Transfers {
public:
    AdapterLink(hid::Controller& controller, StatusSink& sink, AdapterListener& listener);
    ~AdapterLink() override;
    AdapterLink(const AdapterLink&) = delete;
    AdapterLink& operator=(const AdapterLink&) = delete;

    // Transfers
    std::uint8_t I2CWrite(std::uint8_t address, std::uint8_t dataByte) override;
    std::uint8_t I2CWriteByte(std::uint8_t address, std::uint8_t subaddress,
                              std::uint8_t dataByte) override;
    std::uint8_t I2CWriteArray(std::uint8_t address, std::uint8_t subaddress,
                               std::uint16_t numBytes, const std::uint8_t* dataPointer) override;
    void I2CRead(std::uint8_t address, TUSBI2CReport& inReport) override;
    void I2CReadCount(std::uint8_t address, std::uint8_t count, TUSBI2CReport& inReport) override;
    void I2CReadByte(std::uint8_t address, std::uint8_t subaddress,
                     TUSBI2CReport& inReport) override;
    void I2CReadArray(std::uint8_t address, std::uint8_t subaddress, std::int32_t numBytes,
                      TUSBI2CReport& inReport) override;
    std::uint8_t I2CDeviceWrite(const TUSBI2CReport& outReport) override;
    std::uint8_t I2CDeviceRead(const TUSBI2CReport& outReport, TUSBI2CReport& inReport) override;

    // One exchange: write outReport, read the answer into inReport, show its status.
    // With no adapter it gives 170 like the transfer operations.
    void HID_Send_OutputReport(const TUSBI2CReport& outReport, TUSBI2CReport& inReport);

    // Status texts into the status panel.
    void ErrorMessage(std::uint8_t acknowledge);
    void ResetWarning();

    // Attachment. The owner routes the controller's change notices to HIDCtlDeviceChange
    // (directly or queued through its event loop); a notice that arrives while the handler
    // is still running is dropped.
    bool HIDCtlEnumerate(const hid::DeviceInfo& hidDev, int idx);
    void HIDCtlDeviceChange();
    void DeviceAttachMessage(bool attached);
    void GetFirmwareRev();
    void GetSerialNumber();
    // Returns the bus-line state, or kLinesUnknown when the adapter did not answer.
    std::uint8_t GetI2CPortStatus();
    void ResetBus();  // Options > "Reset I2C bus"

    // Clock (kHz request); returns the exchange's status (170 with no adapter). A request
    // outside 1..48000 kHz is treated as the nearest one inside.
    std::uint8_t HID_UpdateClock(std::uint32_t newClock, bool drive);

    [[nodiscard]] bool attached() const { return HID_I2C != nullptr; }
    [[nodiscard]] const std::string& firmwareRev() const { return firmwareRev_; }
    [[nodiscard]] std::int32_t SerialNumber() const { return serialNumber_; }
    [[nodiscard]] std::int32_t ActualClock() const { return actualClock_; }

private:
    // The exchange; false when no input report came back (the status is then 170).
    bool exchange(const TUSBI2CReport& outReport, TUSBI2CReport& inReport);
    // Sends a command without fields; false when the adapter did not answer.
    bool sendCommand(Command command, TUSBI2CReport& inReport);
    std::uint8_t sendWrite(const TUSBI2CReport& outReport);
    void sendRead(const TUSBI2CReport& outReport, TUSBI2CReport& inReport);
    void failNoAdapter(TUSBI2CReport* inReport);

    hid::Controller& controller_;
    StatusSink& sink_;
    AdapterListener& listener_;
    std::unique_ptr<hid::Device> HID_I2C;
    std::string firmwareRev_;
    std::int32_t serialNumber_ = 0;
    std::int32_t actualClock_ = 100000;
    bool inDeviceChange_ = false;
};

}  // namespace parvex::adapter
