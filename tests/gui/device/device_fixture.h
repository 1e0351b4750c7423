#pragma once
// The main window over the virtual adapter (a register device of 64 at 40 on its bus) with
// the user-definable device window opened through its menu item.

#include <unistd.h>
#include <QAbstractItemModel>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "device/Longi2c.h"
#include "gui/shell/shell_fixture.h"
#include "sim/register_device.h"

namespace parvex::test {

inline std::string fileText(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
inline void putFile(const std::string& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// The main window as a host, with a hook before every transfer operation: a test pulls the
// adapter at a chosen exchange. A window built over it lives in the frame as any other.
class HookedHost final : public ui::Host, public adapter::Transfers {
public:
    explicit HookedHost(shell::TfrmMain& main) : main_(main) {}
    std::function<void(int)> beforeTransfer;
    int count = 0;

    adapter::Transfers& transfers() override { return *this; }
    void ErrorMessage(std::uint8_t a) override { main_.ErrorMessage(a); }
    void ResetWarning() override { main_.ResetWarning(); }
    void setStatusText(const QString& m) override { main_.setStatusText(m); }
    void EnableMenus() override { main_.EnableMenus(); }
    void DisableMenus() override { main_.DisableMenus(); }
    void setStatusPanelWidth(int w) override { main_.setStatusPanelWidth(w); }
    void setProgressPanelWidth(int w) override { main_.setProgressPanelWidth(w); }
    void setProgress(int p) override { main_.setProgress(p); }
    void repaintStatusBar() override { main_.repaintStatusBar(); }
    int childWindowCount() const override { return main_.childWindowCount(); }
    bool closeAllChildren() override { return main_.closeAllChildren(); }
    void exitApplication() override { main_.exitApplication(); }

    std::uint8_t I2CWrite(std::uint8_t a, std::uint8_t b) override {
        hook();
        return bus().I2CWrite(a, b);
    }
    std::uint8_t I2CWriteByte(std::uint8_t a, std::uint8_t s, std::uint8_t b) override {
        hook();
        return bus().I2CWriteByte(a, s, b);
    }
    std::uint8_t I2CWriteArray(std::uint8_t a, std::uint8_t s, std::uint16_t n,
                               const std::uint8_t* p) override {
        hook();
        return bus().I2CWriteArray(a, s, n, p);
    }
    void I2CRead(std::uint8_t a, TUSBI2CReport& r) override {
        hook();
        bus().I2CRead(a, r);
    }
    void I2CReadCount(std::uint8_t a, std::uint8_t n, TUSBI2CReport& r) override {
        hook();
        bus().I2CReadCount(a, n, r);
    }
    void I2CReadByte(std::uint8_t a, std::uint8_t s, TUSBI2CReport& r) override {
        hook();
        bus().I2CReadByte(a, s, r);
    }
    void I2CReadArray(std::uint8_t a, std::uint8_t s, std::int32_t n, TUSBI2CReport& r) override {
        hook();
        bus().I2CReadArray(a, s, n, r);
    }
    std::uint8_t I2CDeviceWrite(const TUSBI2CReport& o) override {
        hook();
        return bus().I2CDeviceWrite(o);
    }
    std::uint8_t I2CDeviceRead(const TUSBI2CReport& o, TUSBI2CReport& r) override {
        hook();
        return bus().I2CDeviceRead(o, r);
    }

private:
    adapter::Transfers& bus() { return main_.transfers(); }
    void hook() {
        const int n = count++;
        if (beforeTransfer) beforeTransfer(n);
    }
    shell::TfrmMain& main_;
};

class DeviceTest : public ShellTest {
protected:
    void SetUp() override {
        start(true);
        settle();
        for (const auto& d : virt->adapter().bus().devices())
            if (auto r = std::dynamic_pointer_cast<sim::RegisterDevice>(d)) chip = r;
        ASSERT_NE(chip, nullptr);
        dir = std::filesystem::temp_directory_path() /
              ("parvex_devgui_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        prompts.answers.clear();
        // Whatever a test left modified is let go without saving.
        for (int i = 0; i < 4; ++i) prompts.answer(ui::Answer::No);
        ShellTest::TearDown();
        hooked.reset();
        std::filesystem::remove_all(dir);
    }

    // Device > User Definable, then the window it opened or brought forward.
    device::TfrmLongI2C* open() {
        action("mnuUserDefined")->trigger();
        settle();
        auto* w = main->userDefinedWindow();
        EXPECT_NE(w, nullptr);
        return w;
    }

    // A device window whose transfers pass through `hooked`, in the frame.
    device::TfrmLongI2C* openHooked() {
        hooked = std::make_unique<HookedHost>(*main);
        auto* w = new device::TfrmLongI2C(*hooked);
        main->addChild(w);
        settle();
        return w;
    }

    template <typename T = QWidget>
    T* child(QObject* w, const char* name) const {
        T* c = w->findChild<T*>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QAction* item(device::TfrmLongI2C* w, const char* name) const {
        return child<QAction>(w, name);
    }
    static QString cell(device::TfrmLongI2C* w, int reg) { return w->cellText(reg); }
    static QVariant cellRole(device::TfrmLongI2C* w, int reg, int role) {
        QAbstractItemModel* m = w->findChild<QTableView*>("stgMemory")->model();
        return m->data(m->index(reg / 16, reg % 16), role);
    }
    static int gridRows(device::TfrmLongI2C* w) {
        return w->findChild<QTableView*>("stgMemory")->model()->rowCount();
    }
    QString caption(device::TfrmLongI2C* w) const {
        return child<QLabel>(w, "pnlRegister")->text();
    }
    QString status() const { return panel(0); }

    // Clicks a register's cell as the user would; its editor opens.
    void clickRegister(device::TfrmLongI2C* w, int reg) {
        auto* view = child<QTableView>(w, "stgMemory");
        activate(main.get());
        const QModelIndex index = view->model()->index(reg / 16, reg % 16);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }
    static void activate(QWidget* window) {
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window)) ADD_FAILURE() << "window not activated";
    }
    // Types into the widget that has the focus, one key at a time.
    static void type(const QString& text) {
        for (const QChar c : text) {
            QWidget* target = QApplication::focusWidget();
            ASSERT_NE(target, nullptr);
            QTest::keyClick(target, c.toLatin1());
        }
    }
    void setAddress(device::TfrmLongI2C* w, const QString& text) {
        child<QLineEdit>(w, "edtAddress")->setText(text);
    }
    void click(QObject* w, const char* button) {
        QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
    }

    std::string path(const std::string& name) const { return (dir / name).string(); }
    QString qpath(const std::string& name) const { return QString::fromStdString(path(name)); }

    std::shared_ptr<sim::RegisterDevice> chip;
    std::unique_ptr<HookedHost> hooked;
    std::filesystem::path dir;
};

}  // namespace parvex::test
