// Close All, Tile, Cascade and the Window list with several child windows.
#include <QFrame>
#include <QScrollBar>

#include "gui/shell/shell_fixture.h"
#include "shell/window_arrangement.h"

namespace parvex::test {
namespace {

QStringList openTitles(const shell::TfrmMain& main) {
    QStringList titles;
    for (QMdiSubWindow* sub : main.mdiArea()->subWindowList(QMdiArea::CreationOrder))
        if (!sub->isHidden()) titles << sub->windowTitle();
    return titles;
}

TEST_F(ShellTest, CloseAllAsksEveryWindowLastFirstAndKeepsOnlyTheCancelledOnes) {
    start();
    settle();
    addTestChild("a", true);
    addTestChild("b", true);
    addTestChild("c", true);
    addTestChild("d", true);
    // d: Cancel, c: No, b: Cancel, a: No.
    for (ui::Answer answer :
         {ui::Answer::Cancel, ui::Answer::No, ui::Answer::Cancel, ui::Answer::No})
        prompts.answer(answer);
    action("mnuCloseAll")->trigger();
    settle();
    EXPECT_EQ(prompts.texts().size(), 4);
    EXPECT_EQ(openTitles(*main), (QStringList{"b", "d"}));
    EXPECT_EQ(fiveItems(), kAllDisabled);
}

TEST_F(ShellTest, AnEditorsCloseAllGoesThroughTheFramesAndAsksEveryWindow) {
    start();
    settle();
    addTestChild("first", true);
    addTestChild("second", true);
    main->mnuEEPROMClick(256);
    settle();
    QMdiSubWindow* editor = main->mdiArea()->activeSubWindow();
    ASSERT_NE(editor, nullptr);
    auto* editorCloseAll = editor->widget()->findChild<QAction*>("mnuCloseAll");
    ASSERT_NE(editorCloseAll, nullptr);

    // The unmodified editor goes without a question; then "second": Cancel, "first": No.
    prompts.answer(ui::Answer::Cancel);
    prompts.answer(ui::Answer::No);
    editorCloseAll->trigger();
    settle();
    EXPECT_EQ(prompts.texts().size(), 2);
    EXPECT_EQ(openTitles(*main), QStringList{"second"});
}

TEST_F(ShellTest, ExitStillStopsAtTheFirstCancel) {
    start();
    settle();
    addTestChild("first", true);
    addTestChild("second", true);
    prompts.answer(ui::Answer::Cancel);
    action("mnuExit")->trigger();
    settle();
    EXPECT_EQ(prompts.texts().size(), 1);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(openTitles(*main), (QStringList{"first", "second"}));
}

// Opens editors of the given sizes in a frame of the designed size.
class ArrangementTest : public ShellTest {
protected:
    QList<QMdiSubWindow*> openEditors(std::initializer_list<int> sizes) {
        start();
        settle();
        for (int size : sizes) main->mnuEEPROMClick(size);
        settle();
        return main->mdiArea()->subWindowList(QMdiArea::CreationOrder);
    }
    [[nodiscard]] QRect area() const { return main->mdiArea()->viewport()->rect(); }
};

TEST_F(ArrangementTest, TileStacksTheEditorsFullWidthWithRoomForTheirControls) {
    const QList<QMdiSubWindow*> subs = openEditors({16, 256});
    action("mnuTile")->trigger();
    settle();

    int top = 0;
    for (QMdiSubWindow* sub : subs) {
        SCOPED_TRACE(sub->windowTitle().toStdString());
        EXPECT_FALSE(sub->isMaximized());
        const QRect g =
            sub->geometry().translated(0, main->mdiArea()->verticalScrollBar()->value());
        EXPECT_EQ(g.top(), top);
        EXPECT_EQ(g.left(), 0);
        EXPECT_GE(g.width(), area().width());
        // Squeezed below this, the left panel draws its fields on top of one another.
        const auto* panel = sub->widget()->findChild<QFrame*>("pnlLeft");
        ASSERT_NE(panel, nullptr);
        EXPECT_GE(panel->height(), panel->minimumSizeHint().height());
        top = g.bottom() + 1;
    }
    // What does not fit is reached by scrolling.
    if (top > area().height() + main->mdiArea()->verticalScrollBar()->value()) {
        EXPECT_GE(main->mdiArea()->verticalScrollBar()->maximum(), top - area().height() - 1);
    }
}

TEST_F(ArrangementTest, CascadeKeepsTheFrontWindowWhollyInsideTheFrame) {
    const QList<QMdiSubWindow*> subs = openEditors({256, 512, 2048});
    main->mdiArea()->setActiveSubWindow(subs.at(1));
    action("mnuCascade")->trigger();
    settle();

    QMdiSubWindow* front = main->mdiArea()->activeSubWindow();
    EXPECT_EQ(front, subs.at(1));
    EXPECT_TRUE(area().contains(front->geometry())) << front->geometry().bottom();
    const auto* panel = front->widget()->findChild<QFrame*>("pnlLeft");
    ASSERT_NE(panel, nullptr);
    EXPECT_GE(panel->height(), panel->minimumSizeHint().height());
    // The others peek out above and to the left of it, one title bar apart.
    QList<QPoint> corners;
    for (QMdiSubWindow* sub : subs) corners << sub->geometry().topLeft();
    std::sort(corners.begin(), corners.end(), [](QPoint a, QPoint b) { return a.y() < b.y(); });
    for (qsizetype i = 1; i < corners.size(); ++i) {
        EXPECT_GT(corners[i].y(), corners[i - 1].y());
        EXPECT_GT(corners[i].x(), corners[i - 1].x());
    }
    EXPECT_EQ(front->geometry().topLeft(), corners.last());
}

TEST_F(ShellTest, ChoosingAMinimisedWindowFromTheListRestoresIt) {
    start();
    settle();
    addTestChild("Alpha");
    TestChild* beta = addTestChild("Beta");
    action("mnuMinimizeAll")->trigger();
    emit menu("mnuWindow")->aboutToShow();
    action("mnuWindowItem2")->trigger();
    settle();
    auto* sub = qobject_cast<QMdiSubWindow*>(beta->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_FALSE(sub->isMinimized());
    EXPECT_TRUE(beta->isVisible());
    EXPECT_EQ(main->mdiArea()->activeSubWindow(), sub);
}

TEST(WindowArrangementTest, TileAndCascadeRectangles) {
    const QRect area(0, 0, 800, 500);
    struct Case {
        const char* what;
        QList<QSize> minimum;
        QList<QRect> tiled;
    };
    const Case cases[] = {
        {"one window takes the area", {{100, 100}}, {QRect(0, 0, 800, 500)}},
        {"even shares, the last takes the rest",
         {{100, 50}, {100, 50}, {100, 50}},
         {QRect(0, 0, 800, 166), QRect(0, 166, 800, 166), QRect(0, 332, 800, 168)}},
        {"a window needing more than its share pushes the next down",
         {{100, 300}, {100, 100}},
         {QRect(0, 0, 800, 300), QRect(0, 300, 800, 200)}},
        {"too tall for the area: past the bottom",
         {{100, 400}, {900, 400}},
         {QRect(0, 0, 800, 400), QRect(0, 400, 900, 400)}},
    };
    for (const Case& c : cases) EXPECT_EQ(shell::tileRects(area, c.minimum), c.tiled) << c.what;
    EXPECT_TRUE(shell::tileRects(area, {}).isEmpty());

    // Cascade: the front (last) window ends at the area's bottom right corner.
    const QList<QRect> cascade =
        shell::cascadeRects(area, {{100, 100}, {100, 100}, {100, 100}}, 20);
    EXPECT_EQ(cascade, (QList<QRect>{QRect(0, 0, 760, 460), QRect(20, 20, 760, 460),
                                     QRect(40, 40, 760, 460)}));
    // Windows needing nearly the whole height step by less, so the front one still fits.
    const QList<QRect> tight = shell::cascadeRects(area, {{100, 480}, {100, 100}, {100, 100}}, 20);
    EXPECT_EQ(tight.last().bottom(), area.bottom());
    EXPECT_EQ(tight.last().height(), 480);
    // Needing more than the area: the windows keep their size and overlap exactly.
    const QList<QRect> over = shell::cascadeRects(area, {{100, 600}, {100, 100}}, 20);
    EXPECT_EQ(over, (QList<QRect>{QRect(0, 0, 800, 600), QRect(0, 0, 800, 600)}));
}

}  // namespace
}  // namespace parvex::test
