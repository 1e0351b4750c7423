// The expert window's sending: one message, all messages, the sequence once and over and over.

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

#include "expert/Message.h"
#include "expert/MessageModel.h"
#include "expert/SequenceEditor.h"
#include "ui/host.h"
#include "ui/prompts.h"

namespace parvex::expert {

namespace {
const QString kSendContinuously = QStringLiteral("Send Continuously");
const QString kStopSequencing = QStringLiteral("Stop Sequencing");

QString qs(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}
}  // namespace

std::uint8_t TfrmMessage::SendMessage(int r) {
    Disable();
    const std::uint8_t status = sendWrite(host().transfers(), table_, r, ignoreAck());
    Enable();
    return status;
}

std::uint8_t TfrmMessage::ReceiveMessage(int r) {
    const std::uint8_t status =
        sendRead(host().transfers(), table_, r, ignoreAck(), ReplyReport());
    if (status == status::kSuccess) model_->rowChanged(r);
    return status;
}

void TfrmMessage::showProgress(const std::string& text) {
    lblSending->setText(qs(text));
}

void TfrmMessage::waiting(std::uint32_t) {
    // The window is blocked for the delay: show which message it waits after.
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
    const RunResult run = runSendAll(table_, *this);
    if (run.error) ui::prompts().error(qs(*run.error));
    host().ErrorMessage(run.status);
    sendAllAttached_ = true;
}

void TfrmMessage::btnSequenceClick() {
    const RunResult run = runSequencePass(table_, sequence_, sequence_.count(), *this);
    if (run.error) {
        ui::prompts().error(qs(*run.error));
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
        const RunResult run = runSequencePass(table_, sequence_, m, *this);
        if (run.error) {
            // The caption stays "Stop Sequencing": the next click only resets it.
            ui::prompts().error(qs(*run.error));
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
