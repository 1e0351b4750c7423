#pragma once
// The small tool window that comes with --virtual-adapter: what is on the virtual bus, and
// switches to plug and unplug the adapter, stall it, hold bus lines low and add an
// unrelated HID device, so that every attachment path can be tried without hardware. Faults
// can be scheduled a number of exchanges ahead, to strike in the middle of a bus operation
// (which blocks the program, this window included, while it runs), the link's time per exchange
// and the EEPROMs' write cycle can be set, and the register device's values are shown as the
// bus leaves them.

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableView;

namespace parvex::hid {
class VirtualController;
}

namespace parvex::app {

class RegisterTableModel;

class VirtualAdapterWindow : public QWidget {
    Q_OBJECT
public:
    explicit VirtualAdapterWindow(hid::VirtualController& controller, QWidget* parent = nullptr);

    // Re-reads the bus devices and the switches' states from the controller.
    void refresh();

private:
    void buildSwitches();
    void buildFaults();
    void buildTiming();
    // Every EEPROM on the bus takes this write cycle.
    void setChipWriteCycle(int ms);
    void buildRegisterView();
    void setLines(int id);
    // What an exchange may have changed: the switches, the scheduled fault, the registers.
    void refreshAfterExchange();

    hid::VirtualController& controller_;
    QListWidget* lstDevices = nullptr;
    QPushButton* btnPlug = nullptr;
    QPushButton* btnUnplug = nullptr;
    QCheckBox* chbStalled = nullptr;
    QCheckBox* chbOtherDevice = nullptr;
    QButtonGroup* grpLines = nullptr;
    QSpinBox* spnFaultAfter = nullptr;
    QLabel* lblFault = nullptr;
    QCheckBox* chbLinkTime = nullptr;
    QSpinBox* spnChipWriteCycle = nullptr;
    QTableView* tblRegisters = nullptr;
    RegisterTableModel* registers_ = nullptr;
};

}  // namespace parvex::app
