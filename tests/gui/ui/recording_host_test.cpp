// The recording host that child window tests stand in for the main window with: it must
// close children as the frame does and pass transfers on, or those tests prove nothing.

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QMenu>
#include <vector>

#include "adapter/status_texts.h"
#include "eeprom/fake_transfers.h"
#include "support/qt_printers.h"
#include "support/recording_host.h"
#include "ui/child_window.h"

namespace parvex::test {
namespace {

class Child final : public ui::ChildWindow {
public:
    Child(ui::Host& host, bool refuse) : ui::ChildWindow(host), refuse_(refuse) {}
    QList<QMenu*> mergedMenus() const override { return {}; }

protected:
    void closeEvent(QCloseEvent* event) override {
        if (refuse_) event->ignore();
    }

private:
    bool refuse_;
};

TEST(RecordingHost, ClosesChildrenLastFirstAndStopsAtARefusal) {
    RecordingHost host;
    std::vector<QPointer<QWidget>> children;
    for (const bool refuse : {false, true, false}) {
        children.emplace_back(new Child(host, refuse));
        host.adopt(children.back());
    }
    EXPECT_EQ(host.childWindowCount(), 3);

    host.exitApplication();
    EXPECT_FALSE(host.exited);
    EXPECT_TRUE(children[0]) << "the one before the refusal stays";
    EXPECT_TRUE(children[1]);
    EXPECT_FALSE(children[2]) << "closed and deleted";
    EXPECT_EQ(host.childWindowCount(), 2);
}

TEST(RecordingHost, PassesTransfersOnAfterTheHookAndRecordsTheStatusPanel) {
    eeprom::test::FakeTransfers bus;
    RecordingHost host(bus);
    std::vector<int> hooked;
    host.beforeTransfer = [&](int n) {
        hooked.push_back(n);
        if (n == 1) bus.plugged = false;
    };
    EXPECT_EQ(host.transfers().I2CWriteByte(0xA0, 0x00, 0x12), status::kSuccess);
    EXPECT_EQ(host.transfers().I2CWriteByte(0xA0, 0x01, 0x34), status::kNoHardware);
    EXPECT_EQ(hooked, (std::vector<int>{0, 1}));
    EXPECT_EQ(host.transferCount, 2);
    EXPECT_EQ(bus.calls.size(), 2u);

    host.ErrorMessage(status::kNoHardware);
    EXPECT_EQ(host.status, QString::fromStdString(adapter::statusText(status::kNoHardware)));
    EXPECT_EQ(host.errorCodes, (std::vector<std::uint8_t>{status::kNoHardware}));
    host.ResetWarning();
    EXPECT_TRUE(host.status.isEmpty());
    EXPECT_EQ(host.resetWarnings, 1);
    EXPECT_EQ(host.repaints, 2);
}

}  // namespace
}  // namespace parvex::test
