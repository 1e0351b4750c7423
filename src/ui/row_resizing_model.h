#pragma once
// A table model whose row count grows and shrinks at its end, told to the views as rows
// inserted or removed: a view keeps its scroll position, current cell and selection above
// the change, which a model reset would lose.

#include <QAbstractTableModel>

namespace parvex::ui {

class RowResizingModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

protected:
    // Takes `rows`, the model's row count, to `count`.
    void resizeRows(int& rows, int count) {
        if (count > rows) {
            beginInsertRows({}, rows, count - 1);
            rows = count;
            endInsertRows();
        } else if (count < rows) {
            beginRemoveRows({}, count, rows - 1);
            rows = count;
            endRemoveRows();
        }
    }
};

}  // namespace parvex::ui
