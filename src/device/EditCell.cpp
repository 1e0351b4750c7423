#include "device/EditCell.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "device/Longi2c.h"
#include "ui/form_builders.h"
#include "ui/key_filter.h"
#include "ui/text.h"

namespace parvex::device {

TfrmEditCell::TfrmEditCell(TfrmLongI2C& device, QWidget* parent, int reg, const QString& value,
                           const QString& description)
    : QWidget(parent), device_(&device) {
    setObjectName(QStringLiteral("frmEditCell"));
    setWindowTitle(QStringLiteral("Edit Register"));
    ui::makeToolWindow(this);
    lblRegister =
        ui::makeLabel(this, QStringLiteral("Register 0x") + ui::qs(hexByte(reg)), "lblRegister");
    edtDefault = ui::makeField(this, "edtDefault", ui::FieldOptions::limited(2, true));
    edtDefault->setText(value);
    new ui::KeyFilter(edtDefault);
    edtDescription = ui::makeField(this, "edtDescription", ui::FieldOptions::limited(40));
    edtDescription->setText(description);
    btnOK = ui::makeButton(this, "btnOK", QStringLiteral("OK"));
    btnCancel = ui::makeButton(this, "btnCancel", QStringLiteral("Cancel"));

    auto* fields = new QFormLayout;
    fields->addRow(lblRegister);
    fields->addRow(QStringLiteral("Initial Value (hex):"), edtDefault);
    fields->addRow(QStringLiteral("Description"), edtDescription);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    edtDefault->installEventFilter(this);
    connect(btnOK, &QPushButton::clicked, this, &TfrmEditCell::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QWidget::close);
    adjustSize();
    ui::centreOn(this, parent);
}

void TfrmEditCell::closeEvent(QCloseEvent* event) {
    if (device_) device_->setFileEditMenusEnabled(true);
    event->accept();
}

bool TfrmEditCell::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtDefault && event->type() == QEvent::FocusOut) edtDefaultExit();
    return QWidget::eventFilter(watched, event);
}

void TfrmEditCell::edtDefaultExit() {
    const QString text = edtDefault->text();
    if (text.isEmpty())
        edtDefault->setText(QStringLiteral("00"));
    else if (text.size() == 1)
        edtDefault->setText(QLatin1Char('0') + text);
}

void TfrmEditCell::btnOKClick() {
    // Pressing OK leaves the value field first.
    edtDefaultExit();
    if (device_) device_->applyRegister(edtDefault->text(), edtDescription->text());
    close();
}

}  // namespace parvex::device
