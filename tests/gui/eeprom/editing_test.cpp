// Typing into the grids and fields, the key filter, clicks and scrolling.

#include <QComboBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <functional>

#include "gui/eeprom/editor_fixture.h"

namespace parvex::test {
namespace {

class Editing : public EditorTest {
protected:
    void SetUp() override { w = host.openEditor(256); }
    eeprom::TfrmSmallEE* w = nullptr;
};

TEST_F(Editing, TwoHexDigitsFillACellMirrorItAndMoveOn) {
    clickCell(ctl(w).stgMemory, 0, 0);
    typeKeys("41");
    EXPECT_EQ(hexCell(*w, 0), "41");
    EXPECT_EQ(asciiCell(*w, 0), "A");
    EXPECT_EQ(ctl(w).stgMemory->currentIndex(), ctl(w).stgMemory->model()->index(0, 1));
    typeKeys("07");
    EXPECT_EQ(hexCell(*w, 1), "07");
    EXPECT_EQ(asciiCell(*w, 1), ".");
    typeKeys("6a");  // lower case becomes upper case
    EXPECT_EQ(hexCell(*w, 2), "6A");
    EXPECT_EQ(asciiCell(*w, 2), "j");
    EXPECT_TRUE(w->Modified());
    // The keyboard's own advance leaves the byte address where the click put it.
    EXPECT_EQ(ctl(w).lblWordAddress->text(), "000");
}

TEST_F(Editing, EitherCaseTypedAsFirstDigitIsKept) {
    const struct {
        const char* typed;
        const char* cell;
        const char* ascii;
    } cases[] = {{"ab", "AB", "."}, {"e5", "E5", "."}, {"1a", "1A", "."},
                 {"AB", "AB", "."}, {"6f", "6F", "o"}, {"Fa", "FA", "."}};
    int address = 0;
    clickCell(ctl(w).stgMemory, 0, 0);
    for (const auto& c : cases) {
        typeKeys(QString::fromLatin1(c.typed));
        EXPECT_EQ(hexCell(*w, address), QString::fromLatin1(c.cell)) << c.typed;
        EXPECT_EQ(asciiCell(*w, address), QString::fromLatin1(c.ascii)) << c.typed;
        ++address;
    }
    EXPECT_EQ(ctl(w).stgMemory->currentIndex().column(), address);
}

TEST_F(Editing, TheLastCellStopsTypingInsteadOfWrappingToAddressZero) {
    clickCell(ctl(w).stgMemory, 15, 15);
    typeKeys("4142");
    EXPECT_EQ(hexCell(*w, 0xFF), QString("42"));
    EXPECT_EQ(hexCell(*w, 0), QString("FF"));
    EXPECT_EQ(ctl(w).stgMemory->currentIndex(), ctl(w).stgMemory->model()->index(15, 15));
    typeKey(Qt::Key_Return, "\r");
    typeKeys("3");
    typeKey(Qt::Key_Return, "\r");
    EXPECT_EQ(hexCell(*w, 0xFF), QString("03"));
    EXPECT_EQ(hexCell(*w, 0), QString("FF"));
}

TEST_F(Editing, EscapePutsThePreviousCellBack) {
    w->image().setByte(0x30, 0x41);
    const struct {
        const char* name;
        std::function<void()> keys;
    } cases[] = {
        {"cleared", [] { typeKey(Qt::Key_Backspace, "\b"); }},
        {"half typed", [] { typeKeys("7"); }},
        {"untouched", [] {}},
    };
    for (const auto& c : cases) {
        clickCell(ctl(w).stgMemory, 3, 0);
        c.keys();
        typeKey(Qt::Key_Escape, "\x1b");
        EXPECT_EQ(hexCell(*w, 0x30), QString("41")) << c.name;
        EXPECT_EQ(asciiCell(*w, 0x30), QString("A")) << c.name;
        EXPECT_FALSE(w->image().bytes().error.has_value()) << c.name;
    }
    // The cell is ready for typing again.
    typeKeys("42");
    EXPECT_EQ(hexCell(*w, 0x30), "42");
}

TEST_F(Editing, DeleteInAHexCellIsAnEdit) {
    clickCell(ctl(w).stgMemory, 2, 3);
    typeKey(Qt::Key_Escape, "\x1b");  // closes the cell's editor: the grid takes the key
    typeKey(Qt::Key_Delete, "\x7f");
    EXPECT_TRUE(w->Modified());
    clickCell(ctl(w).stgMemory, 2, 4);
    EXPECT_EQ(hexCell(*w, 0x23), "FF");
}

TEST_F(Editing, LastCellOfARowMovesToTheNextRow) {
    clickCell(ctl(w).stgMemory, 0, 15);
    typeKeys("3132");
    EXPECT_EQ(hexCell(*w, 0x0F), "31");
    EXPECT_EQ(hexCell(*w, 0x10), "32");
    EXPECT_EQ(asciiCell(*w, 0x10), "2");
}

TEST_F(Editing, LeavingACellPadsOrRefillsIt) {
    // A single digit left behind becomes 0 + digit; a cleared cell becomes FF.
    clickCell(ctl(w).stgMemory, 1, 0);
    typeKeys("5");
    clickCell(ctl(w).stgMemory, 2, 0);
    EXPECT_EQ(hexCell(*w, 0x10), "05");
    typeKey(Qt::Key_Backspace, "\b");
    EXPECT_TRUE(w->Modified());
    clickCell(ctl(w).stgMemory, 3, 0);
    EXPECT_EQ(hexCell(*w, 0x20), "FF");
    EXPECT_EQ(asciiCell(*w, 0x20), ".");
}

TEST_F(Editing, EnterCommitsAndMovesOn) {
    clickCell(ctl(w).stgMemory, 0, 4);
    typeKeys("7");
    typeKey(Qt::Key_Return, "\r");
    EXPECT_EQ(hexCell(*w, 4), "07");
    EXPECT_EQ(ctl(w).stgMemory->currentIndex().column(), 5);
}

TEST_F(Editing, KeyFilterDropsNonHexKeysInCellsAndFields) {
    clickCell(ctl(w).stgMemory, 0, 0);
    typeKeys("G 4Z1");
    EXPECT_EQ(hexCell(*w, 0), "41");
    EXPECT_TRUE(w->keyFilterActive());

    for (QLineEdit* field : {ctl(w).edtFrom, ctl(w).edtPreset, ctl(w).edtCopyStart}) {
        field->setFocus();
        field->selectAll();
        typeKeys("xG 1 b");
        EXPECT_EQ(field->text(), "1B") << field->objectName().toStdString();
    }
}

TEST_F(Editing, AsciiGridTakesAnyCharacterAndWritesTheHexCell) {
    clickCell(ctl(w).stgText, 2, 0);
    EXPECT_FALSE(w->keyFilterActive());
    typeKeys("A z");
    EXPECT_EQ(asciiCell(*w, 0x20), "A");
    EXPECT_EQ(hexCell(*w, 0x20), "41");
    EXPECT_EQ(hexCell(*w, 0x21), "20");
    EXPECT_EQ(asciiCell(*w, 0x22), "z");
    EXPECT_EQ(hexCell(*w, 0x22), "7A");
    // Backspace is below code 14: the hex cell keeps its byte.
    clickCell(ctl(w).stgText, 2, 0);
    typeKey(Qt::Key_Backspace, "\b");
    clickCell(ctl(w).stgText, 3, 0);
    EXPECT_EQ(hexCell(*w, 0x20), "41");
    EXPECT_EQ(asciiCell(*w, 0x20), "A");
    // Leaving the ASCII grid puts the filter back.
    clickCell(ctl(w).stgMemory, 0, 0);
    EXPECT_TRUE(w->keyFilterActive());
}

TEST_F(Editing, TypingIntoTheAsciiGridAsksBeforeClosing) {
    // The typed character changes the data itself, so the edit must not be dropped silently.
    clickCell(ctl(w).stgText, 0, 0);
    typeKeys("Q");
    EXPECT_TRUE(w->Modified());
}

TEST_F(Editing, ClicksMoveTheByteAddressAndTheOtherGridsCursor) {
    clickCell(ctl(w).stgMemory, 2, 15);
    EXPECT_EQ(ctl(w).lblWordAddress->text(), "02F");
    EXPECT_EQ(ctl(w).stgText->currentIndex(), ctl(w).stgText->model()->index(2, 15));
    // The other grid's cursor moves without taking the focus from the clicked grid.
    EXPECT_TRUE(ctl(w).stgMemory->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == ctl(w).stgMemory);

    clickCell(ctl(w).stgText, 0, 0);
    EXPECT_EQ(ctl(w).lblWordAddress->text(), "000");
    EXPECT_EQ(ctl(w).stgMemory->currentIndex(), ctl(w).stgMemory->model()->index(0, 0));

    // Arrow keys move the cursor, not the byte address.
    clickCell(ctl(w).stgMemory, 1, 1);
    typeKey(Qt::Key_Down);
    typeKey(Qt::Key_Right);
    EXPECT_EQ(ctl(w).stgMemory->currentIndex(), ctl(w).stgMemory->model()->index(2, 2));
    EXPECT_EQ(ctl(w).lblWordAddress->text(), "011");
}

TEST_F(EditorTest, ScrollingEitherGridScrollsTheOther) {
    eeprom::TfrmSmallEE* w = host.openEditor(2048);
    // Low enough that row 100 (grid row, header included) can come to the top.
    w->resize(900, 400);
    QCoreApplication::processEvents();
    QScrollBar* hexBar = ctl(w).stgMemory->verticalScrollBar();
    QScrollBar* asciiBar = ctl(w).stgText->verticalScrollBar();
    ASSERT_GE(hexBar->maximum(), 99);
    hexBar->setValue(99);
    EXPECT_EQ(ctl(w).stgText->rowAt(0), 99);
    EXPECT_EQ(ctl(w).stgMemory->rowAt(0), 99);
    asciiBar->setValue(10);
    EXPECT_EQ(ctl(w).stgMemory->rowAt(0), 10);
    EXPECT_EQ(hexBar->value(), 10);
}

TEST_F(EditorTest, FieldsNormaliseWhenLeft) {
    eeprom::TfrmSmallEE* w = host.openEditor(2048);
    struct Case {
        QLineEdit* field;
        const char* typed;
        const char* left;
    };
    const Case cases[] = {
        {ctl(w).edtPreset, "", "FF"},     {ctl(w).edtPreset, "a", "0A"},
        {ctl(w).edtPreset, "41", "41"},   {ctl(w).edtCopyStart, "7", "07"},
        {ctl(w).edtCopyEnd, "080", "80"}, {ctl(w).edtTargetStart, "1ff", "1FF"},
    };
    for (const Case& c : cases) {
        c.field->setFocus();
        c.field->selectAll();
        typeKey(Qt::Key_Backspace, "\b");
        typeKeys(QString::fromLatin1(c.typed));
        ctl(w).btnFill->setFocus();
        EXPECT_EQ(c.field->text(), c.left) << c.field->objectName().toStdString() << " " << c.typed;
    }
    EXPECT_TRUE(prompts.events.empty());

    // An empty copy address cannot be converted: the conversion message, the field kept.
    ctl(w).edtCopyEnd->setFocus();
    ctl(w).edtCopyEnd->clear();
    ctl(w).btnFill->setFocus();
    EXPECT_EQ(prompts.texts(), QStringList{"'' is not a valid hexadecimal value."});

    ctl(w).cmbAddress->setFocus();
    ctl(w).cmbAddress->setEditText("a4");
    ctl(w).btnFill->setFocus();
    EXPECT_EQ(ctl(w).cmbAddress->currentText(), "A4");
}

TEST_F(Editing, CopyFieldRuleRunsOnlyWhenAnotherControlOfTheWindowIsChosen) {
    QLineEdit* field = ctl(w).edtCopyEnd;
    field->setFocus();
    field->clear();

    // Opening a menu takes the keyboard for a while but leaves the field where it is.
    QMenu* menu = ctl(w).mnuEEFile;
    menu->popup(w->mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    menu->close();
    QCoreApplication::processEvents();

    // Going to another window and back.
    QWidget other;
    auto* elsewhere = new QLineEdit(&other);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    elsewhere->setFocus();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    EXPECT_TRUE(prompts.events.empty());
    EXPECT_EQ(QApplication::focusWidget(), field);

    // Choosing another control of the window runs the rule, once.
    ctl(w).btnFill->setFocus();
    EXPECT_EQ(prompts.texts(), QStringList{"'' is not a valid hexadecimal value."});
    field->setText("7");
    field->setFocus();
    ctl(w).edtCopyStart->setFocus();
    EXPECT_EQ(field->text(), "07");
}

TEST_F(Editing, WriteTimeAboveTheLimitBecomesTheLimit) {
    ctl(w).spnWriteCycle->setFocus();
    ctl(w).spnWriteCycle->selectAll();
    typeKeys("250");
    ctl(w).btnFill->setFocus();
    EXPECT_EQ(ctl(w).spnWriteCycle->value(), 100);
}

}  // namespace
}  // namespace parvex::test
