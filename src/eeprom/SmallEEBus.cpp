// The EEPROM editor's bus buttons and the options that change how Write All and Write Byte
// treat the chip: polling for the end of its write cycle and writing only what changed.
#include <QCheckBox>
#include <QComboBox>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>

#include "adapter/transfers.h"
#include "common/report.h"
#include "eeprom/ByteGridModels.h"
#include "eeprom/SmallEE.h"
#include "eeprom/SmallEEForm.h"
#include "eeprom/bus_ops.h"
#include "ui/byte_grid_view.h"
#include "ui/host.h"
#include "ui/prompts.h"

namespace parvex::eeprom {

namespace {

constexpr int kProgressPanelWidth = 250;
constexpr int kStatusPanelWidth = 250;
const QString kPollKey = QStringLiteral("EEPROM/PollWriteCompletion");
const QString kChangedKey = QStringLiteral("EEPROM/WriteOnlyChanged");

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

// The program's settings, where the main window keeps its place too.
QSettings settings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Parvex"),
                     QStringLiteral("Parvex"));
}

QString spareMarkup(const std::string& text, bool warning) {
    if (text.empty()) return {};
    return QStringLiteral("<P align=\"center\"><FONT color=\"%1\">%2</FONT>")
        .arg(warning ? QStringLiteral("clRed") : QStringLiteral("clWhite"), qs(text));
}

}  // namespace

void TfrmSmallEE::connectWriteOptions() {
    const QSettings stored = settings();
    form_->chbPollWrite->setChecked(stored.value(kPollKey, false).toBool());
    form_->chbWriteChanged->setChecked(stored.value(kChangedKey, false).toBool());
    // Every editor window, now and in later runs, starts with the choice made last.
    connect(form_->chbPollWrite, &QCheckBox::toggled, this, [](bool on) {
        QSettings s = settings();
        s.setValue(kPollKey, on);
    });
    connect(form_->chbWriteChanged, &QCheckBox::toggled, this, [](bool on) {
        QSettings s = settings();
        s.setValue(kChangedKey, on);
    });
}

void TfrmSmallEE::showSpare(const std::string& text, bool warning, const std::string& hint) {
    host().setSparePanelText(spareMarkup(text, warning), qs(hint));
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
    showSpare({});
    // The cells read are shown in one go at the end, so the grids paint once.
    models_->holdChanges();
    const std::uint8_t status = readAll(host().transfers(), *image_, base);
    models_->showHeldChanges();
    Enable();
    host().ErrorMessage(status);
    // Only a complete image tells its size.
    if (status == status::kSuccess) {
        if (const auto span = mirrorSpan(image_->bytes().bytes))
            showSpare(mirrorWarning(*span), true, mirrorDetail(*span));
    }
    host().repaintStatusBar();
}

void TfrmSmallEE::btnWriteOneClick() {
    commitEdits();
    std::uint8_t base = 0;
    if (!selectedAddress(base)) return;
    showSpare({});
    const bool poll = form_->chbPollWrite->isChecked();
    const auto waitMs = static_cast<std::uint32_t>(writeTime());
    // A polled write ends with the last probe's status text: acknowledged, or still busy.
    const WriteByteOutcome outcome =
        writeByte(host().transfers(), *image_, base, byteAddress(),
                  poll ? std::optional<std::uint32_t>(waitMs) : std::nullopt);
    if (outcome.error) ui::prompts().error(qs(*outcome.error));
    const WriteSummary summary = writeByteSummary(outcome, waitMs);
    showSpare(summary.text, summary.warning, summary.detail);
}

void TfrmSmallEE::btnWriteClick() {
    commitEdits();
    WriteOptions options;
    options.writeTimeMs = static_cast<std::uint32_t>(writeTime());
    options.pollCompletion = form_->chbPollWrite->isChecked();
    options.onlyChanged = form_->chbWriteChanged->isChecked();
    std::uint8_t base = 0;
    if (!selectedAddress(base)) return;
    Disable();
    ui::Host& h = host();
    showSpare({});
    h.setStatusPanelWidth(0);
    h.setProgressPanelWidth(kProgressPanelWidth);
    h.setProgress(0);
    h.repaintStatusBar();
    // The grids do not change while they are written out, so they need no painting.
    const WriteAllOutcome outcome =
        writeAll(h.transfers(), *image_, base, pageSize(), options, [&h](int, int percent) {
            h.setProgress(percent);
            h.repaintStatusBar();
        });
    h.setProgressPanelWidth(0);
    h.setStatusPanelWidth(kStatusPanelWidth);
    if (outcome.error)
        ui::prompts().error(qs(*outcome.error));
    else
        h.ErrorMessage(outcome.status);
    const WriteSummary summary = writeSummary(outcome);
    showSpare(summary.text, summary.warning, summary.detail);
    h.repaintStatusBar();
    Enable();
}

void TfrmSmallEE::btnVerifyClick() {
    commitEdits();
    std::uint8_t base = 0;
    if (!selectedAddress(base)) return;
    showSpare({});
    VerifyOutcome outcome;
    {
        const ui::PaintPause pause(form_->stgMemory);
        form_->stgMemory->setEnabled(false);
        host().setStatusText(qs(kVerifyingStatus));
        outcome = verify(host().transfers(), *image_, base);
    }
    // Marks of an earlier verify go; a verify that read nothing leaves them.
    if (!outcome.error) image_->markDiffering(outcome.differences);
    if (outcome.error)
        ui::prompts().error(qs(*outcome.error));
    else if (outcome.mismatchAddress)
        ui::prompts().error(qs(verifyFailedMessage(*outcome.mismatchAddress)));
    form_->stgMemory->setEnabled(true);
    host().ErrorMessage(outcome.status == status::kSuccess ? status::kVerifySuccessful
                                                           : outcome.status);
    if (!outcome.differences.empty())
        showSpare(differenceCountText(outcome.differences.size()), true);
}

}  // namespace parvex::eeprom
