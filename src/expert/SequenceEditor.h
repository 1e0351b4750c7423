#pragma once
// The sequence editor: one row of 64 cells for the message numbers of the send sequence.
// There is one for the program; it works on the expert window it was last shown for and
// hides when that window goes.

#include <QDialog>
#include <QPointer>

class QPushButton;
class QTableWidget;

namespace parvex::expert {

class TfrmMessage;

class TfrmSequenceEditor : public QDialog {
    Q_OBJECT
public:
    // Creates the dialog on first use (a child of the program's main window) and shows it
    // for `window`.
    static TfrmSequenceEditor* showFor(TfrmMessage& window);
    // The program's sequence editor, once created.
    static TfrmSequenceEditor* instance();

    // OK: the cells become the window's sequence and the dialog hides; a number above 64 is
    // refused with a message and the dialog stays.
    bool btnCloseClick();

    QTableWidget* grdSequencer = nullptr;
    QPushButton* btnOK = nullptr;

private:
    explicit TfrmSequenceEditor(QWidget* parent);
    void FormShow();

    QPointer<TfrmMessage> window_;
};

}  // namespace parvex::expert
