// The register window in the main window: opening, menus, grid, selection, editing, address
// field, Reset Grid and closing.
#include "gui/device/device_fixture.h"

#include <QAbstractItemModelTester>
#include <QMenu>

namespace parvex::test {
namespace {

TEST_F(DeviceTest, OneWindowWithItsMenusMergedAndTheStartState) {
    device::TfrmLongI2C* w = open();
    EXPECT_EQ(open(), w) << "a second pick brings the same window forward";
    EXPECT_EQ(main->childWindowCount(), 1);
    EXPECT_EQ(w->windowTitle(), "User Definable Device");
    EXPECT_EQ(menuTitles(),
              (QStringList{"&File", "Edit", "&Device", "Options", "&Window", "Help"}));
    QStringList file;
    for (QAction* a : child<QMenu>(w, "mnuLongI2C")->actions())
        if (!a->isSeparator()) file << a->text();
    EXPECT_EQ(file, (QStringList{"Define New Device", "Open Device Definition File", "Save",
                                 "Save As...", "Save Registers in text format", "Print Device Data",
                                 "Close", "Close All", "E&xit"}));
    QStringList popup;
    for (QAction* a : child<QMenu>(w, "PopupMenu1")->actions()) popup << a->text();
    EXPECT_EQ(popup, (QStringList{"Use Slider to Change Active Register",
                                  "Use Bit Control to Change Active Register",
                                  "Increment/Decrement Active Register Spin Control",
                                  "Edit Current Device Data", "Edit Current Register"}));

    EXPECT_EQ(caption(w), "0x00: Undefined Register");
    EXPECT_EQ(child<QLineEdit>(w, "edtAddress")->text(), "A0");
    EXPECT_EQ(w->device().DeviceAddress, 0xA0);
    EXPECT_EQ(gridRows(w), 4);
    EXPECT_EQ(cell(w, 63), "FF");
    auto* view = child<QTableView>(w, "stgMemory");
    QAbstractItemModelTester tester(view->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    EXPECT_EQ(view->model()->headerData(10, Qt::Horizontal).toString(), "A");
    EXPECT_EQ(view->model()->headerData(3, Qt::Vertical).toString(), "3");
    EXPECT_FALSE(w->DeviceModified());

    item(w, "mnuClose")->trigger();
    settle();
    EXPECT_EQ(main->userDefinedWindow(), nullptr);
    EXPECT_TRUE(prompts.texts().isEmpty()) << "nothing to save, nothing asked";
    EXPECT_EQ(menuTitles().first(), "&File");
}

TEST_F(DeviceTest, SelectingACellShowsItsRegisterOrRefusesAnUndefinedOne) {
    device::TfrmLongI2C* w = open();
    clickRegister(w, 0x13);
    EXPECT_EQ(w->ActiveRegister(), 0x13);
    EXPECT_FALSE(w->DeviceModified()) << "opening a cell's editor is no change";
    EXPECT_EQ(caption(w), "0x13: Undefined Register");
    // The keyboard moves the selection too.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(caption(w), "0x23: Undefined Register");

    w->applyDefinition({"Small", "A0", 21, {}, {}});
    EXPECT_EQ(gridRows(w), 2);
    EXPECT_EQ(cell(w, 0x15), "XX");
    EXPECT_EQ(cellRole(w, 0x15, Qt::BackgroundRole).value<QColor>(), QColor(128, 128, 128));
    EXPECT_FALSE(cellRole(w, 0x14, Qt::BackgroundRole).isValid());
    clickRegister(w, 0x15);
    EXPECT_EQ(caption(w), "Invalid Register selection");
    click(w, "btnWriteOne");
    EXPECT_EQ(prompts.texts(), QStringList{"Invalid register ... no write performed"});
    EXPECT_EQ(status(), R"(<FONT color="clRed">Invalid register ... no write performed</FONT>)");
    click(w, "btnReadOne");
    EXPECT_EQ(prompts.texts().last(), "Invalid device register ... no read performed");
}

TEST_F(DeviceTest, OpensWithTheKeyboardInTheGrid) {
    device::TfrmLongI2C* w = open();
    auto* grid = w->findChild<QTableView*>("stgMemory");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), grid);
    // Typing needs no click first: the digits land in the first register.
    w->applyDefinition({"Small", "A0", 20, {}, {}});
    type("5A");
    EXPECT_EQ(cell(w, 0), "5A");
}

TEST_F(DeviceTest, TypingIntoCells) {
    device::TfrmLongI2C* w = open();
    w->applyDefinition({"Small", "A0", 20, {}, {}});
    clickRegister(w, 2);
    type("7");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(cell(w, 2), "07");
    EXPECT_EQ(w->ActiveRegister(), 3) << "Enter moves to the next cell";
    type("3c");
    EXPECT_EQ(cell(w, 3), "3C");
    EXPECT_EQ(w->ActiveRegister(), 4) << "a full cell moves on by itself";
    type("G ");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(cell(w, 4), "FF") << "G and space never reach the cell";

    clickRegister(w, 5);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(cell(w, 5), "FF") << "an emptied cell";

    clickRegister(w, 0x17);
    type("12");
    EXPECT_EQ(cell(w, 0x17), "XX") << "an undefined register takes no value";
    EXPECT_TRUE(w->DeviceModified());
}

TEST_F(DeviceTest, AddressFieldRules) {
    device::TfrmLongI2C* w = open();
    auto* field = child<QLineEdit>(w, "edtAddress");
    activate(main.get());
    field->setFocus();
    field->selectAll();
    type("a1");
    EXPECT_EQ(field->text(), "A0");
    field->clear();
    type("5F");
    EXPECT_EQ(field->text(), "5E");
    EXPECT_EQ(w->device().DeviceAddress, 0x5E);

    field->clear();
    type("7");
    clickRegister(w, 1);  // leaves the field
    EXPECT_EQ(field->text(), "06");
    EXPECT_EQ(w->device().DeviceAddress, 0x06);

    field->setFocus();
    field->clear();
    clickRegister(w, 2);
    EXPECT_EQ(prompts.texts(), QStringList{"'' is not a valid hexadecimal value."});
    EXPECT_EQ(w->device().DeviceAddress, 0x06) << "the address stays";
}

TEST_F(DeviceTest, ResetGridReturnsTo64RegistersAfterAsking) {
    device::TfrmLongI2C* w = open();
    w->applyDefinition({"Big", "A0", 200, {}, {}});
    clickRegister(w, 150);
    prompts.answer(ui::Answer::No);
    item(w, "ResetGrid")->trigger();
    EXPECT_EQ(gridRows(w), 13) << "No leaves everything";
    prompts.answer(ui::Answer::Yes);
    item(w, "ResetGrid")->trigger();
    EXPECT_EQ(prompts.texts(), (QStringList{"Are you sure you want to reset the grid?",
                                            "Are you sure you want to reset the grid?"}));
    EXPECT_EQ(gridRows(w), 4);
    EXPECT_EQ(w->device().MaxRegister, 63);
    EXPECT_EQ(w->windowTitle(), "Unknown Device");
    EXPECT_EQ(caption(w), "0x00: Undefined Register");
    EXPECT_FALSE(cellRole(w, 10, Qt::BackgroundRole).isValid());
    EXPECT_FALSE(w->DeviceModified());
    EXPECT_TRUE(w->DefinitionFileName().isEmpty());
}

TEST_F(DeviceTest, ClosingAModifiedDeviceAsksAndASaveThatDidNotHappenKeepsIt) {
    device::TfrmLongI2C* w = open();
    w->applyDefinition({"Kept", "A0", 3, {}, {}});
    prompts.answer(ui::Answer::Yes);
    prompts.cancelFile();
    item(w, "mnuClose")->trigger();
    settle();
    EXPECT_EQ(prompts.texts(), QStringList{"Would you like to save this device?"});
    ASSERT_EQ(main->userDefinedWindow(), w) << "Yes, then a cancelled Save As, keeps the device";

    prompts.clear();
    prompts.answer(ui::Answer::Yes);
    prompts.chooseFile(qpath("kept.def"));
    item(w, "mnuClose")->trigger();
    settle();
    EXPECT_EQ(main->userDefinedWindow(), nullptr);
    EXPECT_NE(fileText(path("kept.def")).find("Name=Kept\r\n"), std::string::npos);

    w = open();
    w->applyDefinition({"Dropped", "A0", 3, {}, {}});
    prompts.answer(ui::Answer::No);
    item(w, "mnuExit")->trigger();
    settle();
    EXPECT_EQ(main->userDefinedWindow(), nullptr);
}

}  // namespace
}  // namespace parvex::test
