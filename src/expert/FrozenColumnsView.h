#pragma once
// A table view whose first columns stay in view when the table scrolls sideways: a second
// view over the same model and selection shows them on top of the left edge.

#include <QHash>
#include <QStaticText>
#include <QTableView>

namespace parvex::expert {

// A table view that draws its cells itself: plain text from cached, laid-out texts, the
// current cell highlighted, one-pixel cell lines. The general item painting costs tens of
// microseconds per cell, and the table repaints after every run of messages.
class TextTableView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QStaticText& laidOut(const QString& text);
    QHash<QString, QStaticText> texts_;
    QFont textsFont_;
};

class FrozenColumnsView : public TextTableView {
    Q_OBJECT
public:
    explicit FrozenColumnsView(QWidget* parent = nullptr);

    // Call after setModel(): the first `count` columns stay in view.
    void freezeColumns(int count);
    // The view that draws the frozen columns (it shares the model and the selection).
    [[nodiscard]] QTableView* frozenView() const { return frozen_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

private:
    void placeFrozen();
    [[nodiscard]] int frozenWidth() const;

    QTableView* frozen_ = nullptr;
    int count_ = 0;
};

}  // namespace parvex::expert
