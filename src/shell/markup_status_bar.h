#pragma once
// The main window's status bar: five panels that keep their texts in the small markup the
// adapter layer and the child windows write ("<P align="center">", FONT color tags with the
// four named colours) and draw them; the second panel holds the progress bar of a long write.

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QList>
#include <QStatusBar>
#include <QString>
#include <array>
#include <utility>

class QProgressBar;

namespace parvex::shell {

// A panel text broken into coloured runs.
struct MarkupRun {
    QString text;
    QColor color;
    bool operator==(const MarkupRun& o) const { return text == o.text && color == o.color; }
};

struct ParsedMarkup {
    bool centred = false;
    QList<MarkupRun> runs;
    [[nodiscard]] QString plainText() const;
};

// Known colour names; anything else (or no colour attribute) draws in the bar's white.
[[nodiscard]] QColor markupColor(const QString& name);
[[nodiscard]] ParsedMarkup parseMarkup(const QString& markup);

class MarkupPanel : public QFrame {
    Q_OBJECT
public:
    MarkupPanel(int index, QWidget* parent = nullptr);

    void setMarkup(const QString& markup);
    [[nodiscard]] const QString& markup() const { return markup_; }
    [[nodiscard]] int index() const { return index_; }
    // True once since the text last changed: the bar repaints only panels that show news.
    bool takeChanged() { return std::exchange(changed_, false); }

signals:
    void doubleClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int index_;
    QString markup_;
    ParsedMarkup parsed_;
    bool changed_ = false;
    // The font that fits the text into the panel, worked out again only when the text, the
    // panel's width or its font change.
    QFont fittedFont_;
    int fittedWidth_ = -1;
    bool fitted_ = false;
};

class MarkupStatusBar : public QStatusBar {
    Q_OBJECT
public:
    enum Panel { StatusPanel = 0, ProgressPanel, HardwarePanel, SparePanel, FrequencyPanel };
    static constexpr int kPanelCount = 5;
    static constexpr int kHeight = 21;

    explicit MarkupStatusBar(QWidget* parent = nullptr);

    void setPanelText(int index, const QString& markup);
    [[nodiscard]] QString panelText(int index) const;
    void setPanelWidth(int index, int width);
    [[nodiscard]] int panelWidth(int index) const;
    [[nodiscard]] MarkupPanel* panel(int index) const { return panels_.at(index); }
    [[nodiscard]] QProgressBar* progressBar() const { return progress_; }
    void setProgress(int percent);
    // Paints at once what changed since the last call: the panels with a new text, or the
    // whole bar after a panel width changed (the progress bar paints its own new values). Bus
    // operations call this after every exchange, so it must cost next to nothing when the
    // text is the same as before.
    void repaintNow();

    // The bar's level colours for a percentage: lime, yellow from 70, orange from 90.
    [[nodiscard]] static QColor progressColor(int percent);
    // The colour the progress bar fills with now.
    [[nodiscard]] QColor progressChunkColor() const { return progressColour_; }

signals:
    void panelDoubleClicked(int index);

private:
    std::array<MarkupPanel*, kPanelCount> panels_{};
    std::array<int, kPanelCount> widths_{};
    QProgressBar* progress_ = nullptr;
    QColor progressColour_;
    bool geometryChanged_ = true;
};

}  // namespace parvex::shell
