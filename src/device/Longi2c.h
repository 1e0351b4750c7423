#pragma once
// The user-definable device window: one register device shown as a grid of 16 registers a
// row, read and written over the host's transfer operations, defined in a dialog or opened
// from a definition file, and driven register by register from slider, spin and bit windows.

#include <QList>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <optional>

#include "device/definition.h"
#include "ui/child_window.h"
#include "ui/prompts.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QModelIndex;
class QPushButton;
class QTableView;

namespace parvex::ui {
class HexCellDelegate;
class KeyFilter;
}  // namespace parvex::ui

namespace parvex::device {

class RegisterGridModel;
class TfrmDefine;
class TfrmRegisterControl;

class TfrmLongI2C : public ui::ChildWindow {
    Q_OBJECT
public:
    explicit TfrmLongI2C(ui::Host& host, QWidget* parent = nullptr);
    ~TfrmLongI2C() override;

    [[nodiscard]] QList<QMenu*> mergedMenus() const override;
    void FormActivate() override;

    [[nodiscard]] const TDeviceDefinition& device() const { return device_; }
    [[nodiscard]] bool DeviceModified() const { return modified_; }
    [[nodiscard]] const QString& DefinitionFileName() const { return definitionFileName_; }
    [[nodiscard]] int ActiveRegister() const { return activeRegister_; }

    // Bus commands.
    void btnWriteOneClick();
    void btnReadOneClick();
    void btnReadClick();
    void btnWriteClick();
    // File menu. Save and Save As return true when the file was written.
    void mnuDefineClick();
    void mnuLoadClick();
    bool mnuSaveClick();
    bool mnuSaveAsClick();
    void mnuSaveASCIIClick();
    void mnuPrintClick();
    // Edit menu and popup.
    void mnuEditCurrentDeviceClick();
    void mnuEditCurrentCellClick();
    void ResetGridClick();
    void CreatefrmSliderClick();
    void frmSpinClick();
    void mnuBitWiseClick();

    // Selects the grid's current cell (the register caption line follows).
    void stgMemoryClick();

    // What the definition and register dialogs apply.
    struct Definition {
        QString name;
        QString address;
        int count = 1;
        QList<QString> descriptions;  // one per register row of the dialog
        QList<QString> values;
    };
    void applyDefinition(const Definition& definition);
    void applyRegister(const QString& value, const QString& description);
    // The File and Edit menus, off while a dialog on the current device is open.
    void setFileEditMenusEnabled(bool enabled);
    [[nodiscard]] QString addressText() const;

    // What the register control windows use.
    [[nodiscard]] QString cellText(int reg) const;
    [[nodiscard]] QString description(int reg) const;
    [[nodiscard]] bool isDefined(int reg) const { return device_.isDefined(reg); }
    // Moves the grid's current cell to the register, column first, then row.
    void selectRegister(int reg);
    // A control's new value: into the cell, and the device counts as modified.
    void setCellFromControl(int reg, std::uint8_t value);
    // One register written for a control window; nothing when no write was made. The slider
    // and spin windows take the address from the address field, the bit window the stored one.
    std::optional<std::uint8_t> controlWrite(std::uint8_t reg, std::uint8_t value,
                                             bool addressFromField);
    [[nodiscard]] QList<TfrmRegisterControl*> controlWindows() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildGrid();
    void connectControls();
    void buildMenus();
    void FormCreate();
    void edtAddressChange();
    void edtAddressExit();
    [[nodiscard]] bool CheckAddress();
    void commitEdit();
    void setCurrentQuietly(const QModelIndex& index);
    void closeControlWindows();
    void definitionChanged();
    void createControl(int kind);
    void showDefineDialog(bool newDevice);
    [[nodiscard]] QString uniqueControlName(const QString& kind) const;
    [[nodiscard]] bool writeDefinitionTo(const QString& path, bool erase);
    // A Save dialog in the folder last saved to, asking before it replaces a file.
    [[nodiscard]] ui::FileDialogRequest saveRequest(const QString& title, const QString& filter,
                                                    const QString& suffix) const;
    void setRegisterValue(int reg, const std::string& text);
    void openDefinition(const QString& path);
    // After a new definition: the grid's rows, its colours and the control windows follow.
    void refreshGrid();

    TDeviceDefinition device_;
    RegisterGridModel* model_ = nullptr;
    ui::HexCellDelegate* delegate_ = nullptr;
    ui::KeyFilter* keyFilter_ = nullptr;
    QList<QPointer<TfrmRegisterControl>> controls_;
    QPointer<TfrmDefine> defineDialog_;
    QList<QPointer<QWidget>> registerDialogs_;
    bool modified_ = false;
    bool busy_ = false;
    bool rewritingAddress_ = false;
    int activeRegister_ = 0;
    QString definitionFileName_;
    // The save dialog: Save As and the text export share it.
    QString saveFolder_;
    QString saveFileName_;

public:
    QGroupBox* grbAddress = nullptr;
    QLineEdit* edtAddress = nullptr;
    QPushButton* btnWriteOne = nullptr;
    QPushButton* btnReadOne = nullptr;
    QPushButton* btnWrite = nullptr;
    QPushButton* btnRead = nullptr;
    QGroupBox* grbControls = nullptr;
    QPushButton* btnSlider = nullptr;
    QPushButton* btnSpin = nullptr;
    QPushButton* btnBits = nullptr;
    QLabel* pnlRegister = nullptr;
    QTableView* stgMemory = nullptr;
    QMenu* mnuLongI2C = nullptr;
    QMenu* mnuEdit = nullptr;
    QMenu* PopupMenu1 = nullptr;
};

}  // namespace parvex::device
