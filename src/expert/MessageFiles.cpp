// The expert window's data files and the "Save changes?" question before a table is dropped.

#include <QFileInfo>
#include <QTableView>

#include "common/file_io.h"
#include "expert/Message.h"
#include "expert/MessageModel.h"
#include "expert/data_file.h"
#include "ui/host.h"
#include "ui/prompts.h"
#include "ui/text.h"

namespace parvex::expert {

namespace {

const QString kSaveChanges = QStringLiteral("Save changes?");
const QString kSaveFilter = QStringLiteral("Text files (*.txt)|*.txt|All files (*.*)|*.*");
const QString kOpenFilter = QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
const QString kOpenTitle = QStringLiteral("Open data file");

}  // namespace

// ---- Files ------------------------------------------------------------------------------

void TfrmMessage::resetTable() {
    const int r = currentRow();
    model_->beginReload();
    table_.reset();
    model_->endReload();
    modified_ = false;
    selectRow(r);
    rowsMoved();
}

// "Save changes?" before the table is dropped: false when the table must stay (Cancel, or
// a save that was cancelled or failed).
bool TfrmMessage::askSaveBeforeDropping(int buttons) {
    if (!modified_) return true;
    switch (ui::prompts().question(kSaveChanges, buttons)) {
        case ui::Answer::Yes:
            return mnuSaveClick();
        case ui::Answer::No:
            return true;
        default:
            return false;
    }
}

void TfrmMessage::btnNewClick() {
    if (!modified_) setWindowTitle(ui::qs(kExpertCaption));
    if (!askSaveBeforeDropping(ui::ButtonYes | ui::ButtonNo | ui::ButtonCancel)) return;
    resetTable();
}

bool TfrmMessage::mnuSaveClick() {
    ui::FileDialogRequest request;
    request.filter = kSaveFilter;
    request.defaultSuffix = QStringLiteral("txt");
    request.confirmOverwrite = true;
    const ui::FileChoice choice = ui::prompts().saveFile(request);
    bool saved = false;
    if (choice.accepted) {
        const std::string bytes = writeDataFile(table_, sequence_.text());
        if (const auto error = files::saveFileReplacing(ui::ss(choice.path), bytes)) {
            ui::prompts().error(ui::qs(*error));
        } else {
            modified_ = false;
            setWindowTitle(QFileInfo(choice.path).fileName());
            saved = true;
        }
    }
    host().repaintStatusBar();
    return saved;
}

void TfrmMessage::mnuOpenClick() {
    if (!askSaveBeforeDropping(ui::ButtonYes | ui::ButtonNo)) return;
    ui::FileDialogRequest request;
    request.title = kOpenTitle;
    request.filter = kOpenFilter;
    request.defaultSuffix = QStringLiteral("txt");
    request.mustExist = true;
    const ui::FileChoice choice = ui::prompts().openFile(request);
    if (choice.accepted) readDataFile(choice.path);
    host().repaintStatusBar();
}

bool TfrmMessage::readDataFile(const QString& path) {
    const files::FileContents file = files::readWholeFile(ui::ss(path), kMaxDataFileBytes);
    if (file.error) {
        ui::prompts().error(ui::qs(*file.error));
        return false;
    }
    setWindowTitle(QFileInfo(path).fileName());
    const DataFileContents contents = expert::readDataFile(file.bytes);
    if (!contents.headerOk) {
        host().ErrorMessage(status::kDataFileRejected);
        modified_ = false;
        return false;
    }
    const int r = currentRow();
    model_->beginReload();
    loadIntoTable(contents, table_);
    model_->endReload();
    selectRow(r);
    rowsMoved();
    if (contents.error) ui::prompts().error(ui::qs(*contents.error));
    if (contents.cut) ui::prompts().warning(ui::qs(kTooMuchWarning));
    if (contents.error) return false;
    if (contents.sequence) setSequence(*contents.sequence);
    modified_ = false;
    return true;
}

}  // namespace parvex::expert
