#include "shell/window_arrangement.h"

#include <algorithm>

namespace parvex::shell {

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
    for (int i = 0; i < n; ++i)
        rects << QRect(area.topLeft() + QPoint(i * step, i * step), size);
    return rects;
}

}  // namespace parvex::shell
