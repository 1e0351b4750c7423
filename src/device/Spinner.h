#pragma once
// The spin window: one register in a hexadecimal spin field.

#include "device/RegisterControl.h"

class QLabel;
class QSpinBox;

namespace parvex::device {

class TfrmSpin final : public TfrmRegisterControl {
    Q_OBJECT
public:
    TfrmSpin(TfrmLongI2C& device, QWidget* parent);

    QSpinBox* spnRegister = nullptr;
    QLabel* lblRegName = nullptr;

protected:
    [[nodiscard]] int controlValue() const override;
    void showValue(int value) override;
    void setControlEnabled(bool enabled) override;
    [[nodiscard]] bool addressFromField() const override { return true; }
    void showDescription(const QString& text) override;
};

}  // namespace parvex::device
