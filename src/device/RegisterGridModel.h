#pragma once
// The register grid as a Qt model over the device: 16 registers a row, the header digits as
// the view's headers, undefined registers on grey and registers whose last read failed in
// the failure colour. Model row r is grid row r + 1.

#include <QColor>
#include <array>

#include "device/definition.h"
#include "ui/row_resizing_model.h"

namespace parvex::device {

inline const QColor kUndefinedCellColour(128, 128, 128);
inline const QColor kFailedCellColour(255, 0, 0);

class RegisterGridModel final : public ui::RowResizingModel {
    Q_OBJECT
public:
    RegisterGridModel(TDeviceDefinition& device, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // A closed cell editor's text: validated as the grid rule asks when it differs from
    // the cell's text; the register's failure mark goes.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    [[nodiscard]] static int registerOf(const QModelIndex& index);
    [[nodiscard]] QModelIndex indexOf(int reg) const;

    // The register values of first..first+count-1 changed.
    void valuesChanged(int first, int count);
    // Everything changed.
    void reload();
    // The register count may have changed, and every value with it. The current cell stays
    // where it is when its row remains.
    void reshape();

    void setFailed(int reg, bool failed);
    void clearFailed();
    [[nodiscard]] bool isFailed(int reg) const { return failed_[static_cast<std::size_t>(reg)]; }
    [[nodiscard]] const TDeviceDefinition& device() const { return device_; }
    [[nodiscard]] QString cellText(int reg) const;

signals:
    // A register's text was changed by editing its cell.
    void cellEdited(int reg);

private:
    TDeviceDefinition& device_;
    std::array<bool, kRegisterSlots> failed_{};
    int rows_ = 0;
};

}  // namespace parvex::device
