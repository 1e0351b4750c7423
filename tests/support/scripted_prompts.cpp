#include "support/scripted_prompts.h"

#include <QPrinter>

namespace parvex::test {

void ScriptedPrompts::information(const QString& text) {
    events.push_back({Kind::Information, text, {}, 0, {}});
}
void ScriptedPrompts::warning(const QString& text) {
    events.push_back({Kind::Warning, text, {}, 0, {}});
}
void ScriptedPrompts::error(const QString& text) {
    events.push_back({Kind::Error, text, {}, 0, {}});
}

ui::Answer ScriptedPrompts::question(const QString& text, int buttons) {
    return titledQuestion(QStringLiteral("Parvex"), text, buttons);
}

ui::Answer ScriptedPrompts::titledQuestion(const QString& title, const QString& text, int buttons) {
    events.push_back({Kind::Question, text, {}, buttons, title});
    if (answers.empty()) return ui::Answer::Cancel;
    const ui::Answer a = answers.front();
    answers.pop_front();
    return a;
}

ui::FileChoice ScriptedPrompts::openFile(const ui::FileDialogRequest& request) {
    events.push_back({Kind::OpenFile, request.title, request, 0, {}});
    if (files.empty()) return {};
    const ui::FileChoice c = files.front();
    files.pop_front();
    return c;
}

ui::FileChoice ScriptedPrompts::saveFile(const ui::FileDialogRequest& request) {
    events.push_back({Kind::SaveFile, request.title, request, 0, {}});
    if (files.empty()) return {};
    const ui::FileChoice c = files.front();
    files.pop_front();
    return c;
}

bool ScriptedPrompts::print(QPrinter& printer) {
    events.push_back({Kind::Print, {}, {}, 0, {}});
    if (printAnswers.empty()) return false;
    const bool a = printAnswers.front();
    printAnswers.pop_front();
    if (a && !printFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printFile);
    }
    return a;
}

QStringList ScriptedPrompts::texts() const {
    QStringList out;
    for (const Event& e : events)
        if (e.kind != Kind::OpenFile && e.kind != Kind::SaveFile && e.kind != Kind::Print)
            out << e.text;
    return out;
}

}  // namespace parvex::test
