#include "support/recording_host.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QTest>

#include "adapter/status_texts.h"

namespace parvex::test {

RecordingHost::~RecordingHost() {
    for (auto& w : windows) delete w.data();
}

void RecordingHost::adopt(QWidget* window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        ADD_FAILURE() << "the child window never became active";
    windows.emplace_back(window);
}

void RecordingHost::ErrorMessage(std::uint8_t acknowledge) {
    errorCodes.push_back(acknowledge);
    showStatus(adapter::statusText(acknowledge));
}

void RecordingHost::ResetWarning() {
    ++resetWarnings;
    showStatus(std::string());
}

void RecordingHost::setStatusText(const QString& markup) {
    status = markup;
    ++repaints;
}

void RecordingHost::showStatus(const std::string& markup) {
    setStatusText(QString::fromStdString(markup));
}

void RecordingHost::setProgress(int percent) {
    progress.push_back(percent);
    widthsAtProgress.emplace_back(statusWidth, progressWidth);
}

int RecordingHost::childWindowCount() const {
    int n = 0;
    for (const auto& w : windows)
        if (w) ++n;
    return n;
}

bool RecordingHost::closeAllChildren() {
    bool all = true;
    for (auto it = windows.rbegin(); all && it != windows.rend(); ++it) {
        if (*it && !(*it)->close()) all = false;
    }
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return all;
}

}  // namespace parvex::test
