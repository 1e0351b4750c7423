// Saving and opening data files, and the "Save changes?" questions before a table is dropped.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "gui/expert/expert_fixture.h"

namespace parvex::test {
namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ExpertFiles : public ExpertTest {
protected:
    // The example file: a write with notes and a read, sequence 01,02,02.
    void composeExample() {
        compose(1, {"A0", false, false, {"00", "1F"}, 0, "set register pointer"});
        compose(3, {"A0", true, false, {"FF", "FF"}, 10});
        QTest::mouseDClick(find<QLineEdit>("edtSequence"), Qt::LeftButton);
        QWidget* dialog = main->findChild<QWidget*>(QStringLiteral("frmSequenceEditor"));
        ASSERT_NE(dialog, nullptr);
        auto* cells = in<QTableWidget>(dialog, "grdSequencer");
        for (int c = 0; c < 3; ++c) cells->item(0, c)->setText(c == 0 ? "1" : "2");
        in<QAbstractButton>(dialog, "btnOK")->click();
    }
    QString golden() const { return QStringLiteral(PARVEX_TEST_DATA "/expert/two_messages.txt"); }
    QTemporaryDir dir;
};

TEST_F(ExpertFiles, SaveNewReopenGivesTheWrittenExampleBack) {
    composeExample();
    const QString path = dir.filePath(QStringLiteral("example.txt"));
    prompts.chooseFile(path);
    trigger("mnuSave");
    ASSERT_EQ(prompts.events.size(), 1u);
    const ui::FileDialogRequest& save = prompts.events[0].request;
    EXPECT_EQ(save.filter, "Text files (*.txt)|*.txt|All files (*.*)|*.*");
    EXPECT_EQ(save.defaultSuffix, "txt");
    EXPECT_TRUE(save.confirmOverwrite);
    EXPECT_EQ(fileBytes(path), fileBytes(golden()));
    EXPECT_EQ(w->windowTitle(), "example.txt");
    EXPECT_FALSE(w->TableModified());

    trigger("mnuNew");  // not modified: no question, caption back
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("I²C Expert Mode"));
    EXPECT_EQ(grid()->model()->rowCount(), 8);
    EXPECT_EQ(rowTexts(1), QStringList(6, QString()));
    EXPECT_EQ(label("edtSequence"), "01,02,02");  // New keeps the sequence

    prompts.clear();
    prompts.chooseFile(path);
    trigger("mnuOpen");
    EXPECT_EQ(prompts.events.at(0).request.title, "Open data file");
    EXPECT_EQ(prompts.events.at(0).request.filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
    ASSERT_EQ(grid()->model()->rowCount(), 2);
    EXPECT_EQ(rowTexts(1),
              (QStringList{"A0", "Write", "00,1F", "Yes", "0", "set register pointer"}));
    EXPECT_EQ(rowTexts(2), (QStringList{"A1", "Read", "FF,FF", "Yes", "10", ""}));
    EXPECT_EQ(w->windowTitle(), "example.txt");
    EXPECT_FALSE(w->TableModified());

    // The records were rebuilt: message 2 goes out as the read of the example.
    selectRow(2);
    click("btnIgnore");  // the EEPROM answers, but keep the options byte predictable
    click("btnSendOne");
    EXPECT_EQ(head(sentMessages().back(), 9), (std::vector<int>{0, 8, 4, 2, 0, 11, 161, 255, 255}));
}

TEST_F(ExpertFiles, AFailedSaveKeepsTheOldFileTheCaptionAndTheQuestion) {
    composeExample();
    const QString path = dir.filePath(QStringLiteral("missing/example.txt"));
    prompts.chooseFile(path);
    trigger("mnuSave");
    ASSERT_EQ(prompts.texts().size(), 1);
    EXPECT_TRUE(prompts.texts()[0].startsWith("Cannot write \"" + path + "\": "));
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("I²C Expert Mode"));
    EXPECT_TRUE(w->TableModified());

    // "Yes" with a save that fails keeps the window and its table.
    prompts.clear();
    prompts.answer(ui::Answer::Yes);
    prompts.chooseFile(path);
    trigger("mnuClose");
    settle();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(cell(1, expert::colNotes), "set register pointer");
    // Cancel in the save dialog does the same.
    prompts.answer(ui::Answer::Yes);
    prompts.cancelFile();
    trigger("mnuNew");
    EXPECT_EQ(cell(1, expert::colNotes), "set register pointer");
}

TEST_F(ExpertFiles, OpenOfAFileWithoutTheHeaderShowsStatus72AndKeepsTheTable) {
    composeExample();
    const QString path = dir.filePath(QStringLiteral("other.txt"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Some Other File\r\nA0,Write,Yes,0,00\r\nSequence:05\r\n");
    }
    prompts.answer(ui::Answer::No);
    prompts.chooseFile(path);
    trigger("mnuOpen");
    EXPECT_EQ(prompts.events.at(0).buttons, ui::ButtonYes | ui::ButtonNo);
    EXPECT_EQ(panel(0), statusOf(status::kDataFileRejected));
    EXPECT_EQ(cell(1, expert::colNotes), "set register pointer");
    EXPECT_EQ(label("edtSequence"), "01,02,02");
    EXPECT_EQ(w->windowTitle(), "other.txt");
    EXPECT_FALSE(w->TableModified());
}

TEST_F(ExpertFiles, AFileThatCannotBeReadChangesNothing) {
    composeExample();
    prompts.answer(ui::Answer::No);
    prompts.chooseFile(dir.path());  // a folder
    trigger("mnuOpen");
    ASSERT_EQ(prompts.texts().size(), 2);
    EXPECT_TRUE(prompts.texts()[1].startsWith("Cannot read \"" + dir.path() + "\": "));
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("I²C Expert Mode"));
    EXPECT_EQ(cell(1, expert::colNotes), "set register pointer");
    EXPECT_TRUE(w->TableModified());
}

TEST_F(ExpertFiles, AConversionErrorKeepsTheRowsReadSoFarAndTheSequence) {
    const QString path = dir.filePath(QStringLiteral("bad.txt"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(
            "Expert Mode Data File\r\nSequence:03\r\n40,Write,Yes,0,01\r\n40Write\r\n"
            "40,Write,Yes,0,03\r\n");
    }
    prompts.chooseFile(path);
    trigger("mnuOpen");
    EXPECT_EQ(prompts.texts(), QStringList{"'' is not a valid hexadecimal value."});
    ASSERT_EQ(grid()->model()->rowCount(), 1);
    EXPECT_EQ(cell(1, expert::colData), "01");
    EXPECT_EQ(label("edtSequence"), "");
}

TEST_F(ExpertFiles, AFileHoldingMoreThanFitsIsCutWithOneWarning) {
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Expert Mode Data File\r\n");
        for (int i = 0; i < 70; ++i) f.write("40,Write,Yes,0,01\r\n");
        f.write("Sequence:007,99,02\r\n");
    }
    prompts.chooseFile(path);
    trigger("mnuOpen");
    EXPECT_EQ(prompts.texts(),
              QStringList{"The file holds more than the table can take; the rest was not loaded."});
    EXPECT_EQ(grid()->model()->rowCount(), 64);
    EXPECT_EQ(label("edtSequence"), "07,02");
}

TEST_F(ExpertFiles, SaveChangesQuestionsOfNewAndClose) {
    compose(2, {"40", false, false, {"02"}});
    // New answered Cancel: everything stays.
    prompts.answer(ui::Answer::Cancel);
    trigger("mnuNew");
    EXPECT_EQ(prompts.events.back().buttons, ui::ButtonYes | ui::ButtonNo | ui::ButtonCancel);
    EXPECT_EQ(cell(2, expert::colData), "02");
    EXPECT_TRUE(w->TableModified());
    // New answered No: reset, the caption as it was.
    w->setWindowTitle("kept.txt");
    prompts.answer(ui::Answer::No);
    trigger("mnuNew");
    EXPECT_EQ(cell(2, expert::colData), "");
    EXPECT_EQ(w->windowTitle(), "kept.txt");
    EXPECT_FALSE(w->TableModified());

    // Close answered Cancel keeps the window; Exit answered Cancel keeps the program.
    compose(1, {"40", false, false, {"01"}});
    prompts.answer(ui::Answer::Cancel);
    click("btnClose");
    settle();
    EXPECT_TRUE(w->isVisible());
    prompts.answer(ui::Answer::Cancel);
    trigger("mnuExit");
    settle();
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(w->isVisible());

    // Close answered No goes, and the frame's window items go off with the last child.
    QPointer<expert::TfrmMessage> watch(w);
    prompts.answer(ui::Answer::No);
    trigger("mnuClose");
    settle();
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(fiveItems(), kAllDisabled);
    EXPECT_EQ(menuTitles(), (QStringList{"&File", "&Device", "Options", "&Window", "Help"}));
    w = nullptr;
}

}  // namespace
}  // namespace parvex::test
