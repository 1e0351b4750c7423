// The message editor dialog over the expert window.

#include <QDir>
#include <QFile>

#include "gui/expert/expert_fixture.h"

namespace parvex::test {
namespace {

TEST_F(ExpertTest, EditorOnAnEmptyRowClosesAsAOneByteWrite) {
    expert::TfrmEditor* e = editRow(5);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->windowTitle(), "Message Editor - Msg # 5");
    EXPECT_EQ(in<QLineEdit>(e, "edtAddress")->text(), "A0");
    EXPECT_EQ(in<QComboBox>(e, "cmbRW")->currentText(), "Write");
    EXPECT_EQ(in<QComboBox>(e, "cmbStop")->currentText(), "Yes");
    EXPECT_EQ(in<QSpinBox>(e, "spnBytes")->value(), 1);
    EXPECT_EQ(in<QTableWidget>(e, "grdWrite")->item(0, 0)->text(), "FF");
    EXPECT_EQ(in<QLabel>(e, "Label2")->text(), "Note: Maximum number of bytes is limited to 49");
    in<QAbstractButton>(e, "btnOK")->click();
    EXPECT_FALSE(e->isVisible());
    EXPECT_EQ(rowTexts(5), (QStringList{"A0", "Write", "FF", "Yes", "0", ""}));

    selectRow(5);
    click("btnSendOne");  // the EEPROM at A0 takes it
    ASSERT_EQ(sentMessages().size(), 1u);
    EXPECT_EQ(head(sentMessages()[0], 8), (std::vector<int>{0, 7, 3, 1, 0, 15, 160, 255}));
}

TEST_F(ExpertTest, EditorReadOfThreeBytesAndCellsLeftOrClosedEmpty) {
    expert::TfrmEditor* e = editRow(2);
    in<QComboBox>(e, "cmbRW")->setCurrentText("Read");
    auto* count = in<QSpinBox>(e, "spnBytes");
    auto* cells = in<QTableWidget>(e, "grdWrite");
    count->stepUp();
    count->stepUp();
    ASSERT_EQ(cells->columnCount(), 3);
    EXPECT_EQ(cells->item(0, 2)->text(), "FF");  // every new cell starts as FF
    cells->item(0, 1)->setText("");
    in<QAbstractButton>(e, "btnOK")->click();
    EXPECT_EQ(rowTexts(2), (QStringList{"A1", "Read", "FF,FF,FF", "Yes", "0", ""}));

    // Typed into a cell and left for another column: "7" becomes 07, blank becomes 00.
    e = editRow(2);
    cells->setCurrentCell(0, 0);
    // The current cell always has its editor open.
    auto* cellEditor = cells->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(cellEditor, nullptr);
    QTest::keyClick(cellEditor, Qt::Key_End);
    QTest::keyClick(cellEditor, Qt::Key_Backspace);
    QTest::keyClick(cellEditor, Qt::Key_Backspace);
    QTest::keyClicks(cellEditor, "x7");  // the x is filtered out
    cells->setCurrentCell(0, 1);
    EXPECT_EQ(cells->item(0, 0)->text(), "07");
    in<QAbstractButton>(e, "btnOK")->click();
    EXPECT_EQ(cell(2, expert::colData), "07,FF,FF");

    // Up at 49 keeps 49 and still sets the 49th cell to FF; Down drops cells.
    e = editRow(2);
    while (count->value() < 49) count->stepUp();
    cells->item(0, 48)->setText("12");
    count->stepUp();
    EXPECT_EQ(count->value(), 49);
    EXPECT_EQ(cells->item(0, 48)->text(), "FF");
    while (count->value() > 2) count->stepDown();
    EXPECT_EQ(cells->columnCount(), 2);
    in<QAbstractButton>(e, "btnOK")->click();
    EXPECT_EQ(cell(2, expert::colData), "07,FF");
}

TEST_F(ExpertTest, EditorAddressFieldTakesHexOnlyAndIsPaddedWhenLeft) {
    expert::TfrmEditor* e = editRow(1);
    auto* address = in<QLineEdit>(e, "edtAddress");
    address->clear();
    QTest::keyClicks(address, "xg7");
    EXPECT_EQ(address->text(), "7");
    QFocusEvent leave(QEvent::FocusOut);
    QApplication::sendEvent(address, &leave);
    EXPECT_EQ(address->text(), "07");
    in<QAbstractButton>(e, "btnOK")->click();
    EXPECT_EQ(cell(1, expert::colAddress), "06");  // a write clears bit 0
}

TEST_F(ExpertTest, EditorWithAnEmptyAddressStaysOpenAfterWritingTheOtherTexts) {
    expert::TfrmEditor* e = editRow(1);
    in<QLineEdit>(e, "edtAddress")->setText("");
    in<QComboBox>(e, "cmbStop")->setCurrentText("No");
    e->close();
    EXPECT_EQ(prompts.texts(), QStringList{"'' is not a valid hexadecimal value."});
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(rowTexts(1), (QStringList{"", "Write", "FF", "No", "0", ""}));
    in<QLineEdit>(e, "edtAddress")->setText("40");
    e->close();
    EXPECT_FALSE(e->isVisible());
    EXPECT_EQ(cell(1, expert::colAddress), "40");
}

TEST_F(ExpertTest, EditorFollowsItsMessageAndHidesWhenItIsDeleted) {
    compose(3, {"40", false, false, {"03"}});
    expert::TfrmEditor* e = editRow(3);
    in<QLineEdit>(e, "edtNotes")->setText("moved");
    selectRow(1);
    click("btnAddRow");  // a new message 2: ours becomes 4
    EXPECT_EQ(e->EditRow(), 4);
    // Showing it again only brings it forward: it keeps its message.
    QTest::keyClick(grid(), Qt::Key_A);
    EXPECT_EQ(e->EditRow(), 4);
    in<QAbstractButton>(e, "btnOK")->click();
    EXPECT_EQ(cell(4, expert::colNotes), "moved");
    EXPECT_EQ(cell(3, expert::colNotes), "");

    e = editRow(4);
    in<QLineEdit>(e, "edtNotes")->setText("never written");
    selectRow(4);
    click("btnDeleteRow");
    EXPECT_FALSE(e->isVisible());
    for (int r = 1; r <= grid()->model()->rowCount(); ++r)
        EXPECT_NE(cell(r, expert::colNotes), "never written");
}

TEST_F(ExpertTest, EditorOpensALongDataTextWithAllItsCellsAndWritesBack49) {
    const QString path = QDir::temp().filePath(QStringLiteral("parvex-expert-long.txt"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray data = "00";
        for (int i = 1; i < 55; ++i) data += ",01";
        f.write("Expert Mode Data File\r\n40,Write,Yes,0," + data + "\r\n");
    }
    prompts.chooseFile(path);
    trigger("mnuOpen");
    expert::TfrmEditor* e = editRow(1);
    EXPECT_EQ(in<QTableWidget>(e, "grdWrite")->columnCount(), 55);
    EXPECT_EQ(in<QSpinBox>(e, "spnBytes")->value(), 49);
    in<QAbstractButton>(e, "btnOK")->click();
    EXPECT_EQ(cell(1, expert::colData).size(), 49 * 3 - 1);
    QFile::remove(path);
}

TEST_F(ExpertTest, EditorShowsADelayThatIsNotANumberAsAConversionError) {
    const QString path = QDir::temp().filePath(QStringLiteral("parvex-expert-nodelay.txt"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Expert Mode Data File\r\n40,Read,No,soon,01,02,Comments: n\r\n");
    }
    prompts.chooseFile(path);
    trigger("mnuOpen");
    expert::TfrmEditor* e = editRow(1);
    EXPECT_EQ(prompts.texts(), QStringList{"'soon' is not a valid integer value."});
    EXPECT_EQ(in<QComboBox>(e, "cmbStop")->currentText(), "No");
    EXPECT_EQ(in<QLineEdit>(e, "edtNotes")->text(), "");
    e->hide();
    QFile::remove(path);
}

}  // namespace
}  // namespace parvex::test
