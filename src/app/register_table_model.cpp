#include "app/register_table_model.h"

#include "sim/bus.h"
#include "sim/register_device.h"

namespace parvex::app {

RegisterTableModel::RegisterTableModel(const sim::Bus& bus, QObject* parent)
    : QAbstractTableModel(parent), bus_(bus) {
    shown_.fill(-1);
    refresh();
}

int RegisterTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kSide;
}

int RegisterTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kSide;
}

QVariant RegisterTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int value = shown_[static_cast<std::size_t>(index.row() * kSide + index.column())];
    if (role == Qt::DisplayRole) {
        return value < 0 ? QString()
                         : QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
    }
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    return {};
}

QVariant RegisterTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    const QString digit = QString::number(section, 16).toUpper();
    return orientation == Qt::Horizontal ? digit : digit + QLatin1Char('0');
}

void RegisterTableModel::refresh() {
    device_.reset();
    for (const auto& device : bus_.devices()) {
        if (auto registers = std::dynamic_pointer_cast<const sim::RegisterDevice>(device)) {
            device_ = std::move(registers);
            break;
        }
    }
    for (int cell = 0; cell < kSide * kSide; ++cell) {
        const auto at = static_cast<std::size_t>(cell);
        const int value =
            device_ && at < device_->registers().size() ? device_->registers()[at] : -1;
        if (value == shown_[at]) continue;
        shown_[at] = value;
        const QModelIndex changed = index(cell / kSide, cell % kSide);
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }
}

QString RegisterTableModel::caption() const {
    if (!device_) return QStringLiteral("No register device on the bus");
    return QStringLiteral("Register device at ") +
           QString::fromStdString(sim::hexByte(device_->busAddress()));
}

}  // namespace parvex::app
