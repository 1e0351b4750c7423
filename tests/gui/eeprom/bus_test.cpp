// Read Byte, Read All, Write Byte, Write All and Verify over the virtual adapter.

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <vector>

#include "eeprom/geometry.h"
#include "gui/eeprom/editor_fixture.h"
#include "ui/byte_grid_view.h"

namespace parvex::test {
namespace {

std::vector<std::uint8_t> pattern(int size, int seed) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i) bytes[static_cast<std::size_t>(i)] = std::uint8_t(i * 7 + seed);
    return bytes;
}

std::vector<std::uint8_t> gridBytes(eeprom::TfrmSmallEE& w) {
    const eeprom::ImageBytes b = w.image().bytes();
    EXPECT_FALSE(b.error.has_value());
    return b.bytes;
}

class RoundTripBySize : public EditorTest, public ::testing::WithParamInterface<int> {};

TEST_P(RoundTripBySize, ReadAllWriteAllAndVerifyMoveTheWholeChip) {
    const int size = GetParam();
    auto chip = host.plugWithChip(size);
    chip->memory() = pattern(size, 3);
    eeprom::TfrmSmallEE* w = host.openEditor(size);

    ctl(w).btnRead->click();
    EXPECT_EQ(gridBytes(*w), chip->memory());
    EXPECT_EQ(asciiCell(*w, 0), ".");
    EXPECT_EQ(host.status, statusOf(0));
    const int reads = size == 16 ? 1 : size / 32;
    EXPECT_EQ(host.transferCount, reads);
    EXPECT_TRUE(w->busButtonsAttached());

    // Change the grid, write it back, check the chip holds it, then verify.
    const std::vector<std::uint8_t> fresh = pattern(size, 100);
    w->image().setBytes(0, fresh);
    host.transferCount = 0;
    ctl(w).btnWrite->click();
    EXPECT_EQ(chip->memory(), fresh);
    EXPECT_EQ(host.transferCount, size / 8);  // page 8
    EXPECT_EQ(host.status, statusOf(0));
    EXPECT_EQ(host.progress.back(), 100);
    EXPECT_EQ(clock.totalSleptMillis(), std::uint64_t(size / 8 * 10));
    EXPECT_EQ(host.statusWidth, 250);
    EXPECT_EQ(host.progressWidth, 0);
    for (const auto& widths : host.widthsAtProgress) EXPECT_EQ(widths, std::make_pair(0, 250));

    ctl(w).btnVerify->click();
    EXPECT_EQ(host.status, statusOf(65));
    EXPECT_TRUE(prompts.events.empty());
    EXPECT_TRUE(ctl(w).stgMemory->isEnabled());
    EXPECT_FALSE(w->Modified());
}

std::vector<int> allSizes() {
    std::vector<int> sizes;
    for (const eeprom::Geometry& g : eeprom::geometries()) sizes.push_back(g.bytes);
    return sizes;
}

INSTANTIATE_TEST_SUITE_P(AllSizes, RoundTripBySize, ::testing::ValuesIn(allSizes()));

TEST_F(EditorTest, ReadAllOf512BytesAtA4ReadsA4ThenA6) {
    auto chip = host.plugWithChip(512, 16, 0xA4);
    chip->memory() = pattern(512, 9);
    eeprom::TfrmSmallEE* w = host.openEditor(512);
    ctl(w).cmbAddress->setCurrentIndex(1);
    ASSERT_EQ(ctl(w).cmbAddress->currentText(), "A4");

    ctl(w).btnRead->click();

    std::vector<SentTransfer> expected;
    for (int k = 0; k < 16; ++k) expected.push_back({k < 8 ? 0xA4 : 0xA6, (k % 8) * 32, 1, 32});
    EXPECT_EQ(sentTransfers(host.controller.adapter()), expected);
    EXPECT_EQ(gridBytes(*w), chip->memory());
    // The second block lands in grid rows 17 to 32 (model rows 16 to 31).
    EXPECT_EQ(hexCell(*w, 0x100),
              QString("%1").arg(chip->memory()[0x100], 2, 16, QChar('0')).toUpper());
}

TEST_F(EditorTest, ReadByteAndWriteByteUseTheClickedAddress) {
    auto chip = host.plugWithChip(512);
    chip->memory()[0x1F3] = 0x5A;
    eeprom::TfrmSmallEE* w = host.openEditor(512);
    clickCell(ctl(w).stgMemory, 31, 3);
    ASSERT_EQ(ctl(w).lblWordAddress->text(), "1F3");

    ctl(w).btnReadOne->click();
    EXPECT_EQ(sentTransfers(host.controller.adapter()).back(), (SentTransfer{0xA2, 0xF3, 1, 1}));
    EXPECT_EQ(hexCell(*w, 0x1F3), "5A");
    EXPECT_EQ(asciiCell(*w, 0x1F3), "Z");
    EXPECT_EQ(host.status, statusOf(0));

    QAbstractItemModel* hex = ctl(w).stgMemory->model();
    hex->setData(hex->index(31, 3), "C3");
    ctl(w).btnWriteOne->click();
    EXPECT_EQ(chip->memory()[0x1F3], 0xC3);
    EXPECT_EQ(clock.totalSleptMillis(), 0u);  // Write Byte does not wait
}

TEST_F(EditorTest, ReadAllEndsWithTheFirstFailureAndMarksItsCells) {
    auto chip = host.plugWithChip(256);
    chip->memory() = pattern(256, 5);
    eeprom::TfrmSmallEE* w = host.openEditor(256);
    // The third read (bytes 40..5F) is not acknowledged, the fifth finds the lines low; the
    // last read succeeds.
    host.beforeTransfer = [&](int n) {
        if (n == 2) host.controller.adapter().forceNextStatus(2);
        if (n == 4) host.controller.adapter().forceNextStatus(16);
    };
    ctl(w).btnRead->click();
    EXPECT_EQ(host.status, statusOf(2));

    const auto failedColour = [&](int address) {
        QAbstractItemModel* hex = ctl(w).stgMemory->model();
        QAbstractItemModel* ascii = ctl(w).stgText->model();
        const QModelIndex cell = hex->index(address / 16, address % 16);
        const QVariant mark = hex->data(cell, Qt::ForegroundRole);
        EXPECT_EQ(mark, ascii->data(ascii->index(address / 16, address % 16), Qt::ForegroundRole));
        return mark.isValid();
    };
    for (int a = 0; a < 256; ++a) {
        const bool failed = (a >= 0x40 && a < 0x60) || (a >= 0x80 && a < 0xA0);
        EXPECT_EQ(failedColour(a), failed) << a;
        EXPECT_EQ(
            hexCell(*w, a),
            failed ? "FF"
                   : QString("%1").arg(chip->memory()[std::size_t(a)], 2, 16, QChar('0')).toUpper())
            << a;
    }
    // The grids paint cell colours only while the model says some cell has one.
    const auto anyColour = [&](QTableView* grid) {
        return grid->model()->data(QModelIndex(), ui::kAnyCellColourRole).toBool();
    };
    EXPECT_TRUE(anyColour(ctl(w).stgMemory));
    EXPECT_TRUE(anyColour(ctl(w).stgText));
    // An edit takes its cell's mark off; the next good Read All takes them all off.
    clickCell(ctl(w).stgMemory, 4, 0);
    typeKeys("12");
    EXPECT_FALSE(failedColour(0x40));
    EXPECT_TRUE(failedColour(0x41));
    host.beforeTransfer = nullptr;
    ctl(w).btnRead->click();
    EXPECT_EQ(host.status, statusOf(0));
    for (int a = 0; a < 256; ++a) EXPECT_FALSE(failedColour(a)) << a;
    EXPECT_FALSE(anyColour(ctl(w).stgMemory));
}

TEST_F(EditorTest, FailedPageWriteStopsWriteAll) {
    auto chip = host.plugWithChip(256);
    eeprom::TfrmSmallEE* w = host.openEditor(256);
    w->image().setBytes(0, pattern(256, 1));
    bool attachedDuringWrite = true;
    host.beforeTransfer = [&](int n) {
        attachedDuringWrite = attachedDuringWrite && !w->busButtonsAttached();
        if (n == 2) host.controller.adapter().forceNextStatus(2);
    };

    ctl(w).btnWrite->click();

    EXPECT_EQ(host.transferCount, 3);
    EXPECT_TRUE(attachedDuringWrite) << "the bus buttons listened during Write All";
    EXPECT_TRUE(w->busButtonsAttached());
    EXPECT_EQ(host.status, statusOf(255));
    EXPECT_EQ(host.progress, (std::vector<int>{0, 3, 6}));  // 32 pages of 8
    EXPECT_EQ(clock.totalSleptMillis(), 20u);
    const std::vector<std::uint8_t> expected = pattern(256, 1);
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + 16, chip->memory().begin()));
    EXPECT_EQ(chip->memory()[16], 0xFF);
    EXPECT_EQ(host.statusWidth, 250);
    EXPECT_EQ(host.progressWidth, 0);

    // The buttons work again.
    host.beforeTransfer = nullptr;
    ctl(w).btnWrite->click();
    EXPECT_EQ(chip->memory(), expected);
}

TEST_F(EditorTest, WriteAllUsesPageSizeAndWriteTime) {
    auto chip = host.plugWithChip(16, 16);
    eeprom::TfrmSmallEE* w = host.openEditor(16);
    ctl(w).cmbPageSize->setCurrentText("32");
    ctl(w).btnWrite->click();
    EXPECT_EQ(host.transferCount, 0);
    EXPECT_EQ(host.status, statusOf(0));

    ctl(w).cmbPageSize->setCurrentText("1");
    ctl(w).spnWriteCycle->setValue(5);  // the chip's own write cycle
    ctl(w).btnWrite->click();
    const auto sent = sentTransfers(host.controller.adapter());
    ASSERT_EQ(sent.size(), 16u);
    EXPECT_EQ(sent[15], (SentTransfer{0xA0, 15, 2, 0}));
    EXPECT_EQ(clock.totalSleptMillis(), 80u);
    EXPECT_EQ(host.status, statusOf(0));

    // A write time shorter than the chip's cycle: the chip is still busy with the first
    // page and does not answer the second.
    host.controller.adapter().clearLog();
    ctl(w).spnWriteCycle->setValue(3);
    ctl(w).btnWrite->click();
    EXPECT_EQ(sentTransfers(host.controller.adapter()).size(), 2u);
    EXPECT_EQ(host.status, statusOf(255));
}

struct MismatchCase {
    int size;
    int address;
    const char* message;
};

class VerifyMismatch : public EditorTest, public ::testing::WithParamInterface<MismatchCase> {};

// The box and the status name the first difference; the reading goes on so that every
// difference is marked.
TEST_P(VerifyMismatch, ReportsTheFirstDifference) {
    const MismatchCase c = GetParam();
    auto chip = host.plugWithChip(c.size);
    eeprom::TfrmSmallEE* w = host.openEditor(c.size);
    chip->memory()[static_cast<std::size_t>(c.address)] = 0x12;
    bool gridDisabledDuringVerify = true;
    host.beforeTransfer = [&](int) {
        gridDisabledDuringVerify = gridDisabledDuringVerify && !ctl(w).stgMemory->isEnabled();
    };

    ctl(w).btnVerify->click();

    EXPECT_EQ(prompts.texts(), QStringList{c.message});
    EXPECT_EQ(prompts.events.at(0).kind, ScriptedPrompts::Kind::Error);
    EXPECT_EQ(host.transferCount, c.size / 32);
    EXPECT_TRUE(w->image().differs(c.address));
    EXPECT_EQ(host.status, statusOf(153));
    EXPECT_TRUE(gridDisabledDuringVerify);
    EXPECT_TRUE(ctl(w).stgMemory->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, VerifyMismatch,
    ::testing::Values(MismatchCase{512, 0x1F3, "Device failed Verify at Address 0x1F3"},
                      MismatchCase{256, 5, "Device failed Verify at Address 0x05"}));

TEST_F(EditorTest, VerifyShowsItsWaitTextFirst) {
    host.plugWithChip(128);
    eeprom::TfrmSmallEE* w = host.openEditor(128);
    QString statusBeforeFirstRead;
    host.beforeTransfer = [&](int n) {
        if (n == 0) statusBeforeFirstRead = host.status;
    };
    ctl(w).btnVerify->click();
    EXPECT_EQ(statusBeforeFirstRead, "<FONT color=\"clWhite\"> Verifying ... please wait</FONT>");
}

TEST_F(EditorTest, UnpluggedInTheMiddleOfReadAll) {
    auto chip = host.plugWithChip(2048, 16);
    chip->memory() = pattern(2048, 5);
    eeprom::TfrmSmallEE* w = host.openEditor(2048);
    host.beforeTransfer = [&](int n) {
        if (n == 10) host.controller.unplug();
    };

    ctl(w).btnRead->click();

    EXPECT_EQ(host.transferCount, 64);  // Read All goes on after a failed read
    EXPECT_EQ(hexCell(*w, 10 * 32 - 1),
              QString("%1").arg(chip->memory()[319], 2, 16, QChar('0')).toUpper());
    for (int a : {10 * 32, 2047}) EXPECT_EQ(hexCell(*w, a), "FF");
    EXPECT_EQ(host.status, statusOf(170));
    EXPECT_TRUE(w->busButtonsAttached());

    // Nothing attached: Verify stops at once with 170, Write All fails its first page.
    host.transferCount = 0;
    ctl(w).btnVerify->click();
    EXPECT_EQ(host.transferCount, 1);
    EXPECT_EQ(host.status, statusOf(170));
    ctl(w).btnWrite->click();
    EXPECT_EQ(host.status, statusOf(255));
    EXPECT_TRUE(prompts.events.empty());
}

TEST_F(EditorTest, ReadAllWithTheAdapterPulledAtEachExchange) {
    for (int pulledAt = 0; pulledAt < 8; ++pulledAt) {
        SCOPED_TRACE(pulledAt);
        auto chip = host.plugWithChip(256);
        chip->memory() = pattern(256, 9);
        eeprom::TfrmSmallEE* w = host.openEditor(256);
        host.transferCount = 0;
        host.beforeTransfer = [&](int n) {
            if (n == pulledAt) host.controller.unplug();
        };
        ctl(w).btnRead->click();
        host.beforeTransfer = nullptr;

        EXPECT_EQ(host.status, statusOf(170));
        EXPECT_TRUE(w->busButtonsAttached());
        QAbstractItemModel* hex = ctl(w).stgMemory->model();
        for (int a = 0; a < 256; a += 31) {
            const bool read = a < pulledAt * 32;
            const QModelIndex cell = hex->index(a / 16, a % 16);
            EXPECT_EQ(hex->data(cell, Qt::ForegroundRole).isValid(), !read) << a;
            EXPECT_EQ(
                hexCell(*w, a),
                read
                    ? QString("%1").arg(chip->memory()[std::size_t(a)], 2, 16, QChar('0')).toUpper()
                    : QString("FF"))
                << a;
        }
        host.controller.adapter().bus().detachAll();
        delete w;
    }
}

TEST_F(EditorTest, DisabledBusButtonsIgnoreClicks) {
    host.plugWithChip(16);
    eeprom::TfrmSmallEE* w = host.openEditor(16);
    w->Disable();
    for (QPushButton* b : {ctl(w).btnReadOne, ctl(w).btnRead, ctl(w).btnWriteOne, ctl(w).btnWrite})
        b->click();
    EXPECT_EQ(host.transferCount, 0);
    EXPECT_TRUE(ctl(w).btnRead->isEnabled());  // they look unchanged
    w->Enable();
    ctl(w).btnRead->click();
    EXPECT_EQ(host.transferCount, 1);
}

TEST_F(EditorTest, AddressThatIsNotHexSendsNothing) {
    host.plugWithChip(256);
    eeprom::TfrmSmallEE* w = host.openEditor(256);
    ctl(w).cmbAddress->setEditText("");
    ctl(w).btnRead->click();
    EXPECT_EQ(host.transferCount, 0);
    EXPECT_EQ(prompts.texts(), QStringList{"'' is not a valid hexadecimal value."});
}

}  // namespace
}  // namespace parvex::test
