#pragma once
// The about box: program version, the adapter's firmware revision and serial number as read
// at its last arrival, and the links to the web site and the two mail addresses.

#include <QDialog>
#include <QLabel>

class QPushButton;

namespace parvex::adapter {
class AdapterLink;
}

namespace parvex::shell {

// A label that behaves as a link: it reports clicks and the mouse entering and leaving.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& text, QWidget* parent);
    void setLinkColor(const QColor& color);
    [[nodiscard]] QColor linkColor() const { return color_; }

signals:
    void clicked();
    void entered();
    void left();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QColor color_;
};

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(const adapter::AdapterLink& link, QWidget* parent = nullptr);
    ~TAboutBox() override;

    void FormShow();
    void btnOKClick();
    void lblOrderClick();
    void lblSupportClick();
    void lblSalesClick();
    void lblMouseEnter(LinkLabel* sender);
    void lblMouseLeave(LinkLabel* sender);

protected:
    void showEvent(QShowEvent* event) override;

private:
    const adapter::AdapterLink& link_;
    QLabel* Version = nullptr;
    QLabel* lblFirmware = nullptr;
    QLabel* lblSerialNumber = nullptr;
    LinkLabel* lblOrder = nullptr;
    LinkLabel* lblSupport = nullptr;
    LinkLabel* lblSales = nullptr;
    QPushButton* btnOK = nullptr;
};

}  // namespace parvex::shell
