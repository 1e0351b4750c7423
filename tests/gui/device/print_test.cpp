// Printing the register listing, to a PDF file read back with pdftotext.
#include "gui/device/device_fixture.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace parvex::test {
namespace {

// The text of each page, one entry a line with its spaces simplified (blank lines dropped).
QList<QStringList> pdfPages(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed on " << pdf.toStdString();
        return {};
    }
    QList<QStringList> pages;
    QStringList text = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!text.isEmpty() && text.last().trimmed().isEmpty()) text.removeLast();
    for (const QString& page : text) {
        QStringList lines;
        for (const QString& line : page.split(QLatin1Char('\n')))
            // pdftotext estimates the spaces between words; the exact lines are the
            // printout core's business.
            if (!line.trimmed().isEmpty()) lines << line.simplified();
        pages << lines;
    }
    return pages;
}

TEST_F(DeviceTest, PrintsA256RegisterDeviceOntoPages) {
    device::TfrmLongI2C* w = open();
    QList<QString> descriptions, values;
    for (int i = 0; i < 256; ++i) {
        descriptions << QStringLiteral("Register number %1").arg(i);
        values << QString::number(255 - i, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    }
    w->applyDefinition({"New Device", "AE", 256, descriptions, values});
    prompts.printAnswers.push_back(true);
    prompts.printFile = qpath("listing.pdf");
    item(w, "mnuPrint")->trigger();
    ASSERT_TRUE(QFileInfo::exists(prompts.printFile));

    const QList<QStringList> pages = pdfPages(prompts.printFile);
    ASSERT_GE(pages.size(), 2);
    const QStringList& first = pages.first();
    ASSERT_GE(first.size(), 4);
    EXPECT_EQ(first[0], "Device Name is: New Device");
    EXPECT_EQ(first[1], "Device Address is: 0xAE");
    EXPECT_EQ(first[2], "Register Value Register Description");
    EXPECT_EQ(first[3], "0x00 FF ;Register number 0");

    // Every register once, in order; the headings on the first page only; every page but
    // the last as full as the first.
    QStringList registers;
    for (int p = 0; p < pages.size(); ++p) {
        for (const QString& line : pages[p]) {
            if (line.startsWith(QLatin1String("0x"))) registers << line;
            if (p > 0) {
                EXPECT_FALSE(line.startsWith(QLatin1String("Device"))) << p;
            }
        }
        if (p + 1 < pages.size()) {
            EXPECT_EQ(pages[p].size(), first.size()) << "page " << p + 1;
        }
    }
    ASSERT_EQ(registers.size(), 256);
    EXPECT_EQ(registers[255], "0xFF 00 ;Register number 255");
    const int perPage = static_cast<int>(first.size());
    EXPECT_EQ(pages.size(), (259 + perPage - 1) / perPage);
}

TEST_F(DeviceTest, APrinterThatCannotStartSaysSo) {
    device::TfrmLongI2C* w = open();
    prompts.printAnswers.push_back(true);
    prompts.printFile = qpath("no such folder/listing.pdf");
    item(w, "mnuPrint")->trigger();
    EXPECT_EQ(prompts.texts(), QStringList{"The printer could not be started."});
    EXPECT_FALSE(QFileInfo::exists(prompts.printFile));
}

TEST_F(DeviceTest, ACancelledPrintDialogPrintsNothing) {
    device::TfrmLongI2C* w = open();
    prompts.printAnswers.push_back(false);
    prompts.printFile = qpath("none.pdf");
    item(w, "mnuPrint")->trigger();
    EXPECT_EQ(prompts.events.size(), 1u);
    EXPECT_FALSE(QFileInfo::exists(prompts.printFile));
}

}  // namespace
}  // namespace parvex::test
