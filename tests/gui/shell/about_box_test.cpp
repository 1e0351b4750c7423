// The about box: its three information lines, its links and their hover colours.
#include <QEnterEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <functional>

#include "gui/shell/shell_fixture.h"
#include "shell/About.h"
#include "shell/links.h"
#include "shell/version.h"

namespace parvex::test {
namespace {

using shell::TAboutBox;

class AboutBoxTest : public ShellTest {
protected:
    void TearDown() override {
        shell::setVersionSource({});
        shell::setUrlOpener({});
        ShellTest::TearDown();
    }

    // Opens the box through Help > "&About", runs `check` while it is up, then presses OK.
    void whileOpen(const std::function<void(TAboutBox&)>& check) {
        bool ran = false;
        QTimer::singleShot(0, main.get(), [&] {
            auto* box = main->findChild<TAboutBox*>();
            ASSERT_NE(box, nullptr);
            EXPECT_TRUE(box->isModal());
            ran = true;
            check(*box);
            QTest::mouseClick(box->findChild<QPushButton*>("btnOK"), Qt::LeftButton);
        });
        action("AboutItem")->trigger();
        EXPECT_TRUE(ran);
        settle();
        // OK frees the box, so the next one is made afresh.
        EXPECT_EQ(main->findChild<TAboutBox*>(), nullptr);
    }

    static QStringList lines(const TAboutBox& box) {
        QStringList out;
        for (const char* name : {"Version", "lblFirmware", "lblSerialNumber"})
            out << box.findChild<QLabel*>(name)->text();
        return out;
    }
};

TEST_F(AboutBoxTest, ShowsVersionFirmwareAndSerialOfTheLastArrival) {
    start();
    settle();
    const QString firmware = QString::fromStdString(virt->adapter().firmwareRevision());
    ASSERT_EQ(firmware.size(), 19);
    whileOpen([&](TAboutBox& box) {
        EXPECT_EQ(box.windowTitle(), "About Parvex");
        EXPECT_EQ(lines(box),
                  (QStringList{"Software Version:  1.3.1.0", "Firmware Revision:  " + firmware,
                               "Serial Number:  12345"}));
    });
    // Pulled out, the adapter's last identity stays.
    virt->unplug();
    settle();
    whileOpen([&](TAboutBox& box) { EXPECT_EQ(lines(box)[2], "Serial Number:  12345"); });
}

TEST_F(AboutBoxTest, NoAdapterSinceStartUpLeavesTheLinesEmptyAndZero) {
    start(/*plugged=*/false);
    settle();
    whileOpen([&](TAboutBox& box) {
        EXPECT_EQ(lines(box), (QStringList{"Software Version:  1.3.1.0",
                                           "Firmware Revision:  ", "Serial Number:  0"}));
    });
}

TEST_F(AboutBoxTest, BuildWithoutVersionInformation) {
    start(/*plugged=*/false);
    shell::setVersionSource([] { return QString(); });
    whileOpen([&](TAboutBox& box) { EXPECT_EQ(lines(box)[0], "No version information found"); });
}

// An adapter whose firmware field is padded with NULs, not blanks.
class NulPaddedAdapter : public hid::Controller {
public:
    class Device : public hid::Device {
    public:
        const hid::DeviceInfo& info() const override { return info_; }
        bool pluggedIn() const override { return true; }
        int write(const std::uint8_t* report, std::size_t length) override {
            command_ = report[report::kCommand];
            return static_cast<int>(length);
        }
        int read(std::uint8_t* report, std::size_t length, int) override {
            std::fill(report, report + length, 0);
            if (command_ == cmdFirmwareRev) std::memcpy(report + report::kFirmwareRev, "FW 2.1", 6);
            if (command_ == cmdPortStatus) report[report::kLineState] = 3;
            return static_cast<int>(length);
        }
        void drainInput() override {}

    private:
        hid::DeviceInfo info_{kAdapterVendorId, kAdapterProductId, "fake:0", "fake"};
        std::uint8_t command_ = 0;
    };

    void enumerate(const std::function<bool(const hid::DeviceInfo&, int)>& callback) override {
        callback(hid::DeviceInfo{kAdapterVendorId, kAdapterProductId, "fake:0", "fake"}, 0);
    }
    std::unique_ptr<hid::Device> checkOut(int) override { return std::make_unique<Device>(); }
    void setChangeHandler(std::function<void()> handler) override { handler_ = std::move(handler); }
    int noticeDescriptor() const override { return -1; }
    void processNotices() override {}

private:
    std::function<void()> handler_;
};

TEST_F(AboutBoxTest, FirmwareRevisionLeavesNulCharactersOut) {
    main = std::make_unique<shell::TfrmMain>(std::make_unique<NulPaddedAdapter>());
    settle();
    ASSERT_EQ(main->link().firmwareRev().size(), 19u);
    whileOpen([&](TAboutBox& box) { EXPECT_EQ(lines(box)[1], "Firmware Revision:  FW 2.1"); });
}

TEST_F(AboutBoxTest, LinksOpenThroughTheDesktopAndChangeColourOnHover) {
    start(/*plugged=*/false);
    QList<QUrl> opened;
    shell::setUrlOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    whileOpen([&](TAboutBox& box) {
        for (const char* name : {"lblOrder", "lblSupport", "lblSales"}) {
            auto* link = box.findChild<shell::LinkLabel*>(name);
            ASSERT_NE(link, nullptr) << name;
            EXPECT_EQ(link->linkColor(), QColor(0, 0, 255)) << name;
            QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
            QCoreApplication::sendEvent(link, &enter);
            EXPECT_EQ(link->linkColor(), QColor(0, 128, 0)) << name;
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(link, &leave);
            EXPECT_EQ(link->linkColor(), QColor(0, 0, 255)) << name;
            QTest::mouseClick(link, Qt::LeftButton);
        }
        auto* notice = box.findChild<QLabel*>("lblNotice");
        ASSERT_NE(notice, nullptr);
        EXPECT_EQ(notice->text(), "Parvex 2026");
    });
    EXPECT_EQ(opened,
              (QList<QUrl>{QUrl("https://www.example.com/products.html"),
                           QUrl("mailto:support@example.com"), QUrl("mailto:sales@example.com")}));
}

}  // namespace
}  // namespace parvex::test
