#include "device/PrintWriter.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include "device/Forms.h"
#include "device/printout.h"

namespace parvex::device {

QFont printFont() {
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(10);
    }
    return font;
}

std::optional<QString> printLines(QPrinter& printer, const std::vector<std::string>& lines) {
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&printer)) return QStringLiteral("The printer could not be started.");
    const QFont font = printFont();
    painter.setFont(font);
    const QFontMetrics metrics(font, &printer);
    const int lineHeight = metrics.lineSpacing();
    // The painter's origin is the top left of the printable area.
    const int pageHeight = printer.pageLayout().paintRectPixels(printer.resolution()).height();
    const auto pages = paginate(static_cast<int>(lines.size()), pageHeight, lineHeight);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p > 0) printer.newPage();
        for (int i = 0; i < pages[p].count; ++i) {
            const auto& line = lines[static_cast<std::size_t>(pages[p].first + i)];
            painter.drawText(0, i * lineHeight + metrics.ascent(), qs(line));
        }
    }
    painter.end();
    return std::nullopt;
}

}  // namespace parvex::device
