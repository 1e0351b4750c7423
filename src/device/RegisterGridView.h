#pragma once
// The register grid's view: the byte grids' fast painting, with the grey of undefined
// registers and the failure colour drawn over the few cells that carry them.

#include "ui/byte_grid_view.h"

namespace parvex::device {

class RegisterGridView final : public ui::ByteGridView {
    Q_OBJECT
public:
    using ui::ByteGridView::ByteGridView;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace parvex::device
