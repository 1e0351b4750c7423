#include "device/Longi2c.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "device/Bits.h"
#include "device/Definition.h"
#include "device/RegisterGridModel.h"
#include "device/RegisterGridView.h"
#include "device/Slider.h"
#include "device/Spinner.h"
#include "ui/form_builders.h"
#include "ui/hex_cell_delegate.h"
#include "ui/host.h"
#include "ui/key_filter.h"
#include "ui/prompts.h"
#include "ui/text.h"

namespace parvex::device {

namespace {

constexpr int kPanelWidth = 150;
constexpr int kColumnWidth = 24;
constexpr int kRowHeight = 21;
const QString kSaveDevice = QStringLiteral("Would you like to save this device?");
const QString kResetQuestion = QStringLiteral("Are you sure you want to reset the grid?");

}  // namespace

TfrmLongI2C::TfrmLongI2C(ui::Host& host, QWidget* parent) : ui::ChildWindow(host, parent) {
    setObjectName(QStringLiteral("frmLongI2C"));
    setWindowTitle(ui::qs(kWindowCaption));
    buildControls();
    buildMenus();
    keyFilter_ = new ui::KeyFilter(this);
    FormCreate();
    // The window opens ready for typing into the registers, not into the address field.
    stgMemory->setFocus();
}

TfrmLongI2C::~TfrmLongI2C() {
    closeControlWindows();
    if (defineDialog_) delete defineDialog_.data();
    for (const auto& d : registerDialogs_) delete d.data();
    // The view holds the model's indexes: let it go first.
    delete stgMemory;
}

QList<QMenu*> TfrmLongI2C::mergedMenus() const {
    return {mnuLongI2C, mnuEdit};
}

void TfrmLongI2C::buildControls() {
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("pnlLeft"));
    panel->setFixedWidth(kPanelWidth);
    auto* left = new QVBoxLayout(panel);

    grbAddress = ui::makeGroupBox(panel, "grbAddress", QStringLiteral("Address (hex)"));
    grbAddress->setToolTip(QStringLiteral("Device Address"));
    edtAddress = ui::makeField(grbAddress, "edtAddress", ui::FieldOptions::limited(2, true));
    edtAddress->setText(QStringLiteral("A0"));
    edtAddress->setToolTip(QStringLiteral("Enter the device write address (even number)"));
    (new QVBoxLayout(grbAddress))->addWidget(edtAddress);
    left->addWidget(grbAddress);

    btnWriteOne = ui::makeButton(panel, "btnWriteOne", QStringLiteral("Write Byte"),
                                 QStringLiteral("Write to one register"));
    btnReadOne = ui::makeButton(panel, "btnReadOne", QStringLiteral("Read Byte"),
                                QStringLiteral("Read one register"));
    btnWrite = ui::makeButton(panel, "btnWrite", QStringLiteral("Write All"),
                              QStringLiteral("Write to all registers"));
    btnRead = ui::makeButton(panel, "btnRead", QStringLiteral("Read All"),
                             QStringLiteral("Read entire device"));
    for (QPushButton* b : {btnWriteOne, btnReadOne, btnWrite, btnRead}) left->addWidget(b);

    grbControls = ui::makeGroupBox(panel, "grbControls", QStringLiteral("Create Control"));
    auto* controls = new QVBoxLayout(grbControls);
    btnSlider = ui::makeButton(grbControls, "btnSlider", QStringLiteral("Slider"),
                               QStringLiteral("Create slider control for current register"));
    btnSpin = ui::makeButton(grbControls, "btnSpin", QStringLiteral("Spin"),
                             QStringLiteral("Create spin control for current register"));
    btnBits = ui::makeButton(grbControls, "btnBits", QStringLiteral("Bits"),
                             QStringLiteral("Create Bit Control for current register"));
    for (QPushButton* b : {btnSlider, btnSpin, btnBits}) controls->addWidget(b);
    left->addWidget(grbControls);
    left->addStretch(1);
    buildGrid();

    auto* right = new QVBoxLayout;
    right->addWidget(pnlRegister);
    right->addWidget(stgMemory, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(panel);
    layout->addLayout(right, 1);
    connectControls();
}

void TfrmLongI2C::buildGrid() {
    pnlRegister = ui::makeLabel(this, QString(), "pnlRegister");
    pnlRegister->setToolTip(QStringLiteral("Address and name of active register"));
    pnlRegister->setFrameShape(QFrame::Panel);
    pnlRegister->setFrameShadow(QFrame::Sunken);

    model_ = new RegisterGridModel(device_, this);
    stgMemory = new RegisterGridView(this);
    stgMemory->setObjectName(QStringLiteral("stgMemory"));
    stgMemory->setModel(model_);
    stgMemory->setSelectionMode(QAbstractItemView::SingleSelection);
    stgMemory->setTabKeyNavigation(true);
    stgMemory->setCornerButtonEnabled(false);
    for (QHeaderView* h : {stgMemory->horizontalHeader(), stgMemory->verticalHeader()}) {
        h->setSectionResizeMode(QHeaderView::Interactive);
        h->setHighlightSections(false);
        h->setMinimumSectionSize(12);
    }
    stgMemory->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    stgMemory->verticalHeader()->setDefaultSectionSize(kRowHeight);
    delegate_ = new ui::HexCellDelegate(stgMemory, 2, true);
    stgMemory->setContextMenuPolicy(Qt::CustomContextMenu);
}

void TfrmLongI2C::connectControls() {
    connect(stgMemory->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { stgMemoryClick(); });
    connect(delegate_, &ui::HexCellDelegate::cellPressed, this, [this] { stgMemoryClick(); });
    connect(delegate_, &ui::HexCellDelegate::cellTextEdited, this, [this] { modified_ = true; });
    connect(model_, &RegisterGridModel::cellEdited, this, [this] { modified_ = true; });
    connect(stgMemory, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu1->popup(stgMemory->viewport()->mapToGlobal(at));
    });
    connect(edtAddress, &QLineEdit::textChanged, this, &TfrmLongI2C::edtAddressChange);
    edtAddress->installEventFilter(this);

    const auto guarded = [this](void (TfrmLongI2C::*handler)()) {
        return [this, handler] {
            if (!busy_) (this->*handler)();
        };
    };
    connect(btnWriteOne, &QPushButton::clicked, this, guarded(&TfrmLongI2C::btnWriteOneClick));
    connect(btnReadOne, &QPushButton::clicked, this, guarded(&TfrmLongI2C::btnReadOneClick));
    connect(btnWrite, &QPushButton::clicked, this, guarded(&TfrmLongI2C::btnWriteClick));
    connect(btnRead, &QPushButton::clicked, this, guarded(&TfrmLongI2C::btnReadClick));
    connect(btnSlider, &QPushButton::clicked, this, &TfrmLongI2C::CreatefrmSliderClick);
    connect(btnSpin, &QPushButton::clicked, this, &TfrmLongI2C::frmSpinClick);
    connect(btnBits, &QPushButton::clicked, this, &TfrmLongI2C::mnuBitWiseClick);
}

void TfrmLongI2C::buildMenus() {
    mnuLongI2C = new QMenu(QStringLiteral("&File"), this);
    mnuLongI2C->setObjectName(QStringLiteral("mnuLongI2C"));
    mnuLongI2C->menuAction()->setObjectName(QStringLiteral("mnuLongI2CAction"));
    QMenu* f = mnuLongI2C;
    connect(ui::addMenuItem(f, "mnuDefine", QStringLiteral("Define New Device")),
            &QAction::triggered, this, &TfrmLongI2C::mnuDefineClick);
    connect(ui::addMenuItem(f, "mnuLoad", QStringLiteral("Open Device Definition File")),
            &QAction::triggered, this, &TfrmLongI2C::mnuLoadClick);
    f->addSeparator()->setObjectName(QStringLiteral("mnuLongI2CSeparator1"));
    connect(ui::addMenuItem(f, "mnuSave", QStringLiteral("Save")), &QAction::triggered, this,
            [this] { mnuSaveClick(); });
    connect(ui::addMenuItem(f, "mnuSaveAs", QStringLiteral("Save As...")), &QAction::triggered,
            this, [this] { mnuSaveAsClick(); });
    connect(ui::addMenuItem(f, "mnuSaveASCII", QStringLiteral("Save Registers in text format")),
            &QAction::triggered, this, &TfrmLongI2C::mnuSaveASCIIClick);
    connect(ui::addMenuItem(f, "mnuPrint", QStringLiteral("Print Device Data")),
            &QAction::triggered, this, &TfrmLongI2C::mnuPrintClick);
    connect(ui::addMenuItem(f, "mnuClose", QStringLiteral("Close")), &QAction::triggered, this,
            &TfrmLongI2C::mnuCloseClick);
    connect(ui::addMenuItem(f, "mnuCloseAll", QStringLiteral("Close All")), &QAction::triggered,
            this, &TfrmLongI2C::mnuCloseAllClick);
    f->addSeparator()->setObjectName(QStringLiteral("mnuLongI2CSeparator2"));
    connect(ui::addMenuItem(f, "mnuExit", QStringLiteral("E&xit")), &QAction::triggered, this,
            &TfrmLongI2C::mnuExitClick);

    mnuEdit = new QMenu(QStringLiteral("Edit"), this);
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEdit->menuAction()->setObjectName(QStringLiteral("mnuEditAction"));
    connect(ui::addMenuItem(mnuEdit, "mnuEditCurrentDevice", QStringLiteral("Current Device")),
            &QAction::triggered, this, &TfrmLongI2C::mnuEditCurrentDeviceClick);
    connect(ui::addMenuItem(mnuEdit, "mnuEditCurrentCell", QStringLiteral("Current Register")),
            &QAction::triggered, this, &TfrmLongI2C::mnuEditCurrentCellClick);
    connect(ui::addMenuItem(mnuEdit, "ResetGrid", QStringLiteral("Reset Grid")),
            &QAction::triggered, this, &TfrmLongI2C::ResetGridClick);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QMenu* p = PopupMenu1;
    connect(ui::addMenuItem(p, "CreatefrmSlider",
                            QStringLiteral("Use Slider to Change Active Register")),
            &QAction::triggered, this, &TfrmLongI2C::CreatefrmSliderClick);
    connect(ui::addMenuItem(p, "mnuBitWise",
                            QStringLiteral("Use Bit Control to Change Active Register")),
            &QAction::triggered, this, &TfrmLongI2C::mnuBitWiseClick);
    connect(ui::addMenuItem(p, "frmSpin",
                            QStringLiteral("Increment/Decrement Active Register Spin Control")),
            &QAction::triggered, this, &TfrmLongI2C::frmSpinClick);
    connect(ui::addMenuItem(p, "mnuPopupEditDevice", QStringLiteral("Edit Current Device Data")),
            &QAction::triggered, this, &TfrmLongI2C::mnuEditCurrentDeviceClick);
    connect(ui::addMenuItem(p, "mnuPopupEditRegister", QStringLiteral("Edit Current Register")),
            &QAction::triggered, this, &TfrmLongI2C::mnuEditCurrentCellClick);
}

void TfrmLongI2C::FormCreate() {
    device_ = TDeviceDefinition();
    if (const auto change = addressChange(ui::ss(edtAddress->text())))
        device_.DeviceAddress = change->address;
    model_->clearFailed();
    model_->reload();
    setCurrentQuietly(model_->index(0, 0));
    activeRegister_ = 0;
    pnlRegister->setText(ui::qs(registerCaption(device_, 0)));
    modified_ = false;
    saveFolder_ = QDir::currentPath();
    definitionFileName_.clear();
}

void TfrmLongI2C::FormActivate() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->showMaximized();
    host().ResetWarning();
}

// ---- Grid ---------------------------------------------------------------------------------

void TfrmLongI2C::stgMemoryClick() {
    activeRegister_ = RegisterGridModel::registerOf(stgMemory->currentIndex());
    if (activeRegister_ < 0) activeRegister_ = 0;
    pnlRegister->setText(ui::qs(registerCaption(device_, activeRegister_)));
}

void TfrmLongI2C::selectRegister(int reg) {
    const QModelIndex target = model_->indexOf(reg);
    if (target.isValid() && target.row() < model_->rowCount()) {
        // A cell chosen for a control window opens no editor there: that would take the
        // focus from the control.
        if (stgMemory->currentIndex() != target) setCurrentQuietly(target);
        stgMemoryClick();
        return;
    }
    activeRegister_ = reg;
    pnlRegister->setText(ui::qs(registerCaption(device_, reg)));
}

void TfrmLongI2C::setCurrentQuietly(const QModelIndex& index) {
    const auto triggers = stgMemory->editTriggers();
    stgMemory->setEditTriggers(triggers & ~QAbstractItemView::CurrentChanged);
    stgMemory->setCurrentIndex(index);
    stgMemory->setEditTriggers(triggers);
}

QString TfrmLongI2C::cellText(int reg) const {
    if (reg < 0 || reg >= kRegisterSlots) return {};
    return ui::qs(device_.RegisterValues[static_cast<std::size_t>(reg)]);
}

QString TfrmLongI2C::description(int reg) const {
    if (reg < 0 || reg >= kRegisterSlots) return {};
    return ui::qs(device_.RegisterDescriptions[static_cast<std::size_t>(reg)]);
}

void TfrmLongI2C::setRegisterValue(int reg, const std::string& text) {
    device_.RegisterValues[static_cast<std::size_t>(reg)] = text;
    model_->setFailed(reg, false);
    model_->valuesChanged(reg, 1);
}

void TfrmLongI2C::setCellFromControl(int reg, std::uint8_t value) {
    setRegisterValue(reg, hexByte(value));
    modified_ = true;
}

void TfrmLongI2C::commitEdit() {
    delegate_->commitEditor();
}

// ---- Address field ------------------------------------------------------------------------

QString TfrmLongI2C::addressText() const {
    return edtAddress->text();
}

void TfrmLongI2C::edtAddressChange() {
    if (rewritingAddress_) return;
    const auto change = addressChange(ui::ss(edtAddress->text()));
    if (!change) return;
    device_.DeviceAddress = change->address;
    if (edtAddress->text() == ui::qs(change->text)) return;
    rewritingAddress_ = true;
    edtAddress->setText(ui::qs(change->text));
    rewritingAddress_ = false;
}

void TfrmLongI2C::edtAddressExit() {
    const AddressExit exit = addressExit(ui::ss(edtAddress->text()));
    if (exit.error)
        ui::prompts().error(ui::qs(*exit.error));
    else if (exit.text)
        edtAddress->setText(ui::qs(*exit.text));
}

bool TfrmLongI2C::CheckAddress() {
    const AddressCheck check = device::CheckAddress(ui::ss(edtAddress->text()));
    if (check.status) host().setStatusText(ui::qs(*check.status));
    if (check.error) ui::prompts().error(ui::qs(*check.error));
    if (!check.address) return false;
    device_.DeviceAddress = *check.address;
    edtAddress->setText(ui::qs(hexByte(*check.address)));
    return true;
}

bool TfrmLongI2C::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtAddress && event->type() == QEvent::FocusOut) edtAddressExit();
    return ui::ChildWindow::eventFilter(watched, event);
}

// ---- Closing ------------------------------------------------------------------------------

void TfrmLongI2C::closeEvent(QCloseEvent* event) {
    commitEdit();
    if (modified_) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
            if (auto* area = sub->mdiArea()) area->setActiveSubWindow(sub);
        }
        if (ui::prompts().question(kSaveDevice, ui::ButtonYes | ui::ButtonNo) == ui::Answer::Yes &&
            !mnuSaveClick()) {
            // The device was to be kept: a save that was cancelled or failed keeps it open.
            event->ignore();
            return;
        }
        modified_ = false;
    }
    closeControlWindows();
    // The dialogs serve this device only.
    if (defineDialog_) defineDialog_->close();
    for (const auto& d : registerDialogs_)
        if (d) d->close();
    event->accept();
}

void TfrmLongI2C::ResetGridClick() {
    if (ui::prompts().question(kResetQuestion, ui::ButtonYes | ui::ButtonNo) != ui::Answer::Yes)
        return;
    closeControlWindows();
    FormCreate();
    device_.DeviceName = std::string(kUnknownDevice);
    setWindowTitle(ui::qs(device_.DeviceName));
}

// ---- Control windows ----------------------------------------------------------------------

QList<TfrmRegisterControl*> TfrmLongI2C::controlWindows() const {
    QList<TfrmRegisterControl*> open;
    for (const auto& c : controls_)
        if (c && c->isVisible()) open << c.data();
    return open;
}

void TfrmLongI2C::closeControlWindows() {
    const auto controls = controls_;
    controls_.clear();
    for (const auto& c : controls)
        if (c) {
            c->close();
            delete c.data();
        }
}

void TfrmLongI2C::definitionChanged() {
    for (TfrmRegisterControl* c : controlWindows()) c->definitionChanged();
}

QString TfrmLongI2C::uniqueControlName(const QString& kind) const {
    QStringList taken;
    for (TfrmRegisterControl* c : controlWindows()) taken << c->objectName();
    if (!taken.contains(kind)) return kind;
    for (int n = 1;; ++n) {
        const QString name = kind + QLatin1Char('_') + QString::number(n);
        if (!taken.contains(name)) return name;
    }
}

void TfrmLongI2C::createControl(int kind) {
    commitEdit();
    if (!device_.isDefined(activeRegister_)) {
        ui::prompts().information(ui::qs(kCannotEditUndefined));
        return;
    }
    const int reg = activeRegister_;
    // The frame owns them, not this window: the window's key filter is not theirs.
    QWidget* owner = window();
    TfrmRegisterControl* control = nullptr;
    switch (static_cast<ControlKind>(kind)) {
        case ControlKind::Slider:
            control = new TfrmSlider(*this, owner);
            control->setObjectName(uniqueControlName(QStringLiteral("frmSlider")));
            break;
        case ControlKind::Spin:
            control = new TfrmSpin(*this, owner);
            control->setObjectName(uniqueControlName(QStringLiteral("frmSpin")));
            break;
        case ControlKind::Bits:
            control = new TfrmBits(*this, owner);
            control->setObjectName(uniqueControlName(QStringLiteral("frmBits")));
            break;
    }
    controls_.append(control);
    control->setRegister(reg, description(reg));
    control->FormActivate();
    control->show();
}

void TfrmLongI2C::CreatefrmSliderClick() {
    createControl(static_cast<int>(ControlKind::Slider));
}

void TfrmLongI2C::frmSpinClick() {
    createControl(static_cast<int>(ControlKind::Spin));
}

void TfrmLongI2C::mnuBitWiseClick() {
    createControl(static_cast<int>(ControlKind::Bits));
}

}  // namespace parvex::device
