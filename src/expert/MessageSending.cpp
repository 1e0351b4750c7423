// The expert window's sending: one message, all messages, the sequence once and over and over.

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableView>

#include "common/wait.h"
#include "expert/FrozenColumnsView.h"
#include "expert/Message.h"
#include "expert/MessageModel.h"
#include "expert/SequenceEditor.h"
#include "ui/host.h"
#include "ui/prompts.h"
#include "ui/text.h"

namespace parvex::expert {

namespace {
const QString kSendContinuously = QStringLiteral("Send Continuously");
const QString kStopSequencing = QStringLiteral("Stop Sequencing");

// Every exchange repaints the status bar at once, and a synchronous repaint takes every
// pending update of the window with it: the table, whose read messages change as the run
// goes, would paint after every message. It is held still for a run and paints once after.
class TablePaintPause {
public:
    // Only the cells are held: the headers and scroll bars do not change in a run, and
    // letting them go on would repaint them all after it.
    explicit TablePaintPause(QTableView* table)
        : cells_(table->viewport()),
          frozen_(static_cast<FrozenColumnsView*>(table)->frozenView()->viewport()) {
        cells_->setUpdatesEnabled(false);
        frozen_->setUpdatesEnabled(false);
    }
    ~TablePaintPause() {
        if (cells_) cells_->setUpdatesEnabled(true);
        if (frozen_) frozen_->setUpdatesEnabled(true);
    }
    TablePaintPause(const TablePaintPause&) = delete;
    TablePaintPause& operator=(const TablePaintPause&) = delete;

private:
    QPointer<QWidget> cells_;
    QPointer<QWidget> frozen_;
};
}  // namespace

std::uint8_t TfrmMessage::SendMessage(int r) {
    Disable();
    const std::uint8_t status = sendWrite(host().transfers(), table_, r, ignoreAck());
    Enable();
    return status;
}

std::uint8_t TfrmMessage::ReceiveMessage(int r) {
    const std::uint8_t status = sendRead(host().transfers(), table_, r, ignoreAck(), ReplyReport());
    if (status == status::kSuccess) model_->rowChanged(r);
    return status;
}

void TfrmMessage::showProgress(const std::string& text) {
    progress_ = text;
    // Painting a changed label costs more than a message exchange: a fast run shows its
    // progress a few dozen times a second, not after every message.
    const std::uint64_t now = timing::nowUs();
    if (now - progressShownUs_ >= kProgressIntervalUs) {
        progressShownUs_ = now;
        showPendingProgress();
    }
}

void TfrmMessage::showPendingProgress() {
    if (!progress_.empty()) lblSending->setText(ui::qs(progress_));
    progress_.clear();
}

void TfrmMessage::waiting(std::uint32_t) {
    // The window is blocked for the delay: show which message it waits after.
    showPendingProgress();
    lblSending->repaint();
}

void TfrmMessage::btnSendOneClick() {
    const int r = currentRow();
    if (table_.row(r).Address.empty()) return;
    if (isWriteRow(table_, r))
        SendMessage(r);
    else
        ReceiveMessage(r);
}

void TfrmMessage::btnSendAllClick() {
    sendAllAttached_ = false;
    RunResult run;
    {
        const TablePaintPause pause(grdData);
        run = runSendAll(table_, *this);
    }
    showPendingProgress();
    if (run.error) ui::prompts().error(ui::qs(*run.error));
    host().ErrorMessage(run.status);
    sendAllAttached_ = true;
}

void TfrmMessage::btnSequenceClick() {
    RunResult run;
    {
        const TablePaintPause pause(grdData);
        run = runSequencePass(table_, sequence_, sequence_.count(), *this);
    }
    showPendingProgress();
    if (run.error) {
        ui::prompts().error(ui::qs(*run.error));
        return;
    }
    lblSending->setText(QStringLiteral("Done"));
}

void TfrmMessage::btnSendContinuousClick() {
    if (btnSendContinuous->text() == kSendContinuously) {
        btnSendContinuous->setText(kStopSequencing);
        btnSendContinuous->repaint();
        ContinuousSequence();
    } else {
        btnSendContinuous->setText(kSendContinuously);
    }
}

void TfrmMessage::ContinuousSequence() {
    const QPointer<TfrmMessage> self(this);
    const int m = sequence_.count();
    for (;;) {
        RunResult run;
        {
            const TablePaintPause pause(grdData);
            run = runSequencePass(table_, sequence_, m, *this);
        }
        showPendingProgress();
        if (run.error) {
            // The caption stays "Stop Sequencing": the next click only resets it.
            ui::prompts().error(ui::qs(*run.error));
            return;
        }
        if (run.stopped) break;
        // The one point where a Stop click, or any other command, closing included, runs.
        QCoreApplication::processEvents();
        if (!self || closing_) return;
        if (btnSendContinuous->text() == kSendContinuously) return;
    }
    btnSendContinuous->setText(kSendContinuously);
}

void TfrmMessage::edtSequenceDblClick() {
    TfrmSequenceEditor::showFor(*this);
}

}  // namespace parvex::expert
