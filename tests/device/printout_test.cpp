// The printed listing's lines.
#include <gtest/gtest.h>

#include "device/printout.h"

namespace parvex::device {
namespace {

TEST(Printout, LinesOfADevice) {
    TDeviceDefinition d;
    d.DeviceName = "New Device";
    d.DeviceAddress = 0xAE;
    d.setRegisterCount(32);
    d.RegisterValues[0x1F] = "3C";
    const auto lines = printoutLines(d);
    ASSERT_EQ(lines.size(), 35u);
    EXPECT_EQ(lines[0], "Device Name is: New Device");
    EXPECT_EQ(lines[1], "Device Address is: 0xAE");
    EXPECT_EQ(lines[2], "Register  Value  Register Description");
    EXPECT_EQ(lines[3], "  0x00     FF    ;Undefined Register");
    EXPECT_EQ(lines[34], "  0x1F     3C    ;Undefined Register");

    d.setRegisterCount(1);
    EXPECT_EQ(printoutLines(d).size(), 4u) << "MaxRegister 0 prints one register line";
}

}  // namespace
}  // namespace parvex::device
