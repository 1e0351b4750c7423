#pragma once
// The slider window: one register on a 0..255 slider, its description at 90 degrees beside it.

#include <QLabel>

#include "device/RegisterControl.h"

class QSlider;

namespace parvex::device {

// A label whose text reads upwards, turned by 90 degrees.
class RotatedLabel final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TfrmSlider final : public TfrmRegisterControl {
    Q_OBJECT
public:
    TfrmSlider(TfrmLongI2C& device, QWidget* parent);

    QSlider* Slider = nullptr;
    RotatedLabel* lblRegName = nullptr;

protected:
    [[nodiscard]] int controlValue() const override;
    void showValue(int value) override;
    void setControlEnabled(bool enabled) override;
    [[nodiscard]] bool addressFromField() const override { return true; }
    void showDescription(const QString& text) override;
    bool event(QEvent* event) override;
};

}  // namespace parvex::device
