#pragma once
// Every message box, question, file dialog and print dialog goes through Prompts, so
// that tests can answer them. The default shows Qt dialogs with the caption "Parvex".

#include <QString>

class QPrinter;
class QWidget;

namespace parvex::ui {

enum class Answer { Ok, Yes, No, Cancel };

enum Button : int { ButtonOk = 1, ButtonYes = 2, ButtonNo = 4, ButtonCancel = 8 };

struct FileDialogRequest {
    QString title;
    // In the form "hex files (*.hex)|*.hex|bin files (*.bin)|*.bin".
    QString filter;
    int filterIndex = 1;  // 1-based
    QString defaultSuffix;
    // The default suffix changes with the filter entry chosen in the dialog, to that entry's
    // extension ("hex files (*.hex)" gives "hex").
    bool suffixFollowsFilter = false;
    QString fileName;  // proposed file (may include a folder)
    QString directory;  // folder the dialog starts in when no file is proposed
    bool mustExist = false;
    bool confirmOverwrite = false;
};

struct FileChoice {
    bool accepted = false;
    QString path;
    int filterIndex = 1;  // 1-based index of the filter entry chosen
};

class Prompts {
public:
    virtual ~Prompts() = default;
    virtual void information(const QString& text) = 0;
    virtual void warning(const QString& text) = 0;
    virtual void error(const QString& text) = 0;
    // A confirmation with exactly the given buttons (an OR of Button values).
    virtual Answer question(const QString& text, int buttons) = 0;
    // The same with a caption of its own instead of "Parvex".
    virtual Answer titledQuestion(const QString& title, const QString& text, int buttons) {
        static_cast<void>(title);
        return question(text, buttons);
    }
    virtual FileChoice openFile(const FileDialogRequest& request) = 0;
    virtual FileChoice saveFile(const FileDialogRequest& request) = 0;
    // The print dialog over `printer`; true when the user chose to print.
    virtual bool print(QPrinter& printer) = 0;
};

// The prompts in force: Qt dialogs unless a test installed others.
Prompts& prompts();
// Installs prompts; nullptr puts the Qt dialogs back. The caller keeps ownership.
void setPrompts(Prompts* replacement);

// The window every message box opens centred on (the main window), whichever window is
// active. Until one is set, and after it is destroyed, boxes centre on the active window.
void setDialogAnchor(QWidget* window);

// The folder the last file dialog was answered in. A dialog asked for a bare file name opens
// there.
[[nodiscard]] QString lastFileFolder();
void setLastFileFolder(const QString& folder);

// Some window managers draw a minimise button on every window whatever it asks for, and
// minimising a dialog there takes its main window down with it. A window given to this
// comes straight back instead.
void refuseMinimise(QWidget* window);

// Qt's dialogs, parented to the active window. Message boxes show their text as plain text:
// it may hold what a file or the user typed.
class QtPrompts final : public Prompts {
public:
    void information(const QString& text) override;
    void warning(const QString& text) override;
    void error(const QString& text) override;
    Answer question(const QString& text, int buttons) override;
    Answer titledQuestion(const QString& title, const QString& text, int buttons) override;
    FileChoice openFile(const FileDialogRequest& request) override;
    FileChoice saveFile(const FileDialogRequest& request) override;
    bool print(QPrinter& printer) override;
};

// "a (*.x)|*.x|b (*.y)|*.y" -> {"a (*.x)", "b (*.y)"}
QStringList qtFilters(const QString& filter);
// The extension of a Qt filter entry with one pattern: "hex files (*.hex)" -> "hex"; empty
// for a filter that names no single extension.
QString filterSuffix(const QString& qtFilter);

}  // namespace parvex::ui
