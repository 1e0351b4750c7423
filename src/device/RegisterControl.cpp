#include "device/RegisterControl.h"

#include <QCheckBox>
#include <QEvent>
#include <QPalette>

#include "device/Longi2c.h"
#include "ui/form_builders.h"
#include "ui/text.h"

namespace parvex::device {

namespace {
const QString kAutoOn = QStringLiteral("Auto Write On");
const QString kAutoOff = QStringLiteral("Auto Write Off");
const QColor kOnColour(0, 128, 0);
const QColor kOffColour(255, 0, 0);
}  // namespace

TfrmRegisterControl::TfrmRegisterControl(TfrmLongI2C& device, QWidget* parent)
    : QWidget(parent), device_(&device) {
    ui::makeToolWindow(this);
}

TfrmRegisterControl::~TfrmRegisterControl() = default;

QCheckBox* TfrmRegisterControl::makeAutoCheckBox(const QString& hint) {
    chbAuto = ui::makeCheckBox(this, "chbAuto", kAutoOn, hint);
    setAutoWrite(true);
    connect(chbAuto, &QCheckBox::clicked, this, &TfrmRegisterControl::chbAutoClick);
    return chbAuto;
}

int TfrmRegisterControl::registerNumber() const {
    const QString caption = windowTitle();
    if (!caption.startsWith(QLatin1String("0x"))) return -1;
    const auto byte = valueByte(ui::ss(caption.mid(2, 2)));
    return byte && caption.size() >= 4 ? *byte : -1;
}

void TfrmRegisterControl::setRegister(int reg, const QString& description) {
    setWindowTitle(QStringLiteral("0x") + ui::qs(hexByte(reg)));
    showDescription(description);
}

bool TfrmRegisterControl::autoWrite() const {
    return chbAuto->isChecked();
}

void TfrmRegisterControl::setAutoWrite(bool on) {
    chbAuto->setChecked(on);
    chbAuto->setText(on ? kAutoOn : kAutoOff);
    QPalette p = chbAuto->palette();
    p.setColor(QPalette::WindowText, on ? kOnColour : kOffColour);
    chbAuto->setPalette(p);
}

void TfrmRegisterControl::chbAutoClick() {
    setAutoWrite(chbAuto->isChecked());
}

bool TfrmRegisterControl::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return QWidget::event(event);
}

void TfrmRegisterControl::definitionChanged() {
    const int reg = registerNumber();
    const bool defined = device_ && device_->isDefined(reg);
    setControlEnabled(defined);
    showDescription(defined ? device_->description(reg) : ui::qs(kUndefinedDescription));
}

void TfrmRegisterControl::takeCellValue() {
    const int reg = registerNumber();
    if (!device_ || reg < 0) return;
    definitionChanged();
    if (!device_->isDefined(reg)) return;
    // A cell text that is no number ("XX", or a file's stray text) leaves the control alone.
    if (const auto value = valueByte(ui::ss(device_->cellText(reg)))) {
        quiet_ = true;
        showValue(*value);
        quiet_ = false;
    }
}

void TfrmRegisterControl::FormActivate() {
    const int reg = registerNumber();
    if (!device_ || reg < 0) return;
    device_->selectRegister(reg);
    takeCellValue();
}

void TfrmRegisterControl::controlChanged() {
    const int reg = registerNumber();
    if (quiet_ || !device_ || reg < 0) return;
    // A register that has become undefined takes nothing from its control.
    if (!device_->isDefined(reg)) {
        definitionChanged();
        return;
    }
    const auto value = static_cast<std::uint8_t>(controlValue());
    device_->selectRegister(reg);
    device_->setCellFromControl(reg, value);
    if (autoWrite()) I2CWrite(static_cast<std::uint8_t>(reg), value);
}

bool TfrmRegisterControl::I2CWrite(std::uint8_t subAddress, std::uint8_t sendByte) {
    if (!device_) return false;
    const auto status = device_->controlWrite(subAddress, sendByte, addressFromField());
    if (!status) return false;
    // A failed write stops automatic writing: the next changes only reach the grid.
    if (*status != 0) setAutoWrite(false);
    return true;
}

}  // namespace parvex::device
