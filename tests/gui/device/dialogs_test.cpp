// The definition dialog and the register dialog.
#include "gui/device/device_fixture.h"

#include <QFocusEvent>
#include <QSpinBox>

#include "device/Definition.h"
#include "device/EditCell.h"

namespace parvex::test {
namespace {

class DialogTest : public DeviceTest {
protected:
    device::TfrmDefine* defineDialog() const {
        return main->findChild<device::TfrmDefine*>(QStringLiteral("frmDefine"));
    }
    device::TfrmEditCell* registerDialog() const {
        return main->findChild<device::TfrmEditCell*>(QStringLiteral("frmEditCell"));
    }
    bool menusEnabled(device::TfrmLongI2C* w) const {
        const bool file = child<QAction>(w, "mnuLongI2CAction")->isEnabled();
        const bool edit = child<QAction>(w, "mnuEditAction")->isEnabled();
        EXPECT_EQ(file, edit);
        return file && edit;
    }
    static void setCount(device::TfrmDefine* d, int count) {
        d->findChild<QSpinBox*>("edtSpin")->setValue(count);
    }
    // Types into a field and leaves it, as a user tabbing on.
    static void typeAndLeave(QLineEdit* field, const QString& text) {
        field->selectAll();
        if (text.isEmpty())
            QTest::keyClick(field, Qt::Key_Backspace);
        else
            QTest::keyClicks(field, text);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field, &out);
    }
};

TEST_F(DialogTest, ANewDeviceOfThreeRegisters) {
    device::TfrmLongI2C* w = open();
    item(w, "mnuDefine")->trigger();
    device::TfrmDefine* d = defineDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Define New Device");
    EXPECT_EQ(child<QLineEdit>(d, "edtAddress")->text(), "AE");
    EXPECT_EQ(child<QLineEdit>(d, "edtName")->text(), "New Device");
    EXPECT_EQ(child<QSpinBox>(d, "edtSpin")->value(), 64);
    EXPECT_EQ(d->registerRows(), 16);
    EXPECT_TRUE(menusEnabled(w)) << "a new device leaves the menus alone";
    EXPECT_TRUE(d->windowFlags() & Qt::WindowStaysOnTopHint);

    setCount(d, 3);
    EXPECT_EQ(d->registerRows(), 3);
    click(d, "btnReadCAT");
    settle();
    EXPECT_EQ(defineDialog(), nullptr);
    EXPECT_EQ(w->device().MaxRegister, 2);
    EXPECT_EQ(gridRows(w), 1);
    EXPECT_EQ(cell(w, 2), "FF");
    EXPECT_EQ(w->description(2), "Undefined Register");
    EXPECT_EQ(cell(w, 3), "XX");
    EXPECT_EQ(cellRole(w, 15, Qt::BackgroundRole).value<QColor>(), QColor(128, 128, 128));
    EXPECT_EQ(w->windowTitle(), "New Device");
    EXPECT_EQ(child<QLineEdit>(w, "edtAddress")->text(), "AE");
    EXPECT_EQ(w->device().DeviceAddress, 0xAE);
    EXPECT_TRUE(w->DeviceModified());
}

TEST_F(DialogTest, EditingTheCurrentDevice) {
    device::TfrmLongI2C* w = open();
    w->applyDefinition({"Sixteen", "A0", 16, {}, {}});
    item(w, "mnuEditCurrentDevice")->trigger();
    device::TfrmDefine* d = defineDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Edit Current Device");
    EXPECT_EQ(d->registerRows(), 16);
    EXPECT_FALSE(menusEnabled(w));

    item(w, "mnuDefine")->trigger();
    EXPECT_EQ(defineDialog(), d) << "one dialog, filled again";
    item(w, "mnuPopupEditDevice")->trigger();

    setCount(d, 20);
    EXPECT_EQ(d->registerRows(), 20);
    EXPECT_EQ(d->descriptionAt(19), "Undefined Register");
    EXPECT_EQ(d->valueAt(19), "FF");
    click(d, "btnReadCAT");
    settle();
    EXPECT_EQ(gridRows(w), 2);
    EXPECT_TRUE(menusEnabled(w)) << "OK enables the menus again";

    w->applyDefinition({"Hundred", "A0", 100, {}, {}});
    item(w, "mnuEditCurrentDevice")->trigger();
    setCount(defineDialog(), 50);
    click(defineDialog(), "btnReadCAT");
    settle();
    EXPECT_EQ(cell(w, 49), "FF");
    EXPECT_EQ(cell(w, 50), "XX");
    EXPECT_EQ(w->description(99), "Undefined Register");
}

TEST_F(DialogTest, CountsOutOfRangeAreRefused) {
    device::TfrmLongI2C* w = open();
    item(w, "mnuEditCurrentDevice")->trigger();
    device::TfrmDefine* d = defineDialog();
    auto* spin = child<QSpinBox>(d, "edtSpin");
    spin->selectAll();
    QTest::keyClicks(spin, "0");
    EXPECT_EQ(d->registerRows(), 64);
    spin->selectAll();
    QTest::keyClicks(spin, "300");
    EXPECT_EQ(prompts.texts(), (QStringList{"Please enter a number between 1 and 256",
                                            "Please enter an integer between 1 and 256"}));
    EXPECT_EQ(d->registerRows(), 30) << "3 and 30 were counts on the way to 300";
    prompts.clear();
    click(d, "btnReadCAT");
    EXPECT_EQ(prompts.texts(), QStringList{"Please enter a number between 1 and 256"});
    EXPECT_EQ(defineDialog(), d) << "the dialog stays open";
    EXPECT_EQ(w->device().MaxRegister, 63);

    click(d, "btnCancel");
    settle();
    EXPECT_EQ(defineDialog(), nullptr);
    EXPECT_TRUE(menusEnabled(w)) << "Cancel enables the menus again";
    EXPECT_FALSE(w->DeviceModified());
}

TEST_F(DialogTest, FieldsAndValueCells) {
    device::TfrmLongI2C* w = open();
    item(w, "mnuDefine")->trigger();
    device::TfrmDefine* d = defineDialog();
    setCount(d, 4);

    typeAndLeave(child<QLineEdit>(d, "edtAddress"), "af");
    EXPECT_EQ(child<QLineEdit>(d, "edtAddress")->text(), "AE");
    typeAndLeave(child<QLineEdit>(d, "edtAddress"), "");
    EXPECT_EQ(child<QLineEdit>(d, "edtAddress")->text(), "AE");

    prompts.answer(ui::Answer::No);
    typeAndLeave(child<QLineEdit>(d, "edtFill"), "3");
    EXPECT_EQ(child<QLineEdit>(d, "edtFill")->text(), "03");
    EXPECT_EQ(prompts.texts(), QStringList{"Are you sure you want to set all the values to 03?"});
    EXPECT_EQ(d->valueAt(0), "FF");
    prompts.answer(ui::Answer::Yes);
    typeAndLeave(child<QLineEdit>(d, "edtFill"), "3c");
    EXPECT_EQ(d->valueAt(3), "3C");

    auto* grid = child<QTableView>(d, "stgDefinition");
    QAbstractItemModel* m = grid->model();
    m->setData(m->index(0, 1), "5 ");
    m->setData(m->index(1, 1), " 5");
    m->setData(m->index(2, 1), "  ");
    m->setData(m->index(3, 0), "");
    m->setData(m->index(1, 0), "Gain");
    click(d, "btnReadCAT");
    EXPECT_EQ(cell(w, 0), "05");
    EXPECT_EQ(cell(w, 1), "FF");
    EXPECT_EQ(cell(w, 2), "FF");
    EXPECT_EQ(cell(w, 3), "3C");
    EXPECT_EQ(w->description(3), "Undefined Register");
    EXPECT_EQ(w->description(1), "Gain");
}

TEST_F(DialogTest, CancelLeavesTheDeviceAsItWas) {
    device::TfrmLongI2C* w = open();
    item(w, "mnuEditCurrentDevice")->trigger();
    device::TfrmDefine* d = defineDialog();
    typeAndLeave(child<QLineEdit>(d, "edtAddress"), "af");
    setCount(d, 5);
    d->close();  // the title-bar button
    settle();
    EXPECT_EQ(w->device().DeviceAddress, 0xA0);
    EXPECT_EQ(w->device().MaxRegister, 63);
    EXPECT_TRUE(menusEnabled(w));
}

TEST_F(DialogTest, TheRegisterDialog) {
    device::TfrmLongI2C* w = open();
    w->applyDefinition({"Dev", "A0", 44, {}, {}});
    clickRegister(w, 0x2A);
    item(w, "mnuEditCurrentCell")->trigger();
    device::TfrmEditCell* r = registerDialog();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->windowTitle(), "Edit Register");
    EXPECT_EQ(child<QLabel>(r, "lblRegister")->text(), "Register 0x2A");
    EXPECT_EQ(child<QLineEdit>(r, "edtDefault")->text(), "FF");
    EXPECT_FALSE(menusEnabled(w));
    typeAndLeave(child<QLineEdit>(r, "edtDefault"), "7");
    EXPECT_EQ(child<QLineEdit>(r, "edtDefault")->text(), "07");
    child<QLineEdit>(r, "edtDescription")->setText("Trim");
    click(r, "btnOK");
    settle();
    EXPECT_EQ(cell(w, 0x2A), "07");
    EXPECT_EQ(caption(w), "0x2A: Trim");
    EXPECT_TRUE(menusEnabled(w));
    EXPECT_EQ(registerDialog(), nullptr);

    item(w, "mnuPopupEditRegister")->trigger();
    child<QLineEdit>(registerDialog(), "edtDefault")->setText("99");
    click(registerDialog(), "btnCancel");
    settle();
    EXPECT_EQ(cell(w, 0x2A), "07");
    EXPECT_TRUE(menusEnabled(w));

    clickRegister(w, 0x2F);
    item(w, "mnuEditCurrentCell")->trigger();
    EXPECT_EQ(prompts.texts(), QStringList{"Cannot edit an undefined cell"});
    EXPECT_EQ(registerDialog(), nullptr);
}

}  // namespace
}  // namespace parvex::test
