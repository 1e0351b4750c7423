// The slider, spin and bit windows driving registers of the chip at 40.
#include "gui/device/device_fixture.h"

#include <QCheckBox>
#include <QSlider>
#include <QSpinBox>

#include "adapter/status_texts.h"
#include "common/report.h"
#include "device/Bits.h"
#include "device/Slider.h"
#include "device/Spinner.h"

namespace parvex::test {
namespace {

// Single-register writes the adapter received: (register, value).
std::vector<std::pair<int, int>> writes(const sim::VirtualAdapter& adapter) {
    std::vector<std::pair<int, int>> out;
    for (const TUSBI2CReport& r : adapter.outputLog())
        if (r[report::kCommand] == cmdTransfer && r[report::kWriteCount] == 2)
            out.emplace_back(r[report::kWriteData], r[report::kWriteData + 1]);
    return out;
}

class ControlTest : public DeviceTest {
protected:
    device::TfrmLongI2C* openAt40(device::TfrmLongI2C* w = nullptr) {
        if (!w) w = open();
        w->applyDefinition({"Chip", "40", 64, {}, {}});
        virt->adapter().clearLog();
        return w;
    }
    template <typename T>
    T* control(device::TfrmLongI2C* w, int index) {
        const auto list = w->controlWindows();
        if (index >= list.size()) {
            ADD_FAILURE() << "no control window " << index;
            return nullptr;
        }
        return qobject_cast<T*>(list.at(index));
    }
    void setCell(device::TfrmLongI2C* w, int reg, const QString& value) {
        clickRegister(w, reg);
        w->applyRegister(value, w->description(reg));
    }
    static QString autoText(QWidget* c) { return c->findChild<QCheckBox*>("chbAuto")->text(); }
};

TEST_F(ControlTest, ASliderTakesTheCellAndWritesEachStep) {
    device::TfrmLongI2C* w = openAt40();
    setCell(w, 0x1F, "80");
    virt->adapter().clearLog();
    click(w, "btnSlider");
    auto* s = control<device::TfrmSlider>(w, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->objectName(), "frmSlider");
    EXPECT_EQ(s->windowTitle(), "0x1F");
    EXPECT_EQ(s->Slider->value(), 128);
    EXPECT_EQ(s->lblRegName->text(), "Undefined Register");
    EXPECT_EQ(autoText(s), "Auto Write On");
    EXPECT_TRUE(virt->adapter().outputLog().empty()) << "taking the value writes nothing";
    EXPECT_TRUE(s->windowFlags() & Qt::WindowStaysOnTopHint);

    clickRegister(w, 3);
    s->Slider->setValue(129);
    EXPECT_EQ(cell(w, 0x1F), "81");
    EXPECT_EQ(w->ActiveRegister(), 0x1F);
    EXPECT_EQ(caption(w), "0x1F: Undefined Register");
    EXPECT_EQ(writes(virt->adapter()), (std::vector<std::pair<int, int>>{{0x1F, 0x81}}));
    EXPECT_EQ(chip->registers()[0x1F], 0x81);

    QTest::keyClick(s->Slider, Qt::Key_Up);
    EXPECT_EQ(cell(w, 0x1F), "82") << "one step per arrow key";
    EXPECT_EQ(chip->registers()[0x1F], 0x82);
}

TEST_F(ControlTest, AutoWriteOffOnlyChangesTheCell) {
    device::TfrmLongI2C* w = openAt40();
    prompts.chooseFile(qpath("saved.def"));
    item(w, "mnuSaveAs")->trigger();
    clickRegister(w, 2);
    click(w, "btnSpin");
    auto* s = control<device::TfrmSpin>(w, 0);
    auto* box = s->findChild<QCheckBox*>("chbAuto");
    box->click();
    EXPECT_EQ(autoText(s), "Auto Write Off");
    EXPECT_EQ(box->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(s->spnRegister->text(), "FF");
    s->spnRegister->stepDown();
    EXPECT_EQ(cell(w, 2), "FE");
    EXPECT_TRUE(writes(virt->adapter()).empty());
    EXPECT_TRUE(w->DeviceModified());
    box->click();
    EXPECT_EQ(autoText(s), "Auto Write On");
    EXPECT_EQ(box->palette().color(QPalette::WindowText), QColor(0, 128, 0));
}

TEST_F(ControlTest, BitsShowTheCellAndOneClickWritesTheRegisterOnce) {
    device::TfrmLongI2C* w = openAt40();
    setCell(w, 6, "A5");
    virt->adapter().clearLog();
    click(w, "btnBits");
    auto* b = control<device::TfrmBits>(w, 0);
    QString shown;
    for (QLineEdit* d : b->digits) shown += d->text();
    EXPECT_EQ(shown, "10100101");
    EXPECT_EQ(b->digits[0]->objectName(), "edtDigit7");
    EXPECT_TRUE(b->digits[0]->isReadOnly());
    QTest::mouseClick(b->digits[0], Qt::LeftButton);
    EXPECT_EQ(cell(w, 6), "25");
    EXPECT_EQ(writes(virt->adapter()), (std::vector<std::pair<int, int>>{{6, 0x25}}));
    QTest::mouseClick(b->digits[7], Qt::LeftButton);
    EXPECT_EQ(chip->registers()[6], 0x24);
}

TEST_F(ControlTest, NamesNumberFurtherWindowsOfAKind) {
    device::TfrmLongI2C* w = openAt40();
    clickRegister(w, 1);
    click(w, "btnSlider");
    item(w, "CreatefrmSlider")->trigger();
    item(w, "frmSpin")->trigger();
    item(w, "mnuBitWise")->trigger();
    click(w, "btnSlider");
    QStringList names;
    for (QWidget* c : w->controlWindows()) names << c->objectName();
    EXPECT_EQ(names,
              (QStringList{"frmSlider", "frmSlider_1", "frmSpin", "frmBits", "frmSlider_2"}));
    w->controlWindows().at(1)->close();
    settle();
    click(w, "btnSlider");
    EXPECT_EQ(w->controlWindows().last()->objectName(), "frmSlider_1");

    w->applyDefinition({"Small", "40", 1, {}, {}});
    clickRegister(w, 5);
    prompts.clear();
    click(w, "btnSlider");
    EXPECT_EQ(prompts.texts(), QStringList{"Cannot edit an undefined cell"});
    EXPECT_EQ(w->controlWindows().size(), 5);

    prompts.answer(ui::Answer::Yes);
    item(w, "ResetGrid")->trigger();
    settle();
    EXPECT_TRUE(w->controlWindows().isEmpty()) << "Reset Grid closes them";
}

TEST_F(ControlTest, AFailedWriteSwitchesAutoWriteOff) {
    device::TfrmLongI2C* w = openAt40();
    clickRegister(w, 1);
    click(w, "btnSlider");
    auto* s = control<device::TfrmSlider>(w, 0);
    virt->unplug();
    settle();
    s->Slider->setValue(10);
    EXPECT_EQ(status(), QString::fromStdString(adapter::statusText(170)));
    EXPECT_EQ(autoText(s), "Auto Write Off");
    EXPECT_FALSE(s->autoWrite());
    EXPECT_EQ(cell(w, 1), "0A");
}

TEST_F(ControlTest, UnpluggedMidDragNothingHangsAndAutoWriteGoesOff) {
    device::TfrmLongI2C* w = openHooked();
    openAt40(w);
    clickRegister(w, 5);
    click(w, "btnSlider");
    auto* s = control<device::TfrmSlider>(w, 0);
    hooked->count = 0;
    hooked->beforeTransfer = [&](int n) {
        if (n == 3) virt->unplug();
    };
    for (int v = 1; v <= 10; ++v) s->Slider->setValue(v);
    EXPECT_EQ(hooked->count, 4) << "writes stop after the failed one";
    EXPECT_EQ(chip->registers()[5], 3);
    EXPECT_EQ(cell(w, 5), "0A");
    EXPECT_FALSE(s->autoWrite());
    hooked->beforeTransfer = nullptr;
}

TEST_F(ControlTest, ActivationTakesTheCellWithoutWriting) {
    device::TfrmLongI2C* w = openAt40();
    clickRegister(w, 0x1F);
    click(w, "btnSlider");
    click(w, "btnSlider");
    auto* first = control<device::TfrmSlider>(w, 0);
    auto* second = control<device::TfrmSlider>(w, 1);
    chip->registers()[0x1F] = 0x10;
    click(w, "btnRead");
    virt->adapter().clearLog();
    first->FormActivate();
    EXPECT_EQ(first->Slider->value(), 16);
    first->Slider->setValue(17);
    clickRegister(w, 0);
    // What the platform sends when the user turns to the window.
    QEvent activation(QEvent::WindowActivate);
    QApplication::sendEvent(second, &activation);
    EXPECT_EQ(second->Slider->value(), 17) << "the other slider shows the value once active";
    EXPECT_EQ(w->ActiveRegister(), 0x1F);
    EXPECT_EQ(writes(virt->adapter()).size(), 1u);
}

TEST_F(ControlTest, AnUndefinedRegisterDisablesItsWindow) {
    device::TfrmLongI2C* w = openAt40();
    clickRegister(w, 40);
    click(w, "btnBits");
    click(w, "btnSlider");
    auto* b = control<device::TfrmBits>(w, 0);
    auto* s = control<device::TfrmSlider>(w, 1);
    w->applyDefinition({"Small", "40", 20, {}, {}});
    EXPECT_FALSE(s->Slider->isEnabled());
    EXPECT_EQ(s->lblRegName->text(), "Undefined Register");
    EXPECT_FALSE(b->digits[3]->isEnabled());
    virt->adapter().clearLog();
    QTest::mouseClick(b->digits[3], Qt::LeftButton);
    s->FormActivate();
    EXPECT_TRUE(writes(virt->adapter()).empty());
    EXPECT_EQ(cell(w, 40), "XX");

    w->applyDefinition(
        {"Big",
         "40",
         64,
         {"", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",     "",
          "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "Forty"},
         {}});
    EXPECT_TRUE(s->Slider->isEnabled());
    EXPECT_EQ(s->lblRegName->text(), "Forty");
}

TEST_F(ControlTest, ClosingTheDeviceWindowClosesItsControlsAndDialogs) {
    device::TfrmLongI2C* w = openAt40();
    click(w, "btnSlider");
    QPointer<QWidget> s = w->controlWindows().first();
    item(w, "mnuEditCurrentCell")->trigger();
    item(w, "mnuEditCurrentDevice")->trigger();
    QPointer<QWidget> cellDialog = main->findChild<QWidget*>(QStringLiteral("frmEditCell"));
    QPointer<QWidget> defineDialog = main->findChild<QWidget*>(QStringLiteral("frmDefine"));
    ASSERT_TRUE(cellDialog && defineDialog);
    prompts.answer(ui::Answer::No);
    item(w, "mnuCloseAll")->trigger();
    settle();
    EXPECT_EQ(prompts.texts(), QStringList{"Would you like to save this device?"});
    EXPECT_EQ(main->userDefinedWindow(), nullptr);
    EXPECT_TRUE(s.isNull());
    EXPECT_TRUE(cellDialog.isNull() || !cellDialog->isVisible());
    EXPECT_TRUE(defineDialog.isNull() || !defineDialog->isVisible());
    EXPECT_FALSE(action("mnuCascade")->isEnabled()) << "Close All leaves no window to arrange";
}

}  // namespace
}  // namespace parvex::test
