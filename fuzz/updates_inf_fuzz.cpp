// libFuzzer target for the update check's reader of updates.inf, the one file the program
// takes from the network: any bytes as the server's answer, then the comparison with the
// program's own version that decides what the user is told.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "shell/update_service.h"

namespace {
void check(bool condition) {
    if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace parvex::shell;
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<UpdateInfo> info = parseUpdateInfo(text);
    if (!info) return 0;

    // Only dotted numbers, at most four of them, are taken for a version.
    const QStringList parts = info->version.split(QLatin1Char('.'));
    check(!parts.isEmpty() && parts.size() <= 4);
    for (const QString& part : parts) {
        check(!part.isEmpty());
        for (const QChar c : part) check(c >= QLatin1Char('0') && c <= QLatin1Char('9'));
    }

    // The verdict does not depend on which side is asked.
    const QString ours = QStringLiteral("1.3.1.0");
    check(compareVersions(info->version, info->version) == 0);
    check(compareVersions(info->version, ours) == -compareVersions(ours, info->version));

    // A version read back from the smallest file naming it is the same version.
    const QByteArray again = "[Parvex]\nVersion=" + info->version.toUtf8() + "\n";
    const std::optional<UpdateInfo> reread = parseUpdateInfo(again);
    check(reread && reread->version == info->version);
    return 0;
}
