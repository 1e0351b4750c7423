#pragma once
// The cell editor of the byte grids: cells behave as if always in edit mode. The editor takes
// a fixed number of characters (two for a hex byte, one for an ASCII character), optionally
// turns letters into upper case, and once it is full, or on Enter, it commits and moves to
// the next cell. Left and Right leave the editor at its ends, Up and Down always.

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPair>
#include <QPersistentModelIndex>
#include <QPixmap>
#include <QPointer>
#include <QStyledItemDelegate>
#include <functional>

class QAbstractItemView;
#include <QLineEdit>

namespace parvex::ui {

class HexCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Installs itself on `view` and sets the view's edit triggers (any key, current-cell change,
    // click) so that the current cell always has its editor open.
    HexCellDelegate(QAbstractItemView* view, int maxLength, bool upperCase);
    ~HexCellDelegate() override;

    // Applied to the editor text when the cell is left, before the model receives it.
    void setValidator(std::function<QString(const QString&)> validate) {
        validate_ = std::move(validate);
    }

    [[nodiscard]] int maxLength() const { return maxLength_; }

    // Escape puts back the text the cell had when its editor opened. Without it, Escape
    // just closes the editor, which suits a grid whose every keystroke is complete in itself.
    void setRestoreOnEscape(bool restore) { restoreOnEscape_ = restore; }

    // Cells hold one or two characters from a small set: each text is drawn once into a
    // small image and then copied from the cache, which makes a full grid repaint cheap
    // enough to follow every bus operation without notice.
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // One cell without its lines: the selection, the text and the focus frame.
    struct CellLook {
        bool selected = false;
        bool focused = false;
        bool enabled = true;
        QColor text;  // the model's own text colour, if it has one for the cell
    };
    void paintCell(QPainter* painter, const QRect& cell, const QString& text, const CellLook& look,
                   const QPalette& palette, const QFont& font) const;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

    // The open editor, if any.
    [[nodiscard]] QLineEdit* currentEditor() const { return editor_; }
    // Hands the open editor's text to the model and closes the editor, as leaving the cell
    // would; operations call it so that a half-typed cell is validated before it is read.
    void commitEditor();

signals:
    // Every change the user makes to an editor's text, as it happens.
    void cellTextEdited(const QModelIndex& index, const QString& text);
    // A mouse press on a cell, whether or not its editor is open (the view's own pressed()
    // and clicked() miss the cell whose editor takes the press).
    void cellPressed(const QModelIndex& index);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void onTextEdited(QLineEdit* editor, const QPersistentModelIndex& index, const QString& text);
    void moveTo(QLineEdit* editor, int rowStep, int columnStep);
    void restoreAndClose(QLineEdit* editor);
    [[nodiscard]] QAbstractItemDelegate::EndEditHint nextItemHint() const;

    QAbstractItemView* view_;
    int maxLength_;
    bool upperCase_;
    bool restoreOnEscape_ = false;
    std::function<QString(const QString&)> validate_;
    mutable QPointer<QLineEdit> editor_;
    [[nodiscard]] const QPixmap& textImage(const QString& text, const QFont& font,
                                           const QColor& colour, const QSize& cell,
                                           qreal pixelRatio) const;
    mutable QHash<QPair<QString, QRgb>, QPixmap> texts_;
    mutable QFont textsFont_;
    mutable QSize textsCell_;
    mutable qreal textsPixelRatio_ = 0;
};

}  // namespace parvex::ui
