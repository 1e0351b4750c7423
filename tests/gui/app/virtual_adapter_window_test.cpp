// The virtual adapter's tool window: its switches reach the main window through the virtual
// backend.
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
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

}  // namespace
}  // namespace parvex::test
