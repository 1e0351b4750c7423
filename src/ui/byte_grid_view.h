#pragma once
// A table view for the byte grids that paints its cells itself: one band per row, one cached
// text image per cell and all cell lines in one go. The general item-view painting costs
// several times more per cell, and the grids repaint after every bus operation.

#include <QTableView>

namespace parvex::ui {

// Asked of the model on its root index: whether any cell has a text colour of its own
// (Qt::ForegroundRole). Most of the time none has, and the view then asks no cell for it.
inline constexpr int kAnyCellColourRole = Qt::UserRole + 1;

class ByteGridView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Every exchange repaints the status bar at once, and a synchronous repaint takes every
// pending update of the window with it. Pending updates of a grid would make it paint after
// every exchange, so a grid whose look changes during an operation is held still until the
// operation ends.
class PaintPause {
public:
    explicit PaintPause(QWidget* widget) : widget_(widget) { widget_->setUpdatesEnabled(false); }
    ~PaintPause() { widget_->setUpdatesEnabled(true); }
    PaintPause(const PaintPause&) = delete;
    PaintPause& operator=(const PaintPause&) = delete;

private:
    QWidget* widget_;
};

}  // namespace parvex::ui
