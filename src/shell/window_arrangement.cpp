#include "shell/window_arrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace parvex::shell {
namespace {

QList<QMdiSubWindow*> restoredWindows(const QMdiArea& area) {
    QList<QMdiSubWindow*> subs;
    for (QMdiSubWindow* sub : area.subWindowList())
        if (!sub->isHidden()) subs << sub;
    // Restored first: a maximised window's size hints leave out its title bar.
    for (QMdiSubWindow* sub : subs) sub->showNormal();
    return subs;
}

QList<QSize> minimumSizes(const QList<QMdiSubWindow*>& subs) {
    QList<QSize> sizes;
    for (const QMdiSubWindow* sub : subs) sizes << sub->minimumSizeHint();
    return sizes;
}

void place(const QMdiArea& area, const QList<QMdiSubWindow*>& subs, const QList<QRect>& rects) {
    // Rectangles count from the top of what can be scrolled to, not of what is in view.
    const QPoint scrolled(area.horizontalScrollBar()->value(), area.verticalScrollBar()->value());
    for (qsizetype i = 0; i < subs.size(); ++i)
        subs.at(i)->setGeometry(rects.at(i).translated(-scrolled));
}

}  // namespace

QList<QRect> tileRects(const QRect& area, const QList<QSize>& minimumSizes) {
    QList<QRect> rects;
    const int n = static_cast<int>(minimumSizes.size());
    if (n == 0) return rects;
    const int share = area.height() / n;
    int top = area.top();
    for (int i = 0; i < n; ++i) {
        const QSize& minimum = minimumSizes.at(i);
        int height = std::max(share, minimum.height());
        // The last window takes what the division left over, if it is still in view.
        if (i == n - 1) height = std::max(area.bottom() + 1 - top, minimum.height());
        const int width = std::max(area.width(), minimum.width());
        rects << QRect(area.left(), top, width, height);
        top += height;
    }
    return rects;
}

QList<QRect> cascadeRects(const QRect& area, const QList<QSize>& minimumSizes, int step) {
    QList<QRect> rects;
    const int n = static_cast<int>(minimumSizes.size());
    if (n == 0) return rects;
    QSize needed(0, 0);
    for (const QSize& s : minimumSizes) needed = needed.expandedTo(s);
    if (n > 1) {
        const int roomX = (area.width() - needed.width()) / (n - 1);
        const int roomY = (area.height() - needed.height()) / (n - 1);
        step = std::clamp(std::min(roomX, roomY), 0, step);
    } else {
        step = 0;
    }
    const int offset = step * (n - 1);
    const QSize size = QSize(area.width() - offset, area.height() - offset).expandedTo(needed);
    for (int i = 0; i < n; ++i) rects << QRect(area.topLeft() + QPoint(i * step, i * step), size);
    return rects;
}

namespace {
void tileOnce(QMdiArea& area, const QList<QMdiSubWindow*>& subs) {
    const QList<QSize> minimum = minimumSizes(subs);
    QRect view = area.viewport()->rect();
    QList<QRect> rects = tileRects(view, minimum);
    // Windows stacked past the bottom bring in the vertical scroll bar, which takes its
    // width from the view.
    if (rects.last().bottom() > view.bottom() && !area.verticalScrollBar()->isVisible()) {
        view.setWidth(view.width() - area.style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        rects = tileRects(view, minimum);
    }
    place(area, subs, rects);
}
}  // namespace

void tileChildren(QMdiArea& area) {
    const QList<QMdiSubWindow*> subs = restoredWindows(area);
    if (subs.isEmpty()) return;
    tileOnce(area, subs);
    // A window's layout may need more once it has its new width (a grid that now scrolls
    // sideways shows its scroll bar), so place them again with what they ask for now.
    bool squeezed = false;
    for (const QMdiSubWindow* sub : subs)
        squeezed |= sub->height() < sub->minimumSizeHint().height();
    if (squeezed) tileOnce(area, subs);
}

void cascadeChildren(QMdiArea& area) {
    // The active window comes last, so it ends in front and wholly inside the frame.
    QList<QMdiSubWindow*> subs = restoredWindows(area);
    if (QMdiSubWindow* active = area.activeSubWindow(); subs.removeOne(active)) subs << active;
    if (subs.isEmpty()) return;
    const int step =
        subs.first()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, subs.first()) + 4;
    place(area, subs, cascadeRects(area.viewport()->rect(), minimumSizes(subs), step));
    for (QMdiSubWindow* sub : subs) sub->raise();
    area.setActiveSubWindow(subs.last());
}

}  // namespace parvex::shell
