// What every window and core relies on from a set of transfer operations, run on the
// adapter link over the virtual adapter (its default 2 KB EEPROM at A0) and on the fake the
// core tests use, so the fake cannot drift from the link.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "adapter/adapter_link.h"
#include "adapter/transfers.h"
#include "common/report.h"
#include "common/wait.h"
#include "eeprom/fake_transfers.h"
#include "hid/virtual_backend.h"
#include "sim/eeprom24.h"
#include "sim/report_builders.h"
#include "sim/virtual_adapter.h"
#include "support/null_adapter_window.h"

namespace parvex::adapter {
namespace {

class Rig {
public:
    virtual ~Rig() = default;
    virtual Transfers& transfers() = 0;
    virtual void unplugAdapter() = 0;
};

class LinkRig final : public Rig {
public:
    LinkRig() {
        // The chip's write cycle is the chip's business, not the transfers'.
        sim::addDefaultDevices(controller_.adapter().bus()).eeprom->setWriteCycleMs(0);
        controller_.setChangeHandler([this] { link_.HIDCtlDeviceChange(); });
        controller_.plug();
    }
    ~LinkRig() override { controller_.setChangeHandler(nullptr); }
    Transfers& transfers() override { return link_; }
    void unplugAdapter() override { controller_.unplug(); }

private:
    hid::VirtualController controller_;
    test::NullStatusSink sink_;
    test::NullAdapterListener listener_;
    AdapterLink link_{controller_, sink_, listener_};
};

class FakeRig final : public Rig {
public:
    Transfers& transfers() override { return fake_; }
    void unplugAdapter() override { fake_.plugged = false; }

private:
    eeprom::test::FakeTransfers fake_;
};

struct RigKind {
    const char* name;
    std::function<std::unique_ptr<Rig>()> make;
};

void PrintTo(const RigKind& kind, std::ostream* os) {
    *os << kind.name;
}

// Every operation at one bus address, reduced to the status it gives.
struct Operation {
    const char* name;
    std::function<std::uint8_t(Transfers&, std::uint8_t address)> run;
};

std::uint8_t statusOf(const TUSBI2CReport& in) {
    return in[report::kStatus];
}

const std::vector<Operation>& everyOperation() {
    static const std::vector<Operation> operations{
        {"I2CWrite", [](Transfers& t, std::uint8_t a) { return t.I2CWrite(a, 0x00); }},
        {"I2CWriteByte", [](Transfers& t, std::uint8_t a) { return t.I2CWriteByte(a, 0, 1); }},
        {"I2CWriteArray",
         [](Transfers& t, std::uint8_t a) {
             const std::array<std::uint8_t, 4> data{1, 2, 3, 4};
             return t.I2CWriteArray(a, 0x10, 5, data.data());
         }},
        {"I2CRead",
         [](Transfers& t, std::uint8_t a) {
             TUSBI2CReport in{};
             t.I2CRead(a, in);
             return statusOf(in);
         }},
        {"I2CReadCount",
         [](Transfers& t, std::uint8_t a) {
             TUSBI2CReport in{};
             t.I2CReadCount(a, 3, in);
             return statusOf(in);
         }},
        {"I2CReadByte",
         [](Transfers& t, std::uint8_t a) {
             TUSBI2CReport in{};
             t.I2CReadByte(a, 0x10, in);
             return statusOf(in);
         }},
        {"I2CReadArray",
         [](Transfers& t, std::uint8_t a) {
             TUSBI2CReport in{};
             t.I2CReadArray(a, 0x10, 8, in);
             return statusOf(in);
         }},
        {"I2CDeviceWrite",
         [](Transfers& t, std::uint8_t a) {
             return t.I2CDeviceWrite(test::transferReport(a, {0x10, 0x55}, 0));
         }},
        {"I2CDeviceRead",
         [](Transfers& t, std::uint8_t a) {
             TUSBI2CReport in{};
             const std::uint8_t returned = t.I2CDeviceRead(test::transferReport(a, {0x10}, 4), in);
             EXPECT_EQ(returned, statusOf(in)) << "the returned status is the report's";
             return returned;
         }},
    };
    return operations;
}

class TransfersContract : public ::testing::TestWithParam<RigKind> {
protected:
    void SetUp() override {
        rig = GetParam().make();
        ASSERT_NE(rig, nullptr);
    }
    Transfers& bus() { return rig->transfers(); }

    timing::FakeClock clock;
    timing::ScopedClock scoped{clock};
    std::unique_ptr<Rig> rig;
};

TEST_P(TransfersContract, WrittenBytesReadBackWhereTheyWereWritten) {
    EXPECT_EQ(bus().I2CWriteByte(0xA0, 0x10, 0x5A), status::kSuccess);
    TUSBI2CReport in{};
    bus().I2CReadByte(0xA0, 0x10, in);
    EXPECT_EQ(in[report::kStatus], status::kSuccess);
    EXPECT_EQ(in[report::kInData], 0x5A);

    // numBytes counts the word address: 17 sends 16 data bytes, into the second block.
    std::vector<std::uint8_t> data(16);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(0xC0 + i);
    EXPECT_EQ(bus().I2CWriteArray(0xA2, 0x20, 17, data.data()), status::kSuccess);
    bus().I2CReadArray(0xA2, 0x1F, 18, in);
    ASSERT_EQ(in[report::kStatus], status::kSuccess);
    EXPECT_EQ(in[report::kInData], 0xFF) << "the byte before is untouched";
    for (std::size_t i = 0; i < data.size(); ++i) EXPECT_EQ(in[report::kInData + 1 + i], data[i]);
    EXPECT_EQ(in[report::kInData + 17], 0xFF) << "the byte after is untouched";

    bus().I2CReadByte(0xA0, 0x20, in);
    EXPECT_EQ(in[report::kInData], 0xFF) << "the first block kept its byte 0x20";
}

TEST_P(TransfersContract, ComposedReportsRunAsTheOperationsDo) {
    EXPECT_EQ(bus().I2CDeviceWrite(test::transferReport(0xA4, {0x08, 0x11, 0x22}, 0)),
              status::kSuccess);
    TUSBI2CReport in{};
    EXPECT_EQ(bus().I2CDeviceRead(test::transferReport(0xA4, {0x08}, 2), in), status::kSuccess);
    EXPECT_EQ(in[report::kInData], 0x11);
    EXPECT_EQ(in[report::kInData + 1], 0x22);
}

TEST_P(TransfersContract, CurrentAddressReadsFollowTheChipsPointer) {
    const std::array<std::uint8_t, 4> data{1, 2, 3, 4};
    ASSERT_EQ(bus().I2CWriteArray(0xA0, 0x40, 5, data.data()), status::kSuccess);
    // A lone byte written is taken as the word address.
    EXPECT_EQ(bus().I2CWrite(0xA0, 0x41), status::kSuccess);
    TUSBI2CReport in{};
    bus().I2CReadCount(0xA0, 2, in);
    ASSERT_EQ(in[report::kStatus], status::kSuccess);
    EXPECT_EQ(in[report::kInData], 2);
    EXPECT_EQ(in[report::kInData + 1], 3);
    bus().I2CRead(0xA0, in);
    ASSERT_EQ(in[report::kStatus], status::kSuccess);
    EXPECT_EQ(in[report::kInData], 4);
}

TEST_P(TransfersContract, AnAddressNobodyAnswersIsNotAcknowledged) {
    // 0x30: nothing on the bus; 0xB0: past the last block of the EEPROM at A0..AE.
    for (const std::uint8_t address : {std::uint8_t{0x30}, std::uint8_t{0xB0}}) {
        for (const Operation& op : everyOperation()) {
            EXPECT_EQ(op.run(bus(), address), status::kAddressNack)
                << op.name << " at " << int{address};
        }
    }
}

TEST_P(TransfersContract, MoreThanOneReportHoldsIsRefusedAndTheMostIsNot) {
    std::vector<std::uint8_t> data(report::kMaxWriteBytes, 0x33);
    EXPECT_EQ(bus().I2CWriteArray(0xA0, 0x00, report::kMaxWriteBytes, data.data()),
              status::kSuccess);
    EXPECT_EQ(bus().I2CWriteArray(0xA0, 0x00, report::kMaxWriteBytes + 1, data.data()),
              status::kInvalidRequest);

    const auto most = static_cast<std::uint8_t>(report::kMaxReadBytes);
    TUSBI2CReport in{};
    bus().I2CReadArray(0xA0, 0x00, most, in);
    EXPECT_EQ(in[report::kStatus], status::kSuccess);
    bus().I2CReadArray(0xA0, 0x00, most + 1, in);
    EXPECT_EQ(in[report::kStatus], status::kInvalidRequest);
    bus().I2CReadCount(0xA0, most, in);
    EXPECT_EQ(in[report::kStatus], status::kSuccess);
    bus().I2CReadCount(0xA0, most + 1, in);
    EXPECT_EQ(in[report::kStatus], status::kInvalidRequest);
}

TEST_P(TransfersContract, WithTheAdapterPulledEveryOperationGives170) {
    rig->unplugAdapter();
    for (const Operation& op : everyOperation())
        EXPECT_EQ(op.run(bus(), 0xA0), status::kNoHardware) << op.name;
    // Even a request no report could hold: there is no adapter to refuse it.
    std::vector<std::uint8_t> data(report::kMaxWriteBytes, 0);
    EXPECT_EQ(bus().I2CWriteArray(0xA0, 0x00, report::kMaxWriteBytes + 1, data.data()),
              status::kNoHardware);
}

INSTANTIATE_TEST_SUITE_P(
    Implementations, TransfersContract,
    ::testing::Values(RigKind{"AdapterLink", [] { return std::make_unique<LinkRig>(); }},
                      RigKind{"Fake", [] { return std::make_unique<FakeRig>(); }}),
    [](const ::testing::TestParamInfo<RigKind>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace parvex::adapter
