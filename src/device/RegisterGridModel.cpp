#include "device/RegisterGridModel.h"

#include <QColor>

#include "ui/form_builders.h"
#include "ui/text.h"

namespace parvex::device {

RegisterGridModel::RegisterGridModel(TDeviceDefinition& device, QObject* parent)
    : ui::RowResizingModel(parent), device_(device), rows_(gridRowsFor(device.MaxRegister)) {}

int RegisterGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int RegisterGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kGridColumns;
}

Qt::ItemFlags RegisterGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

int RegisterGridModel::registerOf(const QModelIndex& index) {
    if (!index.isValid()) return -1;
    return registerAt(index.row(), index.column());
}

QModelIndex RegisterGridModel::indexOf(int reg) const {
    if (reg < 0 || reg >= kRegisterSlots) return {};
    return index(rowOf(reg), columnOf(reg));
}

QVariant RegisterGridModel::data(const QModelIndex& index, int role) const {
    const int reg = registerOf(index);
    if (reg < 0 || reg >= kRegisterSlots) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return ui::qs(device_.RegisterValues[static_cast<std::size_t>(reg)]);
        case Qt::BackgroundRole:
            if (!device_.isDefined(reg)) return kUndefinedCellColour;
            return {};
        case Qt::ForegroundRole:
            if (failed_[static_cast<std::size_t>(reg)]) return kFailedCellColour;
            return {};
        default:
            return {};
    }
}

QString RegisterGridModel::cellText(int reg) const {
    return ui::qs(device_.RegisterValues[static_cast<std::size_t>(reg)]);
}

QVariant RegisterGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (section < 0 || section >= kGridColumns) return {};
    return ui::qs(headerDigit(section));
}

bool RegisterGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int reg = registerOf(index);
    if (role != Qt::EditRole || reg < 0 || reg >= kRegisterSlots) return false;
    std::string& cell = device_.RegisterValues[static_cast<std::size_t>(reg)];
    const std::string typed = ui::ss(value.toString());
    if (typed == cell) return false;
    cell = validateCell(typed, device_.isDefined(reg));
    failed_[static_cast<std::size_t>(reg)] = false;
    emit dataChanged(index, index);
    emit cellEdited(reg);
    return true;
}

void RegisterGridModel::valuesChanged(int first, int count) {
    if (count <= 0) return;
    const int last = std::min(first + count, kRegisterSlots) - 1;
    if (rowOf(first) == rowOf(last))
        emit dataChanged(indexOf(first), indexOf(last));
    else
        emit dataChanged(index(rowOf(first), 0), index(rowOf(last), kGridColumns - 1));
}

void RegisterGridModel::reload() {
    beginResetModel();
    rows_ = gridRowsFor(device_.MaxRegister);
    endResetModel();
}

void RegisterGridModel::reshape() {
    resizeRows(rows_, gridRowsFor(device_.MaxRegister));
    emit dataChanged(index(0, 0), index(rows_ - 1, kGridColumns - 1));
}

void RegisterGridModel::setFailed(int reg, bool failed) {
    if (reg < 0 || reg >= kRegisterSlots || failed_[static_cast<std::size_t>(reg)] == failed)
        return;
    failed_[static_cast<std::size_t>(reg)] = failed;
    const QModelIndex cell = indexOf(reg);
    if (cell.isValid() && cell.row() < rowCount()) emit dataChanged(cell, cell);
}

void RegisterGridModel::clearFailed() {
    failed_.fill(false);
}

}  // namespace parvex::device
