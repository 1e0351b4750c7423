#pragma once
// The base of every child window of the frame: it offers its own top-level menus, which
// take the place of the frame's "&File" menu while the window is active.
//
// The frame (TfrmMain) watches every child it holds: when one is destroyed it
// empties the status panel and, if that was the last child, disables File "Close", "Close
// All" and the Window arrangement items. A child need not do either itself; its close
// event may ignore() the close (a "Save changes?" answered Cancel), which stops Close All,
// Exit and the closing of the main window.

#include <QList>
#include <QWidget>

class QMenu;

namespace parvex::ui {

class Host;

class ChildWindow : public QWidget {
    Q_OBJECT
public:
    explicit ChildWindow(Host& host, QWidget* parent = nullptr);
    ~ChildWindow() override;

    // Top-level menus, in order, shown in front of "&Device" while this window is active.
    [[nodiscard]] virtual QList<QMenu*> mergedMenus() const = 0;

    // The frame calls this when the window becomes the active child.
    virtual void FormActivate() {}

    [[nodiscard]] Host& host() const { return host_; }

    // The File menu's Close, Close All and Exit, alike in every child window. Close asks
    // the frame's holder of this window, so the window's own close event can still refuse.
    void mnuCloseClick();
    void mnuCloseAllClick();
    void mnuExitClick();

private:
    Host& host_;
};

}  // namespace parvex::ui
