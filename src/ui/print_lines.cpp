#include "ui/print_lines.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMarginsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

namespace parvex::ui {
namespace {

// The named font where the system has it, otherwise the platform's fixed-pitch font: the
// columns of a listing only line up in a fixed pitch.
QFont fixedPitchFont(const PrintStyle& style) {
    QFont font(style.fontFamily, style.pointSize);
    font.setStyleHint(QFont::TypeWriter, QFont::PreferMatch);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(style.pointSize);
    }
    return font;
}

class LineFlow {
public:
    LineFlow(QPagedPaintDevice& device, QPainter& painter)
        : device_(device), painter_(painter), metrics_(painter.fontMetrics()) {}

    void write(const QString& line) {
        // A line that does not fit on an empty page is printed all the same, cut off at the
        // bottom, rather than starting page after page without end.
        if (y_ > 0 && y_ + metrics_.height() > device_.height()) {
            device_.newPage();
            ++pages_;
            y_ = 0;
        }
        painter_.drawText(0, y_ + metrics_.ascent(), line);
        y_ += metrics_.lineSpacing();
    }
    [[nodiscard]] int pages() const { return pages_; }

private:
    QPagedPaintDevice& device_;
    QPainter& painter_;
    QFontMetrics metrics_;
    int y_ = 0;
    int pages_ = 1;
};

}  // namespace

int printLines(QPagedPaintDevice& device, const PrintStyle& style, const QStringList& heading,
               const QStringList& lines) {
    const qreal m = style.marginMm;
    device.setPageMargins(QMarginsF(m, m, m, m), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    painter.setFont(fixedPitchFont(style));
    LineFlow flow(device, painter);
    for (const QString& line : heading) flow.write(line);
    for (const QString& line : lines) flow.write(line);
    painter.end();
    return flow.pages();
}

}  // namespace parvex::ui
