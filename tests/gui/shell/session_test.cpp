// The main window's place and size and the last file folder, from one run to the next.
#include <QApplication>
#include <QFileDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include "gui/shell/shell_fixture.h"

namespace parvex::test {
namespace {

// Settings go to a folder of the test's own, never to the user's.
class SessionTest : public ShellTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(settingsDir_.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_.path());
        ui::setLastFileFolder({});
    }
    void TearDown() override {
        ShellTest::TearDown();
        ui::setLastFileFolder({});
    }
    // A fresh main window, as a new run of the program makes it.
    void newRun() {
        main.reset();
        start();
        main->keepSession();
        settle();
    }

    QTemporaryDir settingsDir_;
    QTemporaryDir files_;
};

TEST_F(SessionTest, FirstRunHasTheDesignedPlaceLaterRunsTheLastOne) {
    newRun();
    EXPECT_EQ(main->pos(), QPoint(400, 129));
    EXPECT_EQ(main->width(), 829);

    const QRect moved(30, 40, 600, 450);
    main->setGeometry(moved);
    ui::setLastFileFolder(files_.path());
    action("mnuExit")->trigger();
    settle();
    ui::setLastFileFolder({});

    newRun();
    EXPECT_EQ(main->geometry(), moved);
    EXPECT_EQ(ui::lastFileFolder(), files_.path());
}

TEST_F(SessionTest, AnExitStoppedByCancelKeepsNothing) {
    newRun();
    addTestChild("kept", /*modified=*/true);
    main->setGeometry(30, 40, 600, 450);
    prompts.answer(ui::Answer::Cancel);
    action("mnuExit")->trigger();
    settle();

    newRun();
    EXPECT_EQ(main->pos(), QPoint(400, 129));
}

TEST_F(SessionTest, FileDialogsOpenWhereTheLastOneWasAnswered) {
    start();
    const QString chosen = QDir(files_.path()).filePath("image.hex");
    const auto answerWith = [](const QString& path, QString* openedIn) {
        QTimer::singleShot(0, [path, openedIn] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            *openedIn = dialog->directory().absolutePath();
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();
        });
    };
    ui::QtPrompts qt;
    ui::FileDialogRequest request;
    request.title = "Save As";
    request.filter = "Intel HEX (*.hex)|*.hex";
    request.fileName = "untitled.hex";

    QString openedIn;
    answerWith(chosen, &openedIn);
    const ui::FileChoice first = qt.saveFile(request);
    ASSERT_TRUE(first.accepted);
    EXPECT_EQ(ui::lastFileFolder(), QFileInfo(chosen).absolutePath());

    answerWith(chosen, &openedIn);
    ASSERT_TRUE(qt.saveFile(request).accepted);
    EXPECT_EQ(openedIn, QFileInfo(chosen).absolutePath());
}

}  // namespace
}  // namespace parvex::test
