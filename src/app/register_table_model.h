#pragma once
// The first register device on the virtual bus as 16 x 16 hexadecimal cells: row = high
// digit, column = low digit of the register number; cells past the device's last register
// stay empty.

#include <QAbstractTableModel>
#include <array>
#include <cstdint>
#include <memory>

namespace parvex::sim {
class Bus;
class RegisterDevice;
}  // namespace parvex::sim

namespace parvex::app {

class RegisterTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kSide = 16;

    explicit RegisterTableModel(const sim::Bus& bus, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Takes over the device's values; only cells that changed are announced.
    void refresh();
    // "Register device at 40", or that there is none.
    [[nodiscard]] QString caption() const;

private:
    const sim::Bus& bus_;
    std::shared_ptr<const sim::RegisterDevice> device_;
    // What the view shows; -1 = no register there.
    std::array<int, kSide * kSide> shown_{};
};

}  // namespace parvex::app
