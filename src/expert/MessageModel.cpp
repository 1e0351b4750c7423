#include "expert/MessageModel.h"

#include "ui/text.h"

namespace parvex::expert {

namespace {
bool centred(int column) {
    return column != colData && column != colNotes;
}
}  // namespace

MessageModel::MessageModel(MessageTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int MessageModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.rowCount();
}

int MessageModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant MessageModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= table_.rowCount()) return {};
    if (role == Qt::DisplayRole) {
        const std::string text = table_.cellText(index.row() + 1, index.column());
        return ui::qs(text);
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(centred(index.column()) ? Qt::AlignCenter
                                                           : (Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

QVariant MessageModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
    if (role == Qt::DisplayRole) {
        const std::string_view text = kColumnHeaders[static_cast<std::size_t>(section)];
        return ui::qs(text);
    }
    // The header row is two lines high: "Additional Delay" wraps in its narrow column.
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    return {};
}

Qt::ItemFlags MessageModel::flags(const QModelIndex& index) const {
    // Rows change only through the row operations and the message editor.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

bool MessageModel::insertRowBelow(int current) {
    if (table_.rowCount() >= kMaxMessages) return false;
    const int p = std::clamp(current + 1, 1, table_.rowCount() + 1);
    beginInsertRows({}, p - 1, p - 1);
    table_.insertRow(current);
    endInsertRows();
    // The numbers of the rows below changed.
    emit dataChanged(index(p - 1, colNumber), index(table_.rowCount() - 1, colNumber));
    return true;
}

bool MessageModel::deleteRowAt(int current) {
    if (table_.rowCount() <= 1 || current < 1 || current > table_.rowCount()) return false;
    beginRemoveRows({}, current - 1, current - 1);
    table_.deleteRow(current);
    endRemoveRows();
    if (current <= table_.rowCount())
        emit dataChanged(index(current - 1, colNumber), index(table_.rowCount() - 1, colNumber));
    return true;
}

void MessageModel::clearRowAt(int r) {
    table_.clearRow(r);
    rowChanged(r);
}

std::optional<std::string> MessageModel::pasteRowAt(int r, const TGridRecord& copied) {
    std::optional<std::string> error = table_.pasteRow(r, copied);
    rowChanged(r);
    return error;
}

void MessageModel::compactRows() {
    // Rows leave one by one from the bottom; the view is told of the whole new table.
    beginResetModel();
    table_.compact();
    endResetModel();
}

void MessageModel::rowChanged(int r) {
    if (r < 1 || r > table_.rowCount()) return;
    emit dataChanged(index(r - 1, 0), index(r - 1, kColumnCount - 1));
}

}  // namespace parvex::expert
