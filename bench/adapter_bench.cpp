// Prints the host's cost of one exchange through the adapter link, and of reading a
// 2048-byte EEPROM in 64 reads of 32 bytes, over the in-process virtual adapter. The
// figures are the median of several timed batches, so a scheduling hiccup does not count.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "adapter/adapter_link.h"
#include "hid/virtual_backend.h"
#include "sim/virtual_adapter.h"
#include "support/null_adapter_window.h"

namespace {

using namespace parvex;

// Median time of one run of `body`, in nanoseconds, over `batches` batches of `runs` runs;
// `between` runs untimed after each batch.
double medianNs(int batches, int runs, const std::function<void()>& body,
                const std::function<void()>& between) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> perRun;
    for (int b = 0; b < batches; ++b) {
        between();
        const auto start = Clock::now();
        for (int r = 0; r < runs; ++r) body();
        const std::chrono::duration<double, std::nano> spent = Clock::now() - start;
        perRun.push_back(spent.count() / runs);
    }
    std::nth_element(perRun.begin(), perRun.begin() + batches / 2, perRun.end());
    return perRun[static_cast<std::size_t>(batches / 2)];
}

}  // namespace

int main() {
    hid::VirtualController controller;
    sim::addDefaultDevices(controller.adapter().bus());
    test::NullStatusSink sink;
    test::NullAdapterListener listener;
    adapter::AdapterLink link{controller, sink, listener};
    controller.setChangeHandler([&] { link.HIDCtlDeviceChange(); });
    controller.plug();
    if (!link.attached()) {
        std::fprintf(stderr, "the virtual adapter was not claimed\n");
        return 1;
    }
    // The adapter keeps every output report; emptied between batches so that the figures
    // do not include that log growing.
    auto& adapter = controller.adapter();
    const auto clearLog = [&] { adapter.clearLog(); };

    TUSBI2CReport in{};
    unsigned failures = 0;
    const double exchangeNs = medianNs(
        21, 20000,
        [&] {
            link.I2CReadByte(0xA0, 0x10, in);
            failures += in[2] != 0;
        },
        clearLog);

    const double read2kNs = medianNs(
        21, 200,
        [&] {
            for (int address = 0; address < 2048; address += 32) {
                const auto busAddress = static_cast<std::uint8_t>(0xA0 | ((address >> 8) << 1));
                link.I2CReadArray(busAddress, static_cast<std::uint8_t>(address & 0xFF), 32, in);
                failures += in[2] != 0;
            }
        },
        clearLog);
    controller.setChangeHandler(nullptr);

    if (failures != 0) {
        std::fprintf(stderr, "%u exchanges failed\n", failures);
        return 1;
    }
    std::printf("adapter.exchange.host_ns %.0f ns\n", exchangeNs);
    std::printf("adapter.read2k.host_us %.1f us\n", read2kNs / 1000.0);
    return 0;
}
