#include "gui/eeprom/editor_fixture.h"

#include <QAbstractItemModel>
#include <QKeyEvent>
#include <QSettings>

#include "adapter/status_texts.h"

namespace parvex::test {

EditorHost::EditorHost() {
    setTarget(link);
    controller.setChangeHandler([this] { link.HIDCtlDeviceChange(); });
}

EditorHost::~EditorHost() {
    // The windows may still reach the link while they go.
    for (auto& w : windows) delete w.data();
    controller.setChangeHandler(nullptr);
}

std::shared_ptr<sim::Eeprom24> EditorHost::plugWithChip(int sizeBytes, int pageBytes,
                                                        std::uint8_t base) {
    auto chip = std::make_shared<sim::Eeprom24>(static_cast<std::size_t>(sizeBytes),
                                                static_cast<std::size_t>(pageBytes), base);
    controller.adapter().bus().attach(chip);
    controller.plug();
    controller.adapter().clearLog();
    return chip;
}

eeprom::TfrmSmallEE* EditorHost::openEditor(int sizeBytes) {
    auto* w = new eeprom::TfrmSmallEE(*this, sizeBytes);
    w->resize(900, 600);
    adopt(w);
    return w;
}

QString statusOf(std::uint8_t code) {
    return QString::fromStdString(adapter::statusText(code));
}

std::vector<SentTransfer> sentTransfers(const sim::VirtualAdapter& adapter) {
    std::vector<SentTransfer> out;
    for (const TUSBI2CReport& r : adapter.outputLog()) {
        if (r[report::kCommand] != cmdTransfer) continue;
        out.push_back({r[report::kAddress], r[report::kWriteData], r[report::kWriteCount],
                       r[report::kReadCount]});
    }
    return out;
}

namespace {
template <class T>
T* named(const eeprom::TfrmSmallEE* w, const char* name) {
    T* found = w->findChild<T*>(QString::fromLatin1(name));
    if (!found) ADD_FAILURE() << "the editor has no " << name;
    return found;
}
}  // namespace

EditorControls ctl(const eeprom::TfrmSmallEE* w) {
    EditorControls c{};
#define PARVEX_FIND(type, name) c.name = named<type>(w, #name)
    PARVEX_FIND(QLabel, lblDeviceSize);
    PARVEX_FIND(QComboBox, cmbAddress);
    PARVEX_FIND(QComboBox, cmbPageSize);
    PARVEX_FIND(QSpinBox, spnWriteCycle);
    PARVEX_FIND(QLabel, lblWordAddress);
    PARVEX_FIND(QPushButton, btnReadOne);
    PARVEX_FIND(QPushButton, btnRead);
    PARVEX_FIND(QPushButton, btnWriteOne);
    PARVEX_FIND(QPushButton, btnWrite);
    PARVEX_FIND(QPushButton, btnVerify);
    PARVEX_FIND(QLineEdit, edtFrom);
    PARVEX_FIND(QLineEdit, edtTo);
    PARVEX_FIND(QLineEdit, edtPreset);
    PARVEX_FIND(QPushButton, btnFill);
    PARVEX_FIND(QLineEdit, edtCopyStart);
    PARVEX_FIND(QLineEdit, edtCopyEnd);
    PARVEX_FIND(QLineEdit, edtTargetStart);
    PARVEX_FIND(QPushButton, btnCopy);
    PARVEX_FIND(QSplitter, splitter);
    PARVEX_FIND(QTableView, stgMemory);
    PARVEX_FIND(QTableView, stgText);
    PARVEX_FIND(QMenu, mnuEEFile);
    PARVEX_FIND(QAction, mnuOpen);
    PARVEX_FIND(QAction, mnuSaveAs);
    PARVEX_FIND(QAction, mnuClose);
    PARVEX_FIND(QAction, mnuCloseAll);
    PARVEX_FIND(QAction, mnuExit);
#undef PARVEX_FIND
    return c;
}

QString hexCell(eeprom::TfrmSmallEE& w, int address) {
    QAbstractItemModel* m = named<QTableView>(&w, "stgMemory")->model();
    return m->data(m->index(address / 16, address % 16)).toString();
}

QString asciiCell(eeprom::TfrmSmallEE& w, int address) {
    QAbstractItemModel* m = named<QTableView>(&w, "stgText")->model();
    return m->data(m->index(address / 16, address % 16)).toString();
}

void clickCell(QTableView* view, int row, int column) {
    QWidget* window = view->window();
    if (!window->isActiveWindow()) {
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window)) ADD_FAILURE() << "window not activated";
    }
    const QModelIndex index = view->model()->index(row, column);
    view->scrollTo(index);
    const QPoint centre = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
}

void typeKey(Qt::Key key, const QString& text) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr) << "no widget has the focus";
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    if (QWidget* now = QApplication::focusWidget()) QApplication::sendEvent(now, &release);
}

void typeKeys(const QString& text) {
    for (const QChar c : text) {
        const int code = c.toUpper().unicode();
        const Qt::Key key = (code >= '0' && code <= 'Z') ? Qt::Key(code)
                            : c == QLatin1Char(' ')      ? Qt::Key_Space
                                                         : Qt::Key_unknown;
        typeKey(key, QString(c));
    }
}

void EditorTest::TearDown() {
    for (auto& w : host.windows) delete w.data();
    host.windows.clear();
    // The editor's options outlive its windows; the next test starts from the defaults.
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Parvex"),
              QStringLiteral("Parvex"))
        .remove(QStringLiteral("EEPROM"));
}

}  // namespace parvex::test
