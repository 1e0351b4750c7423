#pragma once
// What a child window may ask of the main window. TfrmMain implements it; a test may
// implement it over a transfer set of its own.

#include <QString>
#include <cstdint>

namespace parvex::adapter {
class Transfers;
}

namespace parvex::ui {

class ChildWindow;

class Host {
public:
    virtual ~Host() = default;

    // Bus work: every exchange shows its status text in the status panel.
    virtual adapter::Transfers& transfers() = 0;

    // Status panel.
    virtual void ErrorMessage(std::uint8_t acknowledge) = 0;
    virtual void ResetWarning() = 0;
    // Writes the status panel's raw markup and repaints the status bar.
    virtual void setStatusText(const QString& markup) = 0;

    // File "Close", "Close All"; Window "Cascade", "Tile", "Minimize All".
    virtual void EnableMenus() = 0;
    virtual void DisableMenus() = 0;

    // Status and progress panels during a long write.
    virtual void setStatusPanelWidth(int width) = 0;
    virtual void setProgressPanelWidth(int width) = 0;
    virtual void setProgress(int percent) = 0;
    virtual void repaintStatusBar() = 0;
    // The spare panel's raw markup, repainted at once, and its hint (by default its text). A
    // host without one shows nothing.
    virtual void setSparePanelText(const QString& markup, const QString& hint = {}) {
        (void)markup;
        (void)hint;
    }

    // The frame's child windows.
    [[nodiscard]] virtual int childWindowCount() const = 0;
    // Asks every child window to close, last first; one that refuses stays open and the
    // next is still asked. False if any refused.
    virtual bool closeAllChildren() = 0;
    // Closes every child window, last first, then ends the program, unless a child refused.
    virtual void exitApplication() = 0;
};

}  // namespace parvex::ui
