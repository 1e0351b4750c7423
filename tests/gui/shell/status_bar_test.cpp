// The status bar's markup, panel widths and progress colours.
#include <QProgressBar>

#include "gui/shell/shell_fixture.h"

namespace parvex::test {
namespace {

using shell::MarkupRun;
using shell::MarkupStatusBar;
using shell::parseMarkup;

const QColor kWhite(255, 255, 255);
const QColor kSilver(192, 192, 192);
const QColor kGray(128, 128, 128);
const QColor kRed(255, 0, 0);

TEST(MarkupTest, ParsesAlignmentColoursAndStrayTags) {
    struct Case {
        QString markup;
        bool centred;
        QList<MarkupRun> runs;
    };
    const Case cases[] = {
        {"", false, {}},
        {"plain", false, {{"plain", kWhite}}},
        // Status texts close a FONT tag they never opened: the tag shows nothing.
        {R"(<P align="center">Transmission successful</FONT>)",
         true,
         {{"Transmission successful", kWhite}}},
        {R"(<P align="center"></FONT>)", true, {}},
        {R"(<P align="center"><FONT color="clGray">1000 kHz</FONT>)", true, {{"1000 kHz", kGray}}},
        {R"(<P align="center"><FONT color="clSilver"></FONT>)", true, {}},
        {R"(<FONT color="clRed">Error</FONT> after)", false, {{"Error", kRed}, {" after", kWhite}}},
        {R"(a<FONT color="clSilver">b<FONT color="clRed">c</FONT>d</FONT>e)",
         false,
         {{"a", kWhite}, {"b", kSilver}, {"c", kRed}, {"d", kSilver}, {"e", kWhite}}},
        // Unknown colours fall back to white; tag names are not case-sensitive.
        {R"(<p ALIGN="center"><font color="clPurple">x</font>)", true, {{"x", kWhite}}},
        // A lone '<' that is no tag is text.
        {"a < b", false, {{"a < b", kWhite}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.markup.toStdString());
        const shell::ParsedMarkup parsed = parseMarkup(c.markup);
        EXPECT_EQ(parsed.centred, c.centred);
        EXPECT_EQ(parsed.runs, c.runs);
    }
}

TEST(StatusBarTest, PanelsKeepTheirMarkupVerbatimAndStartAtTheirWidths) {
    MarkupStatusBar bar;
    EXPECT_EQ(bar.objectName(), "pnlStatusBar");
    EXPECT_EQ(bar.height(), 21);
    const int widths[] = {251, 0, 208, 183, 50};
    for (int i = 0; i < MarkupStatusBar::kPanelCount; ++i) {
        EXPECT_EQ(bar.panelWidth(i), widths[i]) << i;
        EXPECT_EQ(bar.panel(i)->width(), widths[i]) << i;
    }
    EXPECT_TRUE(bar.panel(MarkupStatusBar::ProgressPanel)->isHidden());

    const QString odd = R"(<P align="center"><FONT color="clRed">x</FONT></FONT>  )";
    bar.setPanelText(MarkupStatusBar::SparePanel, odd);
    EXPECT_EQ(bar.panelText(MarkupStatusBar::SparePanel), odd);
}

TEST(StatusBarTest, ProgressPanelAppearsForALongWriteWithItsLevelColours) {
    MarkupStatusBar bar;
    bar.setPanelWidth(MarkupStatusBar::StatusPanel, 0);
    bar.setPanelWidth(MarkupStatusBar::ProgressPanel, 250);
    EXPECT_TRUE(bar.panel(MarkupStatusBar::StatusPanel)->isHidden());
    EXPECT_FALSE(bar.panel(MarkupStatusBar::ProgressPanel)->isHidden());
    EXPECT_EQ(bar.progressBar()->minimum(), 0);
    EXPECT_EQ(bar.progressBar()->maximum(), 100);

    const struct {
        int percent;
        QColor colour;
    } levels[] = {{0, QColor(0, 255, 0)},     {69, QColor(0, 255, 0)},
                  {70, QColor(255, 255, 0)},  {89, QColor(255, 255, 0)},
                  {90, QColor(255, 169, 83)}, {100, QColor(255, 169, 83)}};
    for (const auto& l : levels) {
        bar.setProgress(l.percent);
        EXPECT_EQ(bar.progressBar()->value(), l.percent);
        EXPECT_EQ(MarkupStatusBar::progressColor(l.percent), l.colour) << l.percent;
        EXPECT_EQ(bar.progressChunkColor(), l.colour) << l.percent;
    }
    EXPECT_EQ(bar.progressBar()->text(), "100%");
    bar.setProgress(140);
    EXPECT_EQ(bar.progressBar()->value(), 100);

    bar.setPanelWidth(MarkupStatusBar::StatusPanel, 250);
    bar.setPanelWidth(MarkupStatusBar::ProgressPanel, 0);
    EXPECT_TRUE(bar.panel(MarkupStatusBar::ProgressPanel)->isHidden());
    EXPECT_EQ(bar.panelWidth(MarkupStatusBar::StatusPanel), 250);
}

TEST_F(ShellTest, HostCallsReachTheStatusBar) {
    start();
    settle();
    main->ErrorMessage(9);
    EXPECT_EQ(panel(MarkupStatusBar::StatusPanel), R"(<P align="center">Unspecified error</FONT>)");
    main->ResetWarning();
    EXPECT_EQ(panel(MarkupStatusBar::StatusPanel), "");
    main->setStatusText(R"(<P align="center"><FONT color="clRed">Verify failed</FONT>)");
    EXPECT_EQ(panel(MarkupStatusBar::StatusPanel),
              R"(<P align="center"><FONT color="clRed">Verify failed</FONT>)");
    main->setProgressPanelWidth(250);
    main->setProgress(75);
    EXPECT_EQ(main->pnlStatusBar()->progressBar()->value(), 75);
    EXPECT_EQ(main->pnlStatusBar()->panelWidth(MarkupStatusBar::ProgressPanel), 250);
}

// A long write runs without the event loop: the progress panel must take its place on the
// bar at the first repaint, not when the write is over.
TEST_F(ShellTest, ProgressPanelIsLaidOutAtOnceWithoutTheEventLoop) {
    start();
    settle();
    MarkupStatusBar* bar = main->pnlStatusBar();
    main->setStatusPanelWidth(0);
    main->setProgressPanelWidth(250);
    main->repaintStatusBar();
    EXPECT_EQ(bar->panel(MarkupStatusBar::ProgressPanel)->geometry().width(), 250);
    EXPECT_EQ(bar->progressBar()->width(), 248);
    main->setStatusPanelWidth(250);
    main->setProgressPanelWidth(0);
    main->repaintStatusBar();
    EXPECT_EQ(bar->panel(MarkupStatusBar::StatusPanel)->geometry().width(), 250);
}

}  // namespace
}  // namespace parvex::test
