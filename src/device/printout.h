#pragma once
// The printed register listing: its lines, and how they fall onto pages.

#include <string>
#include <vector>

#include "device/definition.h"

namespace parvex::device {

// "Device Name is: ...", "Device Address is: 0x..", the column heading, then one line per
// defined register: "  0x1F     3C    ;Undefined Register".
[[nodiscard]] std::vector<std::string> printoutLines(const TDeviceDefinition& device);

struct PageLines {
    int first;
    int count;
    bool operator==(const PageLines& o) const { return first == o.first && count == o.count; }
};
// Lines go one lineHeight below the other from the top of each page; a line that would
// reach below pageHeight starts the next page. A page always takes at least one line.
[[nodiscard]] std::vector<PageLines> paginate(int lineCount, int pageHeight, int lineHeight);

}  // namespace parvex::device
