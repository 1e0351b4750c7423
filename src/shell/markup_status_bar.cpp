#include "shell/markup_status_bar.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QRegularExpression>

namespace parvex::shell {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kPanelTop(106, 106, 106);
const QColor kPanelBottom(89, 89, 89);
const QColor kBorder(68, 68, 68);

constexpr std::array<int, MarkupStatusBar::kPanelCount> kInitialWidths{251, 0, 208, 183, 50};

// Horizontal room kept free at a panel's edges so left-aligned text does not touch the border.
constexpr int kTextMargin = 3;
// The smallest size a panel text shrinks to before it is clipped.
constexpr qreal kMinPointSize = 6.0;

// Painted flat by hand: the level colour over the panel's grey, the percentage in black, no
// border. A style-sheet bar costs many times more to repaint, and Write All repaints it after
// every page.
class LevelProgressBar final : public QProgressBar {
public:
    LevelProgressBar(const MarkupStatusBar* bar, QWidget* parent)
        : QProgressBar(parent), bar_(bar) {
        // It covers itself completely, so the panel behind it need not paint with it.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), kPanelBottom);
        const int span = maximum() - minimum();
        const int filled =
            span > 0 ? static_cast<int>(qint64{width()} * (value() - minimum()) / span) : 0;
        p.fillRect(QRect(0, 0, filled, height()), bar_->progressChunkColor());
        p.setPen(Qt::black);
        p.drawText(rect(), Qt::AlignCenter, text());
    }

private:
    const MarkupStatusBar* bar_;
};

}  // namespace

QString ParsedMarkup::plainText() const {
    QString out;
    for (const MarkupRun& r : runs) out += r.text;
    return out;
}

QColor markupColor(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("clwhite")) return QColor(255, 255, 255);
    if (n == QLatin1String("clsilver")) return QColor(192, 192, 192);
    if (n == QLatin1String("clgray")) return QColor(128, 128, 128);
    if (n == QLatin1String("clred")) return QColor(255, 0, 0);
    return kWhite;
}

ParsedMarkup parseMarkup(const QString& markup) {
    static const QRegularExpression tag(QStringLiteral(R"(<\s*(/?)\s*(P|FONT)\b([^>]*)>)"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression alignCentre(QStringLiteral(R"re(align\s*=\s*"?center"?)re"),
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression colorAttr(QStringLiteral(R"re(color\s*=\s*"?([A-Za-z]+)"?)re"),
                                              QRegularExpression::CaseInsensitiveOption);

    ParsedMarkup result;
    QList<QColor> colours;  // open FONT tags, innermost last
    auto current = [&] { return colours.isEmpty() ? kWhite : colours.constLast(); };
    auto append = [&](const QString& text) {
        if (text.isEmpty()) return;
        const QColor c = current();
        if (!result.runs.isEmpty() && result.runs.constLast().color == c)
            result.runs.last().text += text;
        else
            result.runs.append({text, c});
    };

    qsizetype pos = 0;
    auto it = tag.globalMatch(markup);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        append(markup.mid(pos, m.capturedStart() - pos));
        pos = m.capturedEnd();
        const bool closing = !m.captured(1).isEmpty();
        const bool isFont = m.captured(2).compare(QLatin1String("FONT"), Qt::CaseInsensitive) == 0;
        const QString attrs = m.captured(3);
        if (isFont) {
            if (closing) {
                // A closing tag with nothing open (every status text ends in one) draws nothing.
                if (!colours.isEmpty()) colours.removeLast();
            } else {
                const QRegularExpressionMatch c = colorAttr.match(attrs);
                colours.append(c.hasMatch() ? markupColor(c.captured(1)) : current());
            }
        } else if (!closing && alignCentre.match(attrs).hasMatch()) {
            result.centred = true;
        }
    }
    append(markup.mid(pos));
    return result;
}

MarkupPanel::MarkupPanel(int index, QWidget* parent) : QFrame(parent), index_(index) {
    setObjectName(QStringLiteral("pnlStatusBarPanel%1").arg(index));
    setFrameStyle(QFrame::NoFrame);
}

void MarkupPanel::setMarkup(const QString& markup) {
    if (markup == markup_) return;
    markup_ = markup;
    parsed_ = parseMarkup(markup);
    fitted_ = false;
    changed_ = true;
    update();
}

void MarkupPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, kPanelTop);
    fill.setColorAt(1, kPanelBottom);
    p.fillRect(rect(), fill);
    p.setPen(kBorder);
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    const QRect area = rect().adjusted(kTextMargin, 0, -kTextMargin, 0);
    // The panel widths were chosen for a narrow font; where the desktop's font is wider,
    // a smaller size keeps short texts such as "1000 kHz" whole instead of clipped.
    auto widthIn = [this](const QFontMetrics& m) {
        int w = 0;
        for (const MarkupRun& r : parsed_.runs) w += m.horizontalAdvance(r.text);
        return w;
    };
    if (!fitted_ || fittedWidth_ != area.width() || fittedFont_.family() != font().family()) {
        QFont textFont = font();
        while (widthIn(QFontMetrics(textFont)) > area.width() &&
               textFont.pointSizeF() > kMinPointSize)
            textFont.setPointSizeF(textFont.pointSizeF() - 0.5);
        fittedFont_ = textFont;
        fittedWidth_ = area.width();
        fitted_ = true;
    }
    p.setFont(fittedFont_);
    const QFontMetrics fm(fittedFont_);
    const int textWidth = widthIn(fm);
    int x = parsed_.centred ? area.left() + (area.width() - textWidth) / 2 : area.left();
    const int baseline = (height() - fm.height()) / 2 + fm.ascent();
    p.setClipRect(area);
    for (const MarkupRun& r : parsed_.runs) {
        p.setPen(r.color);
        p.drawText(x, baseline, r.text);
        x += fm.horizontalAdvance(r.text);
    }
}

void MarkupPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    // Disabled widgets never get here, so a disabled bar ignores double-clicks by itself.
    if (event->button() == Qt::LeftButton) emit doubleClicked(index_);
    QFrame::mouseDoubleClickEvent(event);
}

MarkupStatusBar::MarkupStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("pnlStatusBar"));
    setSizeGripEnabled(false);
    setFixedHeight(kHeight);
    // The panels keep their fixed widths; a narrow window clips them. The bar must never
    // widen the main window, not even while a long write swaps the status and progress panels.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setContentsMargins(0, 0, 0, 0);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, kWhite);
    pal.setColor(QPalette::Window, kPanelBottom);
    setPalette(pal);
    setAutoFillBackground(true);
    // The panels draw their own borders; QStatusBar's item frames would double them.
    setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));

    for (int i = 0; i < kPanelCount; ++i) {
        auto* panel = new MarkupPanel(i, this);
        panels_[static_cast<std::size_t>(i)] = panel;
        addWidget(panel, 0);
        connect(panel, &MarkupPanel::doubleClicked, this, &MarkupStatusBar::panelDoubleClicked);
        setPanelWidth(i, kInitialWidths[static_cast<std::size_t>(i)]);
    }

    auto* layout = new QHBoxLayout(panels_[ProgressPanel]);
    layout->setContentsMargins(1, 1, 1, 1);
    progress_ = new LevelProgressBar(this, panels_[ProgressPanel]);
    progress_->setObjectName(QStringLiteral("prgStatusBar"));
    progress_->setRange(0, 100);
    progress_->setFormat(QStringLiteral("%p%"));
    progress_->setAlignment(Qt::AlignCenter);
    layout->addWidget(progress_);
    setProgress(0);
}

void MarkupStatusBar::setPanelText(int index, const QString& markup) {
    panels_.at(static_cast<std::size_t>(index))->setMarkup(markup);
}

QString MarkupStatusBar::panelText(int index) const {
    return panels_.at(static_cast<std::size_t>(index))->markup();
}

void MarkupStatusBar::setPanelWidth(int index, int width) {
    width = std::max(0, width);
    widths_.at(static_cast<std::size_t>(index)) = width;
    MarkupPanel* panel = panels_.at(static_cast<std::size_t>(index));
    if (panel->width() != width || panel->isVisible() != (width > 0)) geometryChanged_ = true;
    // A zero width hides the panel altogether, as the progress panel normally is.
    panel->setFixedWidth(width);
    panel->setVisible(width > 0);
}

void MarkupStatusBar::repaintNow() {
    if (geometryChanged_) {
        geometryChanged_ = false;
        for (MarkupPanel* p : panels_) p->takeChanged();
        repaint();
        return;
    }
    for (MarkupPanel* p : panels_)
        if (p->takeChanged() && p->isVisible()) p->repaint();
}

int MarkupStatusBar::panelWidth(int index) const {
    return widths_.at(static_cast<std::size_t>(index));
}

QColor MarkupStatusBar::progressColor(int percent) {
    if (percent >= 90) return QColor(255, 169, 83);
    if (percent >= 70) return QColor(255, 255, 0);
    return QColor(0, 255, 0);
}

void MarkupStatusBar::setProgress(int percent) {
    percent = std::clamp(percent, 0, 100);
    progressColour_ = progressColor(percent);
    // QProgressBar repaints itself at once whenever its value changes what it shows.
    progress_->setValue(percent);
}

}  // namespace parvex::shell
