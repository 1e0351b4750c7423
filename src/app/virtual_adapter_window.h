#pragma once
// The small tool window that comes with --virtual-adapter: what is on the virtual bus, and
// switches to plug and unplug the adapter, stall it, hold bus lines low and add an
// unrelated HID device, so that every attachment path can be tried without hardware.

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QListWidget;
class QPushButton;

namespace parvex::hid {
class VirtualController;
}

namespace parvex::app {

class VirtualAdapterWindow : public QWidget {
    Q_OBJECT
public:
    explicit VirtualAdapterWindow(hid::VirtualController& controller, QWidget* parent = nullptr);

    // Re-reads the bus devices and the switches' states from the controller.
    void refresh();

private:
    void setLines(int id);

    hid::VirtualController& controller_;
    QListWidget* lstDevices = nullptr;
    QPushButton* btnPlug = nullptr;
    QPushButton* btnUnplug = nullptr;
    QCheckBox* chbStalled = nullptr;
    QCheckBox* chbOtherDevice = nullptr;
    QButtonGroup* grpLines = nullptr;
};

}  // namespace parvex::app
