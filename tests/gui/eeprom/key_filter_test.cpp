// The window-wide key filter on its own: which keys reach a control.

#include <QKeyEvent>

#include "gui/eeprom/editor_fixture.h"
#include "ui/key_filter.h"

namespace parvex::test {
namespace {

struct KeyCase {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* text;
    bool passes;
};

TEST(KeyFilter, PassesHexDigitsAndEditingKeysOnly) {
    const KeyCase cases[] = {
        {Qt::Key_0, Qt::NoModifier, "0", true},
        {Qt::Key_9, Qt::NoModifier, "9", true},
        {Qt::Key_A, Qt::NoModifier, "a", true},
        {Qt::Key_F, Qt::ShiftModifier, "F", true},
        {Qt::Key_G, Qt::NoModifier, "g", false},
        {Qt::Key_Z, Qt::ShiftModifier, "Z", false},
        {Qt::Key_Space, Qt::NoModifier, " ", false},
        {Qt::Key_Minus, Qt::NoModifier, "-", false},
        {Qt::Key_Eacute, Qt::NoModifier, "\xc3\xa9", false},
        {Qt::Key_Backspace, Qt::NoModifier, "\b", true},
        {Qt::Key_Tab, Qt::NoModifier, "\t", true},
        {Qt::Key_Return, Qt::NoModifier, "\r", true},
        {Qt::Key_Enter, Qt::KeypadModifier, "\r", true},
        // Keys that type nothing, and shortcuts, are not characters: they pass.
        {Qt::Key_Left, Qt::NoModifier, "", true},
        {Qt::Key_Home, Qt::NoModifier, "", true},
        {Qt::Key_Delete, Qt::NoModifier, "\x7f", true},
        {Qt::Key_C, Qt::ControlModifier, "\x03", true},
        {Qt::Key_W, Qt::AltModifier, "w", true},
    };
    for (const KeyCase& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, QString::fromUtf8(c.text));
        EXPECT_EQ(ui::KeyFilter::passes(event), c.passes) << "key " << c.key;
    }
}

TEST(KeyFilter, FiltersWidgetsCreatedLaterAndCanBeSwitchedOff) {
    QWidget form;
    ui::KeyFilter filter(&form);
    auto* late = new QLineEdit(&form);  // created after the filter, like a cell editor
    QTest::keyClicks(late, "1G2");
    EXPECT_EQ(late->text(), "12");
    filter.setActive(false);
    QTest::keyClicks(late, "G");
    EXPECT_EQ(late->text(), "12G");
}

TEST_F(EditorTest, ArrowKeysLeaveTheCellEditorAtItsEnds) {
    eeprom::TfrmSmallEE* w = host.openEditor(256);
    clickCell(ctl(w).stgMemory, 1, 1);
    typeKeys("4");
    typeKey(Qt::Key_Left);  // inside the text: the cursor moves, the cell stays
    EXPECT_EQ(ctl(w).stgMemory->currentIndex(), ctl(w).stgMemory->model()->index(1, 1));
    typeKey(Qt::Key_Left);  // at the start: leaves, and the half-typed cell is validated
    EXPECT_EQ(ctl(w).stgMemory->currentIndex(), ctl(w).stgMemory->model()->index(1, 0));
    EXPECT_EQ(hexCell(*w, 0x11), "04");
    typeKey(Qt::Key_Up);
    EXPECT_EQ(ctl(w).stgMemory->currentIndex(), ctl(w).stgMemory->model()->index(0, 0));
    typeKey(Qt::Key_Up);  // nowhere to go: stays
    EXPECT_EQ(ctl(w).stgMemory->currentIndex(), ctl(w).stgMemory->model()->index(0, 0));
}

TEST_F(EditorTest, MenuAcceleratorsAreNotFiltered) {
    eeprom::TfrmSmallEE* w = host.openEditor(256);
    clickCell(ctl(w).stgMemory, 0, 0);  // the filter is on
    typeKeys("12");  // modified, so that Exit asks first and Cancel keeps the window
    prompts.answer(ui::Answer::Cancel);
    QMenu* file = ctl(w).mnuEEFile;
    file->popup(w->mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
    QTest::keyClick(file, Qt::Key_X);
    // E&xit was chosen: the window was asked to close.
    EXPECT_EQ(prompts.texts(), QStringList{"Save changes?"});
    EXPECT_FALSE(host.exited);
}

}  // namespace
}  // namespace parvex::test
