#include "eeprom/SmallEE.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
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
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>

#include "adapter/transfers.h"
#include "common/report.h"
#include "eeprom/ByteGridModels.h"
#include "eeprom/bus_ops.h"
#include "common/file_io.h"
#include "eeprom/fill_copy.h"
#include "eeprom/geometry.h"
#include "eeprom/data_file.h"
#include "eeprom/hex_text.h"
#include "ui/byte_grid_view.h"
#include "ui/hex_cell_delegate.h"
#include "ui/host.h"
#include "ui/key_filter.h"
#include "ui/prompts.h"
#include "ui/upper_case_validator.h"

namespace parvex::eeprom {

namespace {

const QString kOpenTitle = QStringLiteral("Open EEPROM File");
const QString kSaveTitle = QStringLiteral("Save EEPROM Data As");
const QString kSaveChanges = QStringLiteral("Save changes?");
constexpr int kProgressPanelWidth = 250;
constexpr int kStatusPanelWidth = 250;

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

// A spin box that lets a number above its maximum be typed, and brings it down to the
// maximum when the field is left, instead of refusing the keystroke.
class WriteTimeSpinBox final : public QSpinBox {
public:
    using QSpinBox::QSpinBox;
    QValidator::State validate(QString& input, int& pos) const override {
        const QValidator::State state = QSpinBox::validate(input, pos);
        if (state != QValidator::Invalid) return state;
        bool ok = false;
        const int value = number(input).toInt(&ok);
        return ok && value > maximum() ? QValidator::Intermediate : state;
    }
    void fixup(QString& input) const override {
        bool ok = false;
        const int value = number(input).toInt(&ok);
        if (ok) input = QString::number(clampWriteTime(value)) + suffix();
    }

private:
    // The typed number without the unit shown after it.
    QString number(const QString& input) const {
        QString text = input;
        if (!suffix().isEmpty() && text.endsWith(suffix())) text.chop(suffix().size());
        return text.trimmed();
    }
};

QLineEdit* makeField(QWidget* parent, const char* name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    // Three hex digits at most: a narrow field keeps the grids' room.
    field->setMaximumWidth(QFontMetrics(field->font()).horizontalAdvance(QStringLiteral("DDDD")) +
                           16);
    field->setValidator(new ui::UpperCaseValidator(field));
    return field;
}

// The number of characters that can be typed into a field; texts the program sets are
// never cut.
void setTypingLimit(QLineEdit* field, int limit) {
    if (auto* v = qobject_cast<ui::UpperCaseValidator*>(const_cast<QValidator*>(field->validator())))
        v->setMaxLength(limit);
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint = {}) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty()) button->setToolTip(hint);
    return button;
}

QLabel* makeLabel(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    return label;
}

void setUpGrid(QTableView* view, const char* name, const QString& hint) {
    view->setObjectName(QString::fromLatin1(name));
    view->setToolTip(hint);
    view->setAlternatingRowColors(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view->setTabKeyNavigation(true);
    view->setWordWrap(false);
    // The view draws its cell lines itself, far more cheaply than the general grid lines.
    view->setShowGrid(false);
    view->setCornerButtonEnabled(false);
    // Fixed, explicit section sizes: measuring contents would cost seconds on a 2 KB update.
    // Sized once from the font, so sixteen columns of both grids fit beside the control panel
    // in the window's designed size.
    const QFontMetrics fm(view->font());
    QHeaderView* columns = view->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setMinimumSectionSize(12);
    columns->setDefaultSectionSize(fm.horizontalAdvance(QStringLiteral("DD")) + 6);
    columns->setHighlightSections(false);
    QHeaderView* rows = view->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fm.height() + 4);
    rows->setHighlightSections(false);
}

// Around the panel and the grids.
constexpr int kMargin = 2;

// What the ASCII grid keeps at least when the window is too narrow for both grids.
constexpr int kMinAsciiGridWidth = 60;

}  // namespace

TfrmSmallEE::TfrmSmallEE(ui::Host& host, int sizeBytes, QWidget* parent)
    : ui::ChildWindow(host, parent) {
    const Geometry& g = geometryFor(sizeBytes);
    setObjectName(QStringLiteral("frmSmallEE"));
    image_ = std::make_unique<Image>(g.bytes);
    buildControls();
    buildMenu();
    setUp(g);
    keyFilter_ = new ui::KeyFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &TfrmSmallEE::focusChanged);
}

TfrmSmallEE::~TfrmSmallEE() {
    // Focus moves while the widgets go; this object must hear nothing of it by then.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(stgText->horizontalScrollBar(), nullptr, this, nullptr);
    // The models hold a reference to the image: let them go first.
    image_->setChangeCallback({});
    delete stgMemory;
    delete stgText;
    delete hexModel_;
    delete asciiModel_;
}

QList<QMenu*> TfrmSmallEE::mergedMenus() const {
    return {mnuEEFile};
}

void TfrmSmallEE::buildControls() {
    auto* pnlLeft = new QFrame(this);
    pnlLeft->setObjectName(QStringLiteral("pnlLeft"));
    pnlLeft->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(pnlLeft);
    int row = 0;

    grid->addWidget(makeLabel(pnlLeft, QStringLiteral("Device Size")), row, 0);
    lblDeviceSize = new QLabel(QStringLiteral("Size"), pnlLeft);
    lblDeviceSize->setObjectName(QStringLiteral("lblDeviceSize"));
    grid->addWidget(lblDeviceSize, row++, 1);

    grid->addWidget(makeLabel(pnlLeft, QStringLiteral("Address")), row, 0);
    cmbAddress = new QComboBox(pnlLeft);
    cmbAddress->setObjectName(QStringLiteral("cmbAddress"));
    cmbAddress->setToolTip(QStringLiteral("I²C Address Selection"));
    cmbAddress->setEditable(true);
    cmbAddress->setInsertPolicy(QComboBox::NoInsert);
    cmbAddress->lineEdit()->setMaxLength(2);
    cmbAddress->lineEdit()->setValidator(new ui::UpperCaseValidator(cmbAddress));
    for (const char* a : {"A0", "A2", "A4", "A6", "A8", "AA", "AC", "AE"})
        cmbAddress->addItem(QString::fromLatin1(a));
    cmbAddress->setCurrentIndex(0);
    grid->addWidget(cmbAddress, row++, 1);

    grid->addWidget(makeLabel(pnlLeft, QStringLiteral("Page Size")), row, 0);
    cmbPageSize = new QComboBox(pnlLeft);
    cmbPageSize->setObjectName(QStringLiteral("cmbPageSize"));
    for (std::string_view p : kPageSizes) cmbPageSize->addItem(qs(p));
    cmbPageSize->setCurrentIndex(kDefaultPageSizeIndex);
    grid->addWidget(cmbPageSize, row++, 1);

    grid->addWidget(makeLabel(pnlLeft, QStringLiteral("Write Time")), row, 0);
    spnWriteCycle = new WriteTimeSpinBox(pnlLeft);
    spnWriteCycle->setObjectName(QStringLiteral("spnWriteCycle"));
    spnWriteCycle->setRange(kMinWriteTimeMs, kMaxWriteTimeMs);
    spnWriteCycle->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    spnWriteCycle->setValue(kDefaultWriteTimeMs);
    spnWriteCycle->setSuffix(QStringLiteral(" ms"));
    grid->addWidget(spnWriteCycle, row++, 1);

    grid->addWidget(makeLabel(pnlLeft, QStringLiteral("Byte Address=0x")), row, 0);
    lblWordAddress = new QLabel(qs(kInitialByteAddressText), pnlLeft);
    lblWordAddress->setObjectName(QStringLiteral("lblWordAddress"));
    grid->addWidget(lblWordAddress, row++, 1);

    btnReadOne = makeButton(pnlLeft, "btnReadOne", QStringLiteral("Read Byte"));
    btnRead = makeButton(pnlLeft, "btnRead", QStringLiteral("Read All"));
    btnWriteOne = makeButton(pnlLeft, "btnWriteOne", QStringLiteral("Write B&yte"),
                             QStringLiteral("Write byte defined by Byte Address"));
    btnWrite = makeButton(pnlLeft, "btnWrite", QStringLiteral("&Write All"),
                          QStringLiteral("Write entire EEPROM"));
    btnVerify = makeButton(pnlLeft, "btnVerify", QStringLiteral("Verify"),
                           QStringLiteral("Verify EE contents against data in grid"));
    grid->addWidget(btnReadOne, row, 0);
    grid->addWidget(btnRead, row++, 1);
    grid->addWidget(btnWriteOne, row, 0);
    grid->addWidget(btnWrite, row++, 1);
    grid->addWidget(btnVerify, row++, 0, 1, 2);

    grid->addWidget(makeLabel(pnlLeft, QStringLiteral(" Fill from")), row, 0);
    edtFrom = makeField(pnlLeft, "edtFrom");
    edtFrom->setText(QStringLiteral("00"));
    setTypingLimit(edtFrom, 3);
    grid->addWidget(edtFrom, row++, 1);
    grid->addWidget(makeLabel(pnlLeft, QStringLiteral(" Fill to")), row, 0);
    edtTo = makeField(pnlLeft, "edtTo");
    edtTo->setText(QStringLiteral("0F"));
    setTypingLimit(edtTo, 3);
    grid->addWidget(edtTo, row++, 1);
    grid->addWidget(makeLabel(pnlLeft, QStringLiteral(" Fill with")), row, 0);
    edtPreset = makeField(pnlLeft, "edtPreset");
    edtPreset->setText(qs(kDefaultFillValue));
    setTypingLimit(edtPreset, kFillValueMaxLength);
    grid->addWidget(edtPreset, row++, 1);
    btnFill = makeButton(pnlLeft, "btnFill", QStringLiteral("Fill Buffer"),
                         QStringLiteral("Fill address range with data"));
    grid->addWidget(btnFill, row++, 0, 1, 2);

    grid->addWidget(makeLabel(pnlLeft, QStringLiteral("Copy from")), row++, 0, 1, 2);
    edtCopyStart = makeField(pnlLeft, "edtCopyStart");
    edtCopyStart->setText(QStringLiteral("00"));
    setTypingLimit(edtCopyStart, 3);
    edtCopyEnd = makeField(pnlLeft, "edtCopyEnd");
    edtCopyEnd->setText(QStringLiteral("07"));
    setTypingLimit(edtCopyEnd, 3);
    grid->addWidget(edtCopyStart, row, 0);
    grid->addWidget(edtCopyEnd, row++, 1);
    grid->addWidget(makeLabel(pnlLeft, QStringLiteral("Copy to")), row++, 0, 1, 2);
    edtTargetStart = makeField(pnlLeft, "edtTargetStart");
    edtTargetStart->setText(QStringLiteral("08"));
    setTypingLimit(edtTargetStart, 3);
    grid->addWidget(edtTargetStart, row++, 0);
    btnCopy = makeButton(pnlLeft, "btnCopy", QStringLiteral("Copy Block"),
                         QStringLiteral("Copy data from one address range to another"));
    grid->addWidget(btnCopy, row++, 0, 1, 2);
    grid->setRowStretch(row, 1);
    // The entries share one width, wide enough for the widest of them (the editable address
    // list, the write time with its unit) so none is squeezed.
    int entryWidth = QFontMetrics(font()).horizontalAdvance(QStringLiteral("DDDD")) + 40;
    for (QWidget* entry : std::initializer_list<QWidget*>{cmbAddress, cmbPageSize, spnWriteCycle})
        entryWidth = std::max(entryWidth, entry->sizeHint().width());
    for (QWidget* entry : std::initializer_list<QWidget*>{cmbAddress, cmbPageSize, spnWriteCycle})
        entry->setFixedWidth(entryWidth);
    pnlLeft->setFixedWidth(pnlLeft->sizeHint().width());

    // The grids.
    hexModel_ = new HexGridModel(*image_, nullptr);
    asciiModel_ = new AsciiGridModel(*image_, nullptr);
    image_->setChangeCallback([this](int first, int count) {
        if (deferCellChanges_) {
            if (deferredEnd_ <= deferredFirst_) {
                deferredFirst_ = first;
                deferredEnd_ = first + count;
            } else {
                deferredFirst_ = std::min(deferredFirst_, first);
                deferredEnd_ = std::max(deferredEnd_, first + count);
            }
            return;
        }
        hexModel_->cellsChanged(first, count);
        asciiModel_->cellsChanged(first, count);
    });

    splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("splitter"));
    splitter->setChildrenCollapsible(false);
    stgMemory = new ui::ByteGridView(splitter);
    setUpGrid(stgMemory, "stgMemory",
              QStringLiteral("Enter a single two digit Hex number into each cell"));
    stgMemory->setModel(hexModel_);
    stgText = new ui::ByteGridView(splitter);
    setUpGrid(stgText, "stgText", QStringLiteral("Enter a single ASCII character into each cell"));
    stgText->verticalHeader()->hide();
    stgText->horizontalHeader()->setDefaultSectionSize(
        QFontMetrics(stgText->font()).horizontalAdvance(QLatin1Char('W')) + 4);
    stgText->setModel(asciiModel_);
    // Where the window is too narrow for both grids, the ASCII grid scrolls sideways; the hex
    // grid then shows an (idle) bar too, so both grids keep the same rows in view.
    stgText->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(stgText->horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this](int, int max) {
        stgMemory->setHorizontalScrollBarPolicy(max > 0 ? Qt::ScrollBarAlwaysOn
                                                        : Qt::ScrollBarAlwaysOff);
        fitWholeRows();
    });
    splitter->addWidget(stgMemory);
    splitter->addWidget(stgText);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    connect(splitter, &QSplitter::splitterMoved, this, [this] { userMovedSplit_ = true; });

    hexDelegate_ = new ui::HexCellDelegate(stgMemory, 2, true);
    hexDelegate_->setRestoreOnEscape(true);
    asciiDelegate_ = new ui::HexCellDelegate(stgText, 1, false);
    connect(hexDelegate_, &ui::HexCellDelegate::cellTextEdited, this,
            &TfrmSmallEE::stgMemorySetEditText);
    connect(asciiDelegate_, &ui::HexCellDelegate::cellTextEdited, this,
            &TfrmSmallEE::stgTextEdited);
    connect(hexDelegate_, &ui::HexCellDelegate::cellPressed, this, &TfrmSmallEE::stgMemoryClick);
    connect(asciiDelegate_, &ui::HexCellDelegate::cellPressed, this, &TfrmSmallEE::stgTextClick);
    connect(stgMemory->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { syncScroll(stgText, value); });
    connect(stgText->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { syncScroll(stgMemory, value); });

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addWidget(pnlLeft);
    layout->addWidget(splitter, 1);

    connect(btnReadOne, &QPushButton::clicked, this, [this] {
        if (attached_) btnReadOneClick();
    });
    connect(btnRead, &QPushButton::clicked, this, [this] {
        if (attached_) btnReadClick();
    });
    connect(btnWriteOne, &QPushButton::clicked, this, [this] {
        if (attached_) btnWriteOneClick();
    });
    connect(btnWrite, &QPushButton::clicked, this, [this] {
        if (attached_) btnWriteClick();
    });
    connect(btnVerify, &QPushButton::clicked, this, &TfrmSmallEE::btnVerifyClick);
    connect(btnFill, &QPushButton::clicked, this, &TfrmSmallEE::btnFillClick);
    connect(btnCopy, &QPushButton::clicked, this, &TfrmSmallEE::btnCopyClick);

}

void TfrmSmallEE::buildMenu() {
    mnuEEFile = new QMenu(QStringLiteral("&File"), this);
    mnuEEFile->setObjectName(QStringLiteral("mnuEEFile"));
    mnuEEFile->setToolTipsVisible(true);
    auto add = [this](const char* name, const QString& caption) {
        QAction* action = mnuEEFile->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    mnuOpen = add("mnuOpen", QStringLiteral("Open"));
    mnuSaveAs = add("mnuSaveAs", QStringLiteral("Save As..."));
    mnuClose = add("mnuClose", QStringLiteral("Close"));
    mnuCloseAll = add("mnuCloseAll", QStringLiteral("Close All"));
    mnuExit = add("mnuExit", QStringLiteral("E&xit"));
    connect(mnuOpen, &QAction::triggered, this, &TfrmSmallEE::mnuOpenClick);
    connect(mnuSaveAs, &QAction::triggered, this, [this] { mnuSaveAsClick(); });
    connect(mnuClose, &QAction::triggered, this, &TfrmSmallEE::mnuCloseClick);
    connect(mnuCloseAll, &QAction::triggered, this, &TfrmSmallEE::mnuCloseAllClick);
    connect(mnuExit, &QAction::triggered, this, &TfrmSmallEE::mnuExitClick);
}

void TfrmSmallEE::setUp(const Geometry& g) {
    if (g.refillAddressList) {
        cmbAddress->clear();
        for (int i = 0; i < g.addressCount; ++i) cmbAddress->addItem(qs(g.addressChoices[i]));
        cmbAddress->setCurrentIndex(0);
    }
    cmbAddress->setEnabled(g.addressListEnabled);
    image_->erase();
    setWindowTitle(qs(g.windowCaption));
    lblDeviceSize->setText(qs(g.sizeLabel));
    cmbPageSize->setCurrentIndex(kDefaultPageSizeIndex);
    edtFrom->setText(qs(g.fillFrom));
    edtTo->setText(qs(g.fillTo));
    setTypingLimit(edtFrom, g.fillMaxLength);
    setTypingLimit(edtTo, g.fillMaxLength);
    edtCopyStart->setText(qs(g.copyStart));
    edtCopyEnd->setText(qs(g.copyEnd));
    edtTargetStart->setText(qs(g.copyTarget));
    setTypingLimit(edtCopyStart, g.copyMaxLength);
    setTypingLimit(edtCopyEnd, g.copyMaxLength);
    setTypingLimit(edtTargetStart, g.copyMaxLength);
    selectQuietly(stgMemory, hexModel_->index(0, 0));
    selectQuietly(stgText, asciiModel_->index(0, 0));
    modified_ = false;
}

void TfrmSmallEE::fitWholeRows() {
    // A grid whose rows do not fill its height exactly shows part of a row at its top when
    // scrolled to the end; the spare pixels go below the grids instead.
    const int row = stgMemory->verticalHeader()->defaultSectionSize();
    QLayout* box = layout();
    if (row <= 0 || !box) return;
    const QMargins margins = box->contentsMargins();
    // The grids fill the window's height within the margins; the window's own height is
    // known here, the grids' new heights only once the layout has run.
    const int height = this->height() - 2 * kMargin;
    // Header, frame and any sideways bar: what the grid's height holds besides its rows.
    // Counted rather than measured: a bar that has just been switched on is not laid out yet.
    int chrome = stgMemory->horizontalHeader()->height() + 2 * stgMemory->frameWidth();
    if (stgText->horizontalScrollBar()->maximum() > 0)
        chrome += stgText->horizontalScrollBar()->sizeHint().height();
    const int spare = std::max(0, height - chrome) % row;
    if (margins.bottom() != kMargin + spare)
        box->setContentsMargins(kMargin, kMargin, kMargin, kMargin + spare);
}

void TfrmSmallEE::resizeEvent(QResizeEvent* event) {
    ui::ChildWindow::resizeEvent(event);
    fitWholeRows();
    if (userMovedSplit_) return;
    // Until the user moves the splitter, the hex grid keeps the width of its sixteen columns
    // and the ASCII grid takes the rest.
    const int hexWidth =
        stgMemory->verticalHeader()->sizeHint().width() + stgMemory->horizontalHeader()->length() +
        stgMemory->verticalScrollBar()->sizeHint().width() + 2 * stgMemory->frameWidth();
    const int total = splitter->width() - splitter->handleWidth();
    // In a narrow window the ASCII grid gives way: the hex grid is the one that is edited.
    const int hex = std::min(hexWidth, total - kMinAsciiGridWidth);
    if (hex > 0) splitter->setSizes({hex, total - hex});
}

int TfrmSmallEE::deviceSize() const {
    return lblDeviceSize->text().toInt();
}

void TfrmSmallEE::FormActivate() {
    host().ResetWarning();
}

bool TfrmSmallEE::keyFilterActive() const {
    return keyFilter_->isActive();
}

// ---- Grids ------------------------------------------------------------------------------

void TfrmSmallEE::selectQuietly(QTableView* view, const QModelIndex& index) {
    // Moving the other grid's cursor must not open its editor: that would take the focus.
    const auto triggers = view->editTriggers();
    view->setEditTriggers(triggers & ~QAbstractItemView::CurrentChanged);
    view->setCurrentIndex(index);
    view->setEditTriggers(triggers);
}

void TfrmSmallEE::stgMemoryClick(const QModelIndex& index) {
    const int address = hexModel_->addressOf(index);
    if (address < 0) return;
    lblWordAddress->setText(qs(addressText(address)));
    selectQuietly(stgText, asciiModel_->indexOf(address));
}

void TfrmSmallEE::stgTextClick(const QModelIndex& index) {
    const int address = asciiModel_->addressOf(index);
    if (address < 0) return;
    lblWordAddress->setText(qs(addressText(address)));
    selectQuietly(stgMemory, hexModel_->indexOf(address));
}

void TfrmSmallEE::stgMemorySetEditText(const QModelIndex& index, const QString& text) {
    const int address = hexModel_->addressOf(index);
    if (address < 0) return;
    image_->editHexText(address, ss(text));
    modified_ = true;
}

void TfrmSmallEE::stgTextEdited(const QModelIndex& index, const QString& text) {
    const int address = asciiModel_->addressOf(index);
    if (address < 0 || text.isEmpty()) return;
    const char32_t code = text.toUcs4().back();
    // A character typed here changes the hex cell, the data itself: the window has to ask
    // before that edit is dropped, as for typing into the hex grid.
    if (image_->typeAsciiChar(address, code) == AsciiKeyResult::Stored) modified_ = true;
}

void TfrmSmallEE::syncScroll(QTableView* to, int value) {
    if (syncingScroll_) return;
    syncingScroll_ = true;
    to->verticalScrollBar()->setValue(value);
    syncingScroll_ = false;
}

void TfrmSmallEE::focusChanged(QWidget* old, QWidget* now) {
    // A field's exit rule runs when the user goes on to another control of this window;
    // a menu, a right-click or another window taking the keyboard for a while is no exit.
    if (old && now && isAncestorOf(now)) {
        QWidget* field = old == cmbAddress || cmbAddress->isAncestorOf(old) ? cmbAddress : old;
        if (field != now && !field->isAncestorOf(now)) fieldLeft(field);
    }
    const bool ascii = now && (now == stgText || stgText->isAncestorOf(now));
    if (ascii == asciiFocused_) return;
    asciiFocused_ = ascii;
    keyFilter_->setActive(!ascii);
}

void TfrmSmallEE::commitEdits() {
    hexDelegate_->commitEditor();
    asciiDelegate_->commitEditor();
}

// ---- Fields -----------------------------------------------------------------------------

void TfrmSmallEE::fieldLeft(QWidget* field) {
    if (field == edtPreset)
        edtPresetExit();
    else if (field == cmbAddress)
        cmbAddressExit();
    else if (field == edtCopyStart || field == edtCopyEnd || field == edtTargetStart)
        edtExit(static_cast<QLineEdit*>(field));
}

void TfrmSmallEE::edtPresetExit() {
    edtPreset->setText(qs(presetExit(ss(edtPreset->text()))));
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
    cmbAddress->setEditText(cmbAddress->currentText().toUpper());
}

bool TfrmSmallEE::selectedAddress(std::uint8_t& out) {
    const QString text = cmbAddress->currentText();
    const std::optional<std::uint8_t> address = parseBusAddress(ss(text));
    if (!address) {
        ui::prompts().error(qs(hexConversionMessage(ss(text))));
        return false;
    }
    out = *address;
    return true;
}

int TfrmSmallEE::byteAddress() const {
    return static_cast<int>(parseHex(ss(lblWordAddress->text())).value_or(0));
}

int TfrmSmallEE::pageSize() const {
    return cmbPageSize->currentText().toInt();
}

int TfrmSmallEE::writeTime() const {
    bool ok = false;
    const int typed = spnWriteCycle->cleanText().trimmed().toInt(&ok);
    return clampWriteTime(ok ? typed : spnWriteCycle->value());
}

// ---- Bus --------------------------------------------------------------------------------

namespace {
// Every exchange repaints the status bar at once, and a synchronous repaint takes every
// pending update of the window with it. Pending updates of a grid would make it paint after
// every exchange, so a grid whose look changes during an operation is held still until the
// operation ends.
class GridPaintPause {
public:
    explicit GridPaintPause(QWidget* grid) : grid_(grid) { grid_->setUpdatesEnabled(false); }
    ~GridPaintPause() { grid_->setUpdatesEnabled(true); }
    GridPaintPause(const GridPaintPause&) = delete;
    GridPaintPause& operator=(const GridPaintPause&) = delete;

private:
    QWidget* grid_;
};

}  // namespace

void TfrmSmallEE::beginDeferredCellChanges() {
    deferCellChanges_ = true;
    deferredFirst_ = deferredEnd_ = 0;
}

void TfrmSmallEE::endDeferredCellChanges() {
    deferCellChanges_ = false;
    if (deferredEnd_ <= deferredFirst_) return;
    hexModel_->cellsChanged(deferredFirst_, deferredEnd_ - deferredFirst_);
    asciiModel_->cellsChanged(deferredFirst_, deferredEnd_ - deferredFirst_);
}

void TfrmSmallEE::Disable() {
    attached_ = false;
}

void TfrmSmallEE::Enable() {
    attached_ = true;
}

void TfrmSmallEE::btnReadOneClick() {
    commitEdits();
    std::uint8_t base = 0;
    if (!selectedAddress(base)) return;
    Disable();
    const std::uint8_t status = readByte(host().transfers(), *image_, base, byteAddress());
    Enable();
    host().ErrorMessage(status);
}

void TfrmSmallEE::btnReadClick() {
    commitEdits();
    std::uint8_t base = 0;
    if (!selectedAddress(base)) return;
    Disable();
    std::uint8_t status = 0;
    // The cells read are shown in one go at the end, so the grids paint once.
    beginDeferredCellChanges();
    status = readAll(host().transfers(), *image_, base);
    endDeferredCellChanges();
    Enable();
    host().ErrorMessage(status);
    host().repaintStatusBar();
}

void TfrmSmallEE::btnWriteOneClick() {
    commitEdits();
    std::uint8_t base = 0;
    if (!selectedAddress(base)) return;
    const WriteByteOutcome outcome = writeByte(host().transfers(), *image_, base, byteAddress());
    if (outcome.error) ui::prompts().error(qs(*outcome.error));
}

void TfrmSmallEE::btnWriteClick() {
    commitEdits();
    const std::uint32_t waitMs = static_cast<std::uint32_t>(writeTime());
    std::uint8_t base = 0;
    if (!selectedAddress(base)) return;
    Disable();
    ui::Host& h = host();
    h.setStatusPanelWidth(0);
    h.setProgressPanelWidth(kProgressPanelWidth);
    h.setProgress(0);
    h.repaintStatusBar();
    // The grids do not change while they are written out, so they need no painting.
    const WriteAllOutcome outcome =
        writeAll(h.transfers(), *image_, base, pageSize(), waitMs, [&h](int, int percent) {
            h.setProgress(percent);
            h.repaintStatusBar();
        });
    h.setProgressPanelWidth(0);
    h.setStatusPanelWidth(kStatusPanelWidth);
    if (outcome.error)
        ui::prompts().error(qs(*outcome.error));
    else
        h.ErrorMessage(outcome.status);
    h.repaintStatusBar();
    Enable();
}

void TfrmSmallEE::btnVerifyClick() {
    commitEdits();
    std::uint8_t base = 0;
    if (!selectedAddress(base)) return;
    VerifyOutcome outcome;
    {
        const GridPaintPause pause(stgMemory);
        stgMemory->setEnabled(false);
        host().setStatusText(qs(kVerifyingStatus));
        outcome = verify(host().transfers(), *image_, base);
    }
    if (outcome.error)
        ui::prompts().error(qs(*outcome.error));
    else if (outcome.mismatchAddress)
        ui::prompts().error(qs(verifyFailedMessage(*outcome.mismatchAddress)));
    stgMemory->setEnabled(true);
    host().ErrorMessage(outcome.status == status::kSuccess ? status::kVerifySuccessful
                                                           : outcome.status);
}

// ---- Fill and copy ----------------------------------------------------------------------

void TfrmSmallEE::btnFillClick() {
    commitEdits();
    const ToolOutcome outcome = fillBuffer(*image_, ss(lblDeviceSize->text()), ss(edtFrom->text()),
                                           ss(edtTo->text()), ss(edtPreset->text()));
    switch (outcome.kind) {
        case ToolOutcome::Kind::Done:
            break;
        case ToolOutcome::Kind::Warning:
            ui::prompts().warning(qs(outcome.message));
            if (outcome.correctedTo) edtTo->setText(qs(*outcome.correctedTo));
            break;
        case ToolOutcome::Kind::Error:
            ui::prompts().error(qs(outcome.message));
            break;
    }
}

void TfrmSmallEE::btnCopyClick() {
    commitEdits();
    const ToolOutcome outcome = copyBlock(*image_, ss(edtCopyStart->text()), ss(edtCopyEnd->text()),
                                          ss(edtTargetStart->text()));
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
    const DataFileLoad load =
        loadDataFile(openKind_, file.bytes, image_->size(), ss(choice.path));
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
    stgMemory->setFocus();
    saveKind_ = fileKindOfFilter(choice.filterIndex);
    saveFileName_ = choice.path;
    // Only a file actually written makes the edits safe; after a failed save the window
    // still asks before the edits are dropped.
    const ImageBytes data = image_->bytes();
    std::optional<std::string> error = data.error;
    if (!error) error = files::saveFileReplacing(ss(choice.path), saveDataFile(saveKind_, data.bytes));
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
