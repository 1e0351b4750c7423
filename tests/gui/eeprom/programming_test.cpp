// The editor's programming options in the window: polling for write completion and writing
// only what changed, their place in the settings, and what the spare status panel and the
// grids show after Write All, Write Byte, Read All and Verify.

#include <QCheckBox>
#include <QColor>
#include <random>

#include "gui/eeprom/editor_fixture.h"

namespace parvex::test {
namespace {

std::vector<std::uint8_t> randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::vector<std::uint8_t> bytes(n);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(gen());
    return bytes;
}

QCheckBox* checkBox(eeprom::TfrmSmallEE* w, const char* name) {
    auto* box = w->findChild<QCheckBox*>(QString::fromLatin1(name));
    if (!box) ADD_FAILURE() << "the editor has no " << name;
    return box;
}

QString spare(const QString& text, bool warning) {
    return QStringLiteral("<P align=\"center\"><FONT color=\"%1\">%2</FONT>")
        .arg(warning ? "clRed" : "clWhite", text);
}

// The cells the grid shows in a colour of their own, by byte address.
std::vector<int> colouredCells(eeprom::TfrmSmallEE* w, const char* grid) {
    const QAbstractItemModel* m = w->findChild<QTableView*>(QString::fromLatin1(grid))->model();
    std::vector<int> cells;
    for (int a = 0; a < w->image().size(); ++a)
        if (m->data(m->index(a / 16, a % 16), Qt::ForegroundRole).isValid()) cells.push_back(a);
    return cells;
}

class Programming : public EditorTest {
protected:
    eeprom::TfrmSmallEE* open2k(int cycleMs) {
        chip = host.plugWithChip(2048, 16);
        chip->setWriteCycleMs(static_cast<std::uint32_t>(cycleMs));
        eeprom::TfrmSmallEE* w = host.openEditor(2048);
        ctl(w).cmbPageSize->setCurrentText("16");
        return w;
    }
    std::shared_ptr<sim::Eeprom24> chip;
};

TEST_F(Programming, OptionsAreOffAtFirstAndKeptForLaterWindows) {
    eeprom::TfrmSmallEE* first = host.openEditor(256);
    for (const char* name : {"chbPollWrite", "chbWriteChanged"}) {
        SCOPED_TRACE(name);
        QCheckBox* box = checkBox(first, name);
        ASSERT_NE(box, nullptr);
        EXPECT_FALSE(box->isChecked());
        box->click();
        EXPECT_TRUE(checkBox(host.openEditor(512), name)->isChecked());
    }
    EXPECT_EQ(checkBox(first, "chbPollWrite")->text(), "Poll for write completion");
}

TEST_F(Programming, PolledWriteAllShowsTheMeasuredCycle) {
    eeprom::TfrmSmallEE* w = open2k(3);
    w->image().setBytes(0, randomBytes(2048, 3));
    checkBox(w, "chbPollWrite")->click();
    ctl(w).btnWrite->click();
    EXPECT_EQ(chip->memory(), w->image().bytes().bytes);
    EXPECT_EQ(host.status, statusOf(0));
    EXPECT_EQ(host.spare, spare("Cycle 3.0/3.0/3.0 ms", false));
    EXPECT_EQ(clock.totalSleptMillis(), 128u * 3) << "one millisecond between probes";
    EXPECT_EQ(host.progress.back(), 100);

    // A chip slower than the write time ends the run as a failed page does.
    chip->setWriteCycleMs(20);
    clock.advanceMicros(100'000);
    ctl(w).btnWrite->click();
    EXPECT_EQ(host.status, statusOf(255));
    EXPECT_EQ(host.spare, spare("Chip busy after page 000", true));
    EXPECT_TRUE(w->busButtonsAttached());
    EXPECT_EQ(host.statusWidth, 250);
    EXPECT_EQ(host.progressWidth, 0);
}

TEST_F(Programming, WriteOnlyChangedSaysHowManyPagesItWrote) {
    eeprom::TfrmSmallEE* w = open2k(3);
    chip->memory() = randomBytes(2048, 4);
    w->image().setBytes(0, chip->memory());
    w->image().setByte(0x7A1, static_cast<std::uint8_t>(chip->memory()[0x7A1] + 1));
    checkBox(w, "chbWriteChanged")->click();
    host.controller.adapter().clearLog();
    ctl(w).btnWrite->click();
    EXPECT_EQ(chip->memory(), w->image().bytes().bytes);
    EXPECT_EQ(host.spare, spare("Wrote 1 of 128 pages", false));
    // 64 reads and the one page.
    EXPECT_EQ(sentTransfers(host.controller.adapter()).size(), 65u);
    EXPECT_EQ(host.status, statusOf(0));
}

TEST_F(Programming, PolledWriteByteSaysWhatTheChipTook) {
    eeprom::TfrmSmallEE* w = open2k(4);
    checkBox(w, "chbPollWrite")->click();
    w->image().setByte(0, 0x42);
    ctl(w).btnWriteOne->click();
    EXPECT_EQ(chip->memory()[0], 0x42);
    EXPECT_EQ(host.spare, spare("Write cycle 4.0 ms", false));
    EXPECT_EQ(host.status, statusOf(0));

    chip->setWriteCycleMs(30);
    clock.advanceMicros(100'000);
    ctl(w).btnWriteOne->click();
    EXPECT_EQ(host.spare, spare("Chip busy after the write", true));
    EXPECT_EQ(host.status, statusOf(2)) << "the last probe's answer stands";
}

TEST_F(Programming, ReadAllWarnsOfAnImageThatRepeatsItself) {
    // A 1 KB chip that does not decode the address bit of the upper kilobyte.
    chip = host.plugWithChip(1024, 16);
    chip->setIgnoredAddressBits(0x08);
    chip->memory() = randomBytes(1024, 5);
    eeprom::TfrmSmallEE* w = host.openEditor(2048);
    ctl(w).btnRead->click();
    EXPECT_EQ(host.status, statusOf(0));
    EXPECT_EQ(host.spare, spare("Image repeats every 1024 bytes", true));
    EXPECT_EQ(host.spareHint,
              "The second half of the image repeats the first: a chip of 1024 bytes read as a "
              "larger one, or an address bit the chip ignores?");

    // A chip of the size asked for: the warning goes.
    host.controller.unplug();
    host.controller.adapter().bus().detachAll();
    chip = host.plugWithChip(2048, 16);
    chip->memory() = randomBytes(2048, 6);
    ctl(w).btnRead->click();
    EXPECT_EQ(host.status, statusOf(0));
    EXPECT_EQ(host.spare, QString());
}

TEST_F(Programming, VerifyMarksEveryDifferenceInBothGridsUntilTheCellChanges) {
    eeprom::TfrmSmallEE* w = open2k(0);
    chip->memory() = randomBytes(2048, 7);
    w->image().setBytes(0, chip->memory());
    const std::vector<int> differing{0x011, 0x012, 0x400, 0x7FF};
    for (const int a : differing) chip->memory()[std::size_t(a)] ^= 0x01;

    ctl(w).btnVerify->click();
    EXPECT_EQ(prompts.texts(), QStringList{"Device failed Verify at Address 0x11"});
    EXPECT_EQ(host.status, statusOf(153));
    EXPECT_EQ(host.spare, spare("4 bytes differ", true));
    EXPECT_EQ(colouredCells(w, "stgMemory"), differing);
    EXPECT_EQ(colouredCells(w, "stgText"), differing);

    // An edit takes its cell's mark off; a Read All the rest.
    w->image().setByte(0x400, 0x00);
    EXPECT_EQ(colouredCells(w, "stgMemory"), (std::vector<int>{0x011, 0x012, 0x7FF}));
    ctl(w).btnRead->click();
    EXPECT_TRUE(colouredCells(w, "stgMemory").empty());
    ctl(w).btnVerify->click();
    EXPECT_EQ(host.status, statusOf(65));
    EXPECT_EQ(host.spare, QString());
}

TEST_F(Programming, DifferenceMarksGoWithAWriteAll) {
    eeprom::TfrmSmallEE* w = open2k(0);
    chip->memory()[0x20] = 0x00;
    ctl(w).btnVerify->click();
    ASSERT_EQ(colouredCells(w, "stgText"), std::vector<int>{0x20});
    ctl(w).btnWrite->click();
    EXPECT_TRUE(colouredCells(w, "stgText").empty());
}

}  // namespace
}  // namespace parvex::test
