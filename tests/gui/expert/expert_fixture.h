#pragma once
// The expert window inside the real main window over the virtual adapter (a 2048-byte
// EEPROM at A0 to AE and 64 registers at 40), with scripted prompts and a fake clock.

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <vector>

#include "adapter/status_texts.h"
#include "expert/Message.h"
#include "expert/MessageEditor.h"
#include "gui/shell/shell_fixture.h"
#include "sim/register_device.h"

namespace parvex::test {

// What the message editor is given for one message.
struct Compose {
    const char* address;
    bool read;
    bool noStop;
    std::vector<const char*> bytes;
    int delay = 0;
    const char* notes = "";
};

class ExpertTest : public ShellTest {
protected:
    void SetUp() override {
        start(true);
        settle();
        registers =
            std::dynamic_pointer_cast<sim::RegisterDevice>(virt->adapter().bus().devices().at(1));
        ASSERT_NE(registers, nullptr);
        for (int i = 0; i < 64; ++i) registers->registers()[i] = std::uint8_t(0x30 + i);
        w = open();
        ASSERT_NE(w, nullptr);
        virt->adapter().clearLog();
    }

    expert::TfrmMessage* open() {
        action("mnuExpert")->trigger();
        settle();
        QMdiSubWindow* sub = main->mdiArea()->activeSubWindow();
        return sub ? qobject_cast<expert::TfrmMessage*>(sub->widget()) : nullptr;
    }

    template <typename T>
    T* find(const char* name) const {
        T* found = w->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char* name) { find<QAbstractButton>(name)->click(); }
    void trigger(const char* name) { find<QAction>(name)->trigger(); }
    QTableView* grid() const { return find<QTableView>("grdData"); }
    QString cell(int r, int column) const {
        QAbstractItemModel* m = grid()->model();
        return m->data(m->index(r - 1, column)).toString();
    }
    QStringList rowTexts(int r) const {
        QStringList texts;
        for (int c = expert::colAddress; c < expert::kColumnCount; ++c) texts << cell(r, c);
        return texts;
    }
    void selectRow(int r) {
        QAbstractItemModel* m = grid()->model();
        grid()->setCurrentIndex(m->index(r - 1, expert::colData));
    }
    QString label(const char* name) const {
        if (auto* l = w->findChild<QLabel*>(QLatin1String(name))) return l->text();
        if (auto* e = w->findChild<QLineEdit*>(QLatin1String(name))) return e->text();
        ADD_FAILURE() << name;
        return {};
    }
    QString sendContinuousCaption() const {
        return find<QAbstractButton>("btnSendContinuous")->text();
    }

    // Opens the message editor on row r with a hexadecimal key, as a user would.
    expert::TfrmEditor* editRow(int r) {
        selectRow(r);
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_5);
        auto* editor = w->findChild<expert::TfrmEditor*>(QStringLiteral("frmEditor"));
        EXPECT_NE(editor, nullptr);
        if (editor) editor->activateWindow();
        if (editor && !QTest::qWaitForWindowActive(editor))
            ADD_FAILURE() << "the message editor never became active";
        return editor;
    }
    template <typename T>
    static T* in(QWidget* dialog, const char* name) {
        T* found = dialog->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // Fills the editor's fields for message r and closes it with "Close Editor".
    void compose(int r, const Compose& m) {
        expert::TfrmEditor* e = editRow(r);
        ASSERT_NE(e, nullptr);
        in<QLineEdit>(e, "edtAddress")->setText(QString::fromLatin1(m.address));
        in<QComboBox>(e, "cmbRW")->setCurrentText(m.read ? "Read" : "Write");
        in<QComboBox>(e, "cmbStop")->setCurrentText(m.noStop ? "No" : "Yes");
        auto* count = in<QSpinBox>(e, "spnBytes");
        while (count->value() < static_cast<int>(m.bytes.size())) count->stepUp();
        while (count->value() > static_cast<int>(m.bytes.size())) count->stepDown();
        auto* cells = in<QTableWidget>(e, "grdWrite");
        for (std::size_t i = 0; i < m.bytes.size(); ++i)
            cells->item(0, static_cast<int>(i))->setText(QString::fromLatin1(m.bytes[i]));
        in<QSpinBox>(e, "edtDelay")->setValue(m.delay);
        in<QLineEdit>(e, "edtNotes")->setText(QString::fromLatin1(m.notes));
        in<QAbstractButton>(e, "btnOK")->click();
        EXPECT_FALSE(e->isVisible());
    }

    // The message reports the adapter received, in order.
    std::vector<TUSBI2CReport> sentMessages() const {
        std::vector<TUSBI2CReport> out;
        for (const TUSBI2CReport& r : virt->adapter().outputLog())
            if (r[report::kCommand] == cmdWriteMessage || r[report::kCommand] == cmdReadMessage)
                out.push_back(r);
        return out;
    }
    static std::vector<int> head(const TUSBI2CReport& r, int n) {
        return std::vector<int>(r.begin(), r.begin() + n);
    }
    [[nodiscard]] static QString statusOf(std::uint8_t code) {
        return QString::fromStdString(adapter::statusText(code));
    }

    std::shared_ptr<sim::RegisterDevice> registers;
    expert::TfrmMessage* w = nullptr;
};

}  // namespace parvex::test
