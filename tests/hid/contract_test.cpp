// What the program relies on from any HID layer, run on the virtual backend, on the hidapi
// backend over stand-in hidraw nodes, and on the hidapi backend over a real adapter when
// one is plugged in.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/report.h"
#include "common/wait.h"
#include "hid/fake_hidraw.h"
#include "hid/hidapi_backend.h"
#include "hid/virtual_backend.h"
#include "sim/report_builders.h"

namespace parvex::hid {
namespace {

class Rig {
public:
    virtual ~Rig() = default;
    virtual Controller& controller() = 0;
    // Set when the rig cannot run here (no adapter present).
    [[nodiscard]] virtual std::string unavailable() { return {}; }
    // Whether the rig can pull the adapter out and put it back, notices included.
    [[nodiscard]] virtual bool canReplug() const { return true; }
    virtual void unplugAdapter() {}
    virtual void plugAdapter() {}
    // A real adapter answers a moment after the write; the drain cannot be timed there.
    [[nodiscard]] virtual bool answersAtOnce() const { return true; }
};

class VirtualRig final : public Rig {
public:
    VirtualRig() {
        sim::addDefaultDevices(controller_.adapter().bus());
        controller_.plugOtherDevice();
        controller_.plug();
    }
    Controller& controller() override { return controller_; }
    void unplugAdapter() override { controller_.unplug(); }
    void plugAdapter() override { controller_.plug(); }

private:
    VirtualController controller_;
};

class FakeHidrawRig final : public Rig {
public:
    FakeHidrawRig() {
        sim::addDefaultDevices(adapter_.bus());
        fake_.add("/dev/hidraw0", 0x1209, 0x0001, L"Mouse");
        plugNode();
        auto notices = std::make_unique<test::FakeNotices>();
        notices_ = notices.get();
        controller_ =
            std::make_unique<HidapiController>(test::FakeHidraw::calls(), std::move(notices));
    }
    Controller& controller() override { return *controller_; }
    void unplugAdapter() override {
        fake_.remove(kPath);
        notices_->pending.push_back({"remove", kPath});
        controller_->processNotices();
    }
    void plugAdapter() override {
        plugNode();
        notices_->pending.push_back({"add", kPath});
        controller_->processNotices();
    }

private:
    static constexpr const char* kPath = "/dev/hidraw1";
    void plugNode() { fake_.add(kPath, kAdapterVendorId, kAdapterProductId).adapter = &adapter_; }

    sim::VirtualAdapter adapter_;
    test::FakeHidraw fake_;
    test::FakeNotices* notices_ = nullptr;
    std::unique_ptr<HidapiController> controller_;
};

class RealRig final : public Rig {
public:
    Controller& controller() override { return controller_; }
    std::string unavailable() override {
        int found = -1;
        controller_.enumerate([&](const DeviceInfo& info, int index) {
            if (info.vendorId == kAdapterVendorId && info.productId == kAdapterProductId) {
                found = index;
            }
            return found < 0;
        });
        if (found < 0) return "no adapter plugged in";
        if (!controller_.checkOut(found)) {
            return "no access to the adapter's hidraw node (see resources/README.md)";
        }
        return {};
    }
    bool canReplug() const override { return false; }
    bool answersAtOnce() const override { return false; }

private:
    HidapiController controller_;
};

struct RigKind {
    const char* name;
    std::function<std::unique_ptr<Rig>()> make;
};

class HidContract : public ::testing::TestWithParam<RigKind> {
protected:
    void SetUp() override {
        rig = GetParam().make();
        if (const std::string why = rig->unavailable(); !why.empty()) GTEST_SKIP() << why;
    }

    // Index of the adapter in a fresh enumeration, or -1.
    int findAdapter() {
        int found = -1;
        rig->controller().enumerate([&](const DeviceInfo& info, int index) {
            if (info.vendorId == kAdapterVendorId && info.productId == kAdapterProductId) {
                found = index;
            }
            return found < 0;
        });
        return found;
    }

    std::unique_ptr<Device> checkOutAdapter() {
        const int index = findAdapter();
        return index < 0 ? nullptr : rig->controller().checkOut(index);
    }

    static TUSBI2CReport exchange(Device& device, std::uint8_t command) {
        const TUSBI2CReport out = test::commandReport(command);
        TUSBI2CReport in;
        in.fill(0xEE);
        EXPECT_EQ(device.write(out.data(), out.size()), static_cast<int>(kReportSize));
        EXPECT_EQ(device.read(in.data(), in.size(), kReadTimeoutMs), static_cast<int>(kReportSize));
        return in;
    }

    std::unique_ptr<Rig> rig;
};

TEST_P(HidContract, EnumerationListsTheAdapterAndStopsWhenAsked) {
    std::vector<DeviceInfo> seen;
    rig->controller().enumerate([&](const DeviceInfo& info, int index) {
        EXPECT_EQ(index, static_cast<int>(seen.size()));
        seen.push_back(info);
        return true;
    });
    const auto adapters = std::count_if(seen.begin(), seen.end(), [](const DeviceInfo& d) {
        return d.vendorId == kAdapterVendorId && d.productId == kAdapterProductId;
    });
    EXPECT_GE(adapters, 1);

    int calls = 0;
    rig->controller().enumerate([&](const DeviceInfo&, int) { return ++calls < 1; });
    EXPECT_EQ(calls, 1);
}

TEST_P(HidContract, CheckedOutAdapterAnswersEachReport) {
    auto device = checkOutAdapter();
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->pluggedIn());
    EXPECT_EQ(device->info().vendorId, kAdapterVendorId);
    EXPECT_EQ(device->info().productId, kAdapterProductId);
    EXPECT_FALSE(device->info().path.empty());

    device->drainInput();
    for (std::uint8_t command : {cmdFirmwareRev, cmdSerialNumber, cmdPortStatus}) {
        const TUSBI2CReport in = exchange(*device, command);
        EXPECT_EQ(in[report::kReportId], 0);
        EXPECT_EQ(in[report::kStatus], status::kSuccess) << int{command};
    }
}

TEST_P(HidContract, CheckOutIsExclusiveAndChecksTheIndex) {
    const int index = findAdapter();
    ASSERT_GE(index, 0);
    auto first = rig->controller().checkOut(index);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(rig->controller().checkOut(index), nullptr);
    first.reset();
    EXPECT_NE(rig->controller().checkOut(index), nullptr);

    int count = 0;
    rig->controller().enumerate([&](const DeviceInfo&, int) { return ++count > 0; });
    EXPECT_EQ(rig->controller().checkOut(-1), nullptr);
    EXPECT_EQ(rig->controller().checkOut(count), nullptr);
}

TEST_P(HidContract, ReadWithNothingPendingTimesOut) {
    timing::FakeClock clock;
    timing::ScopedClock scoped(clock);
    auto device = checkOutAdapter();
    ASSERT_NE(device, nullptr);
    device->drainInput();
    TUSBI2CReport in{};
    EXPECT_EQ(device->read(in.data(), in.size(), 5), 0);
    EXPECT_TRUE(device->pluggedIn());
}

TEST_P(HidContract, DrainDropsAnswersOfEarlierExchanges) {
    if (!rig->answersAtOnce()) GTEST_SKIP() << "the adapter's answer time is not known here";
    auto device = checkOutAdapter();
    ASSERT_NE(device, nullptr);
    const TUSBI2CReport serialAnswer = exchange(*device, cmdSerialNumber);

    const TUSBI2CReport stale = test::commandReport(cmdFirmwareRev);
    ASSERT_EQ(device->write(stale.data(), stale.size()), static_cast<int>(kReportSize));
    device->drainInput();
    EXPECT_EQ(exchange(*device, cmdSerialNumber), serialAnswer);
    TUSBI2CReport in{};
    EXPECT_EQ(device->read(in.data(), in.size(), 0), 0);
}

TEST_P(HidContract, UnplugKillsTheCheckedOutDeviceAndNotices) {
    if (!rig->canReplug()) GTEST_SKIP() << "cannot pull a real adapter out";
    int notices = 0;
    rig->controller().setChangeHandler([&] { ++notices; });
    auto device = checkOutAdapter();
    ASSERT_NE(device, nullptr);

    rig->unplugAdapter();
    EXPECT_EQ(notices, 1);
    EXPECT_FALSE(device->pluggedIn());
    const TUSBI2CReport out = test::commandReport(cmdSerialNumber);
    TUSBI2CReport in{};
    EXPECT_EQ(device->write(out.data(), out.size()), -1);
    EXPECT_EQ(device->read(in.data(), in.size(), 0), -1);
    EXPECT_EQ(findAdapter(), -1);

    rig->plugAdapter();
    EXPECT_EQ(notices, 2);
    EXPECT_FALSE(device->pluggedIn());
    auto again = checkOutAdapter();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(exchange(*again, cmdSerialNumber)[report::kStatus], status::kSuccess);
}

INSTANTIATE_TEST_SUITE_P(
    Backends, HidContract,
    ::testing::Values(RigKind{"Virtual", [] { return std::make_unique<VirtualRig>(); }},
                      RigKind{"HidapiOverFakeHidraw",
                              [] { return std::make_unique<FakeHidrawRig>(); }},
                      RigKind{"HidapiOverRealAdapter", [] { return std::make_unique<RealRig>(); }}),
    [](const ::testing::TestParamInfo<RigKind>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace parvex::hid
