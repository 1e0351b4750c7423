#pragma once
// What the slider, spin and bit windows share: each drives one register of the device window,
// known only by its caption ("0x1F"); a change goes into the register's cell and, while Auto
// Write is on, to the device; becoming active takes the cell's value without writing.

#include <QPointer>
#include <QWidget>
#include <cstdint>

class QCheckBox;
class QLabel;

namespace parvex::device {

class TfrmLongI2C;

enum class ControlKind { Slider, Spin, Bits };

class TfrmRegisterControl : public QWidget {
    Q_OBJECT
public:
    TfrmRegisterControl(TfrmLongI2C& device, QWidget* parent);
    ~TfrmRegisterControl() override;

    // The register from the caption's two digits after "0x"; -1 when there are none.
    [[nodiscard]] int registerNumber() const;
    // Caption and description for a register; the control takes the cell's value quietly.
    void setRegister(int reg, const QString& description);
    // Takes the register's cell value without writing (what activation does).
    void FormActivate();
    // The register's definition may have changed: an undefined register disables the
    // control and says so.
    void definitionChanged();

    [[nodiscard]] bool autoWrite() const;
    void setAutoWrite(bool on);
    // Performs the write of a change; false when nothing was written.
    bool I2CWrite(std::uint8_t subAddress, std::uint8_t sendByte);

protected:
    // The value control, put into the window by the kind's constructor.
    [[nodiscard]] virtual int controlValue() const = 0;
    virtual void showValue(int value) = 0;
    virtual void setControlEnabled(bool enabled) = 0;
    // Slider and spin read the address field at each write; the bit window uses the stored
    // address.
    [[nodiscard]] virtual bool addressFromField() const = 0;
    // The kind's description label.
    virtual void showDescription(const QString& text) = 0;

    // A change of the control made by the user.
    void controlChanged();
    QCheckBox* makeAutoCheckBox(const QString& hint);

    bool event(QEvent* event) override;

    QPointer<TfrmLongI2C> device_;
    QCheckBox* chbAuto = nullptr;

private:
    void chbAutoClick();
    void takeCellValue();
    bool quiet_ = false;
};

}  // namespace parvex::device
