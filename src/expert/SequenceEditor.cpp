#include "expert/SequenceEditor.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "expert/Message.h"
#include "ui/form_builders.h"
#include "ui/prompts.h"
#include "ui/text.h"

namespace parvex::expert {

namespace {

QPointer<TfrmSequenceEditor> frmSequenceEditor;

// Cells take the digits and backspace only.
class DigitsOnly final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const QString text = key->text();
            const bool typesCharacter = !text.isEmpty() && text.at(0).isPrint();
            if (typesCharacter &&
                !(text.size() == 1 && text.at(0).isDigit() && text.at(0).unicode() < 128))
                return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

class SequenceCellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor->installEventFilter(new DigitsOnly(editor));
        return editor;
    }
};

}  // namespace

TfrmSequenceEditor* TfrmSequenceEditor::instance() {
    return frmSequenceEditor;
}

TfrmSequenceEditor* TfrmSequenceEditor::showFor(TfrmMessage& window) {
    if (!frmSequenceEditor) frmSequenceEditor = new TfrmSequenceEditor(window.window());
    TfrmSequenceEditor* dialog = frmSequenceEditor;
    if (dialog->window_ != &window) {
        if (dialog->window_) disconnect(dialog->window_, nullptr, dialog, nullptr);
        dialog->window_ = &window;
        // A window that goes takes the dialog away unapplied.
        connect(&window, &QObject::destroyed, dialog, &QWidget::hide);
    }
    if (!dialog->isVisible()) dialog->FormShow();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

TfrmSequenceEditor::TfrmSequenceEditor(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSequenceEditor"));
    setWindowTitle(QStringLiteral("Sequence Editor"));
    setModal(false);
    auto* group = ui::makeGroupBox(this, "grpSequencer", QStringLiteral("Sequencer"));
    grdSequencer = new QTableWidget(1, kMaxSequenceEntries, group);
    grdSequencer->setObjectName(QStringLiteral("grdSequencer"));
    grdSequencer->verticalHeader()->hide();
    grdSequencer->verticalHeader()->setDefaultSectionSize(20);
    grdSequencer->horizontalHeader()->setDefaultSectionSize(24);
    grdSequencer->horizontalHeader()->setMinimumSectionSize(24);
    grdSequencer->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grdSequencer->setEditTriggers(QAbstractItemView::AllEditTriggers);
    grdSequencer->setItemDelegate(new SequenceCellDelegate(grdSequencer));
    for (int c = 0; c < kMaxSequenceEntries; ++c) {
        grdSequencer->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::number(c + 1)));
        grdSequencer->setItem(0, c, new QTableWidgetItem(QString()));
    }
    grdSequencer->setFixedHeight(grdSequencer->horizontalHeader()->sizeHint().height() + 20 +
                                 grdSequencer->horizontalScrollBar()->sizeHint().height() + 6);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(grdSequencer);
    btnOK = ui::makeButton(this, "btnOK", QStringLiteral("OK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, [this] { btnCloseClick(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(btnOK, 0, Qt::AlignHCenter);
    resize(560, sizeHint().height());
}

void TfrmSequenceEditor::FormShow() {
    if (!window_ || window_->sequence().text().empty()) return;
    const std::vector<std::string> cells = cellsFromSequenceText(window_->sequence().text());
    for (int c = 0; c < kMaxSequenceEntries; ++c)
        grdSequencer->item(0, c)->setText(c < static_cast<int>(cells.size())
                                              ? ui::qs(cells[static_cast<std::size_t>(c)])
                                              : QString());
}

bool TfrmSequenceEditor::btnCloseClick() {
    // A cell still being typed in counts: leaving it commits it.
    grdSequencer->setCurrentIndex(QModelIndex());
    std::vector<std::string> cells;
    for (int c = 0; c < kMaxSequenceEntries; ++c)
        cells.push_back(ui::ss(grdSequencer->item(0, c)->text()));
    const SequenceCells parsed = sequenceFromCells(cells);
    if (parsed.refused) {
        ui::prompts().information(ui::qs(kSequenceLimitMessage));
        return false;
    }
    if (window_) window_->setSequence(parsed.numbers);
    hide();
    return true;
}

}  // namespace parvex::expert
