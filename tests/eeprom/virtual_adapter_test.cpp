// Write All and Verify end to end: the adapter link over the in-process virtual adapter,
// with the default 2048-byte EEPROM (16-byte pages) on its bus.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adapter/adapter_link.h"
#include "common/wait.h"
#include "eeprom/bus_ops.h"
#include "eeprom/geometry.h"
#include "eeprom/image.h"
#include "hid/virtual_backend.h"
#include "sim/virtual_adapter.h"
#include "support/null_adapter_window.h"

namespace parvex::eeprom {
namespace {

class OverVirtualAdapter : public ::testing::Test {
protected:
    void SetUp() override {
        devices = sim::addDefaultDevices(ctl.adapter().bus());
        ctl.plug();
        link.HIDCtlDeviceChange();
        ASSERT_TRUE(link.attached());
        devices.eeprom->memory().assign(2048, 0x00);
        for (int a = 0; a < 2048; ++a) image.setByte(a, static_cast<std::uint8_t>(a * 5 + 1));
    }

    timing::FakeClock fakeClock;
    timing::ScopedClock scopedClock{fakeClock};
    hid::VirtualController ctl;
    sim::DefaultDevices devices;
    parvex::test::NullStatusSink sink;
    parvex::test::NullAdapterListener listener;
    adapter::AdapterLink link{ctl, sink, listener};
    Image image{2048};
};

TEST_F(OverVirtualAdapter, WriteAllThenVerifyWithTheChipsPageSize) {
    const auto written = writeAll(link, image, 0xA0, 16, kDefaultWriteTimeMs);
    EXPECT_EQ(written.status, 0);
    EXPECT_EQ(written.pagesWritten, 128);
    EXPECT_EQ(fakeClock.totalSleptMillis(), 128u * kDefaultWriteTimeMs);
    const auto expected = image.bytes().bytes;
    EXPECT_EQ(devices.eeprom->memory(), expected);

    const auto checked = verify(link, image, 0xA0);
    EXPECT_EQ(checked.status, 0);
    EXPECT_FALSE(checked.mismatchAddress);

    // Read All into an erased image gives the same cells back.
    Image readBack(2048);
    EXPECT_EQ(readAll(link, readBack, 0xA0), 0);
    EXPECT_EQ(readBack.bytes().bytes, expected);
}

TEST_F(OverVirtualAdapter, APageSizeTooLargeForTheChipWrapsAndVerifyFindsIt) {
    // Each 32-byte page wraps inside the chip's 16-byte page: its second half lands on its
    // first half, and the second half's addresses keep their old contents. Making the
    // first page's halves equal moves the first wrong address off 0.
    for (int a = 0; a < 16; ++a) image.setByte(a + 16, static_cast<std::uint8_t>(a * 5 + 1));
    const auto written = writeAll(link, image, 0xA0, 32, kDefaultWriteTimeMs);
    EXPECT_EQ(written.status, 0) << "the chip acknowledges every byte";
    EXPECT_EQ(written.pagesWritten, 64);

    const auto checked = verify(link, image, 0xA0);
    EXPECT_EQ(checked.status, 153);
    ASSERT_TRUE(checked.mismatchAddress);
    EXPECT_EQ(*checked.mismatchAddress, 0x10);
    EXPECT_EQ(verifyFailedMessage(*checked.mismatchAddress),
              "Device failed Verify at Address 0x10");
}

TEST_F(OverVirtualAdapter, WithoutTheAdapterNothingChangesAndStatusIs170) {
    ctl.unplug();
    link.HIDCtlDeviceChange();
    ASSERT_FALSE(link.attached());
    Image before = image;
    EXPECT_EQ(readAll(link, image, 0xA0), 170);
    EXPECT_EQ(image.bytes().bytes, before.bytes().bytes);
    EXPECT_EQ(writeAll(link, image, 0xA0, 8, 10).status, 255);
    EXPECT_EQ(verify(link, image, 0xA0).status, 170);
}

}  // namespace
}  // namespace parvex::eeprom
