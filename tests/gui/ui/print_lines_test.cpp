// The print line writer, printing to PDF and reading the text back with pdftotext.

#include <gtest/gtest.h>

#include <QDir>
#include <QPageSize>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <vector>

#include "support/qt_printers.h"
#include "ui/print_lines.h"

namespace parvex::test {
namespace {

// The text of each page of a PDF, as pdftotext lays it out.
QStringList pdfPages(const QString& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) {
        ADD_FAILURE() << "pdftotext is missing: scripts/bootstrap installs poppler-utils";
        return {};
    }
    QProcess run;
    run.start(tool, {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!run.waitForFinished(30000) || run.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed on " << path.toStdString();
        return {};
    }
    QStringList pages = QString::fromUtf8(run.readAllStandardOutput()).split(QChar('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

// The non-empty lines of a page, blanks simplified: pdftotext spaces words by their
// position, which it reads back differently from page to page.
QStringList linesOf(const QString& page) {
    QStringList out;
    for (const QString& line : page.split(QChar('\n')))
        if (!line.trimmed().isEmpty()) out << line.simplified();
    return out;
}

QStringList simplified(const QStringList& lines) {
    QStringList out;
    for (const QString& line : lines) out << line.simplified();
    return out;
}

QStringList registerLines(int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("  0x%1     3C    ;Register %2")
                     .arg(QString::number(i % 256, 16).rightJustified(2, QChar('0')).toUpper())
                     .arg(i);
    return lines;
}

const QStringList kHeading{QStringLiteral("Device Name is: New Device"),
                           QStringLiteral("Device Address is: 0xAE"),
                           QStringLiteral("Register  Value  Register Description")};

class PrintLines : public ::testing::Test {
protected:
    // Prints to an A4 PDF and returns the pages' lines; `pages` gets the writer's count.
    std::vector<QStringList> print(const QStringList& heading, const QStringList& lines, int& pages,
                                   ui::PrintStyle style = {}) {
        const QString path = dir.filePath(QStringLiteral("out.pdf"));
        {
            QPdfWriter pdf(path);
            pdf.setPageSize(QPageSize(QPageSize::A4));
            pages = ui::printLines(pdf, style, heading, lines);
        }
        std::vector<QStringList> out;
        for (const QString& page : pdfPages(path)) out.push_back(linesOf(page));
        return out;
    }
    QTemporaryDir dir;
};

TEST_F(PrintLines, HeadingOnTheFirstPageOnlyAndEveryLineOnceInOrder) {
    const QStringList lines = registerLines(256);
    int pages = 0;
    const auto printed = print(kHeading, lines, pages);
    ASSERT_GE(pages, 2) << "256 lines of 10 point do not fit on one A4 page";
    ASSERT_EQ(static_cast<int>(printed.size()), pages) << "the count is the PDF's page count";

    EXPECT_EQ(printed[0].mid(0, 3), simplified(kHeading));
    QStringList body = printed[0].mid(3);
    for (std::size_t p = 1; p < printed.size(); ++p) {
        for (const QString& h : simplified(kHeading))
            EXPECT_FALSE(printed[p].contains(h)) << "page " << p + 1;
        body += printed[p];
    }
    EXPECT_EQ(body, simplified(lines));
    // Full pages hold the same number of lines: the first holds its heading in their place.
    for (std::size_t p = 1; p + 1 < printed.size(); ++p)
        EXPECT_EQ(printed[p].size(), printed[0].size()) << "page " << p + 1;
}

TEST_F(PrintLines, WiderMarginsHoldFewerLinesAPage) {
    int narrow = 0;
    int wide = 0;
    const auto a = print({}, registerLines(200), narrow, {QStringLiteral("Courier New"), 10, 15});
    const auto b = print({}, registerLines(200), wide, {QStringLiteral("Courier New"), 10, 60});
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    EXPECT_LT(b[0].size(), a[0].size());
    EXPECT_GT(wide, narrow);
}

TEST_F(PrintLines, NothingToPrintIsOneEmptyPageAndOneLineIsOnePage) {
    int pages = 0;
    print({}, {}, pages);
    EXPECT_EQ(pages, 1);
    const auto one = print({}, {QStringLiteral("  0x00     FF    ;Undefined Register")}, pages);
    EXPECT_EQ(pages, 1);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], QStringList{"0x00 FF ;Undefined Register"});
}

TEST_F(PrintLines, MarginsLeavingNoRoomStillPrintEveryLineOncePerPage) {
    const QString path = dir.filePath(QStringLiteral("tiny.pdf"));
    int pages = 0;
    {
        QPdfWriter pdf(path);
        pdf.setPageSize(QPageSize(QSizeF(40, 40), QPageSize::Millimeter));
        pages = ui::printLines(pdf, {QStringLiteral("Courier New"), 10, 19}, {},
                               {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    }
    EXPECT_EQ(pages, 3);
    EXPECT_EQ(static_cast<int>(pdfPages(path).size()), 3);
}

TEST_F(PrintLines, ADeviceThatCannotBePaintedOnPrintsNoPage) {
    QPdfWriter pdf(dir.filePath(QStringLiteral("no such folder/out.pdf")));
    EXPECT_EQ(ui::printLines(pdf, {}, {}, {QStringLiteral("A")}), 0);
}

}  // namespace
}  // namespace parvex::test
