#include "shell/Bitrate.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "adapter/adapter_link.h"
#include "shell/dialog_frame.h"
#include "ui/prompts.h"

namespace parvex::shell {

TfrmBitrate::TfrmBitrate(adapter::AdapterLink& link, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | kTitleAndCloseOnly), link_(link) {
    setObjectName(QStringLiteral("frmBitrate"));
    setWindowTitle(QStringLiteral("I\u00B2C Frequency"));
    setAttribute(Qt::WA_DeleteOnClose);
    ui::refuseMinimise(this);
    setModal(false);
    setFixedSize(342, 159);

    pnlClock = new QFrame(this);
    pnlClock->setObjectName(QStringLiteral("pnlClock"));
    pnlClock->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    pnlClock->setToolTip(QStringLiteral("Click on up/down arrows to increase/decrease frequency"));

    spnClock = new QSpinBox(pnlClock);
    spnClock->setObjectName(QStringLiteral("spnClock"));
    spnClock->setRange(1, 2000);
    spnClock->setSingleStep(1);
    spnClock->setValue(100);
    if (auto* edit = spnClock->findChild<QLineEdit*>()) edit->setMaxLength(4);
    // A typed value outside 1..2000 becomes the nearest limit rather than being dropped.
    spnClock->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);

    lblkHz = new QLabel(QStringLiteral("kHz"), pnlClock);
    lblkHz->setObjectName(QStringLiteral("lblkHz"));

    lblNote = new QLabel(
        QStringLiteral("Note: min. I2C clock = 1 kHz                 max. I2C clock = 1 MHz"),
        pnlClock);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);
    // The run of blanks is meant to end the first line: as wide as the first sentence and
    // its blanks, the label wraps the second sentence onto a line of its own in any font.
    lblNote->setFixedWidth(lblNote->fontMetrics().horizontalAdvance(
                               QStringLiteral("Note: min. I2C clock = 1 kHz                 ")) +
                           2);

    chbDrive = new QCheckBox(QStringLiteral("Use FM+ output drive"), pnlClock);
    chbDrive->setObjectName(QStringLiteral("chbDrive"));
    chbDrive->setChecked(true);
    chbDrive->setVisible(false);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnOK->setAutoDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &TfrmBitrate::btnOKClick);

    auto* entry = new QHBoxLayout;
    entry->addWidget(spnClock);
    entry->addWidget(lblkHz);
    entry->addStretch();
    auto* panelLayout = new QVBoxLayout(pnlClock);
    panelLayout->addLayout(entry);
    panelLayout->addWidget(lblNote);
    panelLayout->addWidget(chbDrive);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pnlClock);
    layout->addLayout(buttons);

    // Left unplaced, the dialog opens centred on the main window, its parent.
    FormCreate();
}

TfrmBitrate::~TfrmBitrate() = default;

void TfrmBitrate::FormCreate() {
    spnClock->setValue(link_.ActualClock() / 1000);
}

void TfrmBitrate::btnOKClick() {
    // Whatever is in the entry (empty, 0, beyond 2000) is settled into 1..2000 first: the
    // clock arithmetic divides by the request.
    // An emptied entry keeps the last value it held; Qt would otherwise settle it at 1.
    if (!spnClock->cleanText().trimmed().isEmpty()) spnClock->interpretText();
    const int kHz = std::clamp(spnClock->value(), 1, 2000);
    link_.HID_UpdateClock(static_cast<std::uint32_t>(kHz), chbDrive->isChecked());
    close();
}

}  // namespace parvex::shell
