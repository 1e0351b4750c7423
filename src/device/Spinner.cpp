#include "device/Spinner.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/form_builders.h"
#include "ui/text.h"
#include "ui/upper_case_validator.h"

namespace parvex::device {

namespace {
// Shows its value in upper-case hexadecimal, as every byte of the program reads.
class HexSpinBox final : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    QString textFromValue(int value) const override { return QString::number(value, 16).toUpper(); }
};
}  // namespace

TfrmSpin::TfrmSpin(TfrmLongI2C& device, QWidget* parent) : TfrmRegisterControl(device, parent) {
    spnRegister = new HexSpinBox(this);
    spnRegister->setObjectName(QStringLiteral("spnRegister"));
    spnRegister->setDisplayIntegerBase(16);
    spnRegister->setRange(0, 0xFF);
    spnRegister->findChild<QLineEdit*>()->setMaxLength(4);
    lblRegName = ui::makeLabel(this, QString(), "lblRegName");
    lblRegName->setFrameShape(QFrame::Panel);
    lblRegName->setFrameShadow(QFrame::Sunken);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(spnRegister);
    layout->addWidget(makeAutoCheckBox(QStringLiteral("Send I²C message when value changed")));
    layout->addWidget(lblRegName);
    resize(152, 76);
    ui::centreOn(this, parent);
    connect(spnRegister, &QSpinBox::valueChanged, this, [this] { controlChanged(); });
}

int TfrmSpin::controlValue() const {
    return spnRegister->value();
}

void TfrmSpin::showValue(int value) {
    spnRegister->setValue(value);
}

void TfrmSpin::setControlEnabled(bool enabled) {
    spnRegister->setEnabled(enabled);
}

void TfrmSpin::showDescription(const QString& text) {
    lblRegName->setText(text);
}

}  // namespace parvex::device
