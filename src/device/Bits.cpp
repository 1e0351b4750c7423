#include "device/Bits.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/form_builders.h"
#include "ui/text.h"

namespace parvex::device {

TfrmBits::TfrmBits(TfrmLongI2C& device, QWidget* parent) : TfrmRegisterControl(device, parent) {
    setToolTip(QStringLiteral("Click on bits to toggle value"));
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    for (int i = 0; i < 8; ++i) {
        auto* digit = new QLineEdit(QStringLiteral("0"), this);
        digit->setObjectName(QStringLiteral("edtDigit%1").arg(7 - i));
        digit->setReadOnly(true);
        digit->setMaxLength(1);
        digit->setAlignment(Qt::AlignCenter);
        digit->setCursor(Qt::ArrowCursor);
        digit->setFocusPolicy(Qt::NoFocus);
        digit->setFixedWidth(QFontMetrics(digit->font()).horizontalAdvance(QLatin1Char('0')) + 10);
        digit->installEventFilter(this);
        connect(digit, &QLineEdit::textChanged, this, [this] { controlChanged(); });
        digits[static_cast<std::size_t>(i)] = digit;
        row->addWidget(digit);
    }
    lblRegName = ui::makeLabel(this, QString(), "lblRegName");
    lblRegName->setFrameShape(QFrame::Panel);
    lblRegName->setFrameShadow(QFrame::Sunken);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(row);
    layout->addWidget(makeAutoCheckBox(QStringLiteral("Send I²C message when value changed")));
    layout->addWidget(lblRegName);
    resize(152, 76);
}

bool TfrmBits::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* digit = qobject_cast<QLineEdit*>(watched);
        if (digit && digit->isEnabled()) {
            edtDigitClick(digit);
            return true;
        }
    }
    return TfrmRegisterControl::eventFilter(watched, event);
}

void TfrmBits::edtDigitClick(QLineEdit* digit) {
    digit->setText(digit->text() == QLatin1String("0") ? QStringLiteral("1") : QStringLiteral("0"));
}

int TfrmBits::controlValue() const {
    int value = 0;
    for (const QLineEdit* digit : digits) value = value * 2 + (digit->text() == QLatin1String("1"));
    return value;
}

void TfrmBits::showValue(int value) {
    for (int i = 0; i < 8; ++i)
        digits[static_cast<std::size_t>(i)]->setText((value >> (7 - i)) & 1 ? QStringLiteral("1")
                                                                            : QStringLiteral("0"));
}

void TfrmBits::setControlEnabled(bool enabled) {
    for (QLineEdit* digit : digits) digit->setEnabled(enabled);
}

void TfrmBits::showDescription(const QString& text) {
    lblRegName->setText(text);
}

}  // namespace parvex::device
