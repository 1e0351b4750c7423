#include "hid/virtual_backend.h"

#include <algorithm>
#include <cstring>

#include "common/wait.h"

namespace parvex::hid {

// Shared with the devices checked out, which may outlive the controller.
struct VirtualController::State {
    sim::VirtualAdapter adapter;
    bool plugged = false;
    bool otherPlugged = false;
    bool stalled = false;
    // Bumped at every plug: a device object belongs to one plugged-in period only.
    std::uint64_t session = 0;
    bool checkedOut = false;
    std::deque<TUSBI2CReport> held;     // answered while stalled, not yet sent
    std::deque<TUSBI2CReport> arrived;  // sent by the adapter, waiting to be read
    std::optional<ScheduledFault> fault;
    unsigned answersToHold = 0;
    bool releaseHeldAtNextWrite = false;
    std::uint32_t linkTimeMs = 0;
    std::function<void()> changeHandler;
    std::function<void()> observer;

    void notify() {
        // The handler may replace itself while it runs.
        if (auto handler = changeHandler) handler();
    }
    void unplug() {
        if (!plugged) return;
        plugged = false;
        checkedOut = false;
        fault.reset();
        answersToHold = 0;
        releaseHeldAtNextWrite = false;
        held.clear();
        arrived.clear();
        notify();
    }
    void releaseHeld() {
        for (const auto& in : held) arrived.push_back(in);
        held.clear();
    }
    // The fault that strikes this exchange, counting it down otherwise.
    std::optional<ScheduledFault::Kind> faultDue() {
        if (!fault) return std::nullopt;
        if (fault->remaining > 0) {
            --fault->remaining;
            return std::nullopt;
        }
        const ScheduledFault::Kind kind = fault->kind;
        fault.reset();
        return kind;
    }
};

namespace {

DeviceInfo adapterInfo() {
    return {kAdapterVendorId, kAdapterProductId, VirtualController::kAdapterPath,
            "Parvex virtual adapter"};
}

DeviceInfo otherInfo() {
    return {VirtualController::kOtherVendorId, VirtualController::kOtherProductId,
            VirtualController::kOtherPath, "Virtual mouse"};
}

class VirtualDevice final : public Device {
public:
    explicit VirtualDevice(std::shared_ptr<VirtualController::State> state)
        : state_(std::move(state)), session_(state_->session), info_(adapterInfo()) {
        state_->checkedOut = true;
    }
    ~VirtualDevice() override {
        if (live()) state_->checkedOut = false;
    }
    VirtualDevice(const VirtualDevice&) = delete;
    VirtualDevice& operator=(const VirtualDevice&) = delete;

    const DeviceInfo& info() const override { return info_; }
    bool pluggedIn() const override { return live(); }

    int write(const std::uint8_t* report, std::size_t length) override {
        // The adapter has one output report of 65 bytes, id 0.
        if (!live() || report == nullptr || length == 0 || length > kReportSize || report[0] != 0) {
            return -1;
        }
        TUSBI2CReport out{};
        std::memcpy(out.data(), report, length);
        // The notice of a scheduled pull may free this device object; the state lives on.
        const std::shared_ptr<VirtualController::State> keep = state_;
        VirtualController::State& s = *keep;
        if (s.releaseHeldAtNextWrite && !s.stalled) {
            s.releaseHeldAtNextWrite = false;
            s.releaseHeld();
        }
        const auto fault = s.faultDue();
        if (fault == ScheduledFault::Kind::Stall) s.stalled = true;
        TUSBI2CReport in{};
        // The command is carried out once its report has crossed the link, so a chip's write
        // cycle starts half-way through the exchange, and its answer crosses back after it.
        const std::uint32_t outMs = s.linkTimeMs / 2;
        timing::sleepMs(outMs);
        s.adapter.exchange(out, in);
        timing::sleepMs(s.linkTimeMs - outMs);
        if (fault == ScheduledFault::Kind::Unplug) {
            s.unplug();
        } else if (s.stalled) {
            s.held.push_back(in);
        } else if (s.answersToHold > 0) {
            s.held.push_back(in);
            s.releaseHeldAtNextWrite = --s.answersToHold == 0;
        } else {
            s.arrived.push_back(in);
        }
        if (auto observer = s.observer) observer();
        return static_cast<int>(length);
    }

    int read(std::uint8_t* report, std::size_t length, int timeoutMs) override {
        if (!live() || report == nullptr) return -1;
        if (state_->arrived.empty()) {
            // Nothing can arrive while this thread waits: the adapter lives on it. A
            // negative (endless) time-out would hang the program, so it waits the usual time.
            timing::sleepMs(static_cast<std::uint32_t>(timeoutMs < 0 ? kReadTimeoutMs : timeoutMs));
            return 0;
        }
        const TUSBI2CReport in = state_->arrived.front();
        state_->arrived.pop_front();
        const std::size_t placed = std::min(length, kReportSize);
        std::memcpy(report, in.data(), placed);
        if (placed > 0) report[0] = 0;
        return static_cast<int>(placed);
    }

    void drainInput() override {
        if (live()) state_->arrived.clear();
    }

private:
    bool live() const { return state_->plugged && state_->session == session_; }

    std::shared_ptr<VirtualController::State> state_;
    std::uint64_t session_;
    DeviceInfo info_;
};

}  // namespace

VirtualController::VirtualController() : state_(std::make_shared<State>()) {}

VirtualController::~VirtualController() = default;

sim::VirtualAdapter& VirtualController::adapter() {
    return state_->adapter;
}

void VirtualController::plug() {
    if (state_->plugged) return;
    state_->plugged = true;
    ++state_->session;
    state_->checkedOut = false;
    state_->adapter.powerOn();
    state_->notify();
}

void VirtualController::unplug() {
    state_->unplug();
}

bool VirtualController::plugged() const {
    return state_->plugged;
}

void VirtualController::setStalled(bool stalled) {
    state_->stalled = stalled;
    if (!stalled) {
        state_->answersToHold = 0;
        state_->releaseHeldAtNextWrite = false;
        state_->releaseHeld();
    }
}

bool VirtualController::stalled() const {
    return state_->stalled;
}

void VirtualController::plugOtherDevice() {
    if (state_->otherPlugged) return;
    state_->otherPlugged = true;
    state_->notify();
}

void VirtualController::unplugOtherDevice() {
    if (!state_->otherPlugged) return;
    state_->otherPlugged = false;
    state_->notify();
}

void VirtualController::enumerate(
    const std::function<bool(const DeviceInfo&, int index)>& callback) {
    listed_.clear();
    if (state_->otherPlugged) listed_.push_back(otherInfo());
    if (state_->plugged) listed_.push_back(adapterInfo());
    // The callback may check devices out, so it walks a copy of the list.
    const std::vector<DeviceInfo> listed = listed_;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (!callback(listed[i], static_cast<int>(i))) break;
    }
}

std::unique_ptr<Device> VirtualController::checkOut(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= listed_.size()) return nullptr;
    // Only the adapter can be opened; the mouse is, as on a real system, not ours to open.
    if (listed_[static_cast<std::size_t>(index)].path != kAdapterPath) return nullptr;
    if (!state_->plugged || state_->checkedOut) return nullptr;
    return std::make_unique<VirtualDevice>(state_);
}

void VirtualController::setChangeHandler(std::function<void()> handler) {
    state_->changeHandler = std::move(handler);
}

void VirtualController::scheduleUnplug(unsigned exchanges) {
    state_->fault = ScheduledFault{ScheduledFault::Kind::Unplug, exchanges};
}

void VirtualController::scheduleStall(unsigned exchanges) {
    state_->fault = ScheduledFault{ScheduledFault::Kind::Stall, exchanges};
}

void VirtualController::cancelScheduledFault() {
    state_->fault.reset();
}

std::optional<ScheduledFault> VirtualController::scheduledFault() const {
    return state_->fault;
}

void VirtualController::holdAnswers(unsigned count) {
    state_->answersToHold = count;
    state_->releaseHeldAtNextWrite = false;
}

void VirtualController::setLinkTimeMs(std::uint32_t ms) {
    state_->linkTimeMs = ms;
}

std::uint32_t VirtualController::linkTimeMs() const {
    return state_->linkTimeMs;
}

void VirtualController::setExchangeObserver(std::function<void()> observer) {
    state_->observer = std::move(observer);
}

}  // namespace parvex::hid
