#pragma once
// The definition dialog: a whole device described at once (name, address, register count,
// a description and start value per register), for a new device or for the current one.
// Nothing reaches the device before OK.

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;

namespace parvex::device {

class TfrmLongI2C;
class DefinitionGridModel;

class TfrmDefine : public QWidget {
    Q_OBJECT
public:
    TfrmDefine(TfrmLongI2C& device, QWidget* parent);
    ~TfrmDefine() override;

    void fillForNewDevice();
    void fillFromDevice();
    void btnOKClick();

    [[nodiscard]] int registerRows() const;
    [[nodiscard]] QString descriptionAt(int reg) const;
    [[nodiscard]] QString valueAt(int reg) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void edtSpinChange(const QString& text);
    void edtAddressChange();
    void edtAddressExit();
    void edtFillChange();
    void edtFillExit();
    void setRegisterRows(int count);

    QPointer<TfrmLongI2C> device_;
    DefinitionGridModel* model_ = nullptr;
    bool rewriting_ = false;

public:
    QLineEdit* edtName = nullptr;
    QLineEdit* edtAddress = nullptr;
    QSpinBox* edtSpin = nullptr;
    QLineEdit* edtFill = nullptr;
    QTableView* stgDefinition = nullptr;
    QPushButton* btnReadCAT = nullptr;
    QPushButton* btnCancel = nullptr;
};

}  // namespace parvex::device
