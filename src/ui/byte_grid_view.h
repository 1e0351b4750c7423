#pragma once
// A table view for the byte grids that paints its cells itself: one band per row, one cached
// text image per cell and all cell lines in one go. The general item-view painting costs
// several times more per cell, and the grids repaint after every bus operation.

#include <QTableView>

namespace parvex::ui {

class ByteGridView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace parvex::ui
