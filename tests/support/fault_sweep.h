#pragma once
// What the window fault sweeps share: the two faults, and which exchanges each one hits.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "adapter/adapter_link.h"
#include "common/wait.h"
#include "hid/virtual_backend.h"

namespace parvex::test {

enum class Fault { Unplug, Stall };

inline std::string faultName(const ::testing::TestParamInfo<Fault>& info) {
    return info.param == Fault::Unplug ? "Unplug" : "Stall";
}

// A handful of an operation's n exchanges (counting from 1): first, second, middle, last.
inline std::vector<int> handfulOf(int n) {
    std::vector<int> ks;
    for (int k : {1, 2, n / 2, n})
        if (k >= 1 && (ks.empty() || k > ks.back())) ks.push_back(k);
    return ks;
}

// The exchanges a sweep hits: every one for a pull; a handful for a stall, which costs read
// time-outs.
inline std::vector<int> exchangesToHit(Fault fault, int n) {
    if (fault == Fault::Stall) return handfulOf(n);
    std::vector<int> ks;
    for (int k = 1; k <= n; ++k) ks.push_back(k);
    return ks;
}

// The most a faulty operation may block the window beyond its own waits: a pull is seen at
// once; a stall costs the faulty exchange's read time-out and the one of the link's attempt
// to get back in step.
inline std::uint64_t faultCostLimitMs(Fault fault) {
    return fault == Fault::Unplug ? 0 : 2u * hid::kReadTimeoutMs;
}

// Lets the fault strike exchange k of the next operation; any fault still pending goes.
inline void arm(hid::VirtualController& virt, Fault fault, int k) {
    virt.cancelScheduledFault();
    if (fault == Fault::Unplug)
        virt.scheduleUnplug(unsigned(k - 1));
    else
        virt.scheduleStall(unsigned(k - 1));
}

// The adapter is plugged back in, or the stall ends and the user acts again. Plugging back in
// takes the user a while: a page write the pull cut short has long finished in the chip.
inline void recover(hid::VirtualController& virt, adapter::AdapterLink& link, Fault fault,
                    timing::FakeClock& clock) {
    if (fault == Fault::Unplug) {
        clock.advanceMicros(1'000'000);
        virt.plug();
    } else {
        virt.setStalled(false);
        link.newUserAction();
    }
}

}  // namespace parvex::test
