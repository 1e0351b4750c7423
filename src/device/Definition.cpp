#include "device/Definition.h"

#include <QAbstractTableModel>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <array>

#include "device/Longi2c.h"
#include "ui/form_builders.h"
#include "ui/key_filter.h"
#include "ui/prompts.h"
#include "ui/row_resizing_model.h"
#include "ui/text.h"
#include "ui/upper_case_validator.h"

namespace parvex::device {

namespace {
constexpr int kDescriptionColumn = 0;
constexpr int kValueColumn = 1;
constexpr int kFirstRows = 16;
constexpr int kMaxTypedCount = 999;
const QString kNewDevice = QStringLiteral("New Device");
const QString kAddressWhenEmpty = QStringLiteral("AE");
const QString kFillWhenEmpty = QStringLiteral("00");
}  // namespace

// The dialog's grid: its register rows, each with a description and a value text. The
// register number is the row header.
class DefinitionGridModel final : public ui::RowResizingModel {
public:
    using ui::RowResizingModel::RowResizingModel;
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : rows_;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 2;
    }
    Qt::ItemFlags flags(const QModelIndex&) const override {
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
        return cell(index.row(), index.column());
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid() || role != Qt::EditRole) return false;
        cell(index.row(), index.column()) = value.toString();
        emit dataChanged(index, index);
        return true;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole) return {};
        if (orientation == Qt::Vertical) return ui::qs(hexByte(section));
        return section == kDescriptionColumn ? QStringLiteral("Register Description")
                                             : QStringLiteral("Value\n(Hex)");
    }
    QString& cell(int row, int column) {
        auto& r = cells_[static_cast<std::size_t>(row)];
        return column == kValueColumn ? r.value : r.description;
    }
    const QString& cell(int row, int column) const {
        const auto& r = cells_[static_cast<std::size_t>(row)];
        return column == kValueColumn ? r.value : r.description;
    }
    void setRows(int rows) { resizeRows(rows_, rows); }
    void changedAll() { emit dataChanged(index(0, 0), index(std::max(rows_ - 1, 0), 1)); }

private:
    struct Row {
        QString description;
        QString value;
    };
    std::array<Row, kRegisterSlots> cells_;
    int rows_ = 0;
};

namespace {
// Value cells take two characters in upper case, and only hexadecimal digits.
class ValueDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (index.column() != kValueColumn)
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto* editor = new QLineEdit(parent);
        editor->setMaxLength(2);
        editor->setValidator(new ui::UpperCaseValidator(editor));
        new ui::KeyFilter(editor);
        return editor;
    }
};
}  // namespace

TfrmDefine::TfrmDefine(TfrmLongI2C& device, QWidget* parent) : QWidget(parent), device_(&device) {
    setObjectName(QStringLiteral("frmDefine"));
    ui::makeToolWindow(this);
    buildControls();
    // FormCreate: the first rows carry the device's descriptions until a fill replaces them.
    setRegisterRows(kFirstRows);
    for (int i = 0; i < kFirstRows; ++i)
        model_->cell(i, kDescriptionColumn) = device.description(i);
    model_->changedAll();
    ui::centreOn(this, parent);
}

TfrmDefine::~TfrmDefine() = default;

void TfrmDefine::buildControls() {
    auto* fields = new QFormLayout;
    edtName = ui::makeField(this, "edtName", ui::FieldOptions::limited(20));
    edtAddress = ui::makeField(this, "edtAddress", ui::FieldOptions::limited(2, true));
    // Up to three digits can be typed so that a count above 256 is answered by its message.
    ui::SpinOptions count;
    count.maximum = kMaxTypedCount;
    count.value = kFirstRows * 4;
    edtSpin = ui::makeSpinBox(this, "edtSpin", count);
    edtFill = ui::makeField(this, "edtFill", ui::FieldOptions::limited(2, true));
    edtFill->setText(kFillWhenEmpty);
    fields->addRow(QStringLiteral("Device Name:"), edtName);
    fields->addRow(QStringLiteral("Device Address:"), edtAddress);
    fields->addRow(QStringLiteral("Number of Registers"), edtSpin);
    fields->addRow(QStringLiteral("Fill:"), edtFill);

    model_ = new DefinitionGridModel(this);
    stgDefinition = new QTableView(this);
    stgDefinition->setObjectName(QStringLiteral("stgDefinition"));
    stgDefinition->setModel(model_);
    stgDefinition->setItemDelegate(new ValueDelegate(stgDefinition));
    stgDefinition->setAlternatingRowColors(true);
    stgDefinition->setTabKeyNavigation(true);
    stgDefinition->verticalHeader()->setFixedWidth(30);
    stgDefinition->horizontalHeader()->setFixedHeight(36);
    stgDefinition->setColumnWidth(kDescriptionColumn, 250);
    stgDefinition->setColumnWidth(kValueColumn, 42);
    // No editor opens merely because the current row moved: the count field moves it while
    // the user types there.
    stgDefinition->setEditTriggers(
        QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
        QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);

    btnReadCAT = ui::makeButton(this, "btnReadCAT", QStringLiteral("OK"));
    btnCancel = ui::makeButton(this, "btnCancel", QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnReadCAT);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(stgDefinition, 1);
    layout->addLayout(buttons);
    resize(420, 520);

    new ui::KeyFilter(edtAddress);
    new ui::KeyFilter(edtFill);
    edtAddress->installEventFilter(this);
    edtFill->installEventFilter(this);
    connect(edtSpin, &QSpinBox::textChanged, this, &TfrmDefine::edtSpinChange);
    connect(edtAddress, &QLineEdit::textChanged, this, &TfrmDefine::edtAddressChange);
    connect(edtFill, &QLineEdit::textChanged, this, &TfrmDefine::edtFillChange);
    connect(btnReadCAT, &QPushButton::clicked, this, &TfrmDefine::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QWidget::close);
}

void TfrmDefine::closeEvent(QCloseEvent* event) {
    if (device_) device_->setFileEditMenusEnabled(true);
    event->accept();
}

bool TfrmDefine::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == edtAddress) edtAddressExit();
        if (watched == edtFill) edtFillExit();
    }
    return QWidget::eventFilter(watched, event);
}

int TfrmDefine::registerRows() const {
    return model_->rowCount();
}

QString TfrmDefine::descriptionAt(int reg) const {
    return model_->cell(reg, kDescriptionColumn);
}

QString TfrmDefine::valueAt(int reg) const {
    return model_->cell(reg, kValueColumn);
}

void TfrmDefine::setRegisterRows(int count) {
    model_->setRows(count);
    for (int i = 0; i < count; ++i) {
        if (model_->cell(i, kDescriptionColumn).isEmpty())
            model_->cell(i, kDescriptionColumn) = ui::qs(kUndefinedDescription);
        if (model_->cell(i, kValueColumn).isEmpty())
            model_->cell(i, kValueColumn) = ui::qs(kUnknownValue);
    }
    model_->changedAll();
    stgDefinition->setCurrentIndex(model_->index(count - 1, kDescriptionColumn));
}

void TfrmDefine::fillForNewDevice() {
    edtAddress->setText(kAddressWhenEmpty);
    edtName->setText(kNewDevice);
    setWindowTitle(QStringLiteral("Define New Device"));
    for (int i = 0; i < kRegisterSlots; ++i) {
        model_->cell(i, kDescriptionColumn) = ui::qs(kUndefinedDescription);
        model_->cell(i, kValueColumn) = ui::qs(kUnknownValue);
    }
    model_->changedAll();
}

void TfrmDefine::fillFromDevice() {
    if (!device_) return;
    const TDeviceDefinition& d = device_->device();
    edtAddress->setText(device_->addressText());
    {
        const QSignalBlocker quiet(edtSpin);
        edtSpin->setValue(d.registerCount());
    }
    edtSpinChange(edtSpin->text());
    edtName->setText(ui::qs(d.DeviceName));
    for (int i = 0; i <= d.MaxRegister; ++i) {
        model_->cell(i, kDescriptionColumn) =
            ui::qs(d.RegisterDescriptions[static_cast<std::size_t>(i)]);
        model_->cell(i, kValueColumn) = ui::qs(d.RegisterValues[static_cast<std::size_t>(i)]);
    }
    model_->changedAll();
    setWindowTitle(QStringLiteral("Edit Current Device"));
}

void TfrmDefine::edtSpinChange(const QString& text) {
    if (text.isEmpty()) return;
    int v = 0;
    switch (checkCount(ui::ss(text), v)) {
        case CountCheck::TooSmall:
            ui::prompts().information(ui::qs(kCountTooSmall));
            break;
        case CountCheck::TooLarge:
            ui::prompts().information(ui::qs(kCountTooLarge));
            break;
        case CountCheck::Apply:
            setRegisterRows(v);
            break;
        case CountCheck::Ignore:
            break;
    }
}

void TfrmDefine::edtAddressChange() {
    if (rewriting_) return;
    const auto change = addressChange(ui::ss(edtAddress->text()));
    if (!change || edtAddress->text() == ui::qs(change->text)) return;
    rewriting_ = true;
    edtAddress->setText(ui::qs(change->text));
    rewriting_ = false;
}

void TfrmDefine::edtAddressExit() {
    const QString text = edtAddress->text();
    if (text.isEmpty())
        edtAddress->setText(kAddressWhenEmpty);
    else if (text.size() == 1)
        edtAddress->setText(QLatin1Char('0') + text);
}

void TfrmDefine::edtFillChange() {
    const QString text = edtFill->text();
    if (text.size() != 2) return;
    const QString question =
        QStringLiteral("Are you sure you want to set all the values to %1?").arg(text);
    if (ui::prompts().question(question, ui::ButtonYes | ui::ButtonNo) != ui::Answer::Yes) return;
    for (int i = 0; i < model_->rowCount(); ++i) model_->cell(i, kValueColumn) = text;
    model_->changedAll();
}

void TfrmDefine::edtFillExit() {
    const QString text = edtFill->text();
    if (text.isEmpty())
        edtFill->setText(kFillWhenEmpty);
    else if (text.size() == 1)
        edtFill->setText(QLatin1Char('0') + text);
}

void TfrmDefine::btnOKClick() {
    if (!device_) return;
    // A cell still being edited counts: leaving it hands its text to the grid.
    stgDefinition->setCurrentIndex({});
    int n = 0;
    if (checkCount(ui::ss(edtSpin->text()), n) != CountCheck::Apply) {
        ui::prompts().information(ui::qs(kCountTooSmall));
        return;
    }
    TfrmLongI2C::Definition d;
    d.name = edtName->text();
    d.address = edtAddress->text();
    d.count = n;
    // Rows the grid does not show yet keep what the last fill gave them.
    for (int i = 0; i < n; ++i) {
        d.descriptions << model_->cell(i, kDescriptionColumn);
        d.values << model_->cell(i, kValueColumn);
    }
    device_->applyDefinition(d);
    close();
}

}  // namespace parvex::device
