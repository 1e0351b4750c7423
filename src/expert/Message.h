#pragma once
// The expert-mode window: a table of up to 64 raw I2C messages, each kept as the exact report
// it sends, sent one by one, all in order, in a sequence, or in that sequence over and over.
// There is one at a time; the main window holds it.

#include <QList>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>

#include "expert/MessageEditor.h"
#include "expert/message_table.h"
#include "expert/sending.h"
#include "expert/sequence.h"
#include "ui/child_window.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class QToolButton;

namespace parvex::expert {

class MessageModel;

inline constexpr const char* kExpertCaption = "I²C Expert Mode";

class TfrmMessage : public ui::ChildWindow, private RunTarget {
    Q_OBJECT
public:
    explicit TfrmMessage(ui::Host& host, QWidget* parent = nullptr);
    ~TfrmMessage() override;

    [[nodiscard]] QList<QMenu*> mergedMenus() const override;
    void FormActivate() override;

    [[nodiscard]] MessageTable& table() { return table_; }
    [[nodiscard]] MessageModel& model() const { return *model_; }
    [[nodiscard]] bool TableModified() const { return modified_; }
    void setTableModified(bool modified) { modified_ = modified; }
    [[nodiscard]] const Sequence& sequence() const { return sequence_; }
    void setSequence(const std::vector<int>& numbers);
    // The row of the selected cell (1 when nothing is selected yet).
    [[nodiscard]] int currentRow() const;
    void selectRow(int r);
    [[nodiscard]] bool ignoreAck() const;
    // The message editor of this window, once it has been opened.
    [[nodiscard]] TfrmEditor* editor() const { return frmEditor_; }

    // Sending (write and read of one record).
    std::uint8_t SendMessage(int r) override;
    std::uint8_t ReceiveMessage(int r) override;
    void Disable() { attached_ = false; }
    void Enable() { attached_ = true; }
    [[nodiscard]] bool sendButtonsAttached() const { return attached_; }

    // Commands.
    void btnNewClick();
    void mnuOpenClick();
    bool mnuSaveClick();
    void btnAddRowClick();
    void btnDeleteRowClick();
    void mnuClearClick();
    void btnCopyClick();
    void btnPasteClick();
    void btnCompressClick();
    void btnSendOneClick();
    void btnSendAllClick();
    void btnSequenceClick();
    void btnSendContinuousClick();
    void edtSequenceDblClick();
    void openEditor();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTable();
    void buildToolBar(QWidget* bar);
    void buildSendPanel(QWidget* panel);
    void buildMenus();
    void connectCommands();
    void grdDataClick();
    void resetTable();
    bool askSaveBeforeDropping(int buttons);
    bool readDataFile(const QString& path);
    void ContinuousSequence();
    void rowsMoved();

    // RunTarget
    void showProgress(const std::string& text) override;
    void waiting(std::uint32_t ms) override;
    void showPendingProgress();

    MessageTable table_;
    MessageModel* model_ = nullptr;
    Sequence sequence_;
    QPointer<TfrmEditor> frmEditor_;
    bool modified_ = false;
    bool attached_ = true;
    bool sendAllAttached_ = true;
    // Set once the window has agreed to close: a continuous run must not go on with it.
    bool closing_ = false;
    // The progress text not shown yet, and when lblSending last changed.
    std::string progress_;
    std::uint64_t progressShownUs_ = 0;
    static constexpr std::uint64_t kProgressIntervalUs = 40000;

public:
    // Controls, named as the user sees them.
    QTableView* grdData = nullptr;
    QToolButton* btnNew = nullptr;
    QToolButton* btnOpen = nullptr;
    QToolButton* btnSave = nullptr;
    QToolButton* btnClose = nullptr;
    QToolButton* btnAddRow = nullptr;
    QToolButton* btnDeleteRow = nullptr;
    QToolButton* btnClearRow = nullptr;
    QToolButton* btnCopy = nullptr;
    QToolButton* btnPaste = nullptr;
    QToolButton* btnCompress = nullptr;
    QToolButton* btnIgnore = nullptr;
    QPushButton* btnSendOne = nullptr;
    QPushButton* btnSendAll = nullptr;
    QPushButton* btnSequence = nullptr;
    QPushButton* btnSendContinuous = nullptr;
    QLineEdit* edtRow = nullptr;
    QLabel* lblSending = nullptr;
    QLineEdit* edtSequence = nullptr;
    QMenu* mnuMsgFile = nullptr;
    QMenu* mnuMsgEdit = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuCloseAll = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuInsertRow = nullptr;
    QAction* mnuDeleteRow = nullptr;
    QAction* mnuClear = nullptr;
    QAction* mnuCopyRow = nullptr;
    QAction* mnuPasteRow = nullptr;
    QAction* mnuCompactRows = nullptr;
};

}  // namespace parvex::expert
