#include "ui/hex_cell_delegate.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "ui/upper_case_validator.h"

namespace parvex::ui {

namespace {
// Properties of an open editor: whether it was filled once, and the cell's text as the
// model last gave it.
constexpr const char* kOpened = "parvexOpened";
constexpr const char* kTextAtOpen = "parvexTextAtOpen";
}  // namespace

HexCellDelegate::HexCellDelegate(QAbstractItemView* view, int maxLength, bool upperCase)
    : QStyledItemDelegate(view), view_(view), maxLength_(maxLength), upperCase_(upperCase) {
    view->setItemDelegate(this);
    view->installEventFilter(this);
    connect(view, &QAbstractItemView::pressed, this, [this](const QModelIndex& index) {
        emit cellPressed(index);
        if (!(editor_ && editor_->isVisible()) && index == view_->currentIndex())
            view_->edit(index);
    });
    // No SelectedClicked: its delayed start refuses every edit for a double-click interval
    // after a click on the current cell; a press opens the editor at once instead.
    view->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::CurrentChanged);
}

HexCellDelegate::~HexCellDelegate() = default;

const QPixmap& HexCellDelegate::textImage(const QString& text, const QFont& font,
                                          const QColor& colour, const QSize& cell,
                                          qreal pixelRatio) const {
    if (font != textsFont_ || cell != textsCell_ || pixelRatio != textsPixelRatio_) {
        texts_.clear();
        textsFont_ = font;
        textsCell_ = cell;
        textsPixelRatio_ = pixelRatio;
    }
    const QPair<QString, QRgb> key(text, colour.rgba());
    auto it = texts_.find(key);
    if (it != texts_.end()) return *it;
    // Byte texts in a few colours keep the cache small; anything unusual is not kept for ever.
    if (texts_.size() > 4096) texts_.clear();
    QPixmap image(cell * pixelRatio);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QRect(QPoint(0, 0), cell), Qt::AlignCenter, text);
    p.end();
    return *texts_.insert(key, image);
}

void HexCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    // The view has drawn the row's (banded) background already.
    CellLook look;
    look.selected = option.state & QStyle::State_Selected;
    look.focused = option.state & QStyle::State_HasFocus;
    look.enabled = option.state & QStyle::State_Enabled;
    look.text = index.data(Qt::ForegroundRole).value<QColor>();
    paintCell(painter, option.rect, index.data(Qt::DisplayRole).toString(), look, option.palette,
              option.font);
    const QRect& r = option.rect;
    const QColor line =
        option.palette.color(look.enabled ? QPalette::Normal : QPalette::Disabled, QPalette::Mid);
    painter->fillRect(QRect(r.right(), r.top(), 1, r.height()), line);
    painter->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), line);
}

void HexCellDelegate::paintCell(QPainter* painter, const QRect& cell, const QString& text,
                                const CellLook& look, const QPalette& palette,
                                const QFont& font) const {
    const QPalette::ColorGroup group = look.enabled ? QPalette::Normal : QPalette::Disabled;
    if (look.selected) painter->fillRect(cell, palette.brush(group, QPalette::Highlight));
    if (!text.isEmpty()) {
        const QColor colour =
            look.text.isValid() && look.enabled
                ? look.text
                : palette.color(group, look.selected ? QPalette::HighlightedText : QPalette::Text);
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        painter->drawPixmap(cell.topLeft(), textImage(text, font, colour, cell.size(), ratio));
    }
    if (look.focused) {
        painter->setPen(palette.color(group, QPalette::Highlight));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(cell.adjusted(0, 0, -1, -1));
    }
}

QWidget* HexCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                       const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setMaxLength(maxLength_);
    editor->setAlignment(Qt::AlignCenter);
    if (upperCase_) editor->setValidator(new UpperCaseValidator(editor));
    const QPersistentModelIndex persistent(index);
    auto* self = const_cast<HexCellDelegate*>(this);
    connect(editor, &QLineEdit::textEdited, self, [self, editor, persistent](const QString& text) {
        self->onTextEdited(editor, persistent, text);
    });
    editor_ = editor;
    return editor;
}

void HexCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line) return;
    // The view calls this again whenever the cell changes, which the editor's own typing
    // does: resetting the text then would lose the cursor and the selection.
    // A validator that turns a letter into upper case resets the editor's modified flag,
    // so the text itself is the only safe test (a lower-case first digit was lost that way).
    const QString text = index.data(Qt::EditRole).toString();
    if (line->text() == text && line->property(kOpened).toBool()) return;
    line->setProperty(kOpened, true);
    // What Escape goes back to: the cell as the model last gave it, not as typed since.
    line->setProperty(kTextAtOpen, text);
    line->setText(text);
    line->selectAll();
}

void HexCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line) return;
    const QString text = validate_ ? validate_(line->text()) : line->text();
    model->setData(index, text, Qt::EditRole);
}

void HexCellDelegate::onTextEdited(QLineEdit* editor, const QPersistentModelIndex& index,
                                   const QString& text) {
    emit cellTextEdited(index, text);
    if (text.size() >= maxLength_) {
        emit commitData(editor);
        emit closeEditor(editor, nextItemHint());
    }
}

QAbstractItemDelegate::EndEditHint HexCellDelegate::nextItemHint() const {
    // The view's "next item" wraps from the last cell to the first: typing on would
    // overwrite address 0 without a word, so the last cell keeps the cursor.
    const QModelIndex current = view_->currentIndex();
    const QAbstractItemModel* model = view_->model();
    const bool last = model && current.row() == model->rowCount() - 1 &&
                      current.column() == model->columnCount() - 1;
    return last ? QAbstractItemDelegate::NoHint : QAbstractItemDelegate::EditNextItem;
}

void HexCellDelegate::restoreAndClose(QLineEdit* editor) {
    // What was typed already reached the model as it was typed; the text the cell had when
    // the editor opened goes back through the same way, so both grids agree again.
    editor->setText(editor->property(kTextAtOpen).toString());
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void HexCellDelegate::commitEditor() {
    QLineEdit* editor = editor_;
    if (!editor || !editor->isVisible()) return;
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void HexCellDelegate::moveTo(QLineEdit* editor, int rowStep, int columnStep) {
    const QModelIndex current = view_->currentIndex();
    const QModelIndex next =
        current.sibling(current.row() + rowStep, current.column() + columnStep);
    if (!next.isValid()) return;
    emit commitData(editor);
    view_->setCurrentIndex(next);
}

bool HexCellDelegate::eventFilter(QObject* object, QEvent* event) {
    if (object == view_) {
        // A typed character on a cell without an open editor opens it and goes to it, so
        // that the cell behaves as if it had been in edit mode all along.
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        // Delete and Backspace edit the cell like a typed character would.
        const bool erase = key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace;
        const bool typed =
            (erase || (!key->text().isEmpty() && key->text().front().isPrint())) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (!typed || (editor_ && editor_->isVisible())) return false;
        const QModelIndex current = view_->currentIndex();
        if (!current.isValid()) return false;
        view_->edit(current);
        if (!editor_ || !editor_->isVisible()) return false;
        QCoreApplication::sendEvent(editor_, event);
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        if (auto* editor = qobject_cast<QLineEdit*>(object))
            emit cellPressed(view_->indexAt(editor->geometry().center()));
    }
    auto* editor = qobject_cast<QLineEdit*>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool allSelected =
            editor->hasSelectedText() && editor->selectedText() == editor->text();
        const bool atStart = editor->cursorPosition() == 0 || allSelected;
        const bool atEnd = editor->cursorPosition() == editor->text().size();
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return QStyledItemDelegate::eventFilter(object, event);
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                emit commitData(editor);
                emit closeEditor(editor, nextItemHint());
                return true;
            case Qt::Key_Escape:
                if (!restoreOnEscape_) break;
                restoreAndClose(editor);
                return true;
            case Qt::Key_Up:
                moveTo(editor, -1, 0);
                return true;
            case Qt::Key_Down:
                moveTo(editor, 1, 0);
                return true;
            case Qt::Key_Left:
                if (!atStart) break;
                moveTo(editor, 0, -1);
                return true;
            case Qt::Key_Right:
                if (!atEnd) break;
                moveTo(editor, 0, 1);
                return true;
            default:
                break;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace parvex::ui
