#include "ui/prompts.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

namespace parvex::ui {
namespace {

const QString kCaption = QStringLiteral("Parvex");

QtPrompts qtPrompts;
Prompts* current = &qtPrompts;
QPointer<QWidget> anchor;
QString lastFolder;

QWidget* parentWindow() {
    return QApplication::activeWindow();
}

class MinimiseRefuser final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange) {
            auto* window = qobject_cast<QWidget*>(watched);
            if (window && window->isMinimized()) {
                // Restored once the window manager has finished minimising it.
                QTimer::singleShot(0, window, [w = QPointer<QWidget>(window)] {
                    if (!w) return;
                    w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
                    w->show();
                    w->raise();
                    w->activateWindow();
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// A message box that stays a child of the active window (so it is modal to it and shown
// above it) but opens centred on the anchor, wherever the active window is.
class MessageBox final : public QMessageBox {
public:
    MessageBox(Icon icon, const QString& title, const QString& text, StandardButtons buttons)
        : QMessageBox(icon, title, text, buttons, parentWindow()) {
        setTextFormat(Qt::PlainText);
        refuseMinimise(this);
    }

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        if (!event->spontaneous() && anchor && anchor->isVisible()) adjustPosition(anchor);
    }
};

void showBox(QMessageBox::Icon icon, const QString& text) {
    MessageBox box(icon, kCaption, text, QMessageBox::Ok);
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
    // A proposed name with a folder of its own says where to look; a bare one (or none)
    // opens where the user last was.
    if (!request.directory.isEmpty())
        dialog.setDirectory(request.directory);
    else if (!request.fileName.contains(QLatin1Char('/')) && !lastFolder.isEmpty())
        dialog.setDirectory(lastFolder);
    if (request.suffixFollowsFilter) {
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString& filter) {
                             const QString suffix = filterSuffix(filter);
                             if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
                         });
    }
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
    lastFolder = QFileInfo(choice.path).absolutePath();
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
QString lastFileFolder() {
    return lastFolder;
}
void setLastFileFolder(const QString& folder) {
    lastFolder = folder;
}

void refuseMinimise(QWidget* window) {
    window->installEventFilter(new MinimiseRefuser(window));
}
void setDialogAnchor(QWidget* window) {
    anchor = window;
}

QStringList qtFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) result << parts.at(i);
    return result;
}

QString filterSuffix(const QString& qtFilter) {
    const int open = qtFilter.lastIndexOf(QLatin1String("(*."));
    const int close = qtFilter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close <= open + 3) return {};
    const QString suffix = qtFilter.mid(open + 3, close - open - 3);
    for (const QChar c : suffix)
        if (!c.isLetterOrNumber()) return {};
    return suffix;
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
    return titledQuestion(kCaption, text, buttons);
}

Answer QtPrompts::titledQuestion(const QString& title, const QString& text, int buttons) {
    MessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton);
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
