#pragma once
// The message editor: the one way to compose or change a message of the expert table. It is
// a modeless dialog of the expert window, shown for the current row, and writes the row's
// texts and record back whenever it closes.

#include <QDialog>
#include <QPointer>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace parvex::ui {
class HexCellDelegate;
}

namespace parvex::expert {

class TfrmMessage;
struct EditorFields;

class TfrmEditor : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEditor(TfrmMessage& owner);

    // Shows the dialog for message r; a dialog already shown only comes to the front and
    // keeps working on its message.
    void showFor(int r);
    // Hides the dialog without writing anything back (its message or window is going).
    void detach();
    // The message it works on, following row moves; 0 once that message is gone.
    [[nodiscard]] int EditRow() const;

    // "Close Editor": writes back and hides; false (the dialog stays) when the address does
    // not convert.
    bool btnCloseClick();

    // Controls, named as the user sees them.
    QLineEdit* edtAddress = nullptr;
    QComboBox* cmbRW = nullptr;
    QComboBox* cmbStop = nullptr;
    QSpinBox* spnBytes = nullptr;
    QSpinBox* edtDelay = nullptr;
    QLineEdit* edtNotes = nullptr;
    QLabel* Label2 = nullptr;
    QTableWidget* grdWrite = nullptr;
    QPushButton* btnOK = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape closes like the close box: writing back.
    void reject() override { btnCloseClick(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void FormShow(int r);
    void setCellCount(int count);
    void setCells(const std::vector<std::string>& cells);
    void spnBytesStepped(int steps);
    [[nodiscard]] EditorFields currentFields() const;

    TfrmMessage& owner_;
    ui::HexCellDelegate* delegate_ = nullptr;
};

}  // namespace parvex::expert
