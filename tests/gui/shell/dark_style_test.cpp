// The dark look: what is drawn on it must stand out from it, and the windows carry the
// program's own icon.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QToolTip>
#include <cmath>

#include "gui/shell/shell_fixture.h"
#include "shell/style.h"

namespace parvex::test {
namespace {

double luminance(const QColor& c) {
    const auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The best contrast any clearly drawn pixel of `image` has against `background`.
double strongestContrast(const QImage& image, const QColor& background) {
    double best = 1.0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 200) best = std::max(best, contrast(c, background));
        }
    return best;
}

// Applies the dark look for one test and puts the plain one back after it, so that the
// other window tests keep the look they were written against.
class DarkStyleTest : public ShellTest {
protected:
    void SetUp() override {
        savedSheet_ = qApp->styleSheet();
        savedPalette_ = QApplication::palette();
        savedStyle_ = QApplication::style()->name();
        ASSERT_TRUE(shell::applyDarkStyle(*qApp));
    }
    void TearDown() override {
        ShellTest::TearDown();
        qApp->setStyleSheet(savedSheet_);
        QApplication::setStyle(QStyleFactory::create(savedStyle_));
        QApplication::setPalette(savedPalette_);
    }

private:
    QString savedSheet_;
    QPalette savedPalette_;
    QString savedStyle_;
};

TEST_F(DarkStyleTest, MaximisedChildButtonsStandOutOnTheMenuBar) {
    start();
    const QColor bar = QApplication::palette().color(QPalette::Window);
    const struct {
        const char* what;
        QStyle::StandardPixmap which;
    } buttons[] = {
        {"minimise", QStyle::SP_TitleBarMinButton},
        {"restore", QStyle::SP_TitleBarNormalButton},
        {"close", QStyle::SP_TitleBarCloseButton},
    };
    for (const auto& b : buttons) {
        const QImage glyph = QApplication::style()
                                 ->standardIcon(b.which, nullptr, main->menuBar())
                                 .pixmap(QSize(16, 16))
                                 .toImage();
        EXPECT_GE(strongestContrast(glyph, bar), 4.5) << b.what;
    }
}

TEST_F(DarkStyleTest, ToolTipsAreDarkAndReadable) {
    start();
    QToolTip::showText(main->geometry().center(), QStringLiteral("Arrange windows to overlap"),
                       main.get());
    QWidget* tip = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QTipLabel") && w->isVisible()) tip = w;
    ASSERT_NE(tip, nullptr);
    const QImage image = tip->grab().toImage();
    // Inside the border, in the padding: the tip's background.
    const QColor background = image.pixelColor(2, 2);
    EXPECT_LT(luminance(background), 0.1) << background.name().toStdString();
    EXPECT_GE(strongestContrast(image, background), 7.0);
    QToolTip::hideText();
}

TEST_F(DarkStyleTest, TheFrameAndEveryChildCarryTheProgramsIcon) {
    start();
    TestChild* child = addTestChild("child");
    const QIcon own = shell::programIcon();
    ASSERT_FALSE(own.isNull());
    const QImage ownImage = own.pixmap(QSize(32, 32)).toImage();
    // The icon really is drawn: the picture needs its image plugin, a missing one draws
    // nothing.
    EXPECT_GT(strongestContrast(ownImage, Qt::black), 3.0);
    for (QWidget* w : {static_cast<QWidget*>(main.get()), child->parentWidget()}) {
        SCOPED_TRACE(w->objectName().toStdString());
        EXPECT_EQ(w->windowIcon().pixmap(QSize(32, 32)).toImage(), ownImage);
    }
}

}  // namespace
}  // namespace parvex::test
