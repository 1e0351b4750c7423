// Where our own boxes and dialogs open, what their title bars offer, how message boxes show
// their text. These run Qt's real boxes (not the scripted prompts) and answer them from a
// timer once they are up.
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/shell/shell_fixture.h"
#include "shell/About.h"
#include "shell/Bitrate.h"

namespace parvex::test {
namespace {

struct SeenBox {
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QPoint centre;
};

class DialogsTest : public ShellTest {
protected:
    // The main window well inside the offscreen screen (800 x 600), so that a window
    // centred on it is not pushed back onto the screen.
    void startSmall() {
        start();
        settle();
        main->setGeometry(20, 20, 560, 420);
        settle();
    }
    // Runs `show` (which blocks in a modal loop) and, once the modal window is up, hands it
    // to `inspect`, which must close it.
    static void whileModal(const std::function<void()>& show,
                           const std::function<void(QWidget*)>& inspect) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            seen = true;
            inspect(modal);
        });
        show();
        EXPECT_TRUE(seen);
    }
    // Shows one box through Qt's prompts and records what it looked like.
    SeenBox runBox(const std::function<void(ui::Prompts&)>& call) {
        SeenBox seen;
        ui::QtPrompts qt;
        whileModal([&] { call(qt); },
                   [&](QWidget* modal) {
                       auto* box = qobject_cast<QMessageBox*>(modal);
                       ASSERT_NE(box, nullptr);
                       seen.title = box->windowTitle();
                       seen.text = box->text();
                       seen.format = box->textFormat();
                       seen.centre = box->frameGeometry().center();
                       box->setWindowState(Qt::WindowMinimized);
                       QCoreApplication::processEvents();
                       EXPECT_FALSE(box->isMinimized());
                       box->buttons().constFirst()->click();
                   });
        return seen;
    }
};

// A window somewhere else on the screen is the active one, as the virtual adapter's tool
// window is when its switch makes the bus-line warning appear.
TEST_F(DialogsTest, MessageBoxesOpenCentredOnTheMainWindowAndShowTheirTextAsTyped) {
    startSmall();
    QWidget elsewhere(nullptr, Qt::Tool);
    elsewhere.setGeometry(600, 420, 180, 160);
    elsewhere.show();
    elsewhere.activateWindow();
    settle();

    const QString hostile = QStringLiteral(":10000000<img src=\"x\"><b>FF</b>");
    struct Case {
        const char* what;
        std::function<void(ui::Prompts&)> call;
        QString title;
    };
    const Case cases[] = {
        {"information", [&](ui::Prompts& p) { p.information(hostile); }, "Parvex"},
        {"warning", [&](ui::Prompts& p) { p.warning(hostile); }, "Parvex"},
        {"error", [&](ui::Prompts& p) { p.error(hostile); }, "Parvex"},
        {"question", [&](ui::Prompts& p) { p.question(hostile, ui::ButtonYes | ui::ButtonNo); },
         "Parvex"},
        {"titled question",
         [&](ui::Prompts& p) { p.titledQuestion("Update Parvex", hostile, ui::ButtonYes); },
         "Update Parvex"},
    };
    const QPoint mainCentre = main->frameGeometry().center();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SeenBox box = runBox(c.call);
        EXPECT_EQ(box.title, c.title);
        EXPECT_EQ(box.text, hostile);
        EXPECT_EQ(box.format, Qt::PlainText);
        EXPECT_LE((box.centre - mainCentre).manhattanLength(), 4)
            << box.centre.x() << "," << box.centre.y() << " vs " << mainCentre.x() << ","
            << mainCentre.y();
    }
}

TEST_F(DialogsTest, ClockDialogAndAboutBoxOpenCentredAndCannotBeMinimised) {
    startSmall();
    const QPoint mainCentre = main->frameGeometry().center();
    const auto check = [&](QWidget* dialog) {
        const Qt::WindowFlags flags = dialog->windowFlags();
        EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
        // With no button asked for at all, X11 window managers are told nothing about the
        // buttons and show every one.
        EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
        EXPECT_LE((dialog->frameGeometry().center() - mainCentre).manhattanLength(), 4);
        // Where the window manager draws a minimise button anyway, it does nothing.
        dialog->setWindowState(Qt::WindowMinimized);
        QCoreApplication::processEvents();
        EXPECT_FALSE(dialog->isMinimized());
        EXPECT_TRUE(dialog->isVisible());
    };

    action("mnuBitRate")->trigger();
    settle();
    ASSERT_NE(main->bitrateDialog(), nullptr);
    {
        SCOPED_TRACE("clock dialog");
        check(main->bitrateDialog());
    }
    main->bitrateDialog()->close();
    settle();

    whileModal([&] { action("AboutItem")->trigger(); },
               [&](QWidget* modal) {
                   SCOPED_TRACE("about box");
                   EXPECT_EQ(modal->objectName(), "AboutBox");
                   check(modal);
                   modal->findChild<QPushButton*>("btnOK")->click();
               });
}

TEST_F(DialogsTest, EscapeClosesTheClockDialogWithoutSettingTheClock) {
    start();
    settle();
    action("mnuBitRate")->trigger();
    settle();
    shell::TfrmBitrate* dialog = main->bitrateDialog();
    ASSERT_NE(dialog, nullptr);
    const auto before = virt->adapter().outputLog().size();
    dialog->spinClock()->setValue(400);
    QTest::keyClick(dialog->spinClock()->findChild<QLineEdit*>(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(main->bitrateDialog(), nullptr);
    EXPECT_EQ(virt->adapter().outputLog().size(), before);
    EXPECT_EQ(panel(shell::MarkupStatusBar::FrequencyPanel).contains("400"), false);
}

}  // namespace
}  // namespace parvex::test
