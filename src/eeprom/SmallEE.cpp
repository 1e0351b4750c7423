#include "eeprom/SmallEE.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <algorithm>

#include "adapter/transfers.h"
#include "common/file_io.h"
#include "common/report.h"
#include "eeprom/ByteGridModels.h"
#include "eeprom/SmallEEForm.h"
#include "eeprom/bus_ops.h"
#include "eeprom/data_file.h"
#include "eeprom/fill_copy.h"
#include "eeprom/geometry.h"
#include "eeprom/hex_text.h"
#include "ui/byte_grid_view.h"
#include "ui/hex_cell_delegate.h"
#include "ui/host.h"
#include "ui/key_filter.h"
#include "ui/prompts.h"

namespace parvex::eeprom {

namespace {

const QString kOpenTitle = QStringLiteral("Open EEPROM File");
const QString kSaveTitle = QStringLiteral("Save EEPROM Data As");
const QString kSaveChanges = QStringLiteral("Save changes?");

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}
std::string ss(const QString& text) {
    return text.toStdString();
}

// The geometry for a size the window is asked to open; sizes between the six round up so
// the image always holds what was asked for.
const Geometry& geometryFor(int sizeBytes) {
    for (const Geometry& g : geometries())
        if (g.bytes >= sizeBytes) return g;
    return geometries().back();
}

}  // namespace

TfrmSmallEE::TfrmSmallEE(ui::Host& host, int sizeBytes, QWidget* parent)
    : ui::ChildWindow(host, parent) {
    const Geometry& g = geometryFor(sizeBytes);
    setObjectName(QStringLiteral("frmSmallEE"));
    image_ = std::make_unique<Image>(g.bytes);
    form_ = std::make_unique<SmallEEForm>(*this);
    models_ = std::make_unique<GridModels>(*image_);
    form_->stgMemory->setModel(&models_->hex());
    form_->stgText->setModel(&models_->ascii());
    connectGrids();
    connectControls();
    connectWriteOptions();
    setUp(g);
    keyFilter_ = new ui::KeyFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &TfrmSmallEE::focusChanged);
}

TfrmSmallEE::~TfrmSmallEE() {
    // Focus moves while the widgets go; this object must hear nothing of it by then.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(form_->stgText->horizontalScrollBar(), nullptr, this, nullptr);
    // The views go before their models, the models before the image they show.
    delete form_->stgMemory;
    delete form_->stgText;
    models_.reset();
}

QList<QMenu*> TfrmSmallEE::mergedMenus() const {
    return {form_->mnuEEFile};
}

void TfrmSmallEE::connectGrids() {
    connect(form_->splitter, &QSplitter::splitterMoved, this, [this] { userMovedSplit_ = true; });
    connect(form_->hexDelegate, &ui::HexCellDelegate::cellTextEdited, this,
            &TfrmSmallEE::stgMemorySetEditText);
    connect(form_->asciiDelegate, &ui::HexCellDelegate::cellTextEdited, this,
            &TfrmSmallEE::stgTextEdited);
    connect(form_->hexDelegate, &ui::HexCellDelegate::cellPressed, this,
            &TfrmSmallEE::stgMemoryClick);
    connect(form_->asciiDelegate, &ui::HexCellDelegate::cellPressed, this,
            &TfrmSmallEE::stgTextClick);
    connect(form_->stgText->horizontalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { form_->fitGrids(userMovedSplit_); });
}

void TfrmSmallEE::connectControls() {
    // Disable() detaches the four bus buttons: they still look the same but do nothing.
    connect(form_->btnReadOne, &QPushButton::clicked, this, [this] {
        if (attached_) btnReadOneClick();
    });
    connect(form_->btnRead, &QPushButton::clicked, this, [this] {
        if (attached_) btnReadClick();
    });
    connect(form_->btnWriteOne, &QPushButton::clicked, this, [this] {
        if (attached_) btnWriteOneClick();
    });
    connect(form_->btnWrite, &QPushButton::clicked, this, [this] {
        if (attached_) btnWriteClick();
    });
    connect(form_->btnVerify, &QPushButton::clicked, this, &TfrmSmallEE::btnVerifyClick);
    connect(form_->btnFill, &QPushButton::clicked, this, &TfrmSmallEE::btnFillClick);
    connect(form_->btnCopy, &QPushButton::clicked, this, &TfrmSmallEE::btnCopyClick);
    connect(form_->mnuOpen, &QAction::triggered, this, &TfrmSmallEE::mnuOpenClick);
    connect(form_->mnuSaveAs, &QAction::triggered, this, [this] { mnuSaveAsClick(); });
    connect(form_->mnuClose, &QAction::triggered, this, &TfrmSmallEE::mnuCloseClick);
    connect(form_->mnuCloseAll, &QAction::triggered, this, &TfrmSmallEE::mnuCloseAllClick);
    connect(form_->mnuExit, &QAction::triggered, this, &TfrmSmallEE::mnuExitClick);
}

void TfrmSmallEE::setUp(const Geometry& g) {
    form_->setUp(g);
    image_->erase();
    setWindowTitle(qs(g.windowCaption));
    SmallEEForm::selectQuietly(form_->stgMemory, models_->hex().index(0, 0));
    SmallEEForm::selectQuietly(form_->stgText, models_->ascii().index(0, 0));
    modified_ = false;
}

void TfrmSmallEE::resizeEvent(QResizeEvent* event) {
    ui::ChildWindow::resizeEvent(event);
    form_->fitGrids(userMovedSplit_);
}

int TfrmSmallEE::deviceSize() const {
    return form_->lblDeviceSize->text().toInt();
}

void TfrmSmallEE::FormActivate() {
    host().ResetWarning();
    // What the spare panel says belongs to the window that was active before.
    showSpare({});
}

bool TfrmSmallEE::keyFilterActive() const {
    return keyFilter_->isActive();
}

// ---- Grids ------------------------------------------------------------------------------

void TfrmSmallEE::stgMemoryClick(const QModelIndex& index) {
    const int address = models_->hex().addressOf(index);
    if (address < 0) return;
    form_->lblWordAddress->setText(qs(addressText(address)));
    SmallEEForm::selectQuietly(form_->stgText, models_->ascii().indexOf(address));
}

void TfrmSmallEE::stgTextClick(const QModelIndex& index) {
    const int address = models_->ascii().addressOf(index);
    if (address < 0) return;
    form_->lblWordAddress->setText(qs(addressText(address)));
    SmallEEForm::selectQuietly(form_->stgMemory, models_->hex().indexOf(address));
}

void TfrmSmallEE::stgMemorySetEditText(const QModelIndex& index, const QString& text) {
    const int address = models_->hex().addressOf(index);
    if (address < 0) return;
    image_->editHexText(address, ss(text));
    modified_ = true;
}

void TfrmSmallEE::stgTextEdited(const QModelIndex& index, const QString& text) {
    const int address = models_->ascii().addressOf(index);
    if (address < 0 || text.isEmpty()) return;
    const char32_t code = text.toUcs4().back();
    // A character typed here changes the hex cell, the data itself: the window has to ask
    // before that edit is dropped, as for typing into the hex grid.
    if (image_->typeAsciiChar(address, code) == AsciiKeyResult::Stored) modified_ = true;
}

void TfrmSmallEE::focusChanged(QWidget* old, QWidget* now) {
    // A field's exit rule runs when the user goes on to another control of this window;
    // a menu, a right-click or another window taking the keyboard for a while is no exit.
    if (old && now && isAncestorOf(now)) {
        QWidget* field = old == form_->cmbAddress || form_->cmbAddress->isAncestorOf(old)
                             ? form_->cmbAddress
                             : old;
        if (field != now && !field->isAncestorOf(now)) fieldLeft(field);
    }
    const bool ascii = now && (now == form_->stgText || form_->stgText->isAncestorOf(now));
    if (ascii == asciiFocused_) return;
    asciiFocused_ = ascii;
    keyFilter_->setActive(!ascii);
}

void TfrmSmallEE::commitEdits() {
    form_->hexDelegate->commitEditor();
    form_->asciiDelegate->commitEditor();
}

// ---- Fields -----------------------------------------------------------------------------

void TfrmSmallEE::fieldLeft(QWidget* field) {
    if (field == form_->edtPreset)
        edtPresetExit();
    else if (field == form_->cmbAddress)
        cmbAddressExit();
    else if (field == form_->edtCopyStart || field == form_->edtCopyEnd ||
             field == form_->edtTargetStart)
        edtExit(static_cast<QLineEdit*>(field));
}

void TfrmSmallEE::edtPresetExit() {
    form_->edtPreset->setText(qs(presetExit(ss(form_->edtPreset->text()))));
}

void TfrmSmallEE::edtExit(QLineEdit* field) {
    const FieldExit exit = copyFieldExit(ss(field->text()));
    if (exit.error) {
        ui::prompts().error(qs(*exit.error));
        return;
    }
    field->setText(qs(exit.text));
}

void TfrmSmallEE::cmbAddressExit() {
    form_->cmbAddress->setEditText(form_->cmbAddress->currentText().toUpper());
}

bool TfrmSmallEE::selectedAddress(std::uint8_t& out) {
    const QString text = form_->cmbAddress->currentText();
    const std::optional<std::uint8_t> address = parseBusAddress(ss(text));
    if (!address) {
        ui::prompts().error(qs(hexConversionMessage(ss(text))));
        return false;
    }
    out = *address;
    return true;
}

int TfrmSmallEE::byteAddress() const {
    return static_cast<int>(parseHex(ss(form_->lblWordAddress->text())).value_or(0));
}

int TfrmSmallEE::pageSize() const {
    return parsePageSize(ss(form_->cmbPageSize->currentText())).value_or(kDefaultPageSize);
}

int TfrmSmallEE::writeTime() const {
    // What is typed counts, even before the field is left: a number above the limit has not
    // been brought down to it yet.
    return parseWriteTime(ss(form_->spnWriteCycle->cleanText()), form_->spnWriteCycle->value());
}

// ---- Bus --------------------------------------------------------------------------------

// ---- Fill and copy ----------------------------------------------------------------------

void TfrmSmallEE::btnFillClick() {
    commitEdits();
    const ToolOutcome outcome =
        fillBuffer(*image_, ss(form_->lblDeviceSize->text()), ss(form_->edtFrom->text()),
                   ss(form_->edtTo->text()), ss(form_->edtPreset->text()));
    switch (outcome.kind) {
        case ToolOutcome::Kind::Done:
            break;
        case ToolOutcome::Kind::Warning:
            ui::prompts().warning(qs(outcome.message));
            if (outcome.correctedTo) form_->edtTo->setText(qs(*outcome.correctedTo));
            break;
        case ToolOutcome::Kind::Error:
            ui::prompts().error(qs(outcome.message));
            break;
    }
}

void TfrmSmallEE::btnCopyClick() {
    commitEdits();
    const ToolOutcome outcome =
        copyBlock(*image_, ss(form_->edtCopyStart->text()), ss(form_->edtCopyEnd->text()),
                  ss(form_->edtTargetStart->text()));
    if (outcome.kind == ToolOutcome::Kind::Warning)
        ui::prompts().warning(qs(outcome.message));
    else if (outcome.kind == ToolOutcome::Kind::Error)
        ui::prompts().error(qs(outcome.message));
}

// ---- Files ------------------------------------------------------------------------------

void TfrmSmallEE::mnuOpenClick() {
    commitEdits();
    ui::FileDialogRequest request;
    request.title = kOpenTitle;
    request.filter = qs(kDataFileFilter);
    request.filterIndex = filterOfFileKind(openKind_);
    request.defaultSuffix = qs(defaultExtension(openKind_));
    request.mustExist = true;
    const ui::FileChoice choice = ui::prompts().openFile(request);
    if (!choice.accepted) return;
    openKind_ = fileKindOfFilter(choice.filterIndex);
    // Only a complete load replaces the window's data: anything less keeps the caption and
    // Modified, so edits are never dropped without the save question.
    const files::FileContents file = files::readWholeFile(ss(choice.path), kMaxDataFileBytes);
    if (file.error) {
        ui::prompts().error(qs(*file.error));
        return;
    }
    const DataFileLoad load = loadDataFile(openKind_, file.bytes, image_->size(), ss(choice.path));
    if (load.outcome != DataFileLoad::Outcome::Refused) image_->setBytes(0, load.bytes);
    if (load.box == DataFileLoad::Box::Warning) ui::prompts().warning(qs(load.message));
    if (load.box == DataFileLoad::Box::Error) ui::prompts().error(qs(load.message));
    if (load.outcome != DataFileLoad::Outcome::Loaded) return;
    modified_ = false;
    // A later Save As proposes the file a HEX image came from.
    if (openKind_ == FileKind::IntelHex) saveFileName_ = choice.path;
    setWindowTitle(choice.path);
}

bool TfrmSmallEE::mnuSaveAsClick() {
    commitEdits();
    ui::FileDialogRequest request;
    request.title = kSaveTitle;
    request.filter = qs(kDataFileFilter);
    request.filterIndex = filterOfFileKind(saveKind_);
    request.defaultSuffix = qs(defaultExtension(saveKind_));
    request.suffixFollowsFilter = true;
    request.fileName = saveFileName_;
    request.confirmOverwrite = true;
    const ui::FileChoice choice = ui::prompts().saveFile(request);
    if (!choice.accepted) return false;
    form_->stgMemory->setFocus();
    saveKind_ = fileKindOfFilter(choice.filterIndex);
    saveFileName_ = choice.path;
    // Only a file actually written makes the edits safe; after a failed save the window
    // still asks before the edits are dropped.
    const ImageBytes data = image_->bytes();
    std::optional<std::string> error = data.error;
    if (!error)
        error = files::saveFileReplacing(ss(choice.path), saveDataFile(saveKind_, data.bytes));
    if (error) {
        ui::prompts().error(qs(*error));
        return false;
    }
    modified_ = false;
    setWindowTitle(choice.path);
    return true;
}

// ---- Closing ----------------------------------------------------------------------------

void TfrmSmallEE::closeEvent(QCloseEvent* event) {
    if (!modified_) {
        event->accept();
        return;
    }
    switch (ui::prompts().question(kSaveChanges, ui::ButtonYes | ui::ButtonNo | ui::ButtonCancel)) {
        case ui::Answer::Yes:
            // A save that was cancelled or failed keeps the window, and its data, open.
            if (mnuSaveAsClick())
                event->accept();
            else
                event->ignore();
            break;
        case ui::Answer::No:
            event->accept();
            break;
        default:
            event->ignore();
            break;
    }
}

void TfrmSmallEE::mnuCloseClick() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void TfrmSmallEE::mnuCloseAllClick() {
    // This window is among those closed: keep only the host from here on.
    ui::Host& h = host();
    // As the frame's own Close All: the window items go off even when a window refused.
    h.closeAllChildren();
    h.ResetWarning();
    h.DisableMenus();
}

void TfrmSmallEE::mnuExitClick() {
    host().exitApplication();
}

}  // namespace parvex::eeprom
