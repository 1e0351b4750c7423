#pragma once
// Prompts for tests: records every box and dialog and answers from queues.

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "ui/prompts.h"

namespace parvex::test {

class ScriptedPrompts final : public ui::Prompts {
public:
    enum class Kind { Information, Warning, Error, Question, OpenFile, SaveFile, Print };
    struct Event {
        Kind kind;
        QString text;                   // box text, or the dialog's title
        ui::FileDialogRequest request;  // file dialogs only
        int buttons = 0;                // questions only
        QString title;                  // questions with a caption of their own
    };

    ScriptedPrompts() { ui::setPrompts(this); }
    ~ScriptedPrompts() override { ui::setPrompts(nullptr); }
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    // Queued answers; an empty queue answers Cancel (questions), a cancelled dialog, or
    // no printing.
    std::deque<ui::Answer> answers;
    std::deque<ui::FileChoice> files;
    std::deque<bool> printAnswers;
    // When set, an accepted print dialog sends the job to this PDF file.
    QString printFile;

    std::vector<Event> events;

    void information(const QString& text) override;
    void warning(const QString& text) override;
    void error(const QString& text) override;
    ui::Answer question(const QString& text, int buttons) override;
    ui::Answer titledQuestion(const QString& title, const QString& text, int buttons) override;
    ui::FileChoice openFile(const ui::FileDialogRequest& request) override;
    ui::FileChoice saveFile(const ui::FileDialogRequest& request) override;
    bool print(QPrinter& printer) override;

    // Texts of the boxes shown, in order (questions included, dialogs not).
    [[nodiscard]] QStringList texts() const;
    void clear() { events.clear(); }

    // Queue helpers.
    void answer(ui::Answer a) { answers.push_back(a); }
    void chooseFile(const QString& path, int filterIndex = 1) {
        files.push_back(ui::FileChoice{true, path, filterIndex});
    }
    void cancelFile() { files.push_back(ui::FileChoice{}); }
};

}  // namespace parvex::test
