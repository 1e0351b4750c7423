#include "device/printout.h"

namespace parvex::device {

std::vector<std::string> printoutLines(const TDeviceDefinition& device) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(device.registerCount()) + 3);
    lines.push_back("Device Name is: " + device.DeviceName);
    lines.push_back("Device Address is: 0x" + hexByte(device.DeviceAddress));
    lines.emplace_back("Register  Value  Register Description");
    for (int i = 0; i <= device.MaxRegister && i < kRegisterSlots; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        lines.push_back("  0x" + hexByte(i) + "     " + device.RegisterValues[slot] + "    ;" +
                        device.RegisterDescriptions[slot]);
    }
    return lines;
}

}  // namespace parvex::device
