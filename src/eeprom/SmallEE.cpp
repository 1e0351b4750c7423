#include "eeprom/SmallEE.h"

#include <QMenu>

namespace parvex::eeprom {

// Placeholder until the editor lands: an empty window with its File menu.
TfrmSmallEE::TfrmSmallEE(ui::Host& host, int sizeBytes, QWidget* parent)
    : ui::ChildWindow(host, parent) {
    setObjectName(QStringLiteral("frmSmallEE"));
    setWindowTitle(QStringLiteral("%1 Byte EEPROM").arg(sizeBytes));
    mnuEEFile = new QMenu(QStringLiteral("&File"), this);
    mnuEEFile->setObjectName(QStringLiteral("mnuEEFile"));
}

TfrmSmallEE::~TfrmSmallEE() = default;

QList<QMenu*> TfrmSmallEE::mergedMenus() const { return {mnuEEFile}; }

}  // namespace parvex::eeprom
