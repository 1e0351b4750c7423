#include "device/definition_file.h"

#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "common/file_io.h"
#include "device/ini_text.h"

namespace parvex::device {

namespace {

constexpr std::string_view kDeviceData = "Device Data";
constexpr std::string_view kRegisterData = "Register Data";
constexpr std::string_view kRegisterDescription = "Register Description";
constexpr int kMissingMaxRegister = 48;

// A decimal integer, as the profile readers take it: the whole text, an optional sign.
std::optional<long> integerOf(const std::string& text) {
    if (text.empty() || text.size() > 12) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size() || text.front() == ' ') return std::nullopt;
    return v;
}

// The existing bytes of a file about to be updated: nothing when there is no such file.
std::optional<std::string> existingBytes(const std::string& path, std::string& out) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 && errno == ENOENT) return std::nullopt;
    files::FileContents file = files::readWholeFile(path, kMaxDefinitionFileBytes);
    if (file.error) {
        // An update needs the keys already there; a file that cannot be read is not
        // written over.
        std::string reason = *file.error;
        const std::size_t colon = reason.find("\": ");
        if (colon != std::string::npos) reason = reason.substr(colon + 3);
        return "Cannot write \"" + path + "\": " + reason;
    }
    out = std::move(file.bytes);
    return std::nullopt;
}

}  // namespace

DefinitionRead readDefinition(std::string_view bytes) {
    const IniText ini(bytes);
    DefinitionRead out;
    TDeviceDefinition& d = out.device;
    out.addressText = ini.value(kDeviceData, "Address").value_or("00");
    long max = kMissingMaxRegister;
    if (const auto text = ini.value(kDeviceData, "MaxRegister"))
        max = integerOf(*text).value_or(kMissingMaxRegister);
    d.MaxRegister = static_cast<int>(std::clamp<long>(max, 0, kRegisterSlots - 1));
    d.DeviceName = ini.value(kDeviceData, "Name").value_or(std::string(kUnknownDevice));
    for (int i = 0; i < kRegisterSlots; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        if (i > d.MaxRegister) {
            d.RegisterValues[slot] = std::string(kUndefinedValue);
            d.RegisterDescriptions[slot] = std::string(kUndefinedDescription);
            continue;
        }
        const std::string key = std::to_string(i);
        d.RegisterValues[slot] = ini.value(kRegisterData, key).value_or(std::string(kUnknownValue));
        d.RegisterDescriptions[slot] =
            ini.value(kRegisterDescription, key).value_or(std::string(kUndefinedDescription));
    }
    return out;
}

std::string writeDefinition(std::string_view existing, const TDeviceDefinition& device,
                            bool eraseRegisterData) {
    IniText ini(existing);
    ini.setValue(kDeviceData, "Address", hexByte(device.DeviceAddress));
    ini.setValue(kDeviceData, "MaxRegister", std::to_string(device.MaxRegister));
    ini.setValue(kDeviceData, "Name", device.DeviceName);
    if (eraseRegisterData) ini.eraseSection(kRegisterData);
    for (int i = 0; i <= device.MaxRegister && i < kRegisterSlots; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        const std::string key = std::to_string(i);
        ini.setValue(kRegisterData, key, device.RegisterValues[slot]);
        ini.setValue(kRegisterDescription, key, device.RegisterDescriptions[slot]);
    }
    return ini.text();
}

std::string writeRegisterText(std::string_view existing, const TDeviceDefinition& device) {
    IniText ini(existing);
    ini.setValue(kDeviceData, "Address", hexByte(device.DeviceAddress));
    ini.setValue(kDeviceData, "MaxRegister", std::to_string(device.MaxRegister));
    for (int i = 0; i <= device.MaxRegister && i < kRegisterSlots; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        ini.setValue(kRegisterData, hexByte(i),
                     device.RegisterValues[slot] + "  ;" + device.RegisterDescriptions[slot]);
    }
    return ini.text();
}

DefinitionFile ReadDefinitionFile(const std::string& path) {
    const files::FileContents file = files::readWholeFile(path, kMaxDefinitionFileBytes);
    if (file.error) return {std::nullopt, file.error};
    return {readDefinition(file.bytes), std::nullopt};
}

std::optional<std::string> WriteDefinitionFile(const TDeviceDefinition& device,
                                               const std::string& path, bool eraseRegisterData) {
    std::string existing;
    if (auto error = existingBytes(path, existing)) return error;
    return files::saveFileReplacing(path, writeDefinition(existing, device, eraseRegisterData));
}

std::optional<std::string> WriteRegisterTextFile(const TDeviceDefinition& device,
                                                 const std::string& path) {
    std::string existing;
    if (auto error = existingBytes(path, existing)) return error;
    return files::saveFileReplacing(path, writeRegisterText(existing, device));
}

}  // namespace parvex::device
