#include "device/Slider.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>

namespace parvex::device {

namespace {
constexpr int kSliderLength = 255;
}

QSize RotatedLabel::sizeHint() const {
    const QSize s = QLabel::sizeHint();
    return {s.height(), s.width()};
}

QSize RotatedLabel::minimumSizeHint() const {
    return {QLabel::minimumSizeHint().height(), 0};
}

void RotatedLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(
        palette().color(isEnabled() ? QPalette::Normal : QPalette::Disabled, QPalette::WindowText));
    p.translate(0, height());
    p.rotate(-90);
    p.drawText(QRect(0, 0, height(), width()), Qt::AlignCenter, text());
}

TfrmSlider::TfrmSlider(TfrmLongI2C& device, QWidget* parent) : TfrmRegisterControl(device, parent) {
    Slider = new QSlider(Qt::Vertical, this);
    Slider->setObjectName(QStringLiteral("Slider"));
    Slider->setRange(0, 255);
    Slider->setSingleStep(1);
    Slider->setPageStep(16);
    Slider->setFixedHeight(kSliderLength);
    Slider->setStyleSheet(QStringLiteral(
        "QSlider::groove:vertical { width: 8px; background: qlineargradient(x1:0, y1:1, x2:0, "
        "y2:0, stop:0 #008000, stop:1 #90ee90); }"
        "QSlider::handle:vertical { height: 12px; margin: 0 -6px; background: #c0c0c0; }"));
    lblRegName = new RotatedLabel(this);
    lblRegName->setObjectName(QStringLiteral("lblRegName"));
    auto* row = new QHBoxLayout;
    row->addWidget(Slider);
    row->addWidget(lblRegName);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(row, 1);
    layout->addWidget(makeAutoCheckBox(QStringLiteral("Send I²C message when slider changed")));
    resize(120, 282);
    connect(Slider, &QSlider::valueChanged, this, [this] { controlChanged(); });
}

int TfrmSlider::controlValue() const {
    return Slider->value();
}

void TfrmSlider::showValue(int value) {
    Slider->setValue(value);
}

void TfrmSlider::setControlEnabled(bool enabled) {
    Slider->setEnabled(enabled);
}

void TfrmSlider::showDescription(const QString& text) {
    lblRegName->setText(text);
    lblRegName->update();
}

bool TfrmSlider::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate)
        Slider->update();
    return TfrmRegisterControl::event(event);
}

}  // namespace parvex::device
