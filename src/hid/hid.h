#pragma once
// What the program needs of a HID layer: enumeration with vendor and product
// identifiers, check-out, a plugged-in flag, device-change notices, and blocking
// write and read of 65-byte reports. Two backends implement it: hidapi for real
// adapters and an in-process virtual adapter.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace parvex::hid {

struct DeviceInfo {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string path;         // backend-specific identity (hidraw node, "virtual:0", ...)
    std::string productName;  // for display only
};

// How long a blocking read waits for the adapter's answer before the exchange fails.
inline constexpr int kReadTimeoutMs = 1000;

// A checked-out device. Reports are 65 bytes: byte 0 the report id (0), bytes 1 to 64 the data.
class Device {
public:
    virtual ~Device() = default;
    [[nodiscard]] virtual const DeviceInfo& info() const = 0;
    // False once the device has gone (pulled out, or an I/O error showed it is unusable).
    [[nodiscard]] virtual bool pluggedIn() const = 0;
    // Writes one output report. Returns the number of bytes written (the full length on
    // success); fewer, or -1, on failure.
    virtual int write(const std::uint8_t* report, std::size_t length) = 0;
    // Reads one input report into report[0..length); report[0] is set to 0 and the 64
    // payload bytes land in report[1..64]. Returns the bytes placed (length) on success,
    // 0 when nothing arrived within timeoutMs, -1 on an error (the device is then unplugged).
    virtual int read(std::uint8_t* report, std::size_t length, int timeoutMs) = 0;
    // Drops input reports still queued from earlier, timed-out exchanges.
    virtual void drainInput() = 0;
};

class Controller {
public:
    virtual ~Controller() = default;
    // Refreshes the list of HID devices present and calls back once per device, in list
    // order, with its index, until the callback returns false.
    virtual void enumerate(const std::function<bool(const DeviceInfo&, int index)>& callback) = 0;
    // Checks out the device at `index` of the last enumeration; nullptr if it cannot be opened.
    [[nodiscard]] virtual std::unique_ptr<Device> checkOut(int index) = 0;
    // Called whenever the set of HID devices present changes. The virtual backend calls it
    // synchronously from plug/unplug; the real backend from processNotices().
    virtual void setChangeHandler(std::function<void()> handler) = 0;
    // A descriptor that becomes readable when a notice is pending, or -1 if this backend
    // delivers notices through the change handler directly.
    [[nodiscard]] virtual int noticeDescriptor() const = 0;
    // Consumes pending notices on the descriptor and calls the change handler once if any
    // concerned a HID device.
    virtual void processNotices() = 0;
    // Why a check-out since the last enumeration failed, in words for the user with the
    // remedy, when the reason is one the user can mend (no permission to open the device);
    // empty otherwise. Without it a user would only see that no adapter is detected.
    [[nodiscard]] virtual std::string accessProblem() const { return {}; }
};

}  // namespace parvex::hid
