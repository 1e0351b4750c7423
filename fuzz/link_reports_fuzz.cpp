// libFuzzer target for the adapter link's handling of whatever the adapter sends back: any
// run of answers, late answers, short reports, time-outs and errors, against any run of
// transfer operations, arrivals and user actions.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>

#include "adapter/adapter_link.h"
#include "common/wait.h"
#include "hid/hid.h"

namespace {

using parvex::TUSBI2CReport;
namespace hid = parvex::hid;

void check(bool condition) {
    if (!condition) std::abort();
}

// The fuzz input, consumed a byte at a time; zeros once it runs out.
struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::uint8_t next() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
    [[nodiscard]] bool done() const { return size == 0; }
};

// An adapter whose every read is decided by the input: a report of fuzzed bytes (full or
// short), a time-out, or an error; writes sometimes fail or come up short.
class FuzzedDevice final : public hid::Device {
public:
    FuzzedDevice(Input& in, parvex::timing::FakeClock& clock, int& reads)
        : in_(in), clock_(clock), reads_(reads) {}
    const hid::DeviceInfo& info() const override { return info_; }
    bool pluggedIn() const override { return plugged_; }
    int write(const std::uint8_t* report, std::size_t length) override {
        check(report != nullptr && length == parvex::kReportSize);
        if (!plugged_) return -1;
        const std::uint8_t how = in_.next();
        if (how == 0xFF) return -1;
        if (how == 0xFE) return 64;
        return static_cast<int>(length);
    }
    int read(std::uint8_t* report, std::size_t length, int timeoutMs) override {
        check(report != nullptr && length == parvex::kReportSize);
        check(timeoutMs > 0 && timeoutMs <= hid::kReadTimeoutMs);
        ++reads_;
        if (!plugged_) return -1;
        const std::uint8_t how = in_.next();
        if (how < 0x10 || in_.done()) {
            clock_.sleepMillis(static_cast<std::uint32_t>(timeoutMs));
            return 0;
        }
        if (how == 0x10) {
            plugged_ = false;
            return -1;
        }
        const std::size_t placed = how < 0x18 ? how : length;
        std::memset(report, 0, length);
        for (std::size_t i = 1; i < placed; ++i) report[i] = in_.next();
        return static_cast<int>(placed);
    }
    void drainInput() override {}

private:
    Input& in_;
    parvex::timing::FakeClock& clock_;
    int& reads_;
    hid::DeviceInfo info_{parvex::kAdapterVendorId, parvex::kAdapterProductId, "fuzz", "fuzz"};
    bool plugged_ = true;
};

class FuzzedController final : public hid::Controller {
public:
    FuzzedController(Input& in, parvex::timing::FakeClock& clock) : in_(in), clock_(clock) {}
    void enumerate(const std::function<bool(const hid::DeviceInfo&, int)>& callback) override {
        callback({parvex::kAdapterVendorId, parvex::kAdapterProductId, "fuzz", "fuzz"}, 0);
    }
    std::unique_ptr<hid::Device> checkOut(int) override {
        return std::make_unique<FuzzedDevice>(in_, clock_, reads);
    }
    void setChangeHandler(std::function<void()>) override {}
    int noticeDescriptor() const override { return -1; }
    void processNotices() override {}

    // HID reads since the last reset, by every device checked out.
    int reads = 0;

private:
    Input& in_;
    parvex::timing::FakeClock& clock_;
};

struct NullUi final : parvex::adapter::StatusSink, parvex::adapter::AdapterListener {
    void showStatus(const std::string&) override {}
    void setOptionsMenuEnabled(bool) override {}
    void setStatusBarEnabled(bool) override {}
    void setHardwarePanel(const std::string&) override {}
    void setFrequencyPanel(const std::string&) override {}
    void showBusLineMessage(const std::string&) override {}
    void repaintStatusBar() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    parvex::timing::FakeClock clock;
    parvex::timing::ScopedClock scoped(clock);
    FuzzedController controller(in, clock);
    NullUi ui;
    parvex::adapter::AdapterLink link(controller, ui, ui);
    link.HIDCtlDeviceChange();

    for (int step = 0; step < 64 && !in.done(); ++step) {
        const std::uint8_t op = in.next();
        controller.reads = 0;
        const std::uint64_t before = clock.totalSleptMillis();
        TUSBI2CReport report{};
        report[1] = 0x55;  // a stale byte that must not pass for an answer's
        switch (op % 8) {
            case 0:
                link.I2CReadArray(0xA0, op, op % 63, report);
                break;
            case 1: {
                std::uint8_t bytes[57] = {};
                link.I2CWriteArray(0x40, op, static_cast<std::uint16_t>(op % 60), bytes);
                break;
            }
            case 2:
                link.I2CDeviceRead(report, report);
                break;
            case 3:
                link.newUserAction();
                break;
            case 4:
                link.HIDCtlDeviceChange();
                break;
            case 5:
                link.HID_UpdateClock(op * 100u, true);
                break;
            case 6:
                link.GetI2CPortStatus();
                break;
            default:
                link.ResetBus();
                break;
        }
        // An operation blocks for at most two read time-outs; an arrival, three exchanges of
        // its own, for three at worst (back in step, then its first two exchanges time out).
        check(clock.totalSleptMillis() - before <= 3u * hid::kReadTimeoutMs);
        check(controller.reads <= 6 * 257);
    }
    return 0;
}
