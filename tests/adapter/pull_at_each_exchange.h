#pragma once
// Pulling the adapter out at every exchange of a bus operation: the operation must end with
// 170 at once, send nothing after the pull, leave the link without an adapter and work again
// once the adapter is back.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "adapter/adapter_link.h"
#include "common/wait.h"
#include "fake_hid.h"
#include "hid/virtual_backend.h"
#include "sim/virtual_adapter.h"

namespace parvex::test {

// A link over a plugged-in virtual adapter with the default devices, on a fake clock; the
// virtual backend's notices reach the link at once, as they would through the event loop.
struct VirtualRig {
    VirtualRig() {
        devices = sim::addDefaultDevices(ctl.adapter().bus());
        ctl.setChangeHandler([this] { link.HIDCtlDeviceChange(); });
        ctl.plug();
        settle();
    }
    ~VirtualRig() { ctl.setChangeHandler(nullptr); }
    VirtualRig(const VirtualRig&) = delete;
    VirtualRig& operator=(const VirtualRig&) = delete;

    // Forgets what has happened so far: reports received, texts shown, time spent.
    void settle() {
        ctl.adapter().clearLog();
        rec.log.clear();
        startMs = clock.totalSleptMillis();
    }
    [[nodiscard]] std::size_t exchanges() { return ctl.adapter().outputLog().size(); }
    [[nodiscard]] std::uint64_t waitedMs() const { return clock.totalSleptMillis() - startMs; }

    timing::FakeClock clock;
    timing::ScopedClock scopedClock{clock};
    hid::VirtualController ctl;
    sim::DefaultDevices devices;
    Recorder rec;
    adapter::AdapterLink link{ctl, rec, rec};
    std::uint64_t startMs = 0;
};

// A bus operation: its outcome is the first failing status of its exchanges, else 0.
using BusOperation = std::function<std::uint8_t(VirtualRig&)>;

// Runs `operation` on a healthy rig to count its exchanges n, then for k = 1..n pulls the
// adapter at exchange k on a fresh rig. `prepare` brings each rig into the state under test
// before the operation starts. Returns n.
inline std::size_t pullAtEachExchange(const std::string& name, const BusOperation& operation,
                                      const std::function<void(VirtualRig&)>& prepare = {}) {
    std::size_t n = 0;
    {
        VirtualRig rig;
        if (prepare) prepare(rig);
        rig.settle();
        EXPECT_EQ(operation(rig), 0) << name << " without a fault";
        n = rig.exchanges();
    }
    for (std::size_t k = 1; k <= n; ++k) {
        VirtualRig rig;
        if (prepare) prepare(rig);
        rig.settle();
        rig.ctl.scheduleUnplug(static_cast<unsigned>(k - 1));
        EXPECT_EQ(operation(rig), 170) << name << " pulled at exchange " << k;
        EXPECT_EQ(rig.exchanges(), k) << name << " pulled at exchange " << k;
        EXPECT_FALSE(rig.link.attached()) << name << " pulled at exchange " << k;
        EXPECT_LE(rig.waitedMs(), 2u * hid::kReadTimeoutMs) << name << " pulled at exchange " << k;

        rig.ctl.plug();
        rig.settle();
        EXPECT_EQ(operation(rig), 0) << name << " after the adapter came back, pulled at " << k;
    }
    return n;
}

}  // namespace parvex::test
