#include "shell/session.h"

#include <QSettings>
#include <QWidget>

#include "ui/prompts.h"

namespace parvex::shell {
namespace {

const QString kGeometryKey = QStringLiteral("MainWindow/Geometry");
const QString kFolderKey = QStringLiteral("Files/LastFolder");

QSettings store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Parvex"),
                     QStringLiteral("Parvex"));
}

}  // namespace

void restoreSession(QWidget& mainWindow) {
    const QSettings settings = store();
    // restoreGeometry() also brings a window back onto a screen that has since shrunk.
    const QByteArray geometry = settings.value(kGeometryKey).toByteArray();
    if (!geometry.isEmpty()) mainWindow.restoreGeometry(geometry);
    const QString folder = settings.value(kFolderKey).toString();
    if (!folder.isEmpty()) ui::setLastFileFolder(folder);
}

void saveSession(const QWidget& mainWindow) {
    QSettings settings = store();
    settings.setValue(kGeometryKey, mainWindow.saveGeometry());
    const QString folder = ui::lastFileFolder();
    if (!folder.isEmpty()) settings.setValue(kFolderKey, folder);
    settings.sync();
}

}  // namespace parvex::shell
