#include "sim/register_device.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "sim/report_builders.h"
#include "sim/virtual_adapter.h"

namespace parvex::sim {
namespace {

using test::inData;
using test::transferReport;

class RegisterDeviceTest : public ::testing::Test {
protected:
    RegisterDeviceTest() { adapter.bus().attach(device); }
    TUSBI2CReport send(const std::vector<std::uint8_t>& write, std::uint8_t readCount) {
        TUSBI2CReport in{};
        adapter.exchange(transferReport(0x48, write, readCount), in);
        return in;
    }

    VirtualAdapter adapter;
    std::shared_ptr<RegisterDevice> device = std::make_shared<RegisterDevice>(0x48, 8);
};

TEST_F(RegisterDeviceTest, WritesAutoIncrementAndWrapAtTheCount) {
    EXPECT_EQ(send({6, 0x60, 0x70, 0x00, 0x10}, 0)[report::kStatus], status::kSuccess);
    EXPECT_EQ(device->registers(), (std::vector<std::uint8_t>{0x00, 0x10, 0, 0, 0, 0, 0x60, 0x70}));
    EXPECT_EQ(device->registerPointer(), 2u);
}

TEST_F(RegisterDeviceTest, ReadsContinueFromThePointer) {
    device->registers() = {10, 11, 12, 13, 14, 15, 16, 17};
    EXPECT_EQ(inData(send({5}, 2), 2), (std::vector<std::uint8_t>{15, 16}));
    EXPECT_EQ(inData(send({}, 3), 3), (std::vector<std::uint8_t>{17, 10, 11}));
    // A pointer beyond the last register wraps like the increment does.
    EXPECT_EQ(inData(send({9}, 1), 1)[0], 11);
}

TEST_F(RegisterDeviceTest, FirstByteOfEachWriteIsThePointer) {
    send({3, 0xAA}, 0);
    send({3}, 0);
    EXPECT_EQ(device->registers()[3], 0xAA);
    EXPECT_EQ(device->registerPointer(), 3u);
}

TEST(RegisterDeviceCount, AcceptsOneTo256) {
    EXPECT_THROW(RegisterDevice(0x40, 0), std::invalid_argument);
    EXPECT_THROW(RegisterDevice(0x40, 257), std::invalid_argument);
    EXPECT_EQ(RegisterDevice(0x40, 1).registers().size(), 1u);
    RegisterDevice full(0x41, 256);
    EXPECT_TRUE(full.answers(0x40));
    EXPECT_EQ(full.registers().size(), 256u);
}

}  // namespace
}  // namespace parvex::sim
