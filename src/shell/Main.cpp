#include "shell/Main.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSocketNotifier>
#include <string>

#include "adapter/status_texts.h"
#include "device/Longi2c.h"
#include "eeprom/SmallEE.h"
#include "eeprom/geometry.h"
#include "expert/Message.h"
#include "shell/About.h"
#include "shell/Bitrate.h"
#include "shell/links.h"
#include "shell/markup_status_bar.h"
#include "shell/session.h"
#include "shell/style.h"
#include "shell/update_service.h"
#include "shell/window_arrangement.h"
#include "ui/child_window.h"
#include "ui/prompts.h"
#include "ui/text.h"

namespace parvex::shell {
namespace {

QMenu* makeMenu(QWidget* parent, const char* name, const QString& title, const QString& hint) {
    auto* menu = new QMenu(title, parent);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name) + QLatin1String("Action"));
    menu->setToolTipsVisible(true);
    if (!hint.isEmpty()) menu->menuAction()->setToolTip(hint);
    return menu;
}

}  // namespace

TfrmMain::TfrmMain(std::unique_ptr<hid::Controller> controller, QWidget* parent)
    : QMainWindow(parent), controller_(std::move(controller)) {
    setObjectName(QStringLiteral("frmMain"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    // Child windows and the maximised child's menu-bar corner take the frame's icon.
    setWindowIcon(programIcon());
    if (QApplication::windowIcon().isNull()) QApplication::setWindowIcon(windowIcon());
    ui::setDialogAnchor(this);

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    // Tiled or cascaded windows never shrink below what their controls need; in a small
    // frame the area scrolls to them instead.
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &TfrmMain::subWindowActivated);

    statusBar_ = new MarkupStatusBar(this);
    setStatusBar(statusBar_);
    statusBar_->setPanelText(MarkupStatusBar::HardwarePanel, ui::qs(adapter::kHardwareStartup));
    statusBar_->setPanelText(MarkupStatusBar::FrequencyPanel, ui::qs(adapter::kFrequencyStartup));
    statusBar_->setEnabled(false);
    connect(statusBar_, &MarkupStatusBar::panelDoubleClicked, this,
            &TfrmMain::pnlStatusBarPanelDblClick);

    link_ = std::make_unique<adapter::AdapterLink>(*controller_, *this, *this);
    accessNotice_ = std::make_unique<AdapterAccessNotice>(*statusBar_);
    updateService_ = new UpdateService(this);

    createMenus();
    FormCreate();

    // Change notices always reach the adapter link through the event loop, never from inside
    // whatever plugged or unplugged the device, and the first one once the loop runs.
    controller_->setChangeHandler([this] { queueDeviceChange(); });
    const int fd = controller_->noticeDescriptor();
    if (fd >= 0) {
        noticeNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(noticeNotifier_, &QSocketNotifier::activated, this,
                [this] { controller_->processNotices(); });
    }
    queueDeviceChange();

    resize(829, 536 + menuBar()->sizeHint().height() + MarkupStatusBar::kHeight);
    move(400, 129);
}

TfrmMain::~TfrmMain() {
    controller_->setChangeHandler(nullptr);
    // The notifier watches a descriptor the controller owns and closes with it.
    delete noticeNotifier_;
    noticeNotifier_ = nullptr;
    // Children go first, while the link and the status bar they may still call are alive.
    closingChildren_ = true;
    mdiArea_->disconnect(this);
    delete mdiArea_;
    mdiArea_ = nullptr;
}

TfrmBitrate* TfrmMain::bitrateDialog() const {
    return frmBitrate_;
}

void TfrmMain::FormCreate() {
    setWindowTitle(QStringLiteral("Parvex"));
    mnuUpdate->setText(QStringLiteral("Update Parvex"));
    mnuSoftwareGuide->setVisible(false);
    mnuHardwareGuide->setVisible(false);
    mnuQuickStart->setVisible(false);
    mnuParvex->setVisible(true);
    statusBar_->setToolTip(QStringLiteral("Double-click the frequency panel to change frequency"));
}

QAction* TfrmMain::addItem(QMenu* menu, const char* name, const QString& caption,
                           const QString& hint) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    if (!hint.isEmpty()) action->setToolTip(hint);
    return action;
}

void TfrmMain::createMenus() {
    mnuFile =
        makeMenu(this, "mnuFile", QStringLiteral("&File"), QStringLiteral("File related commands"));
    mnuClose = addItem(mnuFile, "mnuClose", QStringLiteral("Close"));
    mnuCloseAll = addItem(mnuFile, "mnuCloseAll", QStringLiteral("Close All"));
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuFileSeparator"));
    mnuExit = addItem(mnuFile, "mnuExit", QStringLiteral("Exit"));
    connect(mnuClose, &QAction::triggered, this, &TfrmMain::mnuCloseClick);
    connect(mnuCloseAll, &QAction::triggered, this, &TfrmMain::mnuCloseAllClick);
    connect(mnuExit, &QAction::triggered, this, &TfrmMain::ExitClick);

    mnuDevice = makeMenu(this, "mnuDevice", QStringLiteral("&Device"),
                         QStringLiteral("Choose device from this menu"));
    mnuEEPROM = makeMenu(mnuDevice, "mnuEEPROM", QStringLiteral("EEPROM"), {});
    mnuDevice->addMenu(mnuEEPROM);
    for (const eeprom::Geometry& g : eeprom::geometries()) {
        const std::string name(g.menuItem);
        QAction* a = addItem(mnuEEPROM, name.c_str(), ui::qs(g.menuCaption));
        const int size = g.bytes;
        connect(a, &QAction::triggered, this, [this, size] { mnuEEPROMClick(size); });
    }
    mnuExpert = addItem(mnuDevice, "mnuExpert", QStringLiteral("Expert Mode"));
    connect(mnuExpert, &QAction::triggered, this, &TfrmMain::mnuExpertClick);
    mnuUserDefined = addItem(mnuDevice, "mnuUserDefined", QStringLiteral("User Definable"));
    connect(mnuUserDefined, &QAction::triggered, this, &TfrmMain::mnuUserDefinedClick);

    mnuOptions = makeMenu(this, "mnuOptions", QStringLiteral("Options"),
                          QStringLiteral("Change device, I\u00B2C speed"));
    mnuBitRate = addItem(mnuOptions, "mnuBitRate", QStringLiteral("I2C Clock Speed"));
    mnuReset = addItem(mnuOptions, "mnuReset", QStringLiteral("Reset I2C bus"));
    connect(mnuBitRate, &QAction::triggered, this, &TfrmMain::BitRateClick);
    connect(mnuReset, &QAction::triggered, this, &TfrmMain::mnuResetClick);
    setOptionsMenuEnabled(false);

    mnuWindow = makeMenu(this, "mnuWindow", QStringLiteral("&Window"),
                         QStringLiteral("Window related commands such as Tile and Cascade"));
    mnuCascade = addItem(mnuWindow, "mnuCascade", QStringLiteral("Cascade"),
                         QStringLiteral("Arrange windows to overlap"));
    mnuTile = addItem(mnuWindow, "mnuTile", QStringLiteral("Tile"),
                      QStringLiteral("Arrange windows without overlap"));
    mnuMinimizeAll = addItem(mnuWindow, "mnuMinimizeAll", QStringLiteral("Minimize All"),
                             QStringLiteral("Minimize all windows"));
    mnuWindowListSeparator = mnuWindow->addSeparator();
    mnuWindowListSeparator->setObjectName(QStringLiteral("mnuWindowSeparator"));
    mnuWindowListSeparator->setVisible(false);
    connect(mnuCascade, &QAction::triggered, this, &TfrmMain::mnuCascadeClick);
    connect(mnuTile, &QAction::triggered, this, &TfrmMain::mnuTileClick);
    connect(mnuMinimizeAll, &QAction::triggered, this, &TfrmMain::mnuMinimizeAllClick);
    connect(mnuWindow, &QMenu::aboutToShow, this, &TfrmMain::rebuildWindowList);

    mnuHelp = makeMenu(this, "mnuHelp", QStringLiteral("Help"), {});
    mnuUpdate = addItem(mnuHelp, "mnuUpdate", QStringLiteral("Update"));
    mnuHelp->addSeparator()->setObjectName(QStringLiteral("mnuHelpSeparator1"));
    mnuSoftwareGuide =
        addItem(mnuHelp, "mnuSoftwareGuide", QStringLiteral("Software User's Guide"));
    mnuHardwareGuide =
        addItem(mnuHelp, "mnuHardwareGuide", QStringLiteral("Hardware User's Guide"));
    mnuQuickStart = addItem(mnuHelp, "mnuQuickStart", QStringLiteral("Quick Start Guide"));
    mnuParvex = addItem(mnuHelp, "mnuParvex", QStringLiteral("Parvex Web Page"));
    mnuHelp->addSeparator()->setObjectName(QStringLiteral("mnuHelpSeparator2"));
    AboutItem = addItem(mnuHelp, "AboutItem", QStringLiteral("&About"));
    connect(mnuUpdate, &QAction::triggered, this, &TfrmMain::mnuUpdateClick);
    connect(mnuParvex, &QAction::triggered, this, &TfrmMain::mnuParvexClick);
    connect(AboutItem, &QAction::triggered, this, &TfrmMain::AboutItemClick);

    DisableMenus();
    mergeMenus();
}

void TfrmMain::mergeMenus() {
    QMenuBar* bar = menuBar();
    for (QAction* a : bar->actions()) bar->removeAction(a);

    QList<QMenu*> front{mnuFile};
    if (mdiArea_ && !closingChildren_) {
        if (QMdiSubWindow* sub = mdiArea_->currentSubWindow(); sub && !sub->isHidden())
            if (auto* child = qobject_cast<ui::ChildWindow*>(sub->widget()))
                front = child->mergedMenus();
    }
    for (QMenu* m : front)
        if (m) bar->addMenu(m);
    for (QMenu* m : {mnuDevice, mnuOptions, mnuWindow, mnuHelp}) bar->addMenu(m);
}

void TfrmMain::subWindowActivated(QMdiSubWindow* sub) {
    mergeMenus();
    // QMdiArea also reports its window losing and regaining the focus (a message box, another
    // program); a child is only activated when it takes over from another child, or else a
    // status text would be wiped each time a message box closes.
    if (!sub || sub == lastActivated_ || closingChildren_) return;
    lastActivated_ = sub;
    if (auto* child = qobject_cast<ui::ChildWindow*>(sub->widget())) child->FormActivate();
}

void TfrmMain::rebuildWindowList() {
    const QList<QAction*> items = mnuWindow->actions();
    const qsizetype start = items.indexOf(mnuWindowListSeparator) + 1;
    for (qsizetype i = start; i < items.size(); ++i) {
        mnuWindow->removeAction(items.at(i));
        delete items.at(i);
    }

    int number = 0;
    QMdiSubWindow* current = mdiArea_->currentSubWindow();
    for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
        if (sub->isHidden()) continue;
        ++number;
        QAction* a = mnuWindow->addAction(QStringLiteral("&%1 %2").arg(number).arg(
            QString(sub->windowTitle()).replace(QLatin1Char('&'), QStringLiteral("&&"))));
        a->setObjectName(QStringLiteral("mnuWindowItem%1").arg(number));
        a->setCheckable(true);
        a->setChecked(sub == current);
        connect(a, &QAction::triggered, this, [this, target = QPointer<QMdiSubWindow>(sub)] {
            if (!target) return;
            if (target->isMinimized()) target->showNormal();
            mdiArea_->setActiveSubWindow(target);
        });
    }
    mnuWindowListSeparator->setVisible(number > 0);
}

QMdiSubWindow* TfrmMain::addChild(ui::ChildWindow* child) {
    QMdiSubWindow* sub = mdiArea_->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    connect(sub, &QObject::destroyed, this, &TfrmMain::childDestroyed);
    sub->showMaximized();
    mdiArea_->setActiveSubWindow(sub);
    EnableMenus();
    mergeMenus();
    return sub;
}

void TfrmMain::childDestroyed(QObject* subWindow) {
    if (closingChildren_) return;
    ResetWarning();
    int remaining = 0;
    for (QMdiSubWindow* sub : mdiArea_->subWindowList())
        if (static_cast<QObject*>(sub) != subWindow && !sub->isHidden()) ++remaining;
    if (remaining == 0) DisableMenus();
    mergeMenus();
}

int TfrmMain::childWindowCount() const {
    // A closed child is hidden at once and freed a moment later; it no longer counts.
    int count = 0;
    for (QMdiSubWindow* sub : mdiArea_->subWindowList())
        if (!sub->isHidden()) ++count;
    return count;
}

bool TfrmMain::closeAllChildren() {
    // Every window is asked, last to first; one that keeps its data (Cancel) stays open and
    // the next one is still asked.
    bool all = true;
    const QList<QMdiSubWindow*> subs = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    for (auto it = subs.crbegin(); it != subs.crend(); ++it) {
        QMdiSubWindow* sub = *it;
        if (!sub->isHidden() && !sub->close()) all = false;
    }
    mergeMenus();
    return all;
}

bool TfrmMain::closeChildrenForExit() {
    // Leaving the program stops at the first window that keeps its data: the windows not
    // reached yet stay open with theirs.
    const QList<QMdiSubWindow*> subs = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    for (auto it = subs.crbegin(); it != subs.crend(); ++it) {
        QMdiSubWindow* sub = *it;
        if (sub->isHidden()) continue;
        if (!sub->close()) {
            mergeMenus();
            return false;
        }
    }
    mergeMenus();
    return true;
}

void TfrmMain::exitApplication() {
    close();
}

void TfrmMain::keepSession() {
    restoreSession(*this);
    keepSession_ = true;
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (!closeChildrenForExit()) {
        event->ignore();
        return;
    }
    if (keepSession_) saveSession(*this);
    event->accept();
}

// --- ui::Host ---------------------------------------------------------------------------

adapter::Transfers& TfrmMain::transfers() {
    return *link_;
}
void TfrmMain::ErrorMessage(std::uint8_t acknowledge) {
    link_->ErrorMessage(acknowledge);
}
void TfrmMain::ResetWarning() {
    link_->ResetWarning();
}

void TfrmMain::setStatusText(const QString& markup) {
    statusBar_->setPanelText(MarkupStatusBar::StatusPanel, markup);
    statusBar_->repaintNow();
}

void TfrmMain::setSparePanelText(const QString& markup, const QString& hint) {
    statusBar_->setPanelText(MarkupStatusBar::SparePanel, markup);
    // The panel is narrow; the whole story is a hover away.
    statusBar_->panel(MarkupStatusBar::SparePanel)
        ->setToolTip(hint.isEmpty() ? parseMarkup(markup).plainText() : hint);
    statusBar_->repaintNow();
}

void TfrmMain::EnableMenus() {
    for (QAction* a : {mnuClose, mnuCloseAll, mnuCascade, mnuTile, mnuMinimizeAll})
        a->setEnabled(true);
}

void TfrmMain::DisableMenus() {
    for (QAction* a : {mnuClose, mnuCloseAll, mnuCascade, mnuTile, mnuMinimizeAll})
        a->setEnabled(false);
}

void TfrmMain::setStatusPanelWidth(int width) {
    statusBar_->setPanelWidth(MarkupStatusBar::StatusPanel, width);
}
void TfrmMain::setProgressPanelWidth(int width) {
    statusBar_->setPanelWidth(MarkupStatusBar::ProgressPanel, width);
}
void TfrmMain::setProgress(int percent) {
    statusBar_->setProgress(percent);
}
void TfrmMain::repaintStatusBar() {
    statusBar_->repaintNow();
}

// --- adapter::StatusSink, adapter::AdapterListener --------------------------------------

void TfrmMain::showStatus(const std::string& markup) {
    setStatusText(QString::fromStdString(markup));
}

void TfrmMain::setOptionsMenuEnabled(bool enabled) {
    mnuOptions->menuAction()->setEnabled(enabled);
    mnuOptions->setEnabled(enabled);
}

void TfrmMain::setStatusBarEnabled(bool enabled) {
    statusBar_->setEnabled(enabled);
}

void TfrmMain::setHardwarePanel(const std::string& markup) {
    statusBar_->setPanelText(MarkupStatusBar::HardwarePanel, QString::fromStdString(markup));
}

void TfrmMain::setFrequencyPanel(const std::string& markup) {
    statusBar_->setPanelText(MarkupStatusBar::FrequencyPanel, QString::fromStdString(markup));
}

void TfrmMain::showBusLineMessage(const std::string& text) {
    ui::prompts().information(QString::fromStdString(text));
}

// --- adapter ---------------------------------------------------------------------------

void TfrmMain::queueDeviceChange() {
    QMetaObject::invokeMethod(this, &TfrmMain::HIDCtlDeviceChange, Qt::QueuedConnection);
}

void TfrmMain::HIDCtlDeviceChange() {
    link_->HIDCtlDeviceChange();
    accessNotice_->update(link_->attached() ? std::string() : controller_->accessProblem());
}

// --- menu handlers ---------------------------------------------------------------------

void TfrmMain::mnuCloseClick() {
    QMdiSubWindow* sub = mdiArea_->activeSubWindow();
    if (!sub) sub = mdiArea_->currentSubWindow();
    if (sub) sub->close();
    if (childWindowCount() == 0) DisableMenus();
    mergeMenus();
}

void TfrmMain::mnuCloseAllClick() {
    closeAllChildren();
    DisableMenus();
}

void TfrmMain::ExitClick() {
    exitApplication();
}

void TfrmMain::mnuEEPROMClick(int sizeBytes) {
    addChild(new eeprom::TfrmSmallEE(*this, sizeBytes));
}

device::TfrmLongI2C* TfrmMain::userDefinedWindow() const {
    return frmLongI2C_;
}

void TfrmMain::mnuUserDefinedClick() {
    if (!frmLongI2C_) {
        frmLongI2C_ = new device::TfrmLongI2C(*this);
        addChild(frmLongI2C_);
        return;
    }
    if (auto* sub = qobject_cast<QMdiSubWindow*>(frmLongI2C_->parentWidget()))
        mdiArea_->setActiveSubWindow(sub);
}

void TfrmMain::mnuExpertClick() {
    if (!frmMessage_) {
        frmMessage_ = new expert::TfrmMessage(*this);
        addChild(frmMessage_);
    } else if (auto* sub = qobject_cast<QMdiSubWindow*>(frmMessage_->parentWidget())) {
        mdiArea_->setActiveSubWindow(sub);
    }
    EnableMenus();
}

void TfrmMain::BitRateClick() {
    if (!frmBitrate_) frmBitrate_ = new TfrmBitrate(*link_, this);
    frmBitrate_->show();
    frmBitrate_->raise();
    frmBitrate_->activateWindow();
}

void TfrmMain::pnlStatusBarPanelDblClick(int) {
    BitRateClick();
}

void TfrmMain::mnuResetClick() {
    link_->ResetBus();
}

void TfrmMain::mnuCascadeClick() {
    cascadeChildren(*mdiArea_);
}

void TfrmMain::mnuTileClick() {
    tileChildren(*mdiArea_);
}

void TfrmMain::mnuMinimizeAllClick() {
    const QList<QMdiSubWindow*> subs = mdiArea_->subWindowList();
    for (auto it = subs.crbegin(); it != subs.crend(); ++it)
        if (!(*it)->isHidden()) (*it)->showMinimized();
}

void TfrmMain::mnuUpdateClick() {
    updateService_->run();
}

void TfrmMain::mnuParvexClick() {
    openUrl(QUrl(kWebPageUrl));
}

void TfrmMain::AboutItemClick() {
    if (!aboutBox_) aboutBox_ = new TAboutBox(*link_, this);
    aboutBox_->exec();
}

}  // namespace parvex::shell
