#include "shell/links.h"

#include <QDesktopServices>

namespace parvex::shell {
namespace {
UrlOpener& opener() {
    static UrlOpener current;
    return current;
}
}  // namespace

bool openUrl(const QUrl& url) {
    if (opener()) return opener()(url);
    return QDesktopServices::openUrl(url);
}

void setUrlOpener(UrlOpener replacement) {
    opener() = std::move(replacement);
}

}  // namespace parvex::shell
