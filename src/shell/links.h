#pragma once
// Opening web and mail addresses with the desktop. Tests install an opener of their own
// so that nothing is started on the machine running them.

#include <QUrl>
#include <functional>

namespace parvex::shell {

inline const QString kWebPageUrl = QStringLiteral("https://www.example.com/products.html");
inline const QString kSupportMail = QStringLiteral("support@example.com");
inline const QString kSalesMail = QStringLiteral("sales@example.com");

using UrlOpener = std::function<bool(const QUrl&)>;

// Opens `url` through the opener in force (QDesktopServices::openUrl unless replaced).
bool openUrl(const QUrl& url);
// Installs an opener; an empty one puts the desktop's back.
void setUrlOpener(UrlOpener opener);

}  // namespace parvex::shell
