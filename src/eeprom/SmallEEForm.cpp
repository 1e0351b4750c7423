#include "eeprom/SmallEEForm.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <algorithm>
#include <initializer_list>

#include "eeprom/geometry.h"
#include "ui/byte_grid_view.h"
#include "ui/hex_cell_delegate.h"
#include "ui/upper_case_validator.h"

namespace parvex::eeprom {

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

// Around the panel and the grids.
constexpr int kMargin = 2;
// What the ASCII grid keeps at least when the window is too narrow for both grids.
constexpr int kMinAsciiGridWidth = 60;

// A spin box that lets a number above its maximum be typed, and brings it down to the
// maximum when the field is left, instead of refusing the keystroke.
class WriteTimeSpinBox final : public QSpinBox {
public:
    using QSpinBox::QSpinBox;
    QValidator::State validate(QString& input, int& pos) const override {
        const QValidator::State state = QSpinBox::validate(input, pos);
        if (state != QValidator::Invalid) return state;
        const std::string typed = number(input).toStdString();
        return parseWriteTime(typed, -1) == kMaxWriteTimeMs ? QValidator::Intermediate : state;
    }
    void fixup(QString& input) const override {
        const int ms = parseWriteTime(number(input).toStdString(), value());
        input = QString::number(ms) + suffix();
    }

private:
    // The typed number without the unit shown after it.
    QString number(const QString& input) const {
        QString text = input;
        if (!suffix().isEmpty() && text.endsWith(suffix())) text.chop(suffix().size());
        return text.trimmed();
    }
};

QLineEdit* makeField(QWidget* parent, const char* name, const QString& text, int limit) {
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(QString::fromLatin1(name));
    // Three hex digits at most: a narrow field keeps the grids' room.
    field->setMaximumWidth(QFontMetrics(field->font()).horizontalAdvance(QStringLiteral("DDDD")) +
                           16);
    field->setValidator(new ui::UpperCaseValidator(field, limit));
    return field;
}

// The number of characters that can be typed into a field. A limit of the field itself
// would also cut the texts the program sets (a corrected "07F" became "07").
void setTypingLimit(QLineEdit* field, int limit) {
    if (auto* validator = field->findChild<ui::UpperCaseValidator*>())
        validator->setMaxLength(limit);
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint = {}) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty()) button->setToolTip(hint);
    return button;
}

void addLabelled(QGridLayout* grid, int& row, const QString& caption, QWidget* control) {
    grid->addWidget(new QLabel(caption, control->parentWidget()), row, 0);
    grid->addWidget(control, row++, 1);
}

void setUpGrid(QTableView* view, const char* name, const QString& hint) {
    view->setObjectName(QString::fromLatin1(name));
    view->setToolTip(hint);
    view->setAlternatingRowColors(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view->setTabKeyNavigation(true);
    view->setWordWrap(false);
    // The view draws its cell lines itself, far more cheaply than the general grid lines.
    view->setShowGrid(false);
    view->setCornerButtonEnabled(false);
    // Fixed, explicit section sizes: measuring contents would cost seconds on a 2 KB update.
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

}  // namespace

SmallEEForm::SmallEEForm(QWidget& window) : window_(window) {
    QWidget* panel = buildPanel();
    buildGrids();
    buildMenu();
    layout_ = new QHBoxLayout(&window);
    layout_->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout_->addWidget(panel);
    layout_->addWidget(splitter, 1);
}

QWidget* SmallEEForm::buildPanel() {
    auto* panel = new QFrame(&window_);
    panel->setObjectName(QStringLiteral("pnlLeft"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(panel);
    // Rows a little closer than the style's default, so the whole panel still fits the main
    // window at its first size with the write options in it.
    grid->setVerticalSpacing(3);
    int row = 0;
    buildAddressAndTiming(panel, grid, row);

    btnReadOne = makeButton(panel, "btnReadOne", QStringLiteral("Read Byte"));
    btnRead = makeButton(panel, "btnRead", QStringLiteral("Read All"));
    btnWriteOne = makeButton(panel, "btnWriteOne", QStringLiteral("Write B&yte"),
                             QStringLiteral("Write byte defined by Byte Address"));
    btnWrite = makeButton(panel, "btnWrite", QStringLiteral("&Write All"),
                          QStringLiteral("Write entire EEPROM"));
    btnVerify = makeButton(panel, "btnVerify", QStringLiteral("Verify"),
                           QStringLiteral("Verify EE contents against data in grid"));
    grid->addWidget(btnReadOne, row, 0);
    grid->addWidget(btnRead, row++, 1);
    grid->addWidget(btnWriteOne, row, 0);
    grid->addWidget(btnWrite, row++, 1);
    grid->addWidget(btnVerify, row++, 0, 1, 2);

    buildFillAndCopy(panel, grid, row);
    grid->setRowStretch(row, 1);
    panel->setFixedWidth(panel->sizeHint().width());
    return panel;
}

void SmallEEForm::buildAddressAndTiming(QWidget* panel, QGridLayout* grid, int& row) {
    lblDeviceSize = new QLabel(QStringLiteral("Size"), panel);
    lblDeviceSize->setObjectName(QStringLiteral("lblDeviceSize"));
    addLabelled(grid, row, QStringLiteral("Device Size"), lblDeviceSize);

    cmbAddress = new QComboBox(panel);
    cmbAddress->setObjectName(QStringLiteral("cmbAddress"));
    cmbAddress->setToolTip(QStringLiteral("I²C Address Selection"));
    cmbAddress->setEditable(true);
    cmbAddress->setInsertPolicy(QComboBox::NoInsert);
    cmbAddress->lineEdit()->setValidator(new ui::UpperCaseValidator(cmbAddress, 2));
    for (const char* a : {"A0", "A2", "A4", "A6", "A8", "AA", "AC", "AE"})
        cmbAddress->addItem(QString::fromLatin1(a));
    cmbAddress->setCurrentIndex(0);
    addLabelled(grid, row, QStringLiteral("Address"), cmbAddress);

    cmbPageSize = new QComboBox(panel);
    cmbPageSize->setObjectName(QStringLiteral("cmbPageSize"));
    for (const int p : kPageSizes) cmbPageSize->addItem(QString::number(p));
    cmbPageSize->setCurrentIndex(kDefaultPageSizeIndex);
    addLabelled(grid, row, QStringLiteral("Page Size"), cmbPageSize);

    spnWriteCycle = new WriteTimeSpinBox(panel);
    spnWriteCycle->setObjectName(QStringLiteral("spnWriteCycle"));
    spnWriteCycle->setRange(kMinWriteTimeMs, kMaxWriteTimeMs);
    spnWriteCycle->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    spnWriteCycle->setValue(kDefaultWriteTimeMs);
    spnWriteCycle->setSuffix(QStringLiteral(" ms"));
    addLabelled(grid, row, QStringLiteral("Write Time"), spnWriteCycle);

    chbPollWrite = new QCheckBox(QStringLiteral("Poll for write completion"), panel);
    chbPollWrite->setObjectName(QStringLiteral("chbPollWrite"));
    chbPollWrite->setToolTip(
        QStringLiteral("After each write, go on as soon as the chip answers again "
                       "(at most the write time)"));
    grid->addWidget(chbPollWrite, row++, 0, 1, 2);
    chbWriteChanged = new QCheckBox(QStringLiteral("Write only changed pages"), panel);
    chbWriteChanged->setObjectName(QStringLiteral("chbWriteChanged"));
    chbWriteChanged->setToolTip(
        QStringLiteral("Write All reads the chip first and writes only the pages that differ"));
    grid->addWidget(chbWriteChanged, row++, 0, 1, 2);

    lblWordAddress = new QLabel(qs(kInitialByteAddressText), panel);
    lblWordAddress->setObjectName(QStringLiteral("lblWordAddress"));
    addLabelled(grid, row, QStringLiteral("Byte Address=0x"), lblWordAddress);

    // The entries share one width, wide enough for the widest of them (the editable address
    // list, the write time with its unit) so none is squeezed.
    const std::initializer_list<QWidget*> entries{cmbAddress, cmbPageSize, spnWriteCycle};
    int entryWidth = QFontMetrics(panel->font()).horizontalAdvance(QStringLiteral("DDDD")) + 40;
    for (QWidget* entry : entries) entryWidth = std::max(entryWidth, entry->sizeHint().width());
    for (QWidget* entry : entries) entry->setFixedWidth(entryWidth);
}

void SmallEEForm::buildFillAndCopy(QWidget* panel, QGridLayout* grid, int& row) {
    edtFrom = makeField(panel, "edtFrom", QStringLiteral("00"), 3);
    addLabelled(grid, row, QStringLiteral(" Fill from"), edtFrom);
    edtTo = makeField(panel, "edtTo", QStringLiteral("0F"), 3);
    addLabelled(grid, row, QStringLiteral(" Fill to"), edtTo);
    edtPreset = makeField(panel, "edtPreset", qs(kDefaultFillValue), kFillValueMaxLength);
    addLabelled(grid, row, QStringLiteral(" Fill with"), edtPreset);
    btnFill = makeButton(panel, "btnFill", QStringLiteral("Fill Buffer"),
                         QStringLiteral("Fill address range with data"));
    grid->addWidget(btnFill, row++, 0, 1, 2);

    grid->addWidget(new QLabel(QStringLiteral("Copy from"), panel), row++, 0, 1, 2);
    edtCopyStart = makeField(panel, "edtCopyStart", QStringLiteral("00"), 3);
    edtCopyEnd = makeField(panel, "edtCopyEnd", QStringLiteral("07"), 3);
    grid->addWidget(edtCopyStart, row, 0);
    grid->addWidget(edtCopyEnd, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("Copy to"), panel), row++, 0, 1, 2);
    edtTargetStart = makeField(panel, "edtTargetStart", QStringLiteral("08"), 3);
    grid->addWidget(edtTargetStart, row++, 0);
    btnCopy = makeButton(panel, "btnCopy", QStringLiteral("Copy Block"),
                         QStringLiteral("Copy data from one address range to another"));
    grid->addWidget(btnCopy, row++, 0, 1, 2);
}

void SmallEEForm::buildGrids() {
    splitter = new QSplitter(Qt::Horizontal, &window_);
    splitter->setObjectName(QStringLiteral("splitter"));
    splitter->setChildrenCollapsible(false);
    stgMemory = new ui::ByteGridView(splitter);
    setUpGrid(stgMemory, "stgMemory",
              QStringLiteral("Enter a single two digit Hex number into each cell"));
    stgText = new ui::ByteGridView(splitter);
    setUpGrid(stgText, "stgText", QStringLiteral("Enter a single ASCII character into each cell"));
    stgText->verticalHeader()->hide();
    stgText->horizontalHeader()->setDefaultSectionSize(
        QFontMetrics(stgText->font()).horizontalAdvance(QLatin1Char('W')) + 4);
    // Where the window is too narrow for both grids, the ASCII grid scrolls sideways; the hex
    // grid then shows an (idle) bar too, so both grids keep the same rows in view.
    stgText->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    splitter->addWidget(stgMemory);
    splitter->addWidget(stgText);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);

    scrollTogether(stgMemory, stgText);
    scrollTogether(stgText, stgMemory);

    hexDelegate = new ui::HexCellDelegate(stgMemory, 2, true);
    hexDelegate->setRestoreOnEscape(true);
    asciiDelegate = new ui::HexCellDelegate(stgText, 1, false);
}

void SmallEEForm::scrollTogether(QTableView* from, QTableView* to) {
    QObject::connect(from->verticalScrollBar(), &QScrollBar::valueChanged, to,
                     [this, to](int value) {
                         if (syncingScroll_) return;
                         syncingScroll_ = true;
                         to->verticalScrollBar()->setValue(value);
                         syncingScroll_ = false;
                     });
}

void SmallEEForm::selectQuietly(QTableView* view, const QModelIndex& index) {
    const auto triggers = view->editTriggers();
    view->setEditTriggers(triggers & ~QAbstractItemView::CurrentChanged);
    view->setCurrentIndex(index);
    view->setEditTriggers(triggers);
}

void SmallEEForm::buildMenu() {
    mnuEEFile = new QMenu(QStringLiteral("&File"), &window_);
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
}

void SmallEEForm::setUp(const Geometry& g) {
    if (g.refillAddressList) {
        cmbAddress->clear();
        for (int i = 0; i < g.addressCount; ++i) cmbAddress->addItem(qs(g.addressChoices[i]));
        cmbAddress->setCurrentIndex(0);
    }
    cmbAddress->setEnabled(g.addressListEnabled);
    lblDeviceSize->setText(qs(g.sizeLabel));
    cmbPageSize->setCurrentIndex(kDefaultPageSizeIndex);
    edtFrom->setText(qs(g.fillFrom));
    edtTo->setText(qs(g.fillTo));
    edtCopyStart->setText(qs(g.copyStart));
    edtCopyEnd->setText(qs(g.copyEnd));
    edtTargetStart->setText(qs(g.copyTarget));
    for (QLineEdit* field : {edtFrom, edtTo}) setTypingLimit(field, g.fillMaxLength);
    for (QLineEdit* field : {edtCopyStart, edtCopyEnd, edtTargetStart})
        setTypingLimit(field, g.copyMaxLength);
}

void SmallEEForm::fitGrids(bool keepSplit) {
    stgMemory->setHorizontalScrollBarPolicy(stgText->horizontalScrollBar()->maximum() > 0
                                                ? Qt::ScrollBarAlwaysOn
                                                : Qt::ScrollBarAlwaysOff);
    // A grid whose rows do not fill its height exactly shows part of a row at its top when
    // scrolled to the end; the spare pixels go below the grids instead. Counted from the
    // window's height rather than measured: the grids' new sizes come once the layout runs.
    const int row = stgMemory->verticalHeader()->defaultSectionSize();
    int chrome = stgMemory->horizontalHeader()->height() + 2 * stgMemory->frameWidth();
    if (stgText->horizontalScrollBar()->maximum() > 0)
        chrome += stgText->horizontalScrollBar()->sizeHint().height();
    const int height = window_.height() - 2 * kMargin;
    const int spare = row > 0 ? std::max(0, height - chrome) % row : 0;
    if (layout_->contentsMargins().bottom() != kMargin + spare)
        layout_->setContentsMargins(kMargin, kMargin, kMargin, kMargin + spare);

    if (keepSplit) return;
    const int hexWidth =
        stgMemory->verticalHeader()->sizeHint().width() + stgMemory->horizontalHeader()->length() +
        stgMemory->verticalScrollBar()->sizeHint().width() + 2 * stgMemory->frameWidth();
    const int total = splitter->width() - splitter->handleWidth();
    // In a narrow window the ASCII grid gives way: the hex grid is the one that is edited.
    const int hex = std::min(hexWidth, total - kMinAsciiGridWidth);
    if (hex > 0) splitter->setSizes({hex, total - hex});
}

}  // namespace parvex::eeprom
