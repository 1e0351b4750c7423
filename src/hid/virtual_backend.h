#pragma once
// The HID layer over the in-process virtual adapter: the whole program runs and is tested
// without hardware. Plugging, unplugging, a stalled adapter and an unrelated HID device
// (a mouse) are switched on command; each change raises the change notice at once.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "common/report.h"
#include "hid/hid.h"
#include "sim/virtual_adapter.h"

namespace parvex::hid {

// A fault that strikes after a number of further exchanges, so that a person can watch it hit
// the middle of a bus operation that blocks the program while it runs.
struct ScheduledFault {
    enum class Kind { Unplug, Stall };
    Kind kind = Kind::Unplug;
    // Exchanges still answered normally before the fault strikes the next one.
    unsigned remaining = 0;
};

class VirtualController final : public Controller {
public:
    // Identity of the unrelated device plugOtherDevice() adds.
    static constexpr std::uint16_t kOtherVendorId = 0x1209;
    static constexpr std::uint16_t kOtherProductId = 0x0001;
    static constexpr const char* kAdapterPath = "virtual:0";
    static constexpr const char* kOtherPath = "virtual:mouse";

    // Starts unplugged, with an empty bus.
    VirtualController();
    ~VirtualController() override;
    VirtualController(const VirtualController&) = delete;
    VirtualController& operator=(const VirtualController&) = delete;

    sim::VirtualAdapter& adapter();

    // Plugging in powers the adapter on (clock back to 100 kHz); devices checked out
    // before an unplug stay dead after the next plug.
    void plug();
    void unplug();
    [[nodiscard]] bool plugged() const;
    // A stalled adapter takes reports but holds its answers back; they arrive, late,
    // once it is unstalled.
    void setStalled(bool stalled);
    [[nodiscard]] bool stalled() const;
    void plugOtherDevice();
    void unplugOtherDevice();

    // After `exchanges` more answered exchanges the adapter is pulled out during the next one:
    // its report is carried out but never answered. The notice comes at once.
    void scheduleUnplug(unsigned exchanges);
    // After `exchanges` more answered exchanges the adapter stalls (as setStalled(true)).
    void scheduleStall(unsigned exchanges);
    void cancelScheduledFault();
    [[nodiscard]] std::optional<ScheduledFault> scheduledFault() const;
    // The answers to the next `count` reports are held back; they all arrive inside the
    // exchange after them, between its write and its read, where a link that takes the first
    // report to come as its answer gets one that belongs to an earlier exchange.
    void holdAnswers(unsigned count);

    // Time every exchange takes on the link, in the clock in force: half carries the output
    // report, half the answer. 0 (the default) makes exchanges free; kFullSpeedLinkMs models
    // a full-speed USB HID adapter, one report in each direction in a 1 ms frame.
    static constexpr std::uint32_t kFullSpeedLinkMs = 2;
    void setLinkTimeMs(std::uint32_t ms);
    [[nodiscard]] std::uint32_t linkTimeMs() const;

    // Called after every report the adapter has taken (the tool window's live view).
    void setExchangeObserver(std::function<void()> observer);

    void enumerate(const std::function<bool(const DeviceInfo&, int index)>& callback) override;
    [[nodiscard]] std::unique_ptr<Device> checkOut(int index) override;
    void setChangeHandler(std::function<void()> handler) override;
    [[nodiscard]] int noticeDescriptor() const override { return -1; }
    void processNotices() override {}

    struct State;

private:
    std::shared_ptr<State> state_;
    std::vector<DeviceInfo> listed_;
};

}  // namespace parvex::hid
