// The device window's bus commands, files, export, printout and dialogs.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QTableView>

#include "adapter/transfers.h"
#include "common/report.h"
#include "device/Definition.h"
#include "device/EditCell.h"
#include "device/Longi2c.h"
#include "device/RegisterControl.h"
#include "device/RegisterGridModel.h"
#include "device/definition_file.h"
#include "device/printout.h"
#include "device/register_bus.h"
#include "ui/byte_grid_view.h"
#include "ui/form_builders.h"
#include "ui/hex_cell_delegate.h"
#include "ui/host.h"
#include "ui/print_lines.h"
#include "ui/prompts.h"
#include "ui/text.h"

namespace parvex::device {

namespace {

const QString kDefinitionFilter =
    QStringLiteral("Definition files (*.def)|*.def|All files (*.*)|*.*");
const QString kTextFilter = QStringLiteral("Text files (*.txt)|*.txt|All files (*.*)|*.*");

// The window takes no command while a bus operation runs.
class Busy {
public:
    explicit Busy(bool& flag) : flag_(flag) { flag_ = true; }
    ~Busy() { flag_ = false; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    bool& flag_;
};

}  // namespace

// ---- Bus ----------------------------------------------------------------------------------

void TfrmLongI2C::btnWriteOneClick() {
    commitEdit();
    if (!device_.isDefined(activeRegister_)) {
        host().setStatusText(ui::qs(kNoWriteStatus));
        ui::prompts().information(ui::qs(kNoWriteMessage));
        return;
    }
    if (!CheckAddress()) return;
    const QString text = cellText(activeRegister_);
    const auto value = valueByte(ui::ss(text));
    if (!value) {
        ui::prompts().error(ui::qs(hexConversionMessage(ui::ss(text))));
        return;
    }
    const Busy busy(busy_);
    const std::uint8_t status = host().transfers().I2CWriteByte(
        device_.DeviceAddress, static_cast<std::uint8_t>(activeRegister_), *value);
    host().ErrorMessage(status);
}

void TfrmLongI2C::btnReadOneClick() {
    commitEdit();
    modified_ = true;
    if (!device_.isDefined(activeRegister_)) {
        ui::prompts().information(ui::qs(kNoReadMessage));
        return;
    }
    if (!CheckAddress()) return;
    const Busy busy(busy_);
    TUSBI2CReport reply{};
    host().transfers().I2CReadByte(device_.DeviceAddress,
                                   static_cast<std::uint8_t>(activeRegister_), reply);
    if (reply[report::kStatus] == 0)
        setRegisterValue(activeRegister_, hexByte(reply[report::kInData]));
    else
        model_->setFailed(activeRegister_, true);
    host().ErrorMessage(reply[report::kStatus]);
}

void TfrmLongI2C::btnReadClick() {
    commitEdit();
    modified_ = true;
    if (!CheckAddress()) return;
    BusOutcome outcome;
    {
        const Busy busy(busy_);
        // Every exchange repaints the status bar at once, which would paint the grid's
        // pending changes each time: the grid is held still until the values are all in.
        const ui::PaintPause pause(stgMemory->viewport());
        outcome = readAll(host().transfers(), device_, device_.DeviceAddress,
                          [this](int first, int count) {
                              for (int r = first; r < first + count; ++r)
                                  model_->setFailed(r, false);
                              model_->valuesChanged(first, count);
                          });
        for (int r : outcome.failed) model_->setFailed(r, true);
    }
    host().ErrorMessage(outcome.status);
}

void TfrmLongI2C::btnWriteClick() {
    commitEdit();
    if (!CheckAddress()) return;
    const Busy busy(busy_);
    const BusOutcome outcome = writeAll(host().transfers(), device_, device_.DeviceAddress);
    if (outcome.error)
        ui::prompts().error(ui::qs(*outcome.error));
    else
        host().ErrorMessage(outcome.status);
}

std::optional<std::uint8_t> TfrmLongI2C::controlWrite(std::uint8_t reg, std::uint8_t value,
                                                      bool addressFromField) {
    if (!device_.isDefined(activeRegister_)) {
        host().setStatusText(ui::qs(kNoWriteStatus));
        ui::prompts().information(ui::qs(kNoWriteMessage));
        return std::nullopt;
    }
    if (addressFromField) {
        const QString text = edtAddress->text();
        const auto address = valueByte(ui::ss(text));
        if (!address || text.size() > 2) {
            ui::prompts().error(ui::qs(hexConversionMessage(ui::ss(text))));
            return std::nullopt;
        }
        device_.DeviceAddress = *address;
    }
    const Busy busy(busy_);
    return host().transfers().I2CWriteByte(device_.DeviceAddress, reg, value);
}

// ---- Dialogs ------------------------------------------------------------------------------

void TfrmLongI2C::setFileEditMenusEnabled(bool enabled) {
    mnuLongI2C->menuAction()->setEnabled(enabled);
    mnuEdit->menuAction()->setEnabled(enabled);
}

void TfrmLongI2C::showDefineDialog(bool newDevice) {
    commitEdit();
    if (!defineDialog_) defineDialog_ = new TfrmDefine(*this, window());
    if (newDevice) {
        defineDialog_->fillForNewDevice();
        saveFileName_.clear();
    } else {
        defineDialog_->fillFromDevice();
        setFileEditMenusEnabled(false);
    }
    defineDialog_->show();
    defineDialog_->raise();
    defineDialog_->activateWindow();
}

void TfrmLongI2C::mnuDefineClick() {
    showDefineDialog(true);
}

void TfrmLongI2C::mnuEditCurrentDeviceClick() {
    showDefineDialog(false);
}

void TfrmLongI2C::mnuEditCurrentCellClick() {
    commitEdit();
    if (!device_.isDefined(activeRegister_)) {
        ui::prompts().information(ui::qs(kCannotEditUndefined));
        return;
    }
    auto* dialog = new TfrmEditCell(*this, window(), activeRegister_, cellText(activeRegister_),
                                    description(activeRegister_));
    registerDialogs_.append(dialog);
    setFileEditMenusEnabled(false);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void TfrmLongI2C::refreshGrid() {
    model_->clearFailed();
    model_->reshape();
    const QModelIndex current = model_->indexOf(activeRegister_);
    if (current.isValid() && current.row() < model_->rowCount()) setCurrentQuietly(current);
    definitionChanged();
}

void TfrmLongI2C::applyDefinition(const Definition& d) {
    device_.DeviceName = ui::ss(d.name);
    setWindowTitle(d.name);
    edtAddress->setText(d.address);
    const int n = std::clamp(d.count, 1, kRegisterSlots);
    device_.MaxRegister = n - 1;
    for (int i = 0; i < kRegisterSlots; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        if (i >= n) {
            device_.RegisterValues[slot] = std::string(kUndefinedValue);
            device_.RegisterDescriptions[slot] = std::string(kUndefinedDescription);
            continue;
        }
        const QString desc = i < d.descriptions.size() ? d.descriptions.at(i) : QString();
        device_.RegisterDescriptions[slot] =
            desc.isEmpty() ? std::string(kUndefinedDescription) : ui::ss(desc);
        device_.RegisterValues[slot] =
            ValidHexCheck(i < d.values.size() ? ui::ss(d.values.at(i)) : "");
    }
    refreshGrid();
    modified_ = true;
}

void TfrmLongI2C::applyRegister(const QString& value, const QString& text) {
    if (!device_.isDefined(activeRegister_)) return;
    setRegisterValue(activeRegister_, ui::ss(value));
    device_.RegisterDescriptions[static_cast<std::size_t>(activeRegister_)] = ui::ss(text);
    stgMemoryClick();
    modified_ = true;
    definitionChanged();
}

// ---- Files --------------------------------------------------------------------------------

void TfrmLongI2C::mnuLoadClick() {
    commitEdit();
    if (modified_) {
        if (ui::prompts().question(QStringLiteral("Save changes?"), ui::ButtonYes | ui::ButtonNo) ==
            ui::Answer::Yes) {
            // The device was to be kept: without a saved copy nothing replaces it.
            if (!mnuSaveClick()) return;
            closeControlWindows();
        }
    }
    host().ResetWarning();
    ui::FileDialogRequest request;
    request.title = QStringLiteral("Open Defined Device");
    request.filter = kDefinitionFilter;
    request.defaultSuffix = QStringLiteral("def");
    request.mustExist = true;
    const ui::FileChoice choice = ui::prompts().openFile(request);
    if (choice.accepted) openDefinition(choice.path);
}

void TfrmLongI2C::openDefinition(const QString& path) {
    const DefinitionFile file = ReadDefinitionFile(ui::ss(path));
    if (file.error) {
        ui::prompts().error(ui::qs(*file.error));
        return;
    }
    const TDeviceDefinition& read = file.read->device;
    edtAddress->setText(ui::qs(file.read->addressText));
    device_.MaxRegister = read.MaxRegister;
    device_.DeviceName = read.DeviceName;
    device_.RegisterValues = read.RegisterValues;
    device_.RegisterDescriptions = read.RegisterDescriptions;
    setWindowTitle(ui::qs(read.DeviceName));
    refreshGrid();
    pnlRegister->setText(ui::qs(registerCaption(device_, 0)));
    definitionFileName_ = QString(path).remove(QLatin1Char('&'));
    modified_ = false;
}

bool TfrmLongI2C::writeDefinitionTo(const QString& path, bool erase) {
    if (const auto error = WriteDefinitionFile(device_, ui::ss(path), erase)) {
        ui::prompts().error(ui::qs(*error));
        return false;
    }
    return true;
}

ui::FileDialogRequest TfrmLongI2C::saveRequest(const QString& title, const QString& filter,
                                               const QString& suffix) const {
    ui::FileDialogRequest request;
    request.title = title;
    request.filter = filter;
    request.defaultSuffix = suffix;
    request.directory = saveFolder_;
    request.confirmOverwrite = true;
    return request;
}

bool TfrmLongI2C::mnuSaveClick() {
    commitEdit();
    if (definitionFileName_.isEmpty()) return mnuSaveAsClick();
    if (!writeDefinitionTo(definitionFileName_, false)) return false;
    modified_ = false;
    return true;
}

bool TfrmLongI2C::mnuSaveAsClick() {
    commitEdit();
    ui::FileDialogRequest request = saveRequest(QStringLiteral("Save Device Information"),
                                                kDefinitionFilter, QStringLiteral("def"));
    request.fileName = saveFileName_;
    const ui::FileChoice choice = ui::prompts().saveFile(request);
    if (!choice.accepted) return false;
    saveFileName_ = choice.path;
    if (!writeDefinitionTo(choice.path, true)) return false;
    modified_ = false;
    return true;
}

void TfrmLongI2C::mnuSaveASCIIClick() {
    commitEdit();
    const ui::FileDialogRequest request = saveRequest(
        QStringLiteral("Save Register Data in Text Format"), kTextFilter, QStringLiteral("txt"));
    saveFileName_.clear();
    const ui::FileChoice choice = ui::prompts().saveFile(request);
    if (choice.accepted) {
        if (const auto error = WriteRegisterTextFile(device_, ui::ss(choice.path)))
            ui::prompts().error(ui::qs(*error));
    }
    saveFileName_.clear();
}

void TfrmLongI2C::mnuPrintClick() {
    commitEdit();
    QPrinter printer;
    if (!ui::prompts().print(printer)) return;
    QStringList lines;
    for (const std::string& line : printoutLines(device_)) lines << ui::qs(line);
    // The listing's own first lines are its heading.
    if (ui::printLines(printer, ui::PrintStyle{}, {}, lines) == 0)
        ui::prompts().error(QStringLiteral("The printer could not be started."));
}

}  // namespace parvex::device
