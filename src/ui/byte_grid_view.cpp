#include "ui/byte_grid_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QVector>

#include "ui/hex_cell_delegate.h"

namespace parvex::ui {

void ByteGridView::paintEvent(QPaintEvent* event) {
    auto* cells = qobject_cast<HexCellDelegate*>(itemDelegate());
    QAbstractItemModel* m = model();
    if (!cells || !m || m->rowCount() == 0 || m->columnCount() == 0) {
        QTableView::paintEvent(event);
        return;
    }
    QPainter painter(viewport());
    const QRect area = event->rect();
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Normal : QPalette::Disabled;
    const QPalette& pal = palette();
    painter.fillRect(area, pal.brush(group, QPalette::Base));

    const int lastRowOfModel = m->rowCount() - 1;
    const int lastColumnOfModel = m->columnCount() - 1;
    int firstRow = rowAt(area.top());
    int lastRow = rowAt(area.bottom());
    int firstColumn = columnAt(area.left());
    int lastColumn = columnAt(area.right());
    if (firstRow < 0 || firstColumn < 0) return;  // the area lies past the last cell
    if (lastRow < 0) lastRow = lastRowOfModel;
    if (lastColumn < 0) lastColumn = lastColumnOfModel;

    const bool colours = m->data(QModelIndex(), kAnyCellColourRole).toBool();
    const QModelIndex current = currentIndex();
    const bool focused = hasFocus();
    const QItemSelectionModel* selection = selectionModel();
    const int right = columnViewportPosition(lastColumn) + columnWidth(lastColumn);
    // Lines as one-pixel fills: the raster engine strokes lines many times more slowly.
    QVector<QRect> lines;
    lines.reserve((lastRow - firstRow + 1) + (lastColumn - firstColumn + 1));

    for (int row = firstRow; row <= lastRow; ++row) {
        const int y = rowViewportPosition(row);
        const int h = rowHeight(row);
        if (alternatingRowColors() && row % 2 == 1)
            painter.fillRect(QRect(0, y, right, h), pal.brush(group, QPalette::AlternateBase));
        for (int column = firstColumn; column <= lastColumn; ++column) {
            const QRect cell(columnViewportPosition(column), y, columnWidth(column), h);
            const QModelIndex index = m->index(row, column);
            HexCellDelegate::CellLook look;
            look.selected = selection && selection->isSelected(index);
            look.focused = focused && index == current;
            look.enabled = isEnabled();
            if (colours) look.text = index.data(Qt::ForegroundRole).value<QColor>();
            cells->paintCell(&painter, cell, index.data(Qt::DisplayRole).toString(), look, pal,
                             font());
        }
        lines.append(QRect(0, y + h - 1, right, 1));
    }
    const int bottom = rowViewportPosition(lastRow) + rowHeight(lastRow);
    for (int column = firstColumn; column <= lastColumn; ++column) {
        const int x = columnViewportPosition(column) + columnWidth(column) - 1;
        lines.append(QRect(x, 0, 1, bottom));
    }
    const QColor lineColour = pal.color(group, QPalette::Mid);
    for (const QRect& line : lines) painter.fillRect(line & area, lineColour);
}

}  // namespace parvex::ui
