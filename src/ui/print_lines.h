#pragma once
// Fixed-pitch text lines onto paper (or a PDF): each line at the left edge of the printable
// area, one line height below the last, a new page when the next line does not fit. Heading
// lines are simply the first lines written, so they appear on the first page only.

#include <QString>
#include <QStringList>

class QPagedPaintDevice;

namespace parvex::ui {

struct PrintStyle {
    QString fontFamily = QStringLiteral("Courier New");
    int pointSize = 10;
    qreal marginMm = 15;
};

// Prints `heading` then `lines` onto `device` and ends the job. Returns the number of pages
// printed, or 0 when the device could not be painted on (nothing was printed).
int printLines(QPagedPaintDevice& device, const PrintStyle& style, const QStringList& heading,
               const QStringList& lines);

}  // namespace parvex::ui
