// The window as each size sets it up, and its two grid models.

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>

#include "gui/eeprom/editor_fixture.h"

namespace parvex::test {
namespace {

struct SizeCase {
    int bytes;
    const char* caption;
    int dataRows;
    const char* lastRowLabel;
    QStringList addresses;
    bool addressEnabled;
    const char* fill[2];
    int fillMax;
    const char* copy[3];
    int copyMax;
};

const SizeCase kSizes[] = {
    {16,
     "16 Byte (128 bit) EEPROM",
     1,
     "0",
     {"A0", "A2", "A4", "A6", "A8", "AA", "AC", "AE"},
     true,
     {"0", "F"},
     1,
     {"0", "7", "8"},
     1},
    {128,
     "128 Byte (1024 bit) RAM / FRAM",
     8,
     "7",
     {"A0", "A2", "A4", "A6", "A8", "AA", "AC", "AE"},
     true,
     {"00", "7F"},
     2,
     {"00", "3F", "40"},
     2},
    {256,
     "256 Byte (2048 bit) EEPROM",
     16,
     "F",
     {"A0", "A2", "A4", "A6", "A8", "AA", "AC", "AE"},
     true,
     {"00", "FF"},
     2,
     {"00", "7F", "80"},
     2},
    {512,
     "512 Byte (4k bit) EEPROM",
     32,
     "1F",
     {"A0", "A4", "A8", "AC"},
     true,
     {"00", "0FF"},
     3,
     {"000", "07F", "80"},
     3},
    {1024,
     "1024 Byte (8k bit) EEPROM",
     64,
     "3F",
     {"A0", "A8"},
     true,
     {"00", "0FF"},
     3,
     {"000", "07F", "80"},
     3},
    {2048,
     "2048 Byte (16k bit) EEPROM",
     128,
     "7F",
     {"A0"},
     false,
     {"00", "0FF"},
     3,
     {"000", "07F", "80"},
     3},
};

class SetUpBySize : public EditorTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(SetUpBySize, CaptionSizeAddressesFieldsAndGrids) {
    const SizeCase& c = GetParam();
    eeprom::TfrmSmallEE* w = host.openEditor(c.bytes);

    EXPECT_EQ(w->windowTitle(), QString::fromLatin1(c.caption));
    EXPECT_EQ(ctl(w).lblDeviceSize->text(), QString::number(c.bytes));
    EXPECT_EQ(w->deviceSize(), c.bytes);
    QStringList items;
    for (int i = 0; i < ctl(w).cmbAddress->count(); ++i) items << ctl(w).cmbAddress->itemText(i);
    EXPECT_EQ(items, c.addresses);
    EXPECT_EQ(ctl(w).cmbAddress->currentText(), "A0");
    EXPECT_EQ(ctl(w).cmbAddress->isEnabled(), c.addressEnabled);
    EXPECT_EQ(ctl(w).cmbPageSize->currentText(), "8");
    EXPECT_EQ(ctl(w).spnWriteCycle->value(), 10);
    EXPECT_EQ(ctl(w).lblWordAddress->text(), "000");

    EXPECT_EQ(ctl(w).edtFrom->text(), c.fill[0]);
    EXPECT_EQ(ctl(w).edtTo->text(), c.fill[1]);
    EXPECT_EQ(ctl(w).edtPreset->text(), "FF");
    EXPECT_EQ(ctl(w).edtCopyStart->text(), c.copy[0]);
    EXPECT_EQ(ctl(w).edtCopyEnd->text(), c.copy[1]);
    EXPECT_EQ(ctl(w).edtTargetStart->text(), c.copy[2]);
    // The maximum lengths bound what is typed: a fifth digit never gets in.
    const std::pair<QLineEdit*, int> limits[] = {
        {ctl(w).edtFrom, c.fillMax},    {ctl(w).edtTo, c.fillMax},
        {ctl(w).edtPreset, 2},          {ctl(w).edtCopyStart, c.copyMax},
        {ctl(w).edtCopyEnd, c.copyMax}, {ctl(w).edtTargetStart, c.copyMax},
    };
    for (const auto& [field, limit] : limits) {
        const QString before = field->text();
        field->setFocus();
        field->selectAll();
        typeKeys("12345");
        EXPECT_EQ(field->text(), QString("12345").left(limit)) << field->objectName().toStdString();
        field->setText(before);
    }

    QAbstractItemModel* hex = ctl(w).stgMemory->model();
    QAbstractItemModel* ascii = ctl(w).stgText->model();
    EXPECT_EQ(hex->rowCount(), c.dataRows);
    EXPECT_EQ(ascii->rowCount(), c.dataRows);
    EXPECT_EQ(hex->columnCount(), 16);
    EXPECT_EQ(hex->headerData(0, Qt::Vertical).toString(), "0");
    EXPECT_EQ(hex->headerData(c.dataRows - 1, Qt::Vertical).toString(), c.lastRowLabel);
    EXPECT_TRUE(ctl(w).stgText->verticalHeader()->isHidden());
    for (int a : {0, c.bytes - 1}) {
        EXPECT_EQ(hexCell(*w, a), "FF");
        EXPECT_EQ(asciiCell(*w, a), ".");
    }
    EXPECT_FALSE(w->Modified());
}

INSTANTIATE_TEST_SUITE_P(AllSizes, SetUpBySize, ::testing::ValuesIn(kSizes),
                         [](const auto& info) { return std::to_string(info.param.bytes); });

TEST_F(EditorTest, ControlsCarryTheirCaptionsHintsAndLimits) {
    eeprom::TfrmSmallEE* w = host.openEditor(256);
    EXPECT_EQ(ctl(w).btnReadOne->text(), "Read Byte");
    EXPECT_EQ(ctl(w).btnRead->text(), "Read All");
    EXPECT_EQ(ctl(w).btnWriteOne->text(), "Write B&yte");
    EXPECT_EQ(ctl(w).btnWriteOne->toolTip(), "Write byte defined by Byte Address");
    EXPECT_EQ(ctl(w).btnWrite->text(), "&Write All");
    EXPECT_EQ(ctl(w).btnWrite->toolTip(), "Write entire EEPROM");
    EXPECT_EQ(ctl(w).btnVerify->toolTip(), "Verify EE contents against data in grid");
    EXPECT_EQ(ctl(w).btnFill->text(), "Fill Buffer");
    EXPECT_EQ(ctl(w).btnFill->toolTip(), "Fill address range with data");
    EXPECT_EQ(ctl(w).btnCopy->text(), "Copy Block");
    EXPECT_EQ(ctl(w).btnCopy->toolTip(), "Copy data from one address range to another");
    EXPECT_EQ(ctl(w).cmbAddress->toolTip(), QString::fromUtf8("I²C Address Selection"));
    EXPECT_EQ(ctl(w).stgMemory->toolTip(), "Enter a single two digit Hex number into each cell");
    EXPECT_EQ(ctl(w).stgText->toolTip(), "Enter a single ASCII character into each cell");
    EXPECT_EQ(ctl(w).spnWriteCycle->minimum(), 0);
    EXPECT_EQ(ctl(w).spnWriteCycle->maximum(), 100);
    EXPECT_EQ(ctl(w).stgMemory->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    EXPECT_EQ(ctl(w).stgMemory->horizontalScrollBar()->maximum(), 0)
        << "the hex grid never scrolls sideways";
    EXPECT_EQ(ctl(w).spnWriteCycle->text(), "10 ms");
    EXPECT_TRUE(ctl(w).stgMemory->alternatingRowColors());
    for (const char* name :
         {"lblDeviceSize", "cmbAddress",     "cmbPageSize", "spnWriteCycle", "lblWordAddress",
          "btnReadOne",    "btnRead",        "btnWriteOne", "btnWrite",      "btnVerify",
          "edtFrom",       "edtTo",          "edtPreset",   "btnFill",       "edtCopyStart",
          "edtCopyEnd",    "edtTargetStart", "btnCopy",     "stgMemory",     "stgText"})
        EXPECT_NE(w->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;

    QStringList headers;
    for (int c = 0; c < 16; ++c)
        headers << ctl(w).stgText->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers.join(""), "0123456789ABCDEF");
}

TEST_F(EditorTest, EveryColumnCanBeSeenAndScrolledGridsShowWholeRows) {
    eeprom::TfrmSmallEE* w = host.openEditor(2048);
    // From roomy to the designed size inside the main window and below it.
    for (const QSize size : {QSize(1000, 600), QSize(825, 536), QSize(760, 451), QSize(700, 417)}) {
        SCOPED_TRACE(size.width());
        w->resize(size);
        QCoreApplication::processEvents();
        QTableView* ascii = ctl(w).stgText;
        const int shown = ascii->viewport()->width();
        const int needed = ascii->horizontalHeader()->length();
        EXPECT_TRUE(needed <= shown || ascii->horizontalScrollBar()->isVisible())
            << "ASCII columns clipped with no way to reach them";
        EXPECT_GE(ctl(w).cmbAddress->width(), ctl(w).cmbAddress->sizeHint().width());

        for (QTableView* grid : {ctl(w).stgMemory, ctl(w).stgText}) {
            QScrollBar* bar = grid->verticalScrollBar();
            for (const int value : {bar->maximum(), bar->maximum() / 2}) {
                bar->setValue(value);
                QCoreApplication::processEvents();
                for (QTableView* g : {ctl(w).stgMemory, ctl(w).stgText}) {
                    const int top = g->rowAt(0);
                    EXPECT_EQ(g->rowViewportPosition(top), 0) << "half a row at the top";
                    EXPECT_EQ(top, ctl(w).stgMemory->rowAt(0)) << "the grids out of step";
                }
            }
            // The last row can be reached in full.
            bar->setValue(bar->maximum());
            QCoreApplication::processEvents();
            const int last = grid->model()->rowCount() - 1;
            EXPECT_LE(grid->rowViewportPosition(last) + grid->rowHeight(last),
                      grid->viewport()->height());
            bar->setValue(0);
        }
    }
}

TEST_F(EditorTest, FileMenuHoldsItsFiveItems) {
    eeprom::TfrmSmallEE* w = host.openEditor(16);
    const QList<QMenu*> menus = w->mergedMenus();
    ASSERT_EQ(menus.size(), 1);
    EXPECT_EQ(menus[0]->title(), "&File");
    EXPECT_EQ(menus[0]->objectName(), "mnuEEFile");
    QStringList items;
    for (QAction* a : menus[0]->actions()) items << a->objectName() + "=" + a->text();
    EXPECT_EQ(items, (QStringList{"mnuOpen=Open", "mnuSaveAs=Save As...", "mnuClose=Close",
                                  "mnuCloseAll=Close All", "mnuExit=E&xit"}));
}

TEST_F(EditorTest, GridModelsPassTheModelTesterThroughEdits) {
    eeprom::TfrmSmallEE* w = host.openEditor(2048);
    QAbstractItemModelTester hexTester(ctl(w).stgMemory->model(),
                                       QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester asciiTester(ctl(w).stgText->model(),
                                         QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModel* hex = ctl(w).stgMemory->model();
    EXPECT_TRUE(hex->setData(hex->index(3, 4), "5"));
    EXPECT_EQ(hexCell(*w, 0x34), "05");
    QAbstractItemModel* ascii = ctl(w).stgText->model();
    EXPECT_TRUE(ascii->setData(ascii->index(127, 15), "A"));
    EXPECT_EQ(hexCell(*w, 0x7FF), "41");
    std::vector<std::uint8_t> bytes(2048, 0x20);
    w->image().setBytes(0, bytes);
    EXPECT_EQ(asciiCell(*w, 1000), " ");
    EXPECT_FALSE(hex->index(0, 0).parent().isValid());
    EXPECT_FALSE(hex->index(128, 0).isValid());
}

}  // namespace
}  // namespace parvex::test
