#pragma once
// The EEPROM editor window: one per Device > EEPROM choice. It holds the image of one small
// serial EEPROM in a hex grid mirrored by an ASCII grid, moves it to and from the chip over
// the host's transfer operations, and loads and saves it as Intel HEX or raw binary.

#include <QList>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>

#include "eeprom/data_file.h"
#include "eeprom/image.h"
#include "ui/child_window.h"

class QLineEdit;
class QMenu;
class QTableView;
class QModelIndex;

namespace parvex::ui {
class KeyFilter;
}  // namespace parvex::ui

namespace parvex::eeprom {

struct Geometry;
class GridModels;
class SmallEEForm;

class TfrmSmallEE : public ui::ChildWindow {
    Q_OBJECT
public:
    // A window set up for one of the six sizes: 16, 128, 256, 512, 1024 or 2048 bytes. A size
    // in between is taken up to the next of the six, so the image holds what was asked for.
    TfrmSmallEE(ui::Host& host, int sizeBytes, QWidget* parent = nullptr);
    ~TfrmSmallEE() override;

    [[nodiscard]] QList<QMenu*> mergedMenus() const override;
    void FormActivate() override;

    [[nodiscard]] bool Modified() const { return modified_; }
    [[nodiscard]] int deviceSize() const;
    [[nodiscard]] Image& image() { return *image_; }
    [[nodiscard]] const Image& image() const { return *image_; }

    // Make the four bus buttons ignore clicks, and listen to them again.
    void Disable();
    void Enable();
    [[nodiscard]] bool busButtonsAttached() const { return attached_; }

    // Bus operations.
    void btnReadOneClick();
    void btnReadClick();
    void btnWriteOneClick();
    void btnWriteClick();
    void btnVerifyClick();
    // Fill and copy.
    void btnFillClick();
    void btnCopyClick();
    // File menu. Save As returns true when the file was written.
    void mnuOpenClick();
    bool mnuSaveAsClick();
    void mnuCloseClick();
    void mnuCloseAllClick();
    void mnuExitClick();

    // The key filter is on except while the ASCII grid has the focus.
    [[nodiscard]] bool keyFilterActive() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void connectGrids();
    void connectControls();
    void connectWriteOptions();
    // The spare status panel: a line on what the last bus operation found, or nothing.
    void showSpare(const std::string& text, bool warning = false, const std::string& hint = {});
    void setUp(const Geometry& g);

    void stgMemoryClick(const QModelIndex& index);
    void stgTextClick(const QModelIndex& index);
    void stgMemorySetEditText(const QModelIndex& index, const QString& text);
    void stgTextEdited(const QModelIndex& index, const QString& text);
    void focusChanged(QWidget* old, QWidget* now);
    void commitEdits();

    void fieldLeft(QWidget* field);
    void edtPresetExit();
    void edtExit(QLineEdit* field);
    void cmbAddressExit();

    // The selected bus address; shows the conversion message and gives nothing when the
    // address field does not hold a hexadecimal byte.
    [[nodiscard]] bool selectedAddress(std::uint8_t& out);
    [[nodiscard]] int byteAddress() const;
    [[nodiscard]] int pageSize() const;
    [[nodiscard]] int writeTime() const;

    std::unique_ptr<Image> image_;
    // The controls; only this window's handlers reach them (tests go by object name).
    std::unique_ptr<SmallEEForm> form_;
    std::unique_ptr<GridModels> models_;
    ui::KeyFilter* keyFilter_ = nullptr;

    bool modified_ = false;
    bool attached_ = true;
    bool asciiFocused_ = false;
    bool userMovedSplit_ = false;

    // File dialogs keep their format (and with it the default extension) and the file to
    // propose between uses.
    FileKind openKind_ = FileKind::IntelHex;
    FileKind saveKind_ = FileKind::IntelHex;
    QString saveFileName_;
};

}  // namespace parvex::eeprom
