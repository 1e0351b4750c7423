#pragma once
// The program's version as the build embedded it. The about box and --version read it
// through here so that tests can play a build without version information.

#include <QString>
#include <functional>

namespace parvex::shell {

// "1.3.1.0", or an empty string when the build carries no version.
[[nodiscard]] QString programFileVersion();

// Replaces where the version comes from; an empty function puts the embedded one back.
void setVersionSource(std::function<QString()> source);

}  // namespace parvex::shell
