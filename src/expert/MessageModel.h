#pragma once
// The expert table as a Qt model over the core's MessageTable. Model row i is message i + 1;
// the header row is the view's header. The window makes every change through this model so
// that the view hears of it.

#include <QAbstractTableModel>

#include "expert/message_table.h"

namespace parvex::expert {

class MessageModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    MessageModel(MessageTable& table, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    [[nodiscard]] MessageTable& table() const { return table_; }

    // The row operations, with the view told.
    bool insertRowBelow(int current);
    bool deleteRowAt(int current);
    void clearRowAt(int r);
    [[nodiscard]] std::optional<std::string> pasteRowAt(int r, const TGridRecord& copied);
    void compactRows();
    // Around a change of the whole table (New, Open).
    void beginReload() { beginResetModel(); }
    void endReload() { endResetModel(); }
    // Texts of message r changed.
    void rowChanged(int r);

private:
    MessageTable& table_;
};

}  // namespace parvex::expert
