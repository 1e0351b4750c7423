#include "app/virtual_adapter_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include "app/register_table_model.h"
#include "hid/virtual_backend.h"
#include "sim/eeprom24.h"
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

QPushButton* button(const char* name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QString faultText(const std::optional<hid::ScheduledFault>& fault) {
    if (!fault) return QStringLiteral("No fault scheduled");
    const QString what = fault->kind == hid::ScheduledFault::Kind::Unplug ? QStringLiteral("Unplug")
                                                                          : QStringLiteral("Stall");
    if (fault->remaining == 0) return what + QStringLiteral(" at the next exchange");
    return what + QStringLiteral(" after %1 more exchange%2")
                      .arg(fault->remaining)
                      .arg(fault->remaining == 1 ? "" : "s");
}

}  // namespace

VirtualAdapterWindow::VirtualAdapterWindow(hid::VirtualController& controller, QWidget* parent)
    : QWidget(parent, Qt::Tool), controller_(controller) {
    setObjectName(QStringLiteral("frmVirtualAdapter"));
    setWindowTitle(QStringLiteral("Virtual Adapter"));
    new QVBoxLayout(this);
    buildSwitches();
    buildFaults();
    buildTiming();
    buildRegisterView();

    // The controller may outlive this window, or go first when the main window closes.
    QPointer<VirtualAdapterWindow> self(this);
    controller_.setExchangeObserver([self] {
        if (self) self->refreshAfterExchange();
    });
    refresh();
    adjustSize();
}

void VirtualAdapterWindow::buildSwitches() {
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    auto* caption = new QLabel(QStringLiteral("Devices on the bus:"), this);
    caption->setObjectName(QStringLiteral("lblDevices"));
    layout->addWidget(caption);
    lstDevices = new QListWidget(this);
    lstDevices->setObjectName(QStringLiteral("lstDevices"));
    lstDevices->setSelectionMode(QAbstractItemView::NoSelection);
    lstDevices->setMaximumHeight(60);
    lstDevices->setMinimumWidth(340);
    layout->addWidget(lstDevices);

    auto* plugRow = new QHBoxLayout;
    btnPlug = button("btnPlug", QStringLiteral("Plug in"), this);
    btnUnplug = button("btnUnplug", QStringLiteral("Unplug"), this);
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
}

void VirtualAdapterWindow::buildFaults() {
    auto* group = new QGroupBox(QStringLiteral("Scheduled fault"), this);
    group->setObjectName(QStringLiteral("grpFault"));
    auto* column = new QVBoxLayout(group);
    auto* row = new QHBoxLayout;
    auto* after = new QLabel(QStringLiteral("After"), group);
    spnFaultAfter = new QSpinBox(group);
    spnFaultAfter->setObjectName(QStringLiteral("spnFaultAfter"));
    spnFaultAfter->setRange(0, 9999);
    spnFaultAfter->setValue(10);
    after->setBuddy(spnFaultAfter);
    row->addWidget(after);
    row->addWidget(spnFaultAfter);
    row->addWidget(new QLabel(QStringLiteral("more exchanges:"), group));
    row->addStretch();
    column->addLayout(row);

    auto* buttons = new QHBoxLayout;
    auto* unplugAfter = button("btnUnplugAfter", QStringLiteral("Unplug"), group);
    auto* stallAfter = button("btnStallAfter", QStringLiteral("Stall"), group);
    auto* cancel = button("btnCancelFault", QStringLiteral("Cancel"), group);
    buttons->addWidget(unplugAfter);
    buttons->addWidget(stallAfter);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    lblFault = new QLabel(group);
    lblFault->setObjectName(QStringLiteral("lblFault"));
    column->addWidget(lblFault);
    layout()->addWidget(group);

    const auto count = [this] { return static_cast<unsigned>(spnFaultAfter->value()); };
    connect(unplugAfter, &QPushButton::clicked, this, [this, count] {
        controller_.scheduleUnplug(count());
        refreshAfterExchange();
    });
    connect(stallAfter, &QPushButton::clicked, this, [this, count] {
        controller_.scheduleStall(count());
        refreshAfterExchange();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        controller_.cancelScheduledFault();
        refreshAfterExchange();
    });
}

void VirtualAdapterWindow::buildTiming() {
    auto* group = new QGroupBox(QStringLiteral("Timing"), this);
    group->setObjectName(QStringLiteral("grpTiming"));
    auto* column = new QVBoxLayout(group);
    chbLinkTime = new QCheckBox(QStringLiteral("Link time %1 ms per exchange (full-speed USB)")
                                    .arg(hid::VirtualController::kFullSpeedLinkMs),
                                group);
    chbLinkTime->setObjectName(QStringLiteral("chbLinkTime"));
    column->addWidget(chbLinkTime);
    auto* row = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("EEPROM write cycle"), group);
    spnChipWriteCycle = new QSpinBox(group);
    spnChipWriteCycle->setObjectName(QStringLiteral("spnChipWriteCycle"));
    spnChipWriteCycle->setRange(0, 100);
    spnChipWriteCycle->setSuffix(QStringLiteral(" ms"));
    caption->setBuddy(spnChipWriteCycle);
    row->addWidget(caption);
    row->addWidget(spnChipWriteCycle);
    row->addStretch();
    column->addLayout(row);
    layout()->addWidget(group);

    connect(chbLinkTime, &QCheckBox::toggled, this, [this](bool on) {
        controller_.setLinkTimeMs(on ? hid::VirtualController::kFullSpeedLinkMs : 0);
    });
    connect(spnChipWriteCycle, qOverload<int>(&QSpinBox::valueChanged), this,
            &VirtualAdapterWindow::setChipWriteCycle);
}

void VirtualAdapterWindow::setChipWriteCycle(int ms) {
    for (const auto& device : controller_.adapter().bus().devices())
        if (auto* chip = dynamic_cast<sim::Eeprom24*>(device.get()))
            chip->setWriteCycleMs(static_cast<std::uint32_t>(ms));
}

void VirtualAdapterWindow::buildRegisterView() {
    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("grpRegisters"));
    auto* column = new QVBoxLayout(group);
    registers_ = new RegisterTableModel(controller_.adapter().bus(), this);
    tblRegisters = new QTableView(group);
    tblRegisters->setObjectName(QStringLiteral("tblRegisters"));
    tblRegisters->setModel(registers_);
    tblRegisters->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblRegisters->setSelectionMode(QAbstractItemView::NoSelection);
    tblRegisters->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tblRegisters->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (QHeaderView* header : {tblRegisters->horizontalHeader(), tblRegisters->verticalHeader()}) {
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setMinimumSectionSize(0);
    }
    // Two hexadecimal digits a cell, the whole table in view.
    const int cellWidth = tblRegisters->fontMetrics().horizontalAdvance(QStringLiteral("00")) + 8;
    const int cellHeight = tblRegisters->fontMetrics().height() + 2;
    tblRegisters->horizontalHeader()->setDefaultSectionSize(cellWidth);
    tblRegisters->verticalHeader()->setDefaultSectionSize(cellHeight);
    const int frame = 2 * tblRegisters->frameWidth();
    tblRegisters->setFixedSize(tblRegisters->verticalHeader()->sizeHint().width() +
                                   RegisterTableModel::kSide * cellWidth + frame,
                               tblRegisters->horizontalHeader()->sizeHint().height() +
                                   RegisterTableModel::kSide * cellHeight + frame);
    column->addWidget(tblRegisters);
    layout()->addWidget(group);
}

void VirtualAdapterWindow::setLines(int id) {
    if (id < 0 || id >= static_cast<int>(std::size(kLineChoices))) return;
    controller_.adapter().setLines(kLineChoices[id].lines);
}

void VirtualAdapterWindow::refresh() {
    lstDevices->clear();
    for (const auto& device : controller_.adapter().bus().devices())
        lstDevices->addItem(QString::fromStdString(device->describe()));
    const sim::Lines current = controller_.adapter().lines();
    for (int i = 0; i < static_cast<int>(std::size(kLineChoices)); ++i)
        if (kLineChoices[i].lines == current) grpLines->button(i)->setChecked(true);
    {
        const QSignalBlocker block(chbLinkTime);
        chbLinkTime->setChecked(controller_.linkTimeMs() != 0);
    }
    // The spin box shows the first EEPROM's cycle; changing it sets every EEPROM's.
    for (const auto& device : controller_.adapter().bus().devices()) {
        if (const auto* chip = dynamic_cast<const sim::Eeprom24*>(device.get())) {
            const QSignalBlocker block(spnChipWriteCycle);
            spnChipWriteCycle->setValue(static_cast<int>(chip->writeCycleMs()));
            break;
        }
    }
    refreshAfterExchange();
}

void VirtualAdapterWindow::refreshAfterExchange() {
    const bool plugged = controller_.plugged();
    btnPlug->setEnabled(!plugged);
    btnUnplug->setEnabled(plugged);
    {
        const QSignalBlocker block(chbStalled);
        chbStalled->setChecked(controller_.stalled());
    }
    lblFault->setText(faultText(controller_.scheduledFault()));
    registers_->refresh();
    static_cast<QGroupBox*>(tblRegisters->parentWidget())->setTitle(registers_->caption());
}

}  // namespace parvex::app
