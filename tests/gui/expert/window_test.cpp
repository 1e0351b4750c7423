// The expert window: its look when new, its menus and tool buttons, and the row operations.

#include <QApplication>
#include <QHeaderView>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolButton>

#include "gui/expert/expert_fixture.h"

namespace parvex::test {
namespace {

TEST_F(ExpertTest, NewWindowShowsEightEmptyMessages) {
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("I²C Expert Mode"));
    EXPECT_TRUE(w->parentWidget()->isMaximized());
    ASSERT_EQ(grid()->model()->rowCount(), 8);
    for (int r = 1; r <= 8; ++r) {
        EXPECT_EQ(cell(r, expert::colNumber), QString::number(r));
        EXPECT_EQ(cell(r, expert::colStart), "ST");
        EXPECT_EQ(rowTexts(r), QStringList(6, QString()));
    }
    QStringList headers;
    std::vector<int> widths;
    for (int c = 0; c < expert::kColumnCount; ++c) {
        headers << grid()->model()->headerData(c, Qt::Horizontal).toString();
        widths.push_back(grid()->horizontalHeader()->sectionSize(c));
    }
    EXPECT_EQ(headers, (QStringList{"Msg #", "Start", "Address", "R/W", "Data", "Stop?",
                                    "Additional Delay", "Notes"}));
    EXPECT_EQ(widths, (std::vector<int>{42, 35, 53, 38, 400, 38, 60, 182}));
    EXPECT_EQ(grid()->horizontalHeader()->height(), 36);
    EXPECT_EQ(grid()->verticalHeader()->defaultSectionSize(), 18);
    const QModelIndex data = grid()->model()->index(0, expert::colData);
    const QModelIndex stop = grid()->model()->index(0, expert::colStop);
    EXPECT_EQ(grid()->model()->data(stop, Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignCenter);
    EXPECT_TRUE(grid()->model()->data(data, Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignLeft);
    EXPECT_EQ(label("edtRow"), "Active Msg. = 00");
    EXPECT_EQ(label("lblSending"), "Idle");
    EXPECT_EQ(sendContinuousCaption(), "Send Continuously");

    // Sending any of the empty messages sends nothing.
    for (const char* b : {"btnSendOne", "btnSendAll", "btnSequence"}) click(b);
    EXPECT_TRUE(sentMessages().empty());
}

TEST_F(ExpertTest, MenusMergeAndHintsAndShortcutsAreThere) {
    EXPECT_EQ(menuTitles(),
              (QStringList{"&File", "&Edit", "&Device", "Options", "&Window", "Help"}));
    EXPECT_EQ(main->menuBar()->actions().value(0)->menu()->objectName(), "mnuMsgFile");
    EXPECT_EQ(fiveItems(), kAllEnabled);

    const std::pair<const char*, const char*> items[] = {
        {"mnuNew", "Ctrl+N"},         {"mnuOpen", "Ctrl+O"},
        {"mnuSave", "Ctrl+S"},        {"mnuClose", ""},
        {"mnuCloseAll", ""},          {"mnuExit", "Ctrl+X"},
        {"mnuInsertRow", "Ctrl+Ins"}, {"mnuDeleteRow", "Ctrl+Del"},
        {"mnuClear", "Shift+Del"},    {"mnuCopyRow", "Ctrl+C"},
        {"mnuPasteRow", "Ctrl+V"},    {"mnuCompactRows", ""}};
    for (const auto& [name, keys] : items)
        EXPECT_EQ(find<QAction>(name)->shortcut().toString(), QString::fromLatin1(keys)) << name;

    const std::pair<const char*, const char*> hints[] = {
        {"btnNew", "Open blank page"},
        {"btnOpen", "Open File"},
        {"btnSave", "Save As.."},
        {"btnClose", "Close Expert Mode"},
        {"btnAddRow", "Insert Row"},
        {"btnDeleteRow", "Delete Row"},
        {"btnClearRow", "Clear current message (current row)"},
        {"btnCopy", "Copy Row"},
        {"btnPaste", "Paste Row"},
        {"btnCompress", "Compress Data"},
        {"btnIgnore", "Ignore Acknowledge"},
        {"btnSendOne", "Send Active Message"},
        {"btnSendAll", "Send all messages once"},
        {"btnSequence", "Send a sequence of messages"},
        {"btnSendContinuous", "Send all messages, defined in sequence, continuously"},
    };
    for (const auto& [name, hint] : hints)
        EXPECT_EQ(find<QWidget>(name)->toolTip(), QString::fromLatin1(hint)) << name;
    EXPECT_EQ(find<QLineEdit>("edtSequence")->toolTip(), " Double-click to edit the sequence");

    // Expert Mode again brings this window forward, no second one.
    EXPECT_EQ(open(), w);
    EXPECT_EQ(main->mdiArea()->subWindowList().size(), 1);
}

TEST_F(ExpertTest, RowOperationsThroughTheEditMenu) {
    compose(2, {"40", false, false, {"02"}});
    compose(3, {"40", false, false, {"03"}});
    EXPECT_TRUE(w->TableModified());

    selectRow(2);
    trigger("mnuInsertRow");
    ASSERT_EQ(grid()->model()->rowCount(), 9);
    EXPECT_EQ(cell(4, expert::colData), "03");
    EXPECT_EQ(rowTexts(3), QStringList(6, QString()));

    selectRow(4);
    trigger("mnuCopyRow");
    selectRow(1);
    trigger("mnuPasteRow");
    EXPECT_EQ(rowTexts(1), rowTexts(4));

    selectRow(2);
    trigger("mnuClear");
    EXPECT_EQ(rowTexts(2), QStringList(6, QString()));
    trigger("mnuCompactRows");
    ASSERT_EQ(grid()->model()->rowCount(), 2);
    EXPECT_EQ(cell(2, expert::colNumber), "2");
    EXPECT_EQ(cell(2, expert::colData), "03");

    selectRow(1);
    trigger("mnuDeleteRow");
    trigger("mnuDeleteRow");  // the last message stays
    ASSERT_EQ(grid()->model()->rowCount(), 1);
    EXPECT_EQ(cell(1, expert::colData), "03");

    // The record moved with its row: sending message 1 sends data byte 03.
    click("btnSendOne");
    ASSERT_EQ(sentMessages().size(), 1u);
    EXPECT_EQ(sentMessages()[0][report::kMessageData], 0x03);
}

TEST_F(ExpertTest, PasteOfNothingCopiedReportsTheAddressAndLeavesTheTableUnmodified) {
    expert::CopyBuffer() = {};
    selectRow(3);
    click("btnPaste");
    EXPECT_EQ(prompts.texts(), QStringList{"'' is not a valid hexadecimal value."});
    EXPECT_FALSE(w->TableModified());
    click("btnClearRow");
    EXPECT_FALSE(w->TableModified());
}

TEST_F(ExpertTest, FirstFourColumnsStayInViewWhenTheTableScrollsSideways) {
    main->resize(500, 400);
    settle();
    QScrollBar* bar = grid()->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    auto* frozen = w->findChild<QTableView*>(QStringLiteral("grdDataFrozen"));
    ASSERT_NE(frozen, nullptr);
    EXPECT_TRUE(frozen->isVisible());
    EXPECT_EQ(frozen->width(), 42 + 35 + 53 + 38);
    for (int c = 0; c < expert::kColumnCount; ++c)
        EXPECT_EQ(frozen->isColumnHidden(c), c >= expert::colData) << c;
    EXPECT_LT(grid()->columnViewportPosition(expert::colNumber), 0);  // scrolled away below

    // A double-click on the frozen columns opens the editor like one anywhere else.
    selectRow(2);
    QTest::mouseDClick(frozen->viewport(), Qt::LeftButton, {},
                       frozen->visualRect(frozen->model()->index(1, expert::colAddress)).center());
    auto* editor = w->findChild<expert::TfrmEditor*>(QStringLiteral("frmEditor"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->windowTitle(), "Message Editor - Msg # 2");
    editor->hide();
}

TEST_F(ExpertTest, CloseAllClosesTheWindowAndTurnsTheWindowItemsOff) {
    QPointer<expert::TfrmMessage> watch(w);
    trigger("mnuCloseAll");
    settle();
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(fiveItems(), kAllDisabled);
    w = nullptr;
}

TEST_F(ExpertTest, SelectionShowsTheActiveMessage) {
    selectRow(7);
    EXPECT_EQ(label("edtRow"), "Active Msg. = 7");
    QTest::keyClick(grid(), Qt::Key_Up);
    EXPECT_EQ(label("edtRow"), "Active Msg. = 6");
}

TEST_F(ExpertTest, OpensWithTheKeyboardInTheTable) {
    EXPECT_EQ(QApplication::focusWidget(), grid());
    // A hexadecimal digit opens the editor without a click on the table first.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_5);
    auto* editor = w->findChild<expert::TfrmEditor*>(QStringLiteral("frmEditor"));
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
}

TEST_F(ExpertTest, KeysThatOpenTheEditorAndKeysThatDoNot) {
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool opens;
    } cases[] = {
        {Qt::Key_0, Qt::NoModifier, true},      {Qt::Key_F, Qt::NoModifier, true},
        {Qt::Key_G, Qt::NoModifier, false},     {Qt::Key_6, Qt::KeypadModifier, true},
        {Qt::Key_7, Qt::KeypadModifier, false}, {Qt::Key_A, Qt::ControlModifier, false},
    };
    for (const auto& c : cases) {
        grid()->setFocus();
        QTest::keyClick(grid(), c.key, c.modifiers);
        auto* editor = w->findChild<expert::TfrmEditor*>(QStringLiteral("frmEditor"));
        EXPECT_EQ(editor && editor->isVisible(), c.opens) << c.key;
        if (editor) editor->hide();
    }
    // Opening the editor marks the table modified even when nothing changes.
    EXPECT_TRUE(w->TableModified());
}

}  // namespace
}  // namespace parvex::test
