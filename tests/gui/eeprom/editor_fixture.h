#pragma once
// A small host for driving editor windows without the main window: the real adapter link
// over the virtual adapter, a hook before every transfer, and a record of what the window
// asked of the status bar and the menus.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "adapter/adapter_link.h"
#include "common/wait.h"
#include "eeprom/SmallEE.h"
#include "gui/shell/shell_fixture.h"  // PrintTo for Qt strings, ShellTest, settle()
#include "hid/virtual_backend.h"
#include "sim/eeprom24.h"
#include "sim/virtual_adapter.h"
#include "support/scripted_prompts.h"
#include "ui/host.h"

namespace parvex::test {

class EditorHost final : public ui::Host,
                         public adapter::StatusSink,
                         public adapter::AdapterListener,
                         public adapter::Transfers {
public:
    EditorHost();
    ~EditorHost() override;

    // The virtual adapter, plugged in, with an EEPROM of sizeBytes at base on its bus.
    std::shared_ptr<sim::Eeprom24> plugWithChip(int sizeBytes, int pageBytes = 8,
                                                std::uint8_t base = 0xA0);

    // A window of sizeBytes, shown, deleted on close, known to closeAllChildren().
    eeprom::TfrmSmallEE* openEditor(int sizeBytes);

    hid::VirtualController controller;
    adapter::AdapterLink link{controller, *this, *this};

    // Called before every transfer operation with its number, counting from 0.
    std::function<void(int)> beforeTransfer;
    int transferCount = 0;

    // What the window did to the status bar and the menus.
    QString status;
    int statusWidth = 250;
    int progressWidth = 0;
    std::vector<int> progress;
    std::vector<std::pair<int, int>> widthsAtProgress;  // (status, progress) at each setProgress
    int repaints = 0;
    int resetWarnings = 0;
    int enableMenus = 0;
    int disableMenus = 0;
    bool exited = false;
    std::vector<QPointer<eeprom::TfrmSmallEE>> windows;

    // ui::Host
    adapter::Transfers& transfers() override { return *this; }
    void ErrorMessage(std::uint8_t acknowledge) override { link.ErrorMessage(acknowledge); }
    void ResetWarning() override {
        ++resetWarnings;
        link.ResetWarning();
    }
    void setStatusText(const QString& markup) override {
        status = markup;
        ++repaints;
    }
    void EnableMenus() override { ++enableMenus; }
    void DisableMenus() override { ++disableMenus; }
    void setStatusPanelWidth(int width) override { statusWidth = width; }
    void setProgressPanelWidth(int width) override { progressWidth = width; }
    void setProgress(int percent) override {
        progress.push_back(percent);
        widthsAtProgress.emplace_back(statusWidth, progressWidth);
    }
    void repaintStatusBar() override { ++repaints; }
    [[nodiscard]] int childWindowCount() const override;
    bool closeAllChildren() override;
    void exitApplication() override { exited = closeAllChildren(); }

    // adapter::StatusSink and AdapterListener
    void showStatus(const std::string& markup) override {
        status = QString::fromStdString(markup);
        ++repaints;
    }
    void setOptionsMenuEnabled(bool) override {}
    void setStatusBarEnabled(bool) override {}
    void setHardwarePanel(const std::string&) override {}
    void setFrequencyPanel(const std::string&) override {}
    void showBusLineMessage(const std::string&) override {}

    // adapter::Transfers, through the link, after the hook.
    std::uint8_t I2CWrite(std::uint8_t address, std::uint8_t dataByte) override;
    std::uint8_t I2CWriteByte(std::uint8_t address, std::uint8_t subaddress,
                              std::uint8_t dataByte) override;
    std::uint8_t I2CWriteArray(std::uint8_t address, std::uint8_t subaddress,
                               std::uint16_t numBytes, const std::uint8_t* dataPointer) override;
    void I2CRead(std::uint8_t address, TUSBI2CReport& inReport) override;
    void I2CReadCount(std::uint8_t address, std::uint8_t count, TUSBI2CReport& inReport) override;
    void I2CReadByte(std::uint8_t address, std::uint8_t subaddress,
                     TUSBI2CReport& inReport) override;
    void I2CReadArray(std::uint8_t address, std::uint8_t subaddress, std::int32_t numBytes,
                      TUSBI2CReport& inReport) override;
    std::uint8_t I2CDeviceWrite(const TUSBI2CReport& outReport) override;
    std::uint8_t I2CDeviceRead(const TUSBI2CReport& outReport, TUSBI2CReport& inReport) override;

private:
    void hook() {
        const int n = transferCount++;
        if (beforeTransfer) beforeTransfer(n);
    }
};

// Status panel texts as the link shows them.
QString statusOf(std::uint8_t code);

// The transfer command reports the adapter received: (bus address byte, first write byte,
// write count, read count), in order.
struct SentTransfer {
    int address;
    int word;
    int writeCount;
    int readCount;
    bool operator==(const SentTransfer& o) const {
        return address == o.address && word == o.word && writeCount == o.writeCount &&
               readCount == o.readCount;
    }
};
std::vector<SentTransfer> sentTransfers(const sim::VirtualAdapter& adapter);

// The editor's controls, found by their object names as docs/object-names.md lists them.
struct EditorControls {
    QLabel* lblDeviceSize;
    QComboBox* cmbAddress;
    QComboBox* cmbPageSize;
    QSpinBox* spnWriteCycle;
    QLabel* lblWordAddress;
    QPushButton* btnReadOne;
    QPushButton* btnRead;
    QPushButton* btnWriteOne;
    QPushButton* btnWrite;
    QPushButton* btnVerify;
    QLineEdit* edtFrom;
    QLineEdit* edtTo;
    QLineEdit* edtPreset;
    QPushButton* btnFill;
    QLineEdit* edtCopyStart;
    QLineEdit* edtCopyEnd;
    QLineEdit* edtTargetStart;
    QPushButton* btnCopy;
    QSplitter* splitter;
    QTableView* stgMemory;
    QTableView* stgText;
    QMenu* mnuEEFile;
    QAction* mnuOpen;
    QAction* mnuSaveAs;
    QAction* mnuClose;
    QAction* mnuCloseAll;
    QAction* mnuExit;
};
// Fails the test for a name that is missing.
EditorControls ctl(const eeprom::TfrmSmallEE* w);
inline EditorControls ctl(const eeprom::TfrmSmallEE& w) {
    return ctl(&w);
}

// Hex and ASCII cell texts of a byte address.
QString hexCell(eeprom::TfrmSmallEE& w, int address);
QString asciiCell(eeprom::TfrmSmallEE& w, int address);

// Focuses a grid's cell the way a click would and opens its editor.
void clickCell(QTableView* view, int row, int column);
// Types text into whatever widget has the focus, one key at a time, as a user would: the
// focus moves on by itself as cells complete.
void typeKeys(const QString& text);
void typeKey(Qt::Key key, const QString& text = {});

// A fixture with a fake clock, scripted prompts and a host.
class EditorTest : public ::testing::Test {
protected:
    void TearDown() override;
    timing::FakeClock clock;
    timing::ScopedClock scopedClock{clock};
    ScriptedPrompts prompts;
    EditorHost host;
};

}  // namespace parvex::test
