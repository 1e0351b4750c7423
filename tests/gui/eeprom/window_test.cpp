// Window life: activation, the close question, Close, Close All, Exit, two windows at once,
// Fill and Copy with their warnings.

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>

#include "gui/eeprom/editor_fixture.h"

namespace parvex::test {
namespace {

TEST_F(EditorTest, ActivationClearsTheStatusPanel) {
    eeprom::TfrmSmallEE* w = host.openEditor(16);
    host.resetWarnings = 0;
    w->FormActivate();
    EXPECT_EQ(host.resetWarnings, 1);
}

TEST_F(EditorTest, CloseQuestionAnswers) {
    QTemporaryDir dir;
    struct Case {
        ui::Answer answer;
        bool chooseFile;
        bool closes;
        bool saved;
    };
    const Case cases[] = {
        {ui::Answer::Cancel, false, false, false},
        {ui::Answer::No, false, true, false},
        {ui::Answer::Yes, true, true, true},
        // Yes, then the save dialog is cancelled: the data stays, and so does the window.
        {ui::Answer::Yes, false, false, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        prompts.clear();
        eeprom::TfrmSmallEE* w = host.openEditor(16);
        QPointer<eeprom::TfrmSmallEE> alive(w);
        clickCell(ctl(w).stgMemory, 0, 0);
        typeKeys("AB");
        const QString file = dir.filePath(QString("saved%1.hex").arg(n++));
        prompts.answer(c.answer);
        if (c.answer == ui::Answer::Yes) {
            if (c.chooseFile)
                prompts.chooseFile(file);
            else
                prompts.cancelFile();
        }

        const bool closed = w->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        EXPECT_EQ(closed, c.closes);
        EXPECT_EQ(alive.isNull(), c.closes);
        ASSERT_FALSE(prompts.events.empty());
        EXPECT_EQ(prompts.events[0].text, "Save changes?");
        EXPECT_EQ(prompts.events[0].buttons, ui::ButtonYes | ui::ButtonNo | ui::ButtonCancel);
        EXPECT_EQ(QFile::exists(file), c.saved);
        if (alive) {
            EXPECT_EQ(hexCell(*alive, 0), "AB");
            EXPECT_TRUE(alive->Modified());
        }
    }
}

TEST_F(EditorTest, UnmodifiedWindowClosesWithoutAQuestion) {
    eeprom::TfrmSmallEE* w = host.openEditor(256);
    ctl(w).edtTo->setText("FF");
    ctl(w).edtPreset->setText("41");
    ctl(w).btnFill->click();
    ctl(w).btnCopy->click();
    EXPECT_EQ(hexCell(*w, 0xFF), "41");
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(prompts.events.empty());
}

TEST_F(EditorTest, TwoWindowsOfDifferentSizesKeepTheirOwnState) {
    eeprom::TfrmSmallEE* small = host.openEditor(128);
    eeprom::TfrmSmallEE* large = host.openEditor(2048);
    clickCell(ctl(small).stgMemory, 7, 15);
    typeKeys("41");
    EXPECT_EQ(hexCell(*small, 0x7F), "41");
    EXPECT_EQ(hexCell(*large, 0x7F), "FF");
    EXPECT_EQ(ctl(small).lblWordAddress->text(), "07F");
    EXPECT_EQ(ctl(large).lblWordAddress->text(), "000");
    EXPECT_EQ(ctl(large).cmbAddress->count(), 1);
    EXPECT_EQ(ctl(small).cmbAddress->count(), 8);
    EXPECT_TRUE(small->Modified());
    EXPECT_FALSE(large->Modified());

    EXPECT_TRUE(large->close());
    EXPECT_TRUE(prompts.events.empty());
    EXPECT_EQ(small->windowTitle(), "128 Byte (1024 bit) RAM / FRAM");
}

TEST_F(EditorTest, CloseAllAndExitGoThroughTheHost) {
    eeprom::TfrmSmallEE* first = host.openEditor(16);
    eeprom::TfrmSmallEE* second = host.openEditor(256);
    clickCell(ctl(first).stgMemory, 0, 0);
    typeKeys("01");

    // The modified first window refuses: the second is closed already, and the window items
    // go off all the same, as with the frame's Close All.
    prompts.answer(ui::Answer::Cancel);
    ctl(second).mnuCloseAll->trigger();
    EXPECT_EQ(host.childWindowCount(), 1);
    EXPECT_EQ(host.disableMenus, 1);

    prompts.answer(ui::Answer::Cancel);
    ctl(first).mnuExit->trigger();
    EXPECT_FALSE(host.exited);
    EXPECT_EQ(host.childWindowCount(), 1);

    prompts.answer(ui::Answer::No);
    host.resetWarnings = 0;
    ctl(first).mnuCloseAll->trigger();
    EXPECT_EQ(host.childWindowCount(), 0);
    EXPECT_EQ(host.disableMenus, 2);
    EXPECT_EQ(host.resetWarnings, 1);
}

TEST_F(EditorTest, FillAndCopyWarnings) {
    eeprom::TfrmSmallEE* big = host.openEditor(512);
    ctl(big).edtTo->setText("200");
    ctl(big).btnFill->click();
    EXPECT_EQ(prompts.texts(),
              QStringList{"The \"To hex address\" must be less than\r512  (0x1FF)"});
    EXPECT_EQ(prompts.events[0].kind, ScriptedPrompts::Kind::Warning);
    EXPECT_EQ(ctl(big).edtTo->text(), "1FF");
    EXPECT_EQ(hexCell(*big, 0), "FF");
    ctl(big).edtPreset->setText("41");
    ctl(big).btnFill->click();  // the corrected field is ready for a second click
    EXPECT_EQ(hexCell(*big, 0x1FF), "41");
    EXPECT_EQ(asciiCell(*big, 0x1FF), "A");

    // The field's typing limit (two digits here) never cuts the corrected text.
    for (const int size : {16, 128}) {
        prompts.clear();
        eeprom::TfrmSmallEE* small = host.openEditor(size);
        ctl(small).edtTo->setText("FF");
        ctl(small).btnFill->click();
        const QString last = QString("%1").arg(size - 1, 3, 16, QChar('0')).toUpper();
        EXPECT_EQ(ctl(small).edtTo->text(), last) << size;
        ctl(small).edtPreset->setText("41");
        ctl(small).btnFill->click();
        EXPECT_EQ(hexCell(*small, size - 1), "41") << size;
        EXPECT_EQ(prompts.texts().size(), 1) << size;
    }

    eeprom::TfrmSmallEE* w = host.openEditor(256);

    prompts.clear();
    ctl(w).edtPreset->setText("07");
    ctl(w).btnFill->click();
    EXPECT_TRUE(prompts.events.empty());
    EXPECT_EQ(hexCell(*w, 0xFF), "07");
    EXPECT_EQ(asciiCell(*w, 0xFF), ".");

    ctl(w).edtCopyStart->setText("00");
    ctl(w).edtCopyEnd->setText("0F");
    ctl(w).edtTargetStart->setText("F1");
    ctl(w).btnCopy->click();
    EXPECT_EQ(prompts.texts(),
              QStringList{"Copied block extends beyond the maximum EEPROM address.\rEnding address "
                          "must be less than 0x0FF"});
    prompts.clear();
    ctl(w).edtFrom->setText("10");
    ctl(w).edtTo->setText("0F");
    ctl(w).btnFill->click();
    ctl(w).edtCopyStart->setText("10");
    ctl(w).btnCopy->click();
    ctl(w).edtCopyStart->clear();
    ctl(w).btnCopy->click();
    EXPECT_EQ(prompts.texts(),
              (QStringList{"The \"From Address\"\rmust be less than\r\"To Address\"",
                           "Copy From \"Starting Address\" must be less than Copy From \"Ending "
                           "Address\"",
                           "'' is not a valid hexadecimal value."}));
    EXPECT_FALSE(w->Modified());
}

TEST_F(EditorTest, OverlappingCopyTakesTheSourceAsItWas) {
    eeprom::TfrmSmallEE* w = host.openEditor(256);
    std::vector<std::uint8_t> bytes(256);
    for (int i = 0; i < 256; ++i) bytes[std::size_t(i)] = std::uint8_t(i);
    w->image().setBytes(0, bytes);
    ctl(w).edtCopyStart->setText("00");
    ctl(w).edtCopyEnd->setText("0F");
    ctl(w).edtTargetStart->setText("08");
    ctl(w).btnCopy->click();
    for (int a = 0; a < 0x18; ++a) {
        const int expected = a < 8 ? a : a - 8;
        EXPECT_EQ(hexCell(*w, a), QString("%1").arg(expected, 2, 16, QChar('0')).toUpper()) << a;
    }
}

}  // namespace
}  // namespace parvex::test
