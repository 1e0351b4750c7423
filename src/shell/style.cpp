#include "shell/style.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QMetaEnum>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QProxyStyle>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>

// Resources of a static library are only linked in when something registers them.
static void registerShellResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(parvex);
        return true;
    }();
    static_cast<void>(registered);
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

// Fusion draws the buttons of a maximised child (in the menu bar's corner) with black
// glyphs, which vanish on the dark bar. These are drawn in the light text colour instead.
class DarkStyle final : public QProxyStyle {
public:
    explicit DarkStyle(QStyle* base) : QProxyStyle(base) {}

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override {
        switch (which) {
            case SP_TitleBarMinButton:
            case SP_TitleBarMaxButton:
            case SP_TitleBarNormalButton:
            case SP_TitleBarCloseButton: {
                QIcon icon;
                for (int size : {16, 32}) icon.addPixmap(glyph(which, size));
                return icon;
            }
            default:
                return QProxyStyle::standardIcon(which, option, widget);
        }
    }

private:
    static QPixmap glyph(StandardPixmap which, int size) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal u = size / 16.0;
        p.setPen(QPen(QColor(240, 240, 240), 1.6 * u, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        switch (which) {
            case SP_TitleBarMinButton:
                p.drawLine(QPointF(4 * u, 11.5 * u), QPointF(12 * u, 11.5 * u));
                break;
            case SP_TitleBarMaxButton:
                p.drawRect(QRectF(4 * u, 4 * u, 8 * u, 8 * u));
                break;
            case SP_TitleBarNormalButton:
                p.drawRect(QRectF(3.5 * u, 6.5 * u, 6.5 * u, 6 * u));
                p.drawPolyline(QPolygonF({QPointF(6.5 * u, 6.5 * u), QPointF(6.5 * u, 3.5 * u),
                                          QPointF(12.5 * u, 3.5 * u), QPointF(12.5 * u, 9.5 * u),
                                          QPointF(10 * u, 9.5 * u)}));
                break;
            default:
                p.drawLine(QPointF(4.5 * u, 4.5 * u), QPointF(11.5 * u, 11.5 * u));
                p.drawLine(QPointF(11.5 * u, 4.5 * u), QPointF(4.5 * u, 11.5 * u));
                break;
        }
        return pixmap;
    }
};

}  // namespace

QIcon programIcon() {
    registerShellResources();
    return QIcon(QStringLiteral(":/parvex/icons/parvex.svg"));
}

bool applyDarkStyle(QApplication& app) {
    registerShellResources();
    app.setStyle(new DarkStyle(QStyleFactory::create(QStringLiteral("Fusion"))));

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
