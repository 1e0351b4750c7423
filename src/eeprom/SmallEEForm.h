#pragma once
// The controls of the EEPROM editor window, built and laid out as the user sees them: the
// left panel of fields and buttons, the hex and ASCII grids in a splitter, and the window's
// File menu. The window owns one form and keeps it to itself; every control carries its
// name as its object name (docs/object-names.md), which is how tests find it.

#include <QString>

class QAction;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QModelIndex;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTableView;
class QWidget;

namespace parvex::ui {
class HexCellDelegate;
}

namespace parvex::eeprom {

struct Geometry;

class SmallEEForm {
public:
    // Builds every control into window (which must have no layout yet).
    explicit SmallEEForm(QWidget& window);

    // The texts, limits and address choices of one size.
    void setUp(const Geometry& g);

    // Sizes the grids for the window's height: a whole number of rows, so a scrolled grid
    // never shows part of a row at its top; and, unless the user moved the split, the hex
    // grid the width of its sixteen columns with the ASCII grid taking the rest.
    void fitGrids(bool keepSplit);

    // Moves a grid's cursor without opening its cell editor, which would take the focus.
    static void selectQuietly(QTableView* view, const QModelIndex& index);

    QLabel* lblDeviceSize = nullptr;
    QComboBox* cmbAddress = nullptr;
    QComboBox* cmbPageSize = nullptr;
    QSpinBox* spnWriteCycle = nullptr;
    QCheckBox* chbPollWrite = nullptr;
    QCheckBox* chbWriteChanged = nullptr;
    QLabel* lblWordAddress = nullptr;
    QPushButton* btnReadOne = nullptr;
    QPushButton* btnRead = nullptr;
    QPushButton* btnWriteOne = nullptr;
    QPushButton* btnWrite = nullptr;
    QPushButton* btnVerify = nullptr;
    QLineEdit* edtFrom = nullptr;
    QLineEdit* edtTo = nullptr;
    QLineEdit* edtPreset = nullptr;
    QPushButton* btnFill = nullptr;
    QLineEdit* edtCopyStart = nullptr;
    QLineEdit* edtCopyEnd = nullptr;
    QLineEdit* edtTargetStart = nullptr;
    QPushButton* btnCopy = nullptr;
    QSplitter* splitter = nullptr;
    QTableView* stgMemory = nullptr;
    QTableView* stgText = nullptr;
    ui::HexCellDelegate* hexDelegate = nullptr;
    ui::HexCellDelegate* asciiDelegate = nullptr;
    QMenu* mnuEEFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuCloseAll = nullptr;
    QAction* mnuExit = nullptr;

private:
    QWidget* buildPanel();
    void buildAddressAndTiming(QWidget* panel, QGridLayout* grid, int& row);
    void buildFillAndCopy(QWidget* panel, QGridLayout* grid, int& row);
    void buildGrids();
    void buildMenu();

    void scrollTogether(QTableView* from, QTableView* to);

    QWidget& window_;
    QHBoxLayout* layout_ = nullptr;
    bool syncingScroll_ = false;
};

}  // namespace parvex::eeprom
