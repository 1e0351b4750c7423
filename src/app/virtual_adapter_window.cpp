#include "app/virtual_adapter_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "hid/virtual_backend.h"
#include "sim/virtual_adapter.h"

namespace parvex::app {
namespace {

struct LineChoice {
    sim::Lines lines;
    const char* name;
    const char* caption;
};

constexpr LineChoice kLineChoices[] = {
    {sim::Lines::High, "rbLinesHigh", "None (lines high)"},
    {sim::Lines::BothLow, "rbBothLow", "SDA and SCL low"},
    {sim::Lines::SdaLow, "rbSdaLow", "SDA low"},
    {sim::Lines::SclLow, "rbSclLow", "SCL low"},
};

}  // namespace

VirtualAdapterWindow::VirtualAdapterWindow(hid::VirtualController& controller, QWidget* parent)
    : QWidget(parent, Qt::Tool), controller_(controller) {
    setObjectName(QStringLiteral("frmVirtualAdapter"));
    setWindowTitle(QStringLiteral("Virtual Adapter"));

    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(QStringLiteral("Devices on the bus:"), this);
    caption->setObjectName(QStringLiteral("lblDevices"));
    layout->addWidget(caption);
    lstDevices = new QListWidget(this);
    lstDevices->setObjectName(QStringLiteral("lstDevices"));
    lstDevices->setSelectionMode(QAbstractItemView::NoSelection);
    lstDevices->setMaximumHeight(80);
    lstDevices->setMinimumWidth(340);
    layout->addWidget(lstDevices);

    auto* plugRow = new QHBoxLayout;
    btnPlug = new QPushButton(QStringLiteral("Plug in"), this);
    btnPlug->setObjectName(QStringLiteral("btnPlug"));
    btnUnplug = new QPushButton(QStringLiteral("Unplug"), this);
    btnUnplug->setObjectName(QStringLiteral("btnUnplug"));
    plugRow->addWidget(btnPlug);
    plugRow->addWidget(btnUnplug);
    layout->addLayout(plugRow);

    chbStalled = new QCheckBox(QStringLiteral("Stalled (answers held back)"), this);
    chbStalled->setObjectName(QStringLiteral("chbStalled"));
    layout->addWidget(chbStalled);
    chbOtherDevice = new QCheckBox(QStringLiteral("Another HID device plugged in"), this);
    chbOtherDevice->setObjectName(QStringLiteral("chbOtherDevice"));
    layout->addWidget(chbOtherDevice);

    auto* lines = new QGroupBox(QStringLiteral("Bus lines held low"), this);
    lines->setObjectName(QStringLiteral("grpLines"));
    auto* linesLayout = new QVBoxLayout(lines);
    grpLines = new QButtonGroup(this);
    for (int i = 0; i < static_cast<int>(std::size(kLineChoices)); ++i) {
        auto* rb = new QRadioButton(QLatin1String(kLineChoices[i].caption), lines);
        rb->setObjectName(QLatin1String(kLineChoices[i].name));
        grpLines->addButton(rb, i);
        linesLayout->addWidget(rb);
    }
    layout->addWidget(lines);

    connect(btnPlug, &QPushButton::clicked, this, [this] {
        controller_.plug();
        refresh();
    });
    connect(btnUnplug, &QPushButton::clicked, this, [this] {
        controller_.unplug();
        refresh();
    });
    connect(chbStalled, &QCheckBox::toggled, this, [this](bool on) { controller_.setStalled(on); });
    connect(chbOtherDevice, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            controller_.plugOtherDevice();
        else
            controller_.unplugOtherDevice();
    });
    connect(grpLines, &QButtonGroup::idClicked, this, &VirtualAdapterWindow::setLines);

    refresh();
    adjustSize();
}

void VirtualAdapterWindow::setLines(int id) {
    if (id < 0 || id >= static_cast<int>(std::size(kLineChoices))) return;
    controller_.adapter().setLines(kLineChoices[id].lines);
}

void VirtualAdapterWindow::refresh() {
    lstDevices->clear();
    for (const auto& device : controller_.adapter().bus().devices())
        lstDevices->addItem(QString::fromStdString(device->describe()));
    const bool plugged = controller_.plugged();
    btnPlug->setEnabled(!plugged);
    btnUnplug->setEnabled(plugged);
    {
        const QSignalBlocker block(chbStalled);
        chbStalled->setChecked(controller_.stalled());
    }
    const sim::Lines current = controller_.adapter().lines();
    for (int i = 0; i < static_cast<int>(std::size(kLineChoices)); ++i)
        if (kLineChoices[i].lines == current) grpLines->button(i)->setChecked(true);
}

}  // namespace parvex::app
