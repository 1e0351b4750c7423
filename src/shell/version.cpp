#include "shell/version.h"

namespace parvex::shell {
namespace {
std::function<QString()>& source() {
    static std::function<QString()> current;
    return current;
}
}  // namespace

QString programFileVersion() {
    if (source()) return source()();
#ifdef PARVEX_FILE_VERSION
    return QStringLiteral(PARVEX_FILE_VERSION);
#else
    return {};
#endif
}

void setVersionSource(std::function<QString()> replacement) {
    source() = std::move(replacement);
}

}  // namespace parvex::shell
