#pragma once
// The printed register listing's lines.

#include <string>
#include <vector>

#include "device/definition.h"

namespace parvex::device {

// "Device Name is: ...", "Device Address is: 0x..", the column heading, then one line per
// defined register: "  0x1F     3C    ;Undefined Register".
[[nodiscard]] std::vector<std::string> printoutLines(const TDeviceDefinition& device);

}  // namespace parvex::device
