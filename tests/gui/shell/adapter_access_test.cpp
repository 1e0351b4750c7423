// An adapter that is plugged in but that this user may not open, seen through the real HID
// backend over stand-in hidapi calls.
#include <utility>

#include "adapter/status_texts.h"
#include "gui/shell/shell_fixture.h"
#include "hid/fake_hidraw.h"
#include "hid/hidapi_backend.h"
#include "shell/adapter_access.h"
#include "ui/text.h"

namespace parvex::test {
namespace {

constexpr const char* kNode = "/dev/hidraw5";

// Notices handed over by the test; no descriptor, so the window watches none.
class HandedNotices final : public hid::NoticeSource {
public:
    [[nodiscard]] int descriptor() const override { return -1; }
    std::vector<hid::DeviceNotice> drain() override { return std::exchange(pending, {}); }
    std::vector<hid::DeviceNotice> pending;
};

class AdapterAccessTest : public ::testing::Test {
protected:
    AdapterAccessTest() {
        FakeNode& node = fake.add(kNode, kAdapterVendorId, kAdapterProductId, L"Parvex");
        node.adapter = &adapter;
        node.openable = false;
        auto source = std::make_unique<HandedNotices>();
        notices = source.get();
        auto hidapi =
            std::make_unique<hid::HidapiController>(FakeHidraw::calls(), std::move(source));
        controller = hidapi.get();
        main = std::make_unique<shell::TfrmMain>(std::move(hidapi));
        settle();  // the start-up notice
    }
    ~AdapterAccessTest() override {
        main.reset();
        settle();
    }

    void notice(std::vector<hid::DeviceNotice> batch) {
        notices->pending = std::move(batch);
        controller->processNotices();
        settle();
    }
    [[nodiscard]] shell::MarkupPanel* hardwarePanel() const {
        return main->findChild<shell::MarkupPanel*>(QStringLiteral("pnlStatusBarPanel2"));
    }
    [[nodiscard]] QStringList warnings() const {
        QStringList out;
        for (const auto& e : prompts.events)
            if (e.kind == ScriptedPrompts::Kind::Warning) out << e.text;
        return out;
    }

    ScriptedPrompts prompts;
    FakeHidraw fake;
    sim::VirtualAdapter adapter;
    HandedNotices* notices = nullptr;
    hid::HidapiController* controller = nullptr;
    std::unique_ptr<shell::TfrmMain> main;
};

TEST_F(AdapterAccessTest, IsSaidInTheHardwarePanelItsHintAndOneBox) {
    const QString told = QString::fromStdString(hid::noPermissionText(kNode));
    ASSERT_NE(hardwarePanel(), nullptr);
    EXPECT_EQ(hardwarePanel()->markup(),
              R"(<P align="center"><FONT color="clRed">Parvex Hardware: No Permission</FONT>)");
    EXPECT_EQ(hardwarePanel()->toolTip(), told);
    EXPECT_EQ(warnings(), QStringList{told});
    EXPECT_TRUE(told.contains(QStringLiteral("no permission to open it (/dev/hidraw5)")));

    // Another HID device coming and going runs the device change again; the box stays single.
    fake.add("/dev/hidraw6", 0x046D, 0xC077, L"Mouse");
    notice({{"add", "/dev/hidraw6"}});
    fake.remove("/dev/hidraw6");
    notice({{"remove", "/dev/hidraw6"}});
    EXPECT_EQ(hardwarePanel()->markup(), shell::kHardwareNoPermission);
    EXPECT_EQ(hardwarePanel()->toolTip(), told);
    EXPECT_EQ(warnings().size(), 1);
}

TEST_F(AdapterAccessTest, GoesOnceTheAdapterOpensAndComesBackWithTheNextRefusal) {
    fake.find(kNode)->openable = true;  // the rule is installed, the adapter replugged
    notice({{"remove", kNode}, {"add", kNode}});
    EXPECT_TRUE(main->link().attached());
    EXPECT_EQ(hardwarePanel()->markup(), ui::qs(adapter::kHardwareDetected));
    EXPECT_EQ(hardwarePanel()->toolTip(), QString());
    EXPECT_EQ(warnings().size(), 1);

    // Pulled out, then plugged into a machine state where it is refused again: news again.
    fake.remove(kNode);
    notice({{"remove", kNode}});
    EXPECT_EQ(hardwarePanel()->markup(), ui::qs(adapter::kHardwareNotDetected));
    EXPECT_EQ(hardwarePanel()->toolTip(), QString());
    FakeNode& back = fake.add(kNode, kAdapterVendorId, kAdapterProductId, L"Parvex");
    back.openable = false;
    notice({{"add", kNode}});
    EXPECT_EQ(hardwarePanel()->markup(), shell::kHardwareNoPermission);
    EXPECT_EQ(warnings().size(), 2);
}

TEST_F(AdapterAccessTest, OtherRefusalsStayNotDetected) {
    // A node refused for another reason (busy, I/O error) is no permission matter.
    FakeNode* node = fake.find(kNode);
    node->openError = EBUSY;
    notice({{"add", "/dev/hidraw7"}});
    EXPECT_EQ(hardwarePanel()->markup(), ui::qs(adapter::kHardwareNotDetected));
    EXPECT_EQ(hardwarePanel()->toolTip(), QString());
}

}  // namespace
}  // namespace parvex::test
