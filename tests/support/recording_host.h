#pragma once
// A main window stand-in for any child window's tests: it records what the window asks of
// the status bar, the progress panel and the menus, passes transfers on to a set the test
// chooses (through a hook), and keeps the child windows it was given.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "adapter/adapter_link.h"
#include "support/hooked_transfers.h"
#include "ui/host.h"

namespace parvex::test {

// The status sink is the status panel, so an adapter link can report straight into it.
class RecordingHost : public ui::Host, public adapter::StatusSink, public HookedTransfers {
public:
    RecordingHost() = default;
    explicit RecordingHost(adapter::Transfers& target) : HookedTransfers(&target) {}
    ~RecordingHost() override;
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    // Shows a child window as the frame would: deleted when closed, known to
    // childWindowCount() and closeAllChildren(), active.
    void adopt(QWidget* window);

    QString status;                        // the status panel's markup
    QString spare;                         // the spare panel's markup
    QString spareHint;                     // and its hint
    std::vector<std::uint8_t> errorCodes;  // every ErrorMessage, in order
    int statusWidth = 250;
    int progressWidth = 0;
    std::vector<int> progress;
    std::vector<std::pair<int, int>> widthsAtProgress;  // (status, progress) at each setProgress
    int repaints = 0;
    int resetWarnings = 0;
    int enableMenus = 0;
    int disableMenus = 0;
    bool exited = false;
    std::vector<QPointer<QWidget>> windows;

    // ui::Host
    adapter::Transfers& transfers() override { return *this; }
    void ErrorMessage(std::uint8_t acknowledge) override;
    void ResetWarning() override;
    void setStatusText(const QString& markup) override;
    void EnableMenus() override { ++enableMenus; }
    void DisableMenus() override { ++disableMenus; }
    void setStatusPanelWidth(int width) override { statusWidth = width; }
    void setProgressPanelWidth(int width) override { progressWidth = width; }
    void setProgress(int percent) override;
    void repaintStatusBar() override { ++repaints; }
    void setSparePanelText(const QString& markup, const QString& hint = {}) override {
        spare = markup;
        spareHint = hint;
    }
    [[nodiscard]] int childWindowCount() const override;
    bool closeAllChildren() override;
    void exitApplication() override { exited = closeAllChildren(); }

    // adapter::StatusSink
    void showStatus(const std::string& markup) override;
};

}  // namespace parvex::test
