// Opening, saving and exporting definition files from the register window.
#include "gui/device/device_fixture.h"

namespace parvex::test {
namespace {

std::string golden(const std::string& name) {
    return fileText(std::string(PARVEX_TEST_DATA) + "/device/" + name);
}

// "New Device" at A0 with register 1 "3C" "Gain": the three-register example.
void defineThree(device::TfrmLongI2C* w) {
    w->applyDefinition({"New Device", "A0", 3, {"", "Gain", ""}, {"FF", "3C", "FF"}});
}

TEST_F(DeviceTest, SaveAsWritesTheExampleAndOpenReadsItBack) {
    device::TfrmLongI2C* w = open();
    defineThree(w);
    prompts.chooseFile(qpath("three.def"));
    item(w, "mnuSaveAs")->trigger();
    ASSERT_EQ(prompts.events.size(), 1u);
    const ui::FileDialogRequest& r = prompts.events[0].request;
    EXPECT_EQ(r.title, "Save Device Information");
    EXPECT_EQ(r.filter, "Definition files (*.def)|*.def|All files (*.*)|*.*");
    EXPECT_EQ(r.defaultSuffix, "def");
    EXPECT_TRUE(r.confirmOverwrite);
    EXPECT_EQ(fileText(path("three.def")), golden("three.def"));
    EXPECT_FALSE(w->DeviceModified());
    EXPECT_TRUE(w->DefinitionFileName().isEmpty()) << "Save As remembers no file";

    prompts.answer(ui::Answer::Yes);
    item(w, "ResetGrid")->trigger();
    prompts.clear();
    prompts.chooseFile(qpath("three.def"));
    item(w, "mnuLoad")->trigger();
    EXPECT_EQ(prompts.events[0].request.title, "Open Defined Device");
    EXPECT_TRUE(prompts.events[0].request.mustExist);
    EXPECT_EQ(w->windowTitle(), "New Device");
    EXPECT_EQ(cell(w, 1), "3C");
    EXPECT_EQ(cell(w, 3), "XX");
    EXPECT_EQ(gridRows(w), 1);
    EXPECT_EQ(caption(w), "0x00: Undefined Register");
    EXPECT_EQ(w->DefinitionFileName(), qpath("three.def"));
    EXPECT_FALSE(w->DeviceModified());
}

TEST_F(DeviceTest, OpeningAppliesAddressCountAndColours) {
    device::TfrmLongI2C* w = open();
    putFile(path("a1.def"),
            "[Device Data]\r\nAddress=A1\r\nMaxRegister=99\r\nName=Hundred\r\n"
            "[Register Data]\r\n25=5A\r\n");
    putFile(path("small.def"), "[Device Data]\r\nAddress=5E\r\nMaxRegister=19\r\n");
    prompts.chooseFile(qpath("a1.def"));
    item(w, "mnuLoad")->trigger();
    EXPECT_EQ(child<QLineEdit>(w, "edtAddress")->text(), "A0");
    EXPECT_EQ(w->device().DeviceAddress, 0xA0);
    EXPECT_EQ(gridRows(w), 7);

    prompts.chooseFile(qpath("small.def"));
    item(w, "mnuLoad")->trigger();
    EXPECT_EQ(w->windowTitle(), "Unknown Device");
    EXPECT_EQ(cell(w, 25), "XX");
    EXPECT_EQ(cellRole(w, 25, Qt::BackgroundRole).value<QColor>(), QColor(128, 128, 128));

    prompts.chooseFile(qpath("a1.def"));
    item(w, "mnuLoad")->trigger();
    EXPECT_EQ(cell(w, 25), "5A");
    EXPECT_FALSE(cellRole(w, 25, Qt::BackgroundRole).isValid());
    EXPECT_TRUE(prompts.texts().isEmpty());
}

TEST_F(DeviceTest, SaveGoesToTheOpenedFileWithoutItsAmpersands) {
    device::TfrmLongI2C* w = open();
    putFile(path("ab.def"), golden("six.def"));
    putFile(path("a&b.def"), golden("six.def"));
    prompts.chooseFile(qpath("a&b.def"));
    item(w, "mnuLoad")->trigger();
    EXPECT_EQ(w->DefinitionFileName(), qpath("ab.def"));

    defineThree(w);
    prompts.chooseFile(qpath("other.def"));
    item(w, "mnuSaveAs")->trigger();
    item(w, "mnuSave")->trigger();
    EXPECT_EQ(prompts.events.size(), 2u) << "Save asks for no file";
    EXPECT_EQ(fileText(path("ab.def")), golden("six_saved.def"));
    EXPECT_EQ(fileText(path("a&b.def")), golden("six.def"));
    EXPECT_EQ(fileText(path("other.def")).find("Vendor"), std::string::npos);
}

TEST_F(DeviceTest, CancelledOrFailedFileCommandsChangeNothing) {
    device::TfrmLongI2C* w = open();
    defineThree(w);
    prompts.chooseFile(qpath("three.def"));
    item(w, "mnuSaveAs")->trigger();
    prompts.chooseFile(qpath("three.def"));
    item(w, "mnuLoad")->trigger();
    w->applyRegister(QStringLiteral("11"), QStringLiteral("Changed"));
    prompts.clear();

    prompts.cancelFile();
    item(w, "mnuSaveAs")->trigger();
    EXPECT_TRUE(w->DeviceModified()) << "a cancelled Save As";

    prompts.answer(ui::Answer::No);
    prompts.cancelFile();
    item(w, "mnuLoad")->trigger();
    EXPECT_EQ(prompts.texts(), QStringList{"Save changes?"});
    EXPECT_TRUE(w->DeviceModified()) << "a cancelled Open";
    EXPECT_EQ(w->DefinitionFileName(), qpath("three.def"));

    prompts.clear();
    prompts.answer(ui::Answer::No);
    prompts.chooseFile(qpath("missing.def"));
    item(w, "mnuLoad")->trigger();
    ASSERT_EQ(prompts.texts().size(), 2);
    EXPECT_TRUE(prompts.texts()[1].startsWith("Cannot read \"" + qpath("missing.def") + "\": "));
    EXPECT_EQ(cell(w, 0), "11");

    prompts.clear();
    std::filesystem::create_directories(dir / "locked");
    std::filesystem::permissions(
        dir / "locked", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    prompts.chooseFile(qpath("locked/x.def"));
    item(w, "mnuSaveAs")->trigger();
    std::filesystem::permissions(dir / "locked", std::filesystem::perms::owner_all);
    if (::geteuid() != 0) {
        ASSERT_EQ(prompts.texts().size(), 1);
        EXPECT_TRUE(prompts.texts()[0].startsWith("Cannot write \""));
        EXPECT_TRUE(w->DeviceModified()) << "a failed save leaves the device unsaved";
    }
}

TEST_F(DeviceTest, OpenAfterYesSavesFirstAndClosesTheControlWindows) {
    device::TfrmLongI2C* w = open();
    defineThree(w);
    clickRegister(w, 1);
    click(w, "btnSlider");
    ASSERT_EQ(w->controlWindows().size(), 1);
    putFile(path("next.def"), golden("six.def"));
    prompts.answer(ui::Answer::Yes);
    prompts.chooseFile(qpath("saved.def"));
    prompts.chooseFile(qpath("next.def"));
    item(w, "mnuLoad")->trigger();
    settle();
    EXPECT_EQ(fileText(path("saved.def")), golden("three.def"));
    EXPECT_TRUE(w->controlWindows().isEmpty());
    EXPECT_EQ(w->windowTitle(), "Six Pack");
}

TEST_F(DeviceTest, TextExportUsesTheSaveDialogAndUpdatesKeyByKey) {
    device::TfrmLongI2C* w = open();
    defineThree(w);
    putFile(path("three.def"), golden("three.def"));
    prompts.chooseFile(qpath("three.def"));
    item(w, "mnuSaveASCII")->trigger();
    const ui::FileDialogRequest& r = prompts.events[0].request;
    EXPECT_EQ(r.title, "Save Register Data in Text Format");
    EXPECT_EQ(r.filter, "Text files (*.txt)|*.txt|All files (*.*)|*.*");
    EXPECT_EQ(r.defaultSuffix, "txt");
    EXPECT_TRUE(r.fileName.isEmpty());
    EXPECT_EQ(fileText(path("three.def")), golden("three_exported.def"));
    EXPECT_TRUE(w->DeviceModified()) << "the export changes nothing of the device";

    prompts.chooseFile(qpath("saved.def"));
    item(w, "mnuSaveAs")->trigger();
    EXPECT_TRUE(prompts.events[1].request.fileName.isEmpty()) << "the export emptied the name";
    EXPECT_EQ(prompts.events[1].request.title, "Save Device Information");
}

}  // namespace
}  // namespace parvex::test
