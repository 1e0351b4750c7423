#include "ui/prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace parvex::ui {
namespace {

const QString kCaption = QStringLiteral("Parvex");

QtPrompts qtPrompts;
Prompts* current = &qtPrompts;

QWidget* parentWindow() {
    return QApplication::activeWindow();
}

void showBox(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, kCaption, text, QMessageBox::Ok, parentWindow());
    box.exec();
}

FileChoice runFileDialog(const FileDialogRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parentWindow(), request.title);
    dialog.setAcceptMode(mode);
    dialog.setOption(QFileDialog::DontUseNativeDialog, false);
    const QStringList filters = qtFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.directory.isEmpty()) dialog.setDirectory(request.directory);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (mode == QFileDialog::AcceptOpen)
        dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    else
        dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setOption(QFileDialog::ReadOnly, false);

    FileChoice choice;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return choice;
    choice.accepted = true;
    choice.path = dialog.selectedFiles().constFirst();
    const int index = filters.indexOf(dialog.selectedNameFilter());
    choice.filterIndex = index >= 0 ? index + 1 : 1;
    return choice;
}

}  // namespace

Prompts& prompts() {
    return *current;
}
void setPrompts(Prompts* replacement) {
    current = replacement ? replacement : &qtPrompts;
}

QStringList qtFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) result << parts.at(i);
    return result;
}

void QtPrompts::information(const QString& text) {
    showBox(QMessageBox::Information, text);
}
void QtPrompts::warning(const QString& text) {
    showBox(QMessageBox::Warning, text);
}
void QtPrompts::error(const QString& text) {
    showBox(QMessageBox::Critical, text);
}

Answer QtPrompts::question(const QString& text, int buttons) {
    QMessageBox box(QMessageBox::Question, kCaption, text, QMessageBox::NoButton, parentWindow());
    if (buttons & ButtonYes) box.addButton(QMessageBox::Yes);
    if (buttons & ButtonNo) box.addButton(QMessageBox::No);
    if (buttons & ButtonOk) box.addButton(QMessageBox::Ok);
    if (buttons & ButtonCancel) box.addButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Ok:
            return Answer::Ok;
        default:
            return Answer::Cancel;
    }
}

FileChoice QtPrompts::openFile(const FileDialogRequest& request) {
    return runFileDialog(request, QFileDialog::AcceptOpen);
}

FileChoice QtPrompts::saveFile(const FileDialogRequest& request) {
    return runFileDialog(request, QFileDialog::AcceptSave);
}

bool QtPrompts::print(QPrinter& printer) {
    QPrintDialog dialog(&printer, parentWindow());
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace parvex::ui
