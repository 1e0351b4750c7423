#include "expert/FrozenColumnsView.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVector>

namespace parvex::expert {

const QStaticText& TextTableView::laidOut(const QString& text) {
    if (textsFont_ != font() || texts_.size() > 4096) {
        texts_.clear();
        textsFont_ = font();
    }
    auto it = texts_.find(text);
    if (it == texts_.end()) {
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        laid.prepare(QTransform(), font());
        it = texts_.insert(text, laid);
    }
    return *it;
}

void TextTableView::paintEvent(QPaintEvent* event) {
    QAbstractItemModel* m = model();
    if (!m || m->rowCount() == 0 || m->columnCount() == 0) {
        QTableView::paintEvent(event);
        return;
    }
    QPainter painter(viewport());
    painter.setFont(font());
    const QRect area = event->rect();
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Normal : QPalette::Disabled;
    const QPalette& pal = palette();
    painter.fillRect(area, pal.brush(group, QPalette::Base));

    int firstRow = rowAt(area.top());
    int lastRow = rowAt(area.bottom());
    int firstColumn = columnAt(area.left());
    int lastColumn = columnAt(area.right());
    if (firstRow < 0 || firstColumn < 0) return;  // the area lies past the last cell
    if (lastRow < 0) lastRow = m->rowCount() - 1;
    if (lastColumn < 0) lastColumn = m->columnCount() - 1;

    const QModelIndex current = currentIndex();
    const int right = columnViewportPosition(lastColumn) + columnWidth(lastColumn);
    const int bottom = rowViewportPosition(lastRow) + rowHeight(lastRow);
    constexpr int kPadding = 3;
    for (int row = firstRow; row <= lastRow; ++row) {
        const int y = rowViewportPosition(row);
        const int h = rowHeight(row);
        for (int column = firstColumn; column <= lastColumn; ++column) {
            if (isColumnHidden(column)) continue;
            const QRect cell(columnViewportPosition(column), y, columnWidth(column), h);
            const QModelIndex index = m->index(row, column);
            const bool selected = index == current;
            if (selected) painter.fillRect(cell, pal.brush(group, QPalette::Highlight));
            const QString text = index.data(Qt::DisplayRole).toString();
            if (text.isEmpty()) continue;
            const QStaticText& laid = laidOut(text);
            const QSizeF size = laid.size();
            const auto align = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
            const qreal x = (align & Qt::AlignHCenter)
                                ? cell.x() + (cell.width() - size.width()) / 2
                                : cell.x() + kPadding;
            const qreal top = cell.y() + (cell.height() - size.height()) / 2;
            painter.setPen(pal.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
            const bool fits = x >= cell.x() && x + size.width() <= cell.right();
            if (!fits) painter.setClipRect(cell.adjusted(0, 0, -1, -1) & area);
            painter.drawStaticText(QPointF(x, top), laid);
            if (!fits) painter.setClipping(false);
        }
    }
    // Lines as one-pixel fills: the raster engine strokes lines many times more slowly.
    const QColor lineColour = pal.color(group, QPalette::Mid);
    for (int row = firstRow; row <= lastRow; ++row)
        painter.fillRect(QRect(0, rowViewportPosition(row) + rowHeight(row) - 1, right, 1) & area,
                         lineColour);
    for (int column = firstColumn; column <= lastColumn; ++column) {
        if (isColumnHidden(column)) continue;
        const int x = columnViewportPosition(column) + columnWidth(column) - 1;
        painter.fillRect(QRect(x, 0, 1, bottom) & area, lineColour);
    }
}

FrozenColumnsView::FrozenColumnsView(QWidget* parent) : TextTableView(parent) {}

void FrozenColumnsView::freezeColumns(int count) {
    count_ = count;
    frozen_ = new TextTableView(this);
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
    TextTableView::resizeEvent(event);
    placeFrozen();
}

void FrozenColumnsView::updateGeometries() {
    TextTableView::updateGeometries();
    placeFrozen();
}

QModelIndex FrozenColumnsView::moveCursor(CursorAction cursorAction,
                                          Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = TextTableView::moveCursor(cursorAction, modifiers);
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
    if (index.column() >= count_) TextTableView::scrollTo(index, hint);
}

}  // namespace parvex::expert
