#include "ui/form_builders.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableView>
#include <QToolButton>
#include <QWidget>
#include <algorithm>

#include "ui/upper_case_validator.h"

namespace parvex::ui {
namespace {

template <class W>
W* named(W* widget, const char* name, const QString& hint) {
    if (name) widget->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty()) widget->setToolTip(hint);
    return widget;
}

void setUpLineEdit(QLineEdit* edit, int maxLength, bool upperCase) {
    if (maxLength > 0) edit->setMaxLength(maxLength);
    if (upperCase) edit->setValidator(new UpperCaseValidator(edit));
}

}  // namespace

QLabel* makeLabel(QWidget* parent, const QString& text, const char* name) {
    return named(new QLabel(text, parent), name, {});
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint) {
    return named(new QPushButton(caption, parent), name, hint);
}

QToolButton* makeToolButton(QWidget* parent, const char* name, const QString& caption,
                            const QString& hint) {
    auto* button = named(new QToolButton(parent), name, hint);
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    return button;
}

QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint) {
    return named(new QCheckBox(caption, parent), name, hint);
}

QFrame* makePanel(QWidget* parent, const char* name) {
    auto* panel = named(new QFrame(parent), name, {});
    panel->setFrameShape(QFrame::StyledPanel);
    return panel;
}

QGroupBox* makeGroupBox(QWidget* parent, const char* name, const QString& title) {
    return named(new QGroupBox(title, parent), name, {});
}

QLineEdit* makeField(QWidget* parent, const char* name, const FieldOptions& options) {
    auto* field = named(new QLineEdit(options.text, parent), name, options.hint);
    setUpLineEdit(field, options.maxLength, options.upperCase);
    if (options.widthChars > 0) {
        // Room for the digits plus the frame and text margins of the style.
        const int digits = QFontMetrics(field->font())
                               .horizontalAdvance(QString(options.widthChars, QLatin1Char('D')));
        field->setMaximumWidth(digits + 16);
    }
    return field;
}

QComboBox* makeComboBox(QWidget* parent, const char* name, const ComboOptions& options) {
    auto* combo = named(new QComboBox(parent), name, options.hint);
    combo->setEditable(options.editable);
    if (options.editable) {
        // Typed text selects; it never adds to the list.
        combo->setInsertPolicy(QComboBox::NoInsert);
        setUpLineEdit(combo->lineEdit(), options.maxLength, options.upperCase);
    }
    combo->addItems(options.items);
    if (!options.items.isEmpty()) combo->setCurrentIndex(options.current);
    return combo;
}

QSpinBox* setUpSpinBox(QSpinBox* spin, const char* name, const SpinOptions& options) {
    named(spin, name, options.hint);
    spin->setDisplayIntegerBase(options.base);
    spin->setRange(options.minimum, options.maximum);
    spin->setValue(options.value);
    return spin;
}

QSpinBox* makeSpinBox(QWidget* parent, const char* name, const SpinOptions& options) {
    return setUpSpinBox(new QSpinBox(parent), name, options);
}

void setUpGrid(QTableView* view, const char* name, const GridOptions& options) {
    named(view, name, options.hint);
    view->setAlternatingRowColors(options.alternatingRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setTabKeyNavigation(true);
    view->setWordWrap(false);
    view->setCornerButtonEnabled(false);
    if (!options.editable) view->setEditTriggers(QAbstractItemView::NoEditTriggers);

    QHeaderView* columns = view->horizontalHeader();
    columns->setSectionResizeMode(options.resizableColumns ? QHeaderView::Interactive
                                                           : QHeaderView::Fixed);
    columns->setHighlightSections(false);
    if (options.columnWidth > 0) {
        columns->setMinimumSectionSize(
            std::min(columns->minimumSectionSize(), options.columnWidth));
        columns->setDefaultSectionSize(options.columnWidth);
    }
    for (int c = 0; c < static_cast<int>(options.columnWidths.size()); ++c) {
        const int width = options.columnWidths[static_cast<std::size_t>(c)];
        columns->setMinimumSectionSize(std::min(columns->minimumSectionSize(), width));
        columns->resizeSection(c, width);
    }
    if (options.headerRowHeight > 0) columns->setFixedHeight(options.headerRowHeight);

    QHeaderView* rows = view->verticalHeader();
    rows->setSectionResizeMode(options.resizableRows ? QHeaderView::Interactive
                                                     : QHeaderView::Fixed);
    rows->setHighlightSections(false);
    if (options.rowHeight > 0) {
        rows->setMinimumSectionSize(std::min(rows->minimumSectionSize(), options.rowHeight));
        rows->setDefaultSectionSize(options.rowHeight);
    }
    if (options.headerColumnWidth > 0) rows->setFixedWidth(options.headerColumnWidth);
}

QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& keys) {
    QAction* action = menu->addAction(caption);
    if (name) action->setObjectName(QString::fromLatin1(name));
    if (!keys.isEmpty()) action->setShortcut(keys);
    return action;
}

void makeToolWindow(QWidget* window) {
    window->setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    window->setAttribute(Qt::WA_DeleteOnClose);
}

void centreOn(QWidget* window, const QWidget* over) {
    QRect area;
    if (over)
        area = QRect(over->mapToGlobal(QPoint(0, 0)), over->size());
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isEmpty()) return;
    QRect frame(QPoint(0, 0), window->sizeHint().expandedTo(window->size()));
    frame.moveCenter(area.center());
    window->move(frame.topLeft());
}

void place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(left, top, width, height);
}

void setClientSize(QWidget* window, int width, int height) {
    window->setFixedSize(width, height);
}

FormRows::FormRows(QWidget* panel) : panel_(panel), grid_(new QGridLayout(panel)) {}

void FormRows::addLabelled(const QString& label, QWidget* control) {
    grid_->addWidget(makeLabel(panel_, label), row_, 0);
    grid_->addWidget(control, row_++, 1);
}

void FormRows::pair(QWidget* left, QWidget* right) {
    grid_->addWidget(left, row_, 0);
    grid_->addWidget(right, row_++, 1);
}

void FormRows::addAcross(QWidget* control) {
    grid_->addWidget(control, row_++, 0, 1, 2);
}

QLabel* FormRows::heading(const QString& text) {
    return across(makeLabel(panel_, text));
}

void FormRows::finish() {
    grid_->setRowStretch(row_, 1);
}

}  // namespace parvex::ui
