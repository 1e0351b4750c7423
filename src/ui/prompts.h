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
    virtual FileChoice openFile(const FileDialogRequest& request) = 0;
    virtual FileChoice saveFile(const FileDialogRequest& request) = 0;
    // The print dialog over `printer`; true when the user chose to print.
    virtual bool print(QPrinter& printer) = 0;
};

// The prompts in force: Qt dialogs unless a test installed others.
Prompts& prompts();
// Installs prompts; nullptr puts the Qt dialogs back. The caller keeps ownership.
void setPrompts(Prompts* replacement);

// Qt's dialogs, parented to the active window.
class QtPrompts final : public Prompts {
public:
    void information(const QString& text) override;
    void warning(const QString& text) override;
    void error(const QString& text) override;
    Answer question(const QString& text, int buttons) override;
    FileChoice openFile(const FileDialogRequest& request) override;
    FileChoice saveFile(const FileDialogRequest& request) override;
    bool print(QPrinter& printer) override;
};

// "a (*.x)|*.x|b (*.y)|*.y" -> {"a (*.x)", "b (*.y)"}
QStringList qtFilters(const QString& filter);

}  // namespace parvex::ui
