#pragma once
// The controls every window lays out, built in one line each: object name (the name tests
// and the window's own code reach the control by), hint, and the settings the designed
// layout gives. FormRows stacks label-and-control rows on a panel; place() and
// setClientSize() reproduce the fixed positions and sizes of designed dialogs.

#include <QGridLayout>
#include <QKeySequence>
#include <QString>
#include <QStringList>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QTableView;
class QToolButton;
class QWidget;

namespace parvex::ui {

// A label; named when the window changes its text later.
QLabel* makeLabel(QWidget* parent, const QString& text, const char* name = nullptr);

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint = {});

// A flat text-only button, as on a window's own tool bar.
QToolButton* makeToolButton(QWidget* parent, const char* name, const QString& caption,
                            const QString& hint = {});

QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint = {});

// A framed panel, as the left-hand control panels of the editor windows.
QFrame* makePanel(QWidget* parent, const char* name);

QGroupBox* makeGroupBox(QWidget* parent, const char* name, const QString& title);

struct FieldOptions {
    QString text;
    int maxLength = 0;       // 0: no limit beyond the toolkit's
    bool upperCase = false;  // typed letters become upper case (hexadecimal fields)
    int widthChars = 0;      // room for this many digits; 0: the layout decides
    QString hint;

    // A field of at most maxLength characters, nothing else set.
    static FieldOptions limited(int maxLength, bool upperCase = false) {
        FieldOptions options;
        options.maxLength = maxLength;
        options.upperCase = upperCase;
        return options;
    }
};
QLineEdit* makeField(QWidget* parent, const char* name, const FieldOptions& options = {});

struct ComboOptions {
    QStringList items;
    int current = 0;
    bool editable = false;
    int maxLength = 0;  // of the typed text, editable lists only; 0: no limit
    bool upperCase = false;
    QString hint;
};
QComboBox* makeComboBox(QWidget* parent, const char* name, const ComboOptions& options);

struct SpinOptions {
    int minimum = 0;
    int maximum = 99;
    int value = 0;
    int base = 10;  // 16 shows and takes hexadecimal
    QString hint;
};
QSpinBox* makeSpinBox(QWidget* parent, const char* name, const SpinOptions& options);
// The same settings for a spin box of the window's own kind (one that fixes up its input).
QSpinBox* setUpSpinBox(QSpinBox* spin, const char* name, const SpinOptions& options);

struct GridOptions {
    QString hint;
    int columnWidth = 0;            // every column; 0 keeps the style's
    std::vector<int> columnWidths;  // column by column, after columnWidth
    int headerColumnWidth = 0;      // the fixed column on the left; 0 lets it size itself
    int rowHeight = 0;              // every row; 0 keeps the style's
    int headerRowHeight = 0;        // the fixed row on top; 0 keeps the style's
    bool resizableColumns = true;
    bool resizableRows = false;
    bool editable = true;
    bool alternatingRows = false;
};
// Sets up a grid, the fixed row and column being the view's headers. Sizes are explicit:
// measuring the contents costs seconds on large grids. Call it once the model is set:
// column by column widths apply to the columns the view has.
void setUpGrid(QTableView* view, const char* name, const GridOptions& options);

QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& keys = {});

// A free-standing window that stays on top of the frame, with only a close button, gone
// once closed.
void makeToolWindow(QWidget* window);
// Centres a window on another (or on the screen when there is none).
void centreOn(QWidget* window, const QWidget* over);

// A control at its designed place and size, in pixels of the window's client area.
void place(QWidget* widget, int left, int top, int width, int height);
// A window whose client area keeps its designed size.
void setClientSize(QWidget* window, int width, int height);

// Rows of a two-column form on a panel: a label beside its control, two controls side by
// side, or one across both columns. The builders return what they were given, so a window
// can keep its pointer in the same line.
class FormRows {
public:
    explicit FormRows(QWidget* panel);

    template <class Control>
    Control* labelled(const QString& label, Control* control) {
        addLabelled(label, control);
        return control;
    }
    void pair(QWidget* left, QWidget* right);
    template <class Control>
    Control* across(Control* control) {
        addAcross(control);
        return control;
    }
    // A label across both columns, as a heading for the rows below it.
    QLabel* heading(const QString& text);
    // Takes up the panel's remaining height below the last row.
    void finish();

    [[nodiscard]] QGridLayout* layout() const { return grid_; }
    [[nodiscard]] int rows() const { return row_; }

private:
    void addLabelled(const QString& label, QWidget* control);
    void addAcross(QWidget* control);

    QWidget* panel_;
    QGridLayout* grid_;
    int row_ = 0;
};

}  // namespace parvex::ui
