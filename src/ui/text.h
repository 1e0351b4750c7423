#pragma once
// Texts cross between the cores (std::string, UTF-8) and the windows (QString) here only.

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

namespace parvex::ui {

// A core's text for a window. Takes the view's length, so a view into a longer string (or
// one holding NUL bytes) converts exactly what it shows.
[[nodiscard]] inline QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A window's text for a core, as UTF-8.
[[nodiscard]] inline std::string ss(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

}  // namespace parvex::ui
