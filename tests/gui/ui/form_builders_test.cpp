// The form builders: every control comes out named, hinted and set as asked, and the form
// rows put labels and controls where the windows expect them.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QWidget>

#include "support/qt_printers.h"
#include "ui/form_builders.h"

namespace parvex::test {
namespace {

template <class W>
W* child(QWidget& parent, const char* name) {
    W* found = parent.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

TEST(FormBuilders, ControlsAreNamedHintedAndCaptioned) {
    QWidget form;
    ui::makeButton(&form, "btnWrite", QStringLiteral("&Write All"),
                   QStringLiteral("Write entire EEPROM"));
    ui::makeCheckBox(&form, "chbAuto", QStringLiteral("Send"), QStringLiteral("Send at once"));
    ui::makeLabel(&form, QStringLiteral("Size"), "lblDeviceSize");
    ui::makeGroupBox(&form, "grpWrite", QStringLiteral("Write Message"));
    ui::makePanel(&form, "pnlLeft");

    const auto* button = child<QPushButton>(form, "btnWrite");
    EXPECT_EQ(button->text(), "&Write All");
    EXPECT_EQ(button->toolTip(), "Write entire EEPROM");
    EXPECT_EQ(child<QCheckBox>(form, "chbAuto")->toolTip(), "Send at once");
    EXPECT_EQ(child<QLabel>(form, "lblDeviceSize")->text(), "Size");
    EXPECT_EQ(child<QGroupBox>(form, "grpWrite")->title(), "Write Message");
    EXPECT_EQ(child<QFrame>(form, "pnlLeft")->frameShape(), QFrame::StyledPanel);
    // A label nobody changes later needs no name; a button with no hint gets none.
    EXPECT_TRUE(ui::makeLabel(&form, QStringLiteral("Address"))->objectName().isEmpty());
    EXPECT_TRUE(ui::makeButton(&form, "btnRead", QStringLiteral("Read"))->toolTip().isEmpty());
}

TEST(FormBuilders, ToolButtonsMenuItemsAndToolWindows) {
    QWidget form;
    QToolButton* tool = ui::makeToolButton(&form, "btnNew", QStringLiteral("New"),
                                           QStringLiteral("Open blank page"));
    EXPECT_EQ(child<QToolButton>(form, "btnNew"), tool);
    EXPECT_EQ(tool->text(), "New");
    EXPECT_EQ(tool->toolTip(), "Open blank page");
    EXPECT_EQ(tool->toolButtonStyle(), Qt::ToolButtonTextOnly);

    QMenu menu;
    QAction* save = ui::addMenuItem(&menu, "mnuSave", QStringLiteral("Save"),
                                    QKeySequence(QStringLiteral("Ctrl+S")));
    QAction* close = ui::addMenuItem(&menu, "mnuClose", QStringLiteral("Close"));
    EXPECT_EQ(menu.findChild<QAction*>(QStringLiteral("mnuSave")), save);
    EXPECT_EQ(save->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_TRUE(close->shortcut().isEmpty());
    EXPECT_EQ(menu.actions(), (QList<QAction*>{save, close}));

    auto* window = new QWidget;
    ui::makeToolWindow(window);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(window->testAttribute(Qt::WA_DeleteOnClose));
    delete window;
}

TEST(FormBuilders, CentreOnAnotherWindow) {
    QWidget over;
    over.setGeometry(100, 200, 400, 300);
    QWidget dialog;
    dialog.resize(100, 50);
    ui::centreOn(&dialog, &over);
    const QRect placed(dialog.pos(), dialog.size().expandedTo(dialog.sizeHint()));
    EXPECT_EQ(placed.center(), QRect(over.mapToGlobal(QPoint(0, 0)), over.size()).center());
}

TEST(FormBuilders, FieldsTakeTheirLengthAndCase) {
    struct Case {
        ui::FieldOptions options;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {{QString(), 3, true, 3, {}}, "7fa9", "7FA"},
        {{QStringLiteral("0"), 0, false, 0, {}}, "ab", "0ab"},
        {{QString(), 2, false, 0, {}}, "abc", "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        QWidget form;
        QLineEdit* field = ui::makeField(&form, "edtFrom", c.options);
        ASSERT_EQ(child<QLineEdit>(form, "edtFrom"), field);
        field->setCursorPosition(field->text().size());
        QTest::keyClicks(field, QString::fromLatin1(c.typed));
        EXPECT_EQ(field->text(), c.shown);
    }
    QWidget form;
    QLineEdit* narrow = ui::makeField(&form, "edtNarrow", {QString(), 3, true, 3, {}});
    QLineEdit* wide = ui::makeField(&form, "edtWide", {QString(), 0, true, 12, {}});
    EXPECT_LT(narrow->maximumWidth(), wide->maximumWidth());
    EXPECT_EQ(ui::makeField(&form, "edtFree")->maximumWidth(), QWIDGETSIZE_MAX);
}

TEST(FormBuilders, ListsAndSpinBoxes) {
    QWidget form;
    QComboBox* address = ui::makeComboBox(
        &form, "cmbAddress",
        {{"A0", "A2", "A4"}, 1, true, 2, true, QStringLiteral("I\u00B2C Address Selection")});
    EXPECT_EQ(address->currentText(), "A2");
    EXPECT_EQ(address->toolTip(), QStringLiteral("I\u00B2C Address Selection"));
    address->lineEdit()->clear();
    QTest::keyClicks(address->lineEdit(), QStringLiteral("aee"));
    EXPECT_EQ(address->currentText(), "AE");
    EXPECT_EQ(address->count(), 3) << "typed text is not added to the list";

    QComboBox* fixed =
        ui::makeComboBox(&form, "cmbPageSize", {{"1", "8", "16", "32"}, 1, false, 0, false, {}});
    EXPECT_FALSE(fixed->isEditable());
    EXPECT_EQ(fixed->currentText(), "8");
    EXPECT_EQ(ui::makeComboBox(&form, "cmbEmpty", {})->currentIndex(), -1);

    QSpinBox* hex = ui::makeSpinBox(&form, "spnValue", {0, 255, 0x3C, 16, {}});
    EXPECT_EQ(hex->text(), "3c");
    QSpinBox* time = ui::makeSpinBox(&form, "spnWriteCycle", {0, 100, 250, 10, {}});
    EXPECT_EQ(time->value(), 100) << "the value is set after the range";
}

TEST(FormBuilders, GridTakesItsDesignedSizes) {
    QStandardItemModel model(4, 8);
    QTableView grid;
    grid.setModel(&model);
    ui::GridOptions options;
    options.hint = QStringLiteral("Double-click on the desired message to edit the message");
    options.columnWidth = 24;
    options.columnWidths = {42, 35, 53};
    options.headerColumnWidth = 24;
    options.rowHeight = 18;
    options.headerRowHeight = 36;
    options.resizableRows = true;
    options.editable = false;
    ui::setUpGrid(&grid, "grdData", options);

    EXPECT_EQ(grid.objectName(), "grdData");
    EXPECT_EQ(grid.toolTip(), options.hint);
    EXPECT_EQ(grid.columnWidth(0), 42);
    EXPECT_EQ(grid.columnWidth(2), 53);
    EXPECT_EQ(grid.columnWidth(3), 24);
    EXPECT_EQ(grid.columnWidth(7), 24);
    EXPECT_EQ(grid.rowHeight(3), 18);
    EXPECT_EQ(grid.horizontalHeader()->height(), 36);
    EXPECT_EQ(grid.verticalHeader()->width(), 24);
    EXPECT_EQ(grid.horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    EXPECT_EQ(grid.verticalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(grid.tabKeyNavigation());
}

TEST(FormBuilders, FormRowsAndDesignedGeometry) {
    QWidget panel;
    ui::FormRows form(&panel);
    QLabel* size = form.labelled(QStringLiteral("Device Size"),
                                 ui::makeLabel(&panel, QStringLiteral("16"), "lblDeviceSize"));
    QPushButton* readOne = ui::makeButton(&panel, "btnReadOne", QStringLiteral("Read Byte"));
    QPushButton* read = ui::makeButton(&panel, "btnRead", QStringLiteral("Read All"));
    form.pair(readOne, read);
    form.heading(QStringLiteral("Copy from"));
    QPushButton* copy =
        form.across(ui::makeButton(&panel, "btnCopy", QStringLiteral("Copy Block")));
    form.finish();

    QGridLayout* grid = form.layout();
    EXPECT_EQ(form.rows(), 4);
    auto at = [grid](int row, int column) {
        QLayoutItem* item = grid->itemAtPosition(row, column);
        return item ? item->widget() : nullptr;
    };
    auto* caption = qobject_cast<QLabel*>(at(0, 0));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->text(), "Device Size");
    EXPECT_EQ(at(0, 1), size);
    EXPECT_EQ(at(1, 0), readOne);
    EXPECT_EQ(at(1, 1), read);
    auto* heading = qobject_cast<QLabel*>(at(2, 0));
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->text(), "Copy from");
    EXPECT_EQ(at(2, 1), heading) << "a heading spans both columns";
    EXPECT_EQ(at(3, 0), copy);
    EXPECT_EQ(at(3, 1), copy);
    EXPECT_EQ(grid->rowStretch(4), 1);

    QWidget dialog;
    ui::setClientSize(&dialog, 342, 159);
    QPushButton* ok = ui::makeButton(&dialog, "btnOK", QStringLiteral("OK"));
    ui::place(ok, 131, 120, 75, 25);
    EXPECT_EQ(dialog.minimumSize(), QSize(342, 159));
    EXPECT_EQ(dialog.maximumSize(), QSize(342, 159));
    EXPECT_EQ(ok->geometry(), QRect(131, 120, 75, 25));
}

}  // namespace
}  // namespace parvex::test
