#pragma once
// The clock dialog: one instance at a time, modeless and on top; OK sets the adapter's I2C
// clock and frees the dialog.

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QSpinBox;

namespace parvex::adapter {
class AdapterLink;
}

namespace parvex::shell {

class TfrmBitrate : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBitrate(adapter::AdapterLink& link, QWidget* parent = nullptr);
    ~TfrmBitrate() override;

    [[nodiscard]] QSpinBox* spinClock() const { return spnClock; }
    [[nodiscard]] QPushButton* okButton() const { return btnOK; }

    void btnOKClick();

private:
    void FormCreate();

    adapter::AdapterLink& link_;
    QFrame* pnlClock = nullptr;
    QSpinBox* spnClock = nullptr;
    QLabel* lblkHz = nullptr;
    QLabel* lblNote = nullptr;
    QCheckBox* chbDrive = nullptr;
    QPushButton* btnOK = nullptr;
};

}  // namespace parvex::shell
