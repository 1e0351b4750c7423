#include "expert/Message.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "expert/FrozenColumnsView.h"
#include "expert/MessageEditor.h"
#include "expert/MessageModel.h"
#include "ui/form_builders.h"
#include "ui/host.h"
#include "ui/prompts.h"
#include "ui/text.h"

namespace parvex::expert {

namespace {

constexpr int kColumnWidths[kColumnCount] = {42, 35, 53, 38, 400, 38, 60, 182};
constexpr int kHeaderHeight = 36;
constexpr int kRowHeight = 18;

// The table's editor keys: the digits and A to F of the main keyboard, 1 to 6 of the keypad.
bool opensEditor(const QKeyEvent& key) {
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const int k = key.key();
    if (key.modifiers() & Qt::KeypadModifier) return k >= Qt::Key_1 && k <= Qt::Key_6;
    return (k >= Qt::Key_0 && k <= Qt::Key_9) || (k >= Qt::Key_A && k <= Qt::Key_F);
}

}  // namespace

TfrmMessage::TfrmMessage(ui::Host& host, QWidget* parent) : ui::ChildWindow(host, parent) {
    setObjectName(QStringLiteral("frmMessage"));
    setWindowTitle(ui::qs(kExpertCaption));
    model_ = new MessageModel(table_, this);

    auto* toolBar = new QWidget(this);
    toolBar->setObjectName(QStringLiteral("pnlToolBar"));
    buildToolBar(toolBar);
    buildTable();
    auto* sendPanel = new QWidget(this);
    sendPanel->setObjectName(QStringLiteral("pnlSend"));
    buildSendPanel(sendPanel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(toolBar);
    layout->addWidget(grdData, 1);
    layout->addWidget(sendPanel);

    buildMenus();
    connectCommands();
    modified_ = false;
    // The window opens ready for the editor keys, not on the first tool bar button.
    grdData->setFocus();
}

TfrmMessage::~TfrmMessage() {
    closing_ = true;
    // The editor is a child of this window and goes with it; it must not write back on the
    // way out.
    if (frmEditor_) frmEditor_->detach();
}

QList<QMenu*> TfrmMessage::mergedMenus() const {
    return {mnuMsgFile, mnuMsgEdit};
}

void TfrmMessage::FormActivate() {
    host().ResetWarning();
}

void TfrmMessage::buildToolBar(QWidget* bar) {
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    btnNew =
        ui::makeToolButton(bar, "btnNew", QStringLiteral("New"), QStringLiteral("Open blank page"));
    btnOpen =
        ui::makeToolButton(bar, "btnOpen", QStringLiteral("Open"), QStringLiteral("Open File"));
    btnSave =
        ui::makeToolButton(bar, "btnSave", QStringLiteral("Save"), QStringLiteral("Save As.."));
    btnClose = ui::makeToolButton(bar, "btnClose", QStringLiteral("Close"),
                                  QStringLiteral("Close Expert Mode"));
    btnAddRow = ui::makeToolButton(bar, "btnAddRow", QStringLiteral("Insert"),
                                   QStringLiteral("Insert Row"));
    btnDeleteRow = ui::makeToolButton(bar, "btnDeleteRow", QStringLiteral("Delete"),
                                      QStringLiteral("Delete Row"));
    btnClearRow = ui::makeToolButton(bar, "btnClearRow", QStringLiteral("Clear"),
                                     QStringLiteral("Clear current message (current row)"));
    btnCopy =
        ui::makeToolButton(bar, "btnCopy", QStringLiteral("Copy"), QStringLiteral("Copy Row"));
    btnPaste =
        ui::makeToolButton(bar, "btnPaste", QStringLiteral("Paste"), QStringLiteral("Paste Row"));
    btnCompress = ui::makeToolButton(bar, "btnCompress", QStringLiteral("Compact"),
                                     QStringLiteral("Compress Data"));
    btnIgnore = ui::makeToolButton(bar, "btnIgnore", QStringLiteral("Ignore Ack"),
                                   QStringLiteral("Ignore Acknowledge"));
    btnIgnore->setCheckable(true);
    for (QToolButton* b : {btnNew, btnOpen, btnSave, btnClose}) row->addWidget(b);
    row->addSpacing(12);
    for (QToolButton* b : {btnAddRow, btnDeleteRow, btnClearRow, btnCopy, btnPaste, btnCompress})
        row->addWidget(b);
    row->addSpacing(12);
    row->addWidget(btnIgnore);
    row->addStretch(1);
}

void TfrmMessage::buildTable() {
    auto* view = new FrozenColumnsView(this);
    grdData = view;
    grdData->setObjectName(QStringLiteral("grdData"));
    grdData->setToolTip(QStringLiteral("Double-click on the desired message to edit the message"));
    grdData->setModel(model_);
    grdData->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdData->setSelectionMode(QAbstractItemView::SingleSelection);
    grdData->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdData->setWordWrap(false);
    grdData->verticalHeader()->hide();
    QHeaderView* columns = grdData->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setMinimumSectionSize(8);
    for (int c = 0; c < kColumnCount; ++c) columns->resizeSection(c, kColumnWidths[c]);
    columns->setFixedHeight(kHeaderHeight);
    columns->setDefaultAlignment(Qt::AlignCenter);
    columns->setHighlightSections(false);
    QHeaderView* rows = grdData->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(kRowHeight);
    rows->setDefaultSectionSize(kRowHeight);
    // Msg #, Start, Address and R/W stay in view when the table scrolls sideways.
    view->freezeColumns(colData);
    grdData->setCurrentIndex(model_->index(0, colData));
    grdData->installEventFilter(this);
    grdData->viewport()->installEventFilter(this);
    view->frozenView()->viewport()->installEventFilter(this);
}

void TfrmMessage::buildSendPanel(QWidget* panel) {
    auto* rows = new QVBoxLayout(panel);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    auto* sequenceRow = new QHBoxLayout;
    rows->addLayout(row);
    rows->addLayout(sequenceRow);
    btnSendOne = ui::makeButton(panel, "btnSendOne", QStringLiteral("Send Message"),
                                QStringLiteral("Send Active Message"));
    btnSendAll = ui::makeButton(panel, "btnSendAll", QStringLiteral("Send All"),
                                QStringLiteral("Send all messages once"));
    btnSequence = ui::makeButton(panel, "btnSequence", QStringLiteral("Send Sequence"),
                                 QStringLiteral("Send a sequence of messages"));
    btnSendContinuous =
        ui::makeButton(panel, "btnSendContinuous", QStringLiteral("Send Continuously"),
                       QStringLiteral("Send all messages, defined in sequence, continuously"));
    // Wide enough for both captions, so the fields beside it keep their place.
    btnSendContinuous->setMinimumWidth(
        QFontMetrics(btnSendContinuous->font())
            .horizontalAdvance(QStringLiteral("Stop Sequencing")) +
        btnSendContinuous->sizeHint().width() -
        QFontMetrics(btnSendContinuous->font()).horizontalAdvance(btnSendContinuous->text()));
    ui::FieldOptions active;
    active.text = QStringLiteral("Active Msg. = 00");
    edtRow = ui::makeField(panel, "edtRow", active);
    edtRow->setReadOnly(true);
    edtRow->setFocusPolicy(Qt::NoFocus);
    edtRow->setMaximumWidth(QFontMetrics(edtRow->font()).horizontalAdvance(edtRow->text()) + 24);
    lblSending = ui::makeLabel(panel, QStringLiteral("Idle"), "lblSending");
    lblSending->setMinimumWidth(
        QFontMetrics(lblSending->font()).horizontalAdvance(QStringLiteral("Sending Msg # 64")) + 8);
    ui::FieldOptions sequence = ui::FieldOptions::limited(192);
    sequence.hint = QStringLiteral(" Double-click to edit the sequence");
    edtSequence = ui::makeField(panel, "edtSequence", sequence);
    edtSequence->setReadOnly(true);
    edtSequence->installEventFilter(this);
    for (QWidget* w : std::initializer_list<QWidget*>{btnSendOne, btnSendAll, btnSequence,
                                                      btnSendContinuous, edtRow, lblSending})
        row->addWidget(w);
    row->addStretch(1);
    // The sequence takes a row of its own: 64 entries are 191 characters.
    sequenceRow->addWidget(ui::makeLabel(panel, QStringLiteral("Sequence:")));
    sequenceRow->addWidget(edtSequence, 1);
}

void TfrmMessage::buildMenus() {
    mnuMsgFile = new QMenu(QStringLiteral("&File"), this);
    mnuMsgFile->setObjectName(QStringLiteral("mnuMsgFile"));
    mnuNew = ui::addMenuItem(mnuMsgFile, "mnuNew", QStringLiteral("New"),
                             QKeySequence(QStringLiteral("Ctrl+N")));
    mnuMsgFile->addSeparator();
    mnuOpen = ui::addMenuItem(mnuMsgFile, "mnuOpen", QStringLiteral("Open"),
                              QKeySequence(QStringLiteral("Ctrl+O")));
    mnuSave = ui::addMenuItem(mnuMsgFile, "mnuSave", QStringLiteral("Save"),
                              QKeySequence(QStringLiteral("Ctrl+S")));
    mnuClose = ui::addMenuItem(mnuMsgFile, "mnuClose", QStringLiteral("Close"));
    mnuCloseAll = ui::addMenuItem(mnuMsgFile, "mnuCloseAll", QStringLiteral("Close All"));
    mnuMsgFile->addSeparator();
    mnuExit = ui::addMenuItem(mnuMsgFile, "mnuExit", QStringLiteral("Exit"),
                              QKeySequence(QStringLiteral("Ctrl+X")));

    mnuMsgEdit = new QMenu(QStringLiteral("&Edit"), this);
    mnuMsgEdit->setObjectName(QStringLiteral("mnuMsgEdit"));
    mnuInsertRow = ui::addMenuItem(mnuMsgEdit, "mnuInsertRow", QStringLiteral("Insert Row"),
                                   QKeySequence(QStringLiteral("Ctrl+Ins")));
    mnuDeleteRow = ui::addMenuItem(mnuMsgEdit, "mnuDeleteRow", QStringLiteral("Delete Row"),
                                   QKeySequence(QStringLiteral("Ctrl+Del")));
    mnuClear = ui::addMenuItem(mnuMsgEdit, "mnuClear", QStringLiteral("Clear current message"),
                               QKeySequence(QStringLiteral("Shift+Del")));
    mnuMsgEdit->addSeparator();
    mnuCopyRow = ui::addMenuItem(mnuMsgEdit, "mnuCopyRow", QStringLiteral("Copy Row"),
                                 QKeySequence(QStringLiteral("Ctrl+C")));
    mnuPasteRow = ui::addMenuItem(mnuMsgEdit, "mnuPasteRow", QStringLiteral("Paste Row"),
                                  QKeySequence(QStringLiteral("Ctrl+V")));
    mnuMsgEdit->addSeparator();
    mnuCompactRows = ui::addMenuItem(mnuMsgEdit, "mnuCompactRows", QStringLiteral("Compact Rows"));
}

void TfrmMessage::connectCommands() {
    const auto both = [this](QToolButton* button, QAction* item, void (TfrmMessage::*handler)()) {
        if (button)
            connect(button, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
        if (item) connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };
    both(btnNew, mnuNew, &TfrmMessage::btnNewClick);
    both(btnOpen, mnuOpen, &TfrmMessage::mnuOpenClick);
    connect(btnSave, &QToolButton::clicked, this, [this] { mnuSaveClick(); });
    connect(mnuSave, &QAction::triggered, this, [this] { mnuSaveClick(); });
    both(btnClose, mnuClose, &TfrmMessage::mnuCloseClick);
    both(nullptr, mnuCloseAll, &TfrmMessage::mnuCloseAllClick);
    both(nullptr, mnuExit, &TfrmMessage::mnuExitClick);
    both(btnAddRow, mnuInsertRow, &TfrmMessage::btnAddRowClick);
    both(btnDeleteRow, mnuDeleteRow, &TfrmMessage::btnDeleteRowClick);
    both(btnClearRow, mnuClear, &TfrmMessage::mnuClearClick);
    both(btnCopy, mnuCopyRow, &TfrmMessage::btnCopyClick);
    both(btnPaste, mnuPasteRow, &TfrmMessage::btnPasteClick);
    both(btnCompress, mnuCompactRows, &TfrmMessage::btnCompressClick);

    connect(btnSendOne, &QPushButton::clicked, this, [this] {
        if (attached_) btnSendOneClick();
    });
    connect(btnSendAll, &QPushButton::clicked, this, [this] {
        if (attached_ && sendAllAttached_) btnSendAllClick();
    });
    connect(btnSequence, &QPushButton::clicked, this, [this] {
        if (attached_) btnSequenceClick();
    });
    connect(btnSendContinuous, &QPushButton::clicked, this, &TfrmMessage::btnSendContinuousClick);
    connect(grdData->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TfrmMessage::grdDataClick);
    connect(grdData, &QAbstractItemView::clicked, this, &TfrmMessage::grdDataClick);
    connect(static_cast<FrozenColumnsView*>(grdData)->frozenView(), &QAbstractItemView::clicked,
            this, &TfrmMessage::grdDataClick);
}

// ---- Table ------------------------------------------------------------------------------

int TfrmMessage::currentRow() const {
    const QModelIndex current = grdData->currentIndex();
    return current.isValid() ? current.row() + 1 : 1;
}

void TfrmMessage::selectRow(int r) {
    const int column =
        grdData->currentIndex().isValid() ? grdData->currentIndex().column() : colData;
    grdData->setCurrentIndex(model_->index(std::clamp(r, 1, table_.rowCount()) - 1, column));
}

void TfrmMessage::grdDataClick() {
    edtRow->setText(QStringLiteral("Active Msg. = %1").arg(currentRow()));
}

bool TfrmMessage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grdData && event->type() == QEvent::KeyPress &&
        opensEditor(*static_cast<QKeyEvent*>(event))) {
        openEditor();
        return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == grdData->viewport() ||
         watched == static_cast<FrozenColumnsView*>(grdData)->frozenView()->viewport())) {
        openEditor();
        return true;
    }
    if (watched == edtSequence && event->type() == QEvent::MouseButtonDblClick) {
        edtSequenceDblClick();
        return true;
    }
    return ui::ChildWindow::eventFilter(watched, event);
}

void TfrmMessage::openEditor() {
    modified_ = true;
    if (!frmEditor_) frmEditor_ = new TfrmEditor(*this);
    frmEditor_->showFor(currentRow());
}

void TfrmMessage::rowsMoved() {
    // The editor follows its message; a deleted message takes the editor away unapplied.
    if (frmEditor_ && frmEditor_->isVisible() && table_.followedRow() == 0) frmEditor_->detach();
    grdDataClick();
}

void TfrmMessage::btnAddRowClick() {
    if (!model_->insertRowBelow(currentRow())) return;
    modified_ = true;
    rowsMoved();
}

void TfrmMessage::btnDeleteRowClick() {
    const int r = currentRow();
    if (!model_->deleteRowAt(r)) return;
    selectRow(std::min(r, table_.rowCount()));
    modified_ = true;
    rowsMoved();
}

void TfrmMessage::mnuClearClick() {
    model_->clearRowAt(currentRow());
}

void TfrmMessage::btnCopyClick() {
    CopyBuffer() = table_.row(currentRow());
}

void TfrmMessage::btnPasteClick() {
    if (const std::optional<std::string> error = model_->pasteRowAt(currentRow(), CopyBuffer())) {
        ui::prompts().error(ui::qs(*error));
        return;
    }
    modified_ = true;
}

void TfrmMessage::btnCompressClick() {
    const int r = currentRow();
    model_->compactRows();
    selectRow(std::min(r, table_.rowCount()));
    modified_ = true;
    rowsMoved();
}

void TfrmMessage::setSequence(const std::vector<int>& numbers) {
    sequence_.set(numbers);
    edtSequence->setText(ui::qs(sequence_.text()));
}

bool TfrmMessage::ignoreAck() const {
    return btnIgnore->isChecked();
}

// ---- Closing ----------------------------------------------------------------------------

void TfrmMessage::closeEvent(QCloseEvent* event) {
    if (!askSaveBeforeDropping(ui::ButtonYes | ui::ButtonNo | ui::ButtonCancel)) {
        event->ignore();
        return;
    }
    closing_ = true;
    if (frmEditor_) frmEditor_->detach();
    event->accept();
}

}  // namespace parvex::expert
