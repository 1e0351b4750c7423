#include "expert/MessageEditor.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "expert/Message.h"
#include "expert/MessageModel.h"
#include "expert/editor_rules.h"
#include "ui/form_builders.h"
#include "ui/hex_cell_delegate.h"
#include "ui/key_filter.h"
#include "ui/prompts.h"
#include "ui/text.h"

namespace parvex::expert {

namespace {

// The byte count moves with its buttons only; every step is reported, also one that finds
// the count already at its end (Up at 49 still sets the 49th cell to FF).
class ByteCountSpinBox final : public QSpinBox {
public:
    std::function<void(int)> stepped;
    explicit ByteCountSpinBox(QWidget* parent) : QSpinBox(parent) { lineEdit()->setReadOnly(true); }
    void stepBy(int steps) override {
        QSpinBox::stepBy(steps);
        if (stepped) stepped(steps);
    }

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};

}  // namespace

TfrmEditor::TfrmEditor(TfrmMessage& owner) : QDialog(&owner), owner_(owner) {
    setObjectName(QStringLiteral("frmEditor"));
    setWindowTitle(QStringLiteral("Expert Mode Editor"));
    setModal(false);
    buildControls();
}

void TfrmEditor::buildControls() {
    auto* grid = new QGridLayout;
    auto label = [this](const char* text) { return ui::makeLabel(this, QString::fromUtf8(text)); };
    ui::FieldOptions address = ui::FieldOptions::limited(2, true);
    address.text = QStringLiteral("A0");
    address.widthChars = 4;
    edtAddress = ui::makeField(this, "edtAddress", address);
    edtAddress->installEventFilter(this);
    new ui::KeyFilter(edtAddress);
    ui::ComboOptions readWrite;
    readWrite.items = {QStringLiteral("Write"), QStringLiteral("Read")};
    cmbRW = ui::makeComboBox(this, "cmbRW", readWrite);
    ui::ComboOptions stop;
    stop.items = {QStringLiteral("Yes"), QStringLiteral("No")};
    cmbStop = ui::makeComboBox(this, "cmbStop", stop);
    auto* count = new ByteCountSpinBox(this);
    count->stepped = [this](int steps) { spnBytesStepped(steps); };
    ui::SpinOptions bytes;
    bytes.minimum = 1;
    bytes.maximum = kEditorMaxBytes;
    bytes.value = 1;
    spnBytes = ui::setUpSpinBox(count, "spnBytes", bytes);
    ui::SpinOptions delay;
    delay.maximum = kEditorMaxDelay;
    edtDelay = ui::makeSpinBox(this, "edtDelay", delay);
    edtNotes = ui::makeField(this, "edtNotes");
    grid->addWidget(label("Address"), 0, 0);
    grid->addWidget(edtAddress, 1, 0);
    grid->addWidget(label("Read/Write"), 0, 1);
    grid->addWidget(cmbRW, 1, 1);
    grid->addWidget(label("Stop?"), 0, 2);
    grid->addWidget(cmbStop, 1, 2);
    grid->addWidget(label("Number of Bytes"), 0, 3);
    grid->addWidget(spnBytes, 1, 3);
    grid->addWidget(label("Delay After Message (ms)"), 0, 4);
    grid->addWidget(edtDelay, 1, 4);
    grid->addWidget(label("Notes"), 2, 0);
    grid->addWidget(edtNotes, 3, 0, 1, 5);

    auto* group = ui::makeGroupBox(this, "grpWrite", QStringLiteral("Write Message"));
    grdWrite = new QTableWidget(1, 1, group);
    grdWrite->setObjectName(QStringLiteral("grdWrite"));
    grdWrite->verticalHeader()->hide();
    grdWrite->horizontalHeader()->setDefaultSectionSize(24);
    grdWrite->horizontalHeader()->setMinimumSectionSize(24);
    grdWrite->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdWrite->setFixedHeight(grdWrite->horizontalHeader()->sizeHint().height() + 24 + 24);
    delegate_ = new ui::HexCellDelegate(grdWrite, 2, true);
    delegate_->setValidator([](const QString& text) { return ui::qs(byteCellLeft(ui::ss(text))); });
    new ui::KeyFilter(grdWrite);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(grdWrite);

    Label2 = ui::makeLabel(this, QStringLiteral("Note: Maximum number of bytes is limited to 49"),
                           "Label2");
    btnOK = ui::makeButton(this, "btnOK", QStringLiteral("Close Editor"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, [this] { btnCloseClick(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(group);
    layout->addWidget(Label2);
    layout->addWidget(btnOK, 0, Qt::AlignRight);
    resize(640, sizeHint().height());
    setCellCount(1);
}

int TfrmEditor::EditRow() const {
    return owner_.table().followedRow();
}

void TfrmEditor::showFor(int r) {
    if (!isVisible()) FormShow(r);
    show();
    raise();
    activateWindow();
}

void TfrmEditor::FormShow(int r) {
    owner_.table().setFollowedRow(r);
    setWindowTitle(QStringLiteral("Message Editor - Msg # %1").arg(r));
    const EditorFill fill = editorFieldsFor(owner_.table().row(r));
    const EditorFields& f = fill.fields;
    edtAddress->setText(ui::qs(f.address));
    cmbRW->setCurrentIndex(f.read ? 1 : 0);
    spnBytes->setValue(f.byteCount);
    setCells(f.cells);
    cmbStop->setCurrentIndex(f.noStop ? 1 : 0);
    if (fill.error) {
        ui::prompts().error(ui::qs(*fill.error));
        return;
    }
    edtDelay->setValue(std::clamp<std::int32_t>(f.delay, 0, kEditorMaxDelay));
    edtNotes->setText(ui::qs(f.notes));
}

void TfrmEditor::setCellCount(int count) {
    grdWrite->setColumnCount(count);
    for (int c = 0; c < count; ++c) {
        if (!grdWrite->horizontalHeaderItem(c))
            grdWrite->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::number(c + 1)));
        if (!grdWrite->item(0, c)) grdWrite->setItem(0, c, new QTableWidgetItem(QString()));
    }
}

void TfrmEditor::setCells(const std::vector<std::string>& cells) {
    setCellCount(static_cast<int>(cells.size()));
    for (int c = 0; c < grdWrite->columnCount(); ++c)
        grdWrite->item(0, c)->setText(ui::qs(cells[c]));
}

void TfrmEditor::spnBytesStepped(int steps) {
    const int n = spnBytes->value();
    setCellCount(n);
    if (steps > 0) grdWrite->item(0, n - 1)->setText(ui::qs(kUnsetByte));
}

EditorFields TfrmEditor::currentFields() const {
    EditorFields f;
    f.address = ui::ss(edtAddress->text());
    f.read = cmbRW->currentIndex() == 1;
    f.noStop = cmbStop->currentIndex() == 1;
    f.byteCount = spnBytes->value();
    for (int c = 0; c < grdWrite->columnCount(); ++c) {
        QTableWidgetItem* item = grdWrite->item(0, c);
        f.cells.push_back(item ? ui::ss(item->text()) : std::string());
    }
    // A cell still being typed in counts as typed: closing is not leaving it.
    if (QLineEdit* open = delegate_->currentEditor(); open && open->isVisible()) {
        const int c = grdWrite->currentIndex().column();
        if (c >= 0 && c < static_cast<int>(f.cells.size()))
            f.cells[static_cast<std::size_t>(c)] = ui::ss(open->text());
    }
    f.delay = edtDelay->value();
    f.notes = ui::ss(edtNotes->text());
    return f;
}

bool TfrmEditor::btnCloseClick() {
    const int r = EditRow();
    if (r < 1 || r > owner_.table().rowCount()) {
        detach();
        return true;
    }
    const EditorFields fields = currentFields();
    TGridRecord row = owner_.table().row(r);
    const EditorApply applied = applyEditor(fields, row, owner_.table().record(r));
    owner_.table().setRow(r, row);
    owner_.model().rowChanged(r);
    grdWrite->setCurrentIndex(QModelIndex());
    std::vector<std::string> shown = applied.cells;
    shown.resize(static_cast<std::size_t>(grdWrite->columnCount()));
    for (int c = 0; c < grdWrite->columnCount(); ++c)
        if (c < spnBytes->value()) grdWrite->item(0, c)->setText(ui::qs(shown[c]));
    if (applied.error) {
        ui::prompts().error(ui::qs(*applied.error));
        return false;
    }
    hide();
    return true;
}

void TfrmEditor::detach() {
    hide();
}

void TfrmEditor::closeEvent(QCloseEvent* event) {
    if (btnCloseClick())
        event->accept();
    else
        event->ignore();
}

bool TfrmEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtAddress && event->type() == QEvent::FocusOut)
        edtAddress->setText(ui::qs(addressFieldLeft(ui::ss(edtAddress->text()))));
    return QDialog::eventFilter(watched, event);
}

}  // namespace parvex::expert
