#pragma once
// The bit window: one register as eight bit switches, bit 7 at the left; a click toggles a bit.

#include <array>

#include "device/RegisterControl.h"

class QLabel;
class QLineEdit;

namespace parvex::device {

class TfrmBits final : public TfrmRegisterControl {
    Q_OBJECT
public:
    TfrmBits(TfrmLongI2C& device, QWidget* parent);

    // edtDigit7 .. edtDigit0, left to right.
    std::array<QLineEdit*, 8> digits{};
    QLabel* lblRegName = nullptr;

    void edtDigitClick(QLineEdit* digit);

protected:
    [[nodiscard]] int controlValue() const override;
    void showValue(int value) override;
    void setControlEnabled(bool enabled) override;
    [[nodiscard]] bool addressFromField() const override { return false; }
    void showDescription(const QString& text) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace parvex::device
