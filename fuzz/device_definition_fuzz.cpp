// libFuzzer target for the definition file and register export: any bytes as a file read,
// then updated with a device and read again.
// Built with -DPARVEX_FUZZ=ON and run by scripts/fuzz.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "device/definition_file.h"
#include "device/ini_text.h"

namespace {
void check(bool condition) {
    if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace parvex::device;
    const std::string_view file(reinterpret_cast<const char*>(data), size);

    const DefinitionRead read = readDefinition(file);
    const TDeviceDefinition& d = read.device;
    check(d.MaxRegister >= 0 && d.MaxRegister < kRegisterSlots);
    for (int i = d.MaxRegister + 1; i < kRegisterSlots; ++i)
        check(d.RegisterValues[static_cast<std::size_t>(i)] == kUndefinedValue);

    // Whatever the file held, what we write is valid UTF-8 and reads back as written.
    const std::string saved = writeDefinition(file, d, size % 2 == 0);
    check(isValidUtf8(saved));
    const DefinitionRead again = readDefinition(saved);
    check(again.device.MaxRegister == d.MaxRegister);
    check(again.device.DeviceName == IniText(saved).value("Device Data", "Name").value_or(""));
    for (int i = 0; i <= d.MaxRegister; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        // Values are stored trimmed and on one line.
        check(again.device.RegisterValues[slot].find('\n') == std::string::npos);
    }
    const std::string exported = writeRegisterText(file, d);
    check(isValidUtf8(exported));
    return 0;
}
