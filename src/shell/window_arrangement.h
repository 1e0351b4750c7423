#pragma once
// Where Tile and Cascade put the frame's child windows. Both keep every window at least as
// large as its layout needs (a window squeezed below that draws its controls on top of one
// another); when the frame is too small for that, the windows reach past its edge and the
// frame scrolls to them.

#include <QList>
#include <QRect>
#include <QSize>

class QMdiArea;

namespace parvex::shell {

// Window "Tile": every shown child restored and laid out by tileRects in the area's view.
void tileChildren(QMdiArea& area);
// Window "Cascade": the same by cascadeRects, one title bar apart, the active child in front.
void cascadeChildren(QMdiArea& area);

// One window above another, each as wide as `area`, the height shared out evenly. A window
// that needs more than its share gets what it needs and the ones below move down.
[[nodiscard]] QList<QRect> tileRects(const QRect& area, const QList<QSize>& minimumSizes);

// Each window `step` pixels right of and below the one before it, all of one size, so that
// the last (the front one) ends at the bottom right corner of `area`. Where that size is
// smaller than a window needs, the step shrinks first.
[[nodiscard]] QList<QRect> cascadeRects(const QRect& area, const QList<QSize>& minimumSizes,
                                        int step);

}  // namespace parvex::shell
