#include "shell/style.h"

#include <QApplication>
#include <QFile>
#include <QMetaEnum>
#include <QPalette>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>

// Resources of a static library are only linked in when something registers them.
static void registerShellResources() {
    Q_INIT_RESOURCE(parvex);
}

namespace parvex::shell {
namespace {

bool applyPaletteGroup(QSettings& ini, const QString& group, QPalette::ColorGroup target,
                       QPalette& palette) {
    const QMetaEnum roles = QMetaEnum::fromType<QPalette::ColorRole>();
    ini.beginGroup(group);
    const QStringList keys = ini.childKeys();
    for (const QString& key : keys) {
        bool known = false;
        const int role = roles.keyToValue(key.toLatin1().constData(), &known);
        const QColor colour(ini.value(key).toString());
        if (!known || !colour.isValid()) continue;
        if (target == QPalette::All)
            palette.setColor(static_cast<QPalette::ColorRole>(role), colour);
        else
            palette.setColor(target, static_cast<QPalette::ColorRole>(role), colour);
    }
    ini.endGroup();
    return !keys.isEmpty();
}

}  // namespace

bool applyDarkStyle(QApplication& app) {
    registerShellResources();
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    bool complete = true;
    QPalette palette = app.style()->standardPalette();
    if (QFile::exists(QStringLiteral(":/parvex/style/palette.ini"))) {
        QSettings ini(QStringLiteral(":/parvex/style/palette.ini"), QSettings::IniFormat);
        complete &= applyPaletteGroup(ini, QStringLiteral("Active"), QPalette::All, palette);
        applyPaletteGroup(ini, QStringLiteral("Disabled"), QPalette::Disabled, palette);
        app.setPalette(palette);
    } else {
        complete = false;
    }

    QFile sheet(QStringLiteral(":/parvex/style/parvex.qss"));
    if (sheet.open(QIODevice::ReadOnly | QIODevice::Text))
        app.setStyleSheet(QString::fromUtf8(sheet.readAll()));
    else
        complete = false;
    return complete;
}

}  // namespace parvex::shell
