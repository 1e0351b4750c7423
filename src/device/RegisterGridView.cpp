#include "device/RegisterGridView.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "device/RegisterGridModel.h"
#include "ui/hex_cell_delegate.h"

namespace parvex::device {

void RegisterGridView::paintEvent(QPaintEvent* event) {
    ui::ByteGridView::paintEvent(event);
    auto* cells = qobject_cast<ui::HexCellDelegate*>(itemDelegate());
    auto* m = qobject_cast<RegisterGridModel*>(model());
    if (!cells || !m || m->rowCount() == 0) return;
    const QRect area = event->rect();
    const int firstRow = std::max(rowAt(area.top()), 0);
    const int lastRow = rowAt(area.bottom()) < 0 ? m->rowCount() - 1 : rowAt(area.bottom());
    QPainter painter(viewport());
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = 0; column < kGridColumns; ++column) {
            const int reg = registerAt(row, column);
            const bool undefined = !m->device().isDefined(reg);
            if (!undefined && !m->isFailed(reg)) continue;
            const QModelIndex index = m->index(row, column);
            const QRect cell = visualRect(index).adjusted(0, 0, -1, -1);
            if (!cell.intersects(area)) continue;
            QPalette pal = palette();
            if (undefined) painter.fillRect(cell, kUndefinedCellColour);
            if (m->isFailed(reg)) pal.setColor(QPalette::Text, kFailedCellColour);
            ui::HexCellDelegate::CellLook look;
            look.selected = selectionModel() && selectionModel()->isSelected(index);
            look.focused = hasFocus() && index == currentIndex();
            look.enabled = isEnabled();
            cells->paintCell(&painter, cell, m->cellText(reg), look, pal, font());
        }
    }
}

}  // namespace parvex::device
