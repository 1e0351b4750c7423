#pragma once
// The two grids of the EEPROM editor as Qt models over one image: the hex grid (one byte as
// two hex digits per cell, the row labels as the vertical header) and the ASCII grid (one
// character per byte, no labels). Model row r is grid row r + 1: the header row is the
// view's header.

#include <QAbstractTableModel>

#include "eeprom/image.h"

namespace parvex::eeprom {

class ByteGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ByteGridModel(Image& image, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Byte address of a cell; -1 for an index outside the image.
    [[nodiscard]] int addressOf(const QModelIndex& index) const;
    [[nodiscard]] QModelIndex indexOf(int address) const;

    // The image changed from byte address first on, count bytes.
    void cellsChanged(int first, int count);

protected:
    // The text colour of a cell whose last read failed or that the last verify found
    // different; nothing for any other cell.
    [[nodiscard]] QVariant failedMark(int address) const;
    // On the root index, whether any cell is marked (ui::kAnyCellColourRole).
    [[nodiscard]] QVariant anyMark(const QModelIndex& index, int role) const;
    Image& image_;
};

class HexGridModel final : public ByteGridModel {
    Q_OBJECT
public:
    using ByteGridModel::ByteGridModel;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Leaving an edited cell: the text is taken and validated ("" -> "FF", "c" -> "0c").
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
};

class AsciiGridModel final : public ByteGridModel {
    Q_OBJECT
public:
    using ByteGridModel::ByteGridModel;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // A character committed to a cell: as if typed (its code goes to the hex cell).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
};

// Both grids' models over one image, following its changes. While a bus operation runs, the
// changes are gathered and shown once at its end, so the grids paint once.
class GridModels {
public:
    explicit GridModels(Image& image);
    ~GridModels();
    GridModels(const GridModels&) = delete;
    GridModels& operator=(const GridModels&) = delete;

    HexGridModel& hex() { return hex_; }
    AsciiGridModel& ascii() { return ascii_; }

    void holdChanges();
    void showHeldChanges();

private:
    void changed(int first, int count);

    Image& image_;
    HexGridModel hex_;
    AsciiGridModel ascii_;
    bool holding_ = false;
    int heldFirst_ = 0;
    int heldEnd_ = 0;
};

}  // namespace parvex::eeprom
