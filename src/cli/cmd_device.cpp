// device read | write of a definition file's registers.
#include "cli/commands.h"
#include "device/definition_file.h"
#include "device/register_bus.h"

namespace parvex::cli {

namespace {

std::string registerList(const device::TDeviceDefinition& d) {
    std::string json = "[";
    for (int r = 0; r <= d.MaxRegister; ++r) {
        if (r > 0) json += ',';
        json += jsonString(d.RegisterValues[static_cast<std::size_t>(r)]);
    }
    return json + "]";
}

}  // namespace

std::optional<std::string> checkDevice(const CommandLine& line) {
    if (line.words.size() != 3 || (line.words[1] != "read" && line.words[1] != "write")) {
        return "device needs read or write and one FILE.def";
    }
    return std::nullopt;
}

int runDevice(Context& c) {
    const std::string& action = c.line.words[1];
    const std::string& path = c.line.words[2];
    const auto exportPath = c.line.value("export");
    device::DefinitionFile file = device::ReadDefinitionFile(path);
    if (file.error) {
        c.console.error(*file.error);
        return kExitUsage;
    }
    device::TDeviceDefinition& d = file.read->device;
    const device::AddressCheck check = device::CheckAddress(file.read->addressText);
    if (!check.address) {
        c.console.error(check.error ? *check.error
                                    : "\"" + path + "\" holds no valid device address");
        return kExitUsage;
    }
    d.DeviceAddress = *check.address;
    JsonObject result;
    result.text("command", "device").text("action", action).text("file", path);
    result.text("address", hex2(d.DeviceAddress)).number("registers", d.registerCount());

    device::BusOutcome outcome = action == "read"
                                     ? device::readAll(c.session.link(), d, d.DeviceAddress)
                                     : device::writeAll(c.session.link(), d, d.DeviceAddress);
    if (outcome.error) {
        c.console.error("\"" + path + "\": " + *outcome.error);
        return kExitUsage;
    }
    if (outcome.status != status::kSuccess || !outcome.failed.empty()) {
        // Values a failed read left behind are not saved as though they had been read.
        return busFailure(c, result, action + " failed", outcome.status);
    }
    if (action == "read") {
        if (auto error = device::WriteDefinitionFile(d, path, false)) {
            c.console.error(*error);
            return kExitUsage;
        }
        for (int r = 0; r <= d.MaxRegister; ++r) {
            c.console.line(hex2(static_cast<unsigned>(r)) + ": " +
                           d.RegisterValues[static_cast<std::size_t>(r)]);
        }
        result.raw("values", registerList(d));
    } else {
        c.console.line("Wrote " + std::to_string(d.registerCount()) + " registers to " +
                       hex2(d.DeviceAddress));
    }
    if (exportPath) {
        if (auto error = device::WriteRegisterTextFile(d, *exportPath)) {
            c.console.error(*error);
            return kExitUsage;
        }
        result.text("export", *exportPath);
    }
    result.number("status", 0).text("statusText", plainStatusText(0));
    c.console.result(result);
    return kExitOk;
}

}  // namespace parvex::cli
