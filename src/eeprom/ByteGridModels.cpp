#include "eeprom/ByteGridModels.h"

#include <QColor>
#include <algorithm>

#include "eeprom/geometry.h"
#include "ui/byte_grid_view.h"

namespace parvex::eeprom {

namespace {
QString toQString(char32_t c) {
    return QString::fromUcs4(&c, 1);
}

// Cells a failed read left as they were, and cells a verify found different on the chip:
// readable on the light and the dark palette alike, and apart from each other.
const QColor kFailedReadColour(0xE0, 0x30, 0x30);
const QColor kDiffersColour(0xC0, 0x40, 0xE0);
}  // namespace

ByteGridModel::ByteGridModel(Image& image, QObject* parent)
    : QAbstractTableModel(parent), image_(image) {}

int ByteGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return (image_.size() + kColumns - 1) / kColumns;
}

int ByteGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

Qt::ItemFlags ByteGridModel::flags(const QModelIndex& index) const {
    if (addressOf(index) < 0) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant ByteGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal && section >= 0 && section < kColumns)
        return QString::fromStdString(columnHeader(section));
    return {};
}

int ByteGridModel::addressOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return -1;
    const int address = index.row() * kColumns + index.column();
    return image_.contains(address) ? address : -1;
}

QModelIndex ByteGridModel::indexOf(int address) const {
    if (!image_.contains(address)) return {};
    return index(address / kColumns, address % kColumns);
}

QVariant ByteGridModel::anyMark(const QModelIndex& index, int role) const {
    if (index.isValid() || role != ui::kAnyCellColourRole) return {};
    return image_.anyMarked();
}

QVariant ByteGridModel::failedMark(int address) const {
    if (image_.failed(address)) return kFailedReadColour;
    if (image_.differs(address)) return kDiffersColour;
    return {};
}

void ByteGridModel::cellsChanged(int first, int count) {
    if (count <= 0 || !image_.contains(first)) return;
    const int last = std::min(first + count, image_.size()) - 1;
    const int firstRow = first / kColumns;
    const int lastRow = last / kColumns;
    // One cell: exactly that cell, so a view refreshes an open editor only when it is its own.
    if (first == last) {
        const QModelIndex cell = indexOf(first);
        emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::EditRole, Qt::ForegroundRole});
        return;
    }
    const int firstColumn = firstRow == lastRow ? first % kColumns : 0;
    const int lastColumn = firstRow == lastRow ? last % kColumns : kColumns - 1;
    emit dataChanged(index(firstRow, firstColumn), index(lastRow, lastColumn),
                     {Qt::DisplayRole, Qt::EditRole, Qt::ForegroundRole});
}

QVariant HexGridModel::data(const QModelIndex& index, int role) const {
    const int address = addressOf(index);
    if (address < 0) return anyMark(index, role);
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return QString::fromStdString(image_.hexText(address));
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        case Qt::ForegroundRole:
            return failedMark(address);
        default:
            return {};
    }
}

QVariant HexGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical && role == Qt::DisplayRole && section >= 0 &&
        section < rowCount())
        return QString::fromStdString(rowLabel(section + 1));
    return ByteGridModel::headerData(section, orientation, role);
}

bool HexGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int address = addressOf(index);
    if (address < 0 || role != Qt::EditRole) return false;
    const std::string text = value.toString().toStdString();
    if (image_.hexText(address) != text) image_.setHexText(address, text);
    image_.validateHexCell(address);
    return true;
}

QVariant AsciiGridModel::data(const QModelIndex& index, int role) const {
    const int address = addressOf(index);
    if (address < 0) return anyMark(index, role);
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return toQString(image_.asciiChar(address));
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        case Qt::ForegroundRole:
            return failedMark(address);
        default:
            return {};
    }
}

bool AsciiGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int address = addressOf(index);
    if (address < 0 || role != Qt::EditRole) return false;
    const QString text = value.toString();
    if (text.isEmpty()) return false;
    const char32_t code = text.toUcs4().front();
    if (code == image_.asciiChar(address)) return true;
    return image_.typeAsciiChar(address, code) == AsciiKeyResult::Stored;
}

GridModels::GridModels(Image& image) : image_(image), hex_(image, nullptr), ascii_(image, nullptr) {
    image_.setChangeCallback([this](int first, int count) { changed(first, count); });
}

GridModels::~GridModels() {
    image_.setChangeCallback({});
}

void GridModels::holdChanges() {
    holding_ = true;
    heldFirst_ = heldEnd_ = 0;
}

void GridModels::showHeldChanges() {
    holding_ = false;
    if (heldEnd_ <= heldFirst_) return;
    hex_.cellsChanged(heldFirst_, heldEnd_ - heldFirst_);
    ascii_.cellsChanged(heldFirst_, heldEnd_ - heldFirst_);
}

void GridModels::changed(int first, int count) {
    if (!holding_) {
        hex_.cellsChanged(first, count);
        ascii_.cellsChanged(first, count);
        return;
    }
    if (heldEnd_ <= heldFirst_) {
        heldFirst_ = first;
        heldEnd_ = first + count;
    } else {
        heldFirst_ = std::min(heldFirst_, first);
        heldEnd_ = std::max(heldEnd_, first + count);
    }
}

}  // namespace parvex::eeprom
