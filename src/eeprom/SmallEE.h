#pragma once
// The EEPROM editor window: one per Device > EEPROM choice.

#include <QList>

#include "ui/child_window.h"

class QMenu;

namespace parvex::eeprom {

class TfrmSmallEE : public ui::ChildWindow {
    Q_OBJECT
public:
    // A window set up for one of the six sizes: 16, 128, 256, 512, 1024 or 2048 bytes.
    TfrmSmallEE(ui::Host& host, int sizeBytes, QWidget* parent = nullptr);
    ~TfrmSmallEE() override;

    [[nodiscard]] QList<QMenu*> mergedMenus() const override;

private:
    QMenu* mnuEEFile = nullptr;
};

}  // namespace parvex::eeprom
