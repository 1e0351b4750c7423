#pragma once
// The register dialog: the value and description of the active register. Nothing reaches the
// device before OK; OK changes the register active at that moment.

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace parvex::device {

class TfrmLongI2C;

class TfrmEditCell : public QWidget {
    Q_OBJECT
public:
    TfrmEditCell(TfrmLongI2C& device, QWidget* parent, int reg, const QString& value,
                 const QString& description);

    void btnOKClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void edtDefaultExit();

    QPointer<TfrmLongI2C> device_;

public:
    QLabel* lblRegister = nullptr;
    QLineEdit* edtDefault = nullptr;
    QLineEdit* edtDescription = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
};

}  // namespace parvex::device
