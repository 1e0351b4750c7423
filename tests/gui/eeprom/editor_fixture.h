#pragma once
// Editor windows driven without the main window: a recording host over the real adapter
// link on the virtual adapter.

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
#include "support/null_adapter_window.h"
#include "support/recording_host.h"
#include "support/scripted_prompts.h"
#include "ui/host.h"

namespace parvex::test {

// The recording host over the real adapter link on the virtual adapter.
class EditorHost final : public RecordingHost {
public:
    EditorHost();
    ~EditorHost() override;

    // The virtual adapter, plugged in, with an EEPROM of sizeBytes at base on its bus.
    std::shared_ptr<sim::Eeprom24> plugWithChip(int sizeBytes, int pageBytes = 8,
                                                std::uint8_t base = 0xA0);

    // A window of sizeBytes, shown, deleted on close, known to closeAllChildren().
    eeprom::TfrmSmallEE* openEditor(int sizeBytes);

    hid::VirtualController controller;
    NullAdapterListener listener;
    adapter::AdapterLink link{controller, *this, listener};
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
