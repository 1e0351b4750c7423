// The virtual adapter's tool window: its switches reach the main window through the virtual
// backend, its scheduled faults strike in the middle of a bus operation, and its register view
// follows the register device.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

#include "adapter/status_texts.h"
#include "app/virtual_adapter_window.h"
#include "gui/shell/shell_fixture.h"

namespace parvex::test {
namespace {

using shell::MarkupStatusBar;

const QString kDetected =
    QStringLiteral(R"(<P align="center"><FONT color="clWhite">Parvex Hardware Detected</FONT>)");
const QString kNotDetected = QStringLiteral(
    R"(<P align="center"><FONT color="clWhite">Parvex Hardware Not Detected</FONT>)");

TEST_F(ShellTest, VirtualAdapterWindowSwitchesReachTheMainWindow) {
    start(/*plugged=*/false);
    settle();
    app::VirtualAdapterWindow tool(*virt);
    const auto* list = tool.findChild<QListWidget*>("lstDevices");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    EXPECT_TRUE(list->item(0)->text().contains("EEPROM"));

    QTest::mouseClick(tool.findChild<QPushButton*>("btnPlug"), Qt::LeftButton);
    settle();
    EXPECT_EQ(panel(MarkupStatusBar::HardwarePanel), kDetected);
    EXPECT_FALSE(tool.findChild<QPushButton*>("btnPlug")->isEnabled());

    tool.findChild<QRadioButton*>("rbSdaLow")->click();
    EXPECT_EQ(virt->adapter().lines(), sim::Lines::SdaLow);
    tool.findChild<QCheckBox*>("chbOtherDevice")->click();
    settle();
    EXPECT_EQ(prompts.texts(),
              QStringList{"SDA low. Ensure pull-ups are connected to SDA and SCL."});

    QTest::mouseClick(tool.findChild<QPushButton*>("btnUnplug"), Qt::LeftButton);
    settle();
    EXPECT_EQ(panel(MarkupStatusBar::HardwarePanel), kNotDetected);
}

TEST_F(ShellTest, TimingSwitchesSetTheLinkAndEveryEepromsWriteCycle) {
    start(/*plugged=*/true);
    auto second = std::make_shared<sim::Eeprom24>(256, 8, 0xB0);
    virt->adapter().bus().attach(second);
    app::VirtualAdapterWindow tool(*virt);
    auto* link = tool.findChild<QCheckBox*>("chbLinkTime");
    auto* cycle = tool.findChild<QSpinBox*>("spnChipWriteCycle");
    ASSERT_NE(link, nullptr);
    ASSERT_NE(cycle, nullptr);
    EXPECT_FALSE(link->isChecked());
    EXPECT_EQ(cycle->value(), 5);  // what the default EEPROM starts with

    link->click();
    EXPECT_EQ(virt->linkTimeMs(), 2u);
    cycle->setValue(3);
    for (const auto& device : virt->adapter().bus().devices()) {
        if (auto* chip = dynamic_cast<sim::Eeprom24*>(device.get())) {
            EXPECT_EQ(chip->writeCycleMs(), 3u) << chip->describe();
        }
    }
    link->click();
    EXPECT_EQ(virt->linkTimeMs(), 0u);
}

// Statuses of `count` register reads through the main window's link.
std::vector<int> readRegisters(adapter::AdapterLink& link, int count) {
    std::vector<int> statuses;
    for (int i = 0; i < count; ++i) {
        TUSBI2CReport in{};
        link.I2CReadByte(0x40, static_cast<std::uint8_t>(i), in);
        statuses.push_back(in[report::kStatus]);
    }
    return statuses;
}

TEST_F(ShellTest, ScheduledFaultsStrikeInTheMiddleOfARun) {
    start();
    settle();
    app::VirtualAdapterWindow tool(*virt);
    auto* after = tool.findChild<QSpinBox*>("spnFaultAfter");
    auto* label = tool.findChild<QLabel*>("lblFault");
    ASSERT_NE(after, nullptr);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "No fault scheduled");

    after->setValue(3);
    QTest::mouseClick(tool.findChild<QPushButton*>("btnUnplugAfter"), Qt::LeftButton);
    EXPECT_EQ(label->text(), "Unplug after 3 more exchanges");
    EXPECT_EQ(readRegisters(main->link(), 2), (std::vector<int>{0, 0}));
    EXPECT_EQ(label->text(), "Unplug after 1 more exchange");
    EXPECT_EQ(readRegisters(main->link(), 3), (std::vector<int>{0, 170, 170}));
    EXPECT_EQ(label->text(), "No fault scheduled");
    EXPECT_TRUE(tool.findChild<QPushButton*>("btnPlug")->isEnabled());
    settle();
    EXPECT_EQ(panel(MarkupStatusBar::HardwarePanel), kNotDetected);

    QTest::mouseClick(tool.findChild<QPushButton*>("btnPlug"), Qt::LeftButton);
    settle();
    after->setValue(0);
    QTest::mouseClick(tool.findChild<QPushButton*>("btnStallAfter"), Qt::LeftButton);
    EXPECT_EQ(label->text(), "Stall at the next exchange");
    const std::uint64_t before = clock.totalSleptMillis();
    EXPECT_EQ(readRegisters(main->link(), 4), (std::vector<int>{170, 170, 170, 170}));
    EXPECT_LE(clock.totalSleptMillis() - before, 2u * hid::kReadTimeoutMs);
    EXPECT_TRUE(tool.findChild<QCheckBox*>("chbStalled")->isChecked());

    // Cancel takes a scheduled fault back before it strikes.
    tool.findChild<QCheckBox*>("chbStalled")->click();
    main->link().newUserAction();
    QTest::mouseClick(tool.findChild<QPushButton*>("btnUnplugAfter"), Qt::LeftButton);
    QTest::mouseClick(tool.findChild<QPushButton*>("btnCancelFault"), Qt::LeftButton);
    EXPECT_EQ(label->text(), "No fault scheduled");
    EXPECT_EQ(readRegisters(main->link(), 2), (std::vector<int>{0, 0}));
}

TEST_F(ShellTest, RegisterViewFollowsTheRegisterDeviceAtEachExchange) {
    start();
    settle();
    app::VirtualAdapterWindow tool(*virt);
    const auto* view = tool.findChild<QTableView*>("tblRegisters");
    ASSERT_NE(view, nullptr);
    const QAbstractItemModel* model = view->model();
    ASSERT_EQ(model->rowCount(), 16);
    ASSERT_EQ(model->columnCount(), 16);
    EXPECT_EQ(model->headerData(10, Qt::Horizontal).toString(), "A");
    EXPECT_EQ(model->headerData(3, Qt::Vertical).toString(), "30");
    EXPECT_EQ(tool.findChild<QGroupBox*>("grpRegisters")->title(), "Register device at 40");
    EXPECT_EQ(model->index(0, 5).data().toString(), "00");
    EXPECT_EQ(model->index(4, 0).data().toString(), "");  // the device has 64 registers

    // A write of one register and a write of a run: the view shows them without waiting.
    EXPECT_EQ(main->link().I2CWriteByte(0x40, 0x05, 0xAB), 0);
    EXPECT_EQ(model->index(0, 5).data().toString(), "AB");
    const std::uint8_t run[3] = {0x10, 0x2F, 0xC3};
    EXPECT_EQ(main->link().I2CWriteArray(0x40, 0x3E, 4, run), 0);  // wraps at 64 registers
    EXPECT_EQ(model->index(3, 14).data().toString(), "10");
    EXPECT_EQ(model->index(3, 15).data().toString(), "2F");
    EXPECT_EQ(model->index(0, 0).data().toString(), "C3");
}

}  // namespace
}  // namespace parvex::test
