#pragma once
// Definition files (".def") and the register text export (".txt"): INI text read and
// updated key by key (ini_text.h), so keys a write does not touch stay in the file.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "device/definition.h"

namespace parvex::device {

// A definition file larger than this is refused rather than read.
inline constexpr std::size_t kMaxDefinitionFileBytes = 1024 * 1024;

struct DefinitionRead {
    TDeviceDefinition device;  // DeviceAddress left at its default: the window derives it
    std::string addressText;   // "Address", verbatim ("00" when missing)
};
// Reads a definition from INI text with the defaults of missing keys ("Address" "00",
// "MaxRegister" 48, clamped into 0..255, "Name" "Unknown Device", values "FF",
// descriptions "Undefined Register"); registers above MaxRegister become "XX".
[[nodiscard]] DefinitionRead readDefinition(std::string_view bytes);
// Updates `existing` (the file's bytes, empty for a new file) with the device: Device Data
// keys, then, after erasing "Register Data" if asked, the register keys 0..MaxRegister.
[[nodiscard]] std::string writeDefinition(std::string_view existing,
                                          const TDeviceDefinition& device, bool eraseRegisterData);
// The register export over `existing`: Address, MaxRegister and hexadecimal register keys
// "00".."FF" with "value  ;description".
[[nodiscard]] std::string writeRegisterText(std::string_view existing,
                                            const TDeviceDefinition& device);

struct DefinitionFile {
    std::optional<DefinitionRead> read;
    std::optional<std::string> error;  // `Cannot read "<path>": <reason>`
};
[[nodiscard]] DefinitionFile ReadDefinitionFile(const std::string& path);
// Reads what the file holds (a missing file counts as empty), updates it and writes it
// whole through a temporary file renamed over it. Returns the error text on failure; the
// file is then unchanged.
[[nodiscard]] std::optional<std::string> WriteDefinitionFile(const TDeviceDefinition& device,
                                                             const std::string& path,
                                                             bool eraseRegisterData);
[[nodiscard]] std::optional<std::string> WriteRegisterTextFile(const TDeviceDefinition& device,
                                                               const std::string& path);

}  // namespace parvex::device
