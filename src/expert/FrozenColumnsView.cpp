#include "expert/FrozenColumnsView.h"

#include <QHeaderView>
#include <QScrollBar>

namespace parvex::expert {

FrozenColumnsView::FrozenColumnsView(QWidget* parent) : QTableView(parent) {}

void FrozenColumnsView::freezeColumns(int count) {
    count_ = count;
    frozen_ = new QTableView(this);
    frozen_->setObjectName(objectName() + QStringLiteral("Frozen"));
    frozen_->setModel(model());
    frozen_->setSelectionModel(selectionModel());
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->setEditTriggers(editTriggers());
    frozen_->setSelectionMode(selectionMode());
    frozen_->setWordWrap(wordWrap());
    frozen_->verticalHeader()->hide();
    frozen_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->verticalHeader()->setMinimumSectionSize(verticalHeader()->minimumSectionSize());
    frozen_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    frozen_->horizontalHeader()->setDefaultAlignment(horizontalHeader()->defaultAlignment());
    frozen_->horizontalHeader()->setHighlightSections(false);
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollMode(verticalScrollMode());
    frozen_->setStyleSheet(QStringLiteral("QTableView { border: none; }"));
    frozen_->setToolTip(toolTip());
    for (int c = 0; c < model()->columnCount(); ++c) {
        frozen_->setColumnHidden(c, c >= count);
        frozen_->setColumnWidth(c, columnWidth(c));
    }
    viewport()->stackUnder(frozen_);
    frozen_->show();

    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) {
                if (section >= count_) return;
                frozen_->setColumnWidth(section, size);
                placeFrozen();
            });
    connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(),
            &QAbstractSlider::setValue);
    placeFrozen();
}

int FrozenColumnsView::frozenWidth() const {
    int width = 0;
    for (int c = 0; c < count_; ++c) width += columnWidth(c);
    return width;
}

void FrozenColumnsView::placeFrozen() {
    if (!frozen_) return;
    frozen_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    frozen_->setGeometry(verticalHeader()->width() + frameWidth(), frameWidth(), frozenWidth(),
                         viewport()->height() + horizontalHeader()->height());
}

void FrozenColumnsView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    placeFrozen();
}

void FrozenColumnsView::updateGeometries() {
    QTableView::updateGeometries();
    placeFrozen();
}

QModelIndex FrozenColumnsView::moveCursor(CursorAction cursorAction,
                                          Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = QTableView::moveCursor(cursorAction, modifiers);
    // Moving left into the columns under the frozen ones brings them out from under them.
    if (frozen_ && cursorAction == MoveLeft && current.column() >= count_ &&
        visualRect(current).topLeft().x() < frozenWidth()) {
        const int shift = visualRect(current).topLeft().x() - frozenWidth();
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + shift);
    }
    return current;
}

void FrozenColumnsView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // The frozen columns are always in view: scrolling to them would only move the others.
    if (index.column() >= count_) QTableView::scrollTo(index, hint);
}

}  // namespace parvex::expert
