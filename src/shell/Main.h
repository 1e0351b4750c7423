#pragma once
// The program's frame: the multiple-document main window with its menus and status bar.
// It owns the HID controller and the adapter link, and is the Host every child window
// reaches the bus and the status bar through.

#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPointer>
#include <memory>
#include <string>

#include "adapter/adapter_link.h"
#include "hid/hid.h"
#include "shell/adapter_access.h"
#include "ui/host.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSocketNotifier;

namespace parvex::ui {
class ChildWindow;
}
namespace parvex::device {
class TfrmLongI2C;
}
namespace parvex::expert {
class TfrmMessage;
}

namespace parvex::shell {

class MarkupStatusBar;
class TfrmBitrate;
class TAboutBox;
class UpdateService;

class TfrmMain : public QMainWindow,
                 public ui::Host,
                 public adapter::StatusSink,
                 public adapter::AdapterListener {
    Q_OBJECT
public:
    explicit TfrmMain(std::unique_ptr<hid::Controller> controller, QWidget* parent = nullptr);
    ~TfrmMain() override;

    [[nodiscard]] hid::Controller& controller() const { return *controller_; }
    [[nodiscard]] adapter::AdapterLink& link() const { return *link_; }
    [[nodiscard]] MarkupStatusBar* pnlStatusBar() const { return statusBar_; }
    [[nodiscard]] QMdiArea* mdiArea() const { return mdiArea_; }
    [[nodiscard]] UpdateService& updateService() const { return *updateService_; }
    // The clock dialog while it is open, else nullptr.
    [[nodiscard]] TfrmBitrate* bitrateDialog() const;

    // Puts a child window into the frame (maximised, freed when closed) and enables the
    // window menus. The Device items use it; tests may add children of their own.
    QMdiSubWindow* addChild(ui::ChildWindow* child);

    // Puts back the place, size and last file folder the last run left, and keeps them for
    // the next run when the window closes. Off unless called (tests leave it off).
    void keepSession();

    // ui::Host
    adapter::Transfers& transfers() override;
    void ErrorMessage(std::uint8_t acknowledge) override;
    void ResetWarning() override;
    void setStatusText(const QString& markup) override;
    void EnableMenus() override;
    void DisableMenus() override;
    void setStatusPanelWidth(int width) override;
    void setProgressPanelWidth(int width) override;
    void setProgress(int percent) override;
    void repaintStatusBar() override;
    void setSparePanelText(const QString& markup, const QString& hint = {}) override;
    [[nodiscard]] int childWindowCount() const override;
    bool closeAllChildren() override;
    void exitApplication() override;

    // adapter::StatusSink
    void showStatus(const std::string& markup) override;

    // adapter::AdapterListener
    void setOptionsMenuEnabled(bool enabled) override;
    void setStatusBarEnabled(bool enabled) override;
    void setHardwarePanel(const std::string& markup) override;
    void setFrequencyPanel(const std::string& markup) override;
    void showBusLineMessage(const std::string& text) override;

    // Menu handlers.
    void mnuCloseClick();
    void mnuCloseAllClick();
    void ExitClick();
    void mnuEEPROMClick(int sizeBytes);
    // Opens the one user-definable device window, or brings it forward.
    void mnuUserDefinedClick();
    [[nodiscard]] device::TfrmLongI2C* userDefinedWindow() const;
    void mnuExpertClick();
    void BitRateClick();
    void mnuResetClick();
    void mnuCascadeClick();
    void mnuTileClick();
    void mnuMinimizeAllClick();
    void mnuUpdateClick();
    void mnuParvexClick();
    void AboutItemClick();
    void pnlStatusBarPanelDblClick(int panelIndex);

    // The device-change handler, run from the event loop.
    void HIDCtlDeviceChange();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void createMenus();
    void mergeMenus();
    void subWindowActivated(QMdiSubWindow* sub);
    void rebuildWindowList();
    void childDestroyed(QObject* subWindow);
    bool closeChildrenForExit();
    void queueDeviceChange();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     const QString& hint = {});

    std::unique_ptr<hid::Controller> controller_;
    std::unique_ptr<adapter::AdapterLink> link_;
    UpdateService* updateService_ = nullptr;
    QSocketNotifier* noticeNotifier_ = nullptr;

    QMdiArea* mdiArea_ = nullptr;
    MarkupStatusBar* statusBar_ = nullptr;
    std::unique_ptr<AdapterAccessNotice> accessNotice_;

    QMenu* mnuFile = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuCloseAll = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuDevice = nullptr;
    QMenu* mnuEEPROM = nullptr;
    QAction* mnuExpert = nullptr;
    QAction* mnuUserDefined = nullptr;
    QMenu* mnuOptions = nullptr;
    QAction* mnuBitRate = nullptr;
    QAction* mnuReset = nullptr;
    QMenu* mnuWindow = nullptr;
    QAction* mnuCascade = nullptr;
    QAction* mnuTile = nullptr;
    QAction* mnuMinimizeAll = nullptr;
    QAction* mnuWindowListSeparator = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuUpdate = nullptr;
    QAction* mnuSoftwareGuide = nullptr;
    QAction* mnuHardwareGuide = nullptr;
    QAction* mnuQuickStart = nullptr;
    QAction* mnuParvex = nullptr;
    QAction* AboutItem = nullptr;

    QPointer<TfrmBitrate> frmBitrate_;
    // The one expert-mode window while it is open.
    QPointer<expert::TfrmMessage> frmMessage_;
    QPointer<TAboutBox> aboutBox_;
    QPointer<device::TfrmLongI2C> frmLongI2C_;
    QPointer<QMdiSubWindow> lastActivated_;
    bool closingChildren_ = false;
    bool keepSession_ = false;
};

}  // namespace parvex::shell
