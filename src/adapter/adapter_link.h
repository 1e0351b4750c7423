#pragma once
// The adapter link: the report exchange, the transfer operations, the status texts'
// reporting, finding and following the adapter, its identity, bus lines and clock.
// No windowing code: it reports through a status sink and an adapter-state listener,
// which the main window implements.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "adapter/journal.h"
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

// Reports carry no tag, so an answer that turns up after its exchange timed out would be taken
// for the next exchange's answer. The link therefore keeps track of whether it is in step
// with the adapter:
// - A read time-out leaves the link out of step: an answer may still be on its way.
// - Before the next exchange an out-of-step link re-synchronises: it sends a firmware revision
//   request, whose answer it can recognise, and drops every report until a revision answer
//   arrives, within one read time-out. Answers come in the order the requests went out, and
//   nothing but revision requests is sent while out of step, so all that may still follow is
//   revision answers owed to earlier requests: the link counts them and drops them wherever
//   they turn up. Only then does it send the exchange.
// - A re-synchronisation that fails gives the adapter up: every further exchange fails at once
//   with 170, so a bus operation of many exchanges over a silent adapter ends within about two
//   read time-outs instead of waiting one per exchange.
// - A given-up link tries again (out of step) at the next user action (newUserAction, which
//   the program calls whenever its event loop has run dry) or at the next device notice.
// - A device notice that changes the adapter object starts the new one in step.
enum class LinkSync { InStep, OutOfStep, GaveUp };

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

    // Between two user actions: a link that gave the adapter up may try to re-synchronise.
    void newUserAction();
    [[nodiscard]] LinkSync sync() const { return sync_; }

    // Every exchange from now on is recorded in `journal` (nullptr: none). The caller keeps
    // ownership; the journal must outlive the link or be taken away first.
    void setJournal(Journal* journal) { journal_ = journal; }
    [[nodiscard]] Journal* journal() const { return journal_; }

    [[nodiscard]] bool attached() const { return HID_I2C != nullptr; }
    [[nodiscard]] const std::string& firmwareRev() const { return firmwareRev_; }
    [[nodiscard]] std::int32_t SerialNumber() const { return serialNumber_; }
    [[nodiscard]] std::int32_t ActualClock() const { return actualClock_; }

private:
    // The exchange; false when no input report came back (the status is then 170).
    bool exchange(const TUSBI2CReport& outReport, TUSBI2CReport& inReport);
    // Write and read of one exchange on a link in step.
    bool sendAndReceive(const TUSBI2CReport& outReport, TUSBI2CReport& inReport);
    // Brings an out-of-step link back in step if it can; false for a link given up.
    bool getInStep();
    bool resynchronise();
    // Reads until the answer to a request of `command` comes, within one read time-out,
    // dropping what cannot be it; while re-synchronising, everything up to a revision answer.
    // Returns what the HID read returned: the report's size, 0 on time-out, -1 on an error.
    int readAnswer(std::uint8_t command, TUSBI2CReport& inReport, bool resyncing);
    [[nodiscard]] bool isProbeAnswer(const TUSBI2CReport& inReport) const;
    void forgetSync();
    // Sends a command without fields; false when the adapter did not answer.
    bool sendCommand(Command command, TUSBI2CReport& inReport);
    std::uint8_t sendWrite(const TUSBI2CReport& outReport);
    void sendRead(const TUSBI2CReport& outReport, TUSBI2CReport& inReport);
    void failNoAdapter(TUSBI2CReport* inReport);
    // One exchange's write and read as the journal keeps it; `read` is what the HID read
    // returned (-2: the write did not go out).
    void journalExchange(std::uint64_t startUs, const TUSBI2CReport& outReport,
                         const TUSBI2CReport& inReport, int read);

    hid::Controller& controller_;
    StatusSink& sink_;
    AdapterListener& listener_;
    std::unique_ptr<hid::Device> HID_I2C;
    std::string firmwareRev_;
    std::int32_t serialNumber_ = 0;
    std::int32_t actualClock_ = 100000;
    bool inDeviceChange_ = false;
    // A notice that comes while an exchange is under way waits for its end.
    bool inExchange_ = false;
    bool noticeDeferred_ = false;
    LinkSync sync_ = LinkSync::InStep;
    // Firmware revision requests sent whose answers have not been seen.
    int owedProbeAnswers_ = 0;
    // The revision answer of the adapter object in use: what a re-synchronisation waits for.
    std::optional<std::array<std::uint8_t, report::kFirmwareRevLength>> probeAnswer_;
    Journal* journal_ = nullptr;
};

}  // namespace parvex::adapter
