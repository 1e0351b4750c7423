#include "shell/About.h"

#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>

#include "adapter/adapter_link.h"
#include "shell/dialog_frame.h"
#include "shell/links.h"
#include "shell/style.h"
#include "shell/version.h"
#include "ui/prompts.h"

namespace parvex::shell {
namespace {

const QColor kLinkColor(0, 0, 255);   // clBlue
const QColor kHoverColor(0, 128, 0);  // clGreen

QLabel* place(QLabel* label, const char* name, int left, int top, const QFont& font) {
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    label->move(left, top);
    label->adjustSize();
    return label;
}

}  // namespace

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    setLinkColor(kLinkColor);
}

void LinkLabel::setLinkColor(const QColor& color) {
    color_ = color;
    // A style sheet of the widget's own, so that the program's style sheet cannot override it.
    setStyleSheet(QStringLiteral("color: %1;").arg(color.name()));
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    emit entered();
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
    emit left();
    QLabel::leaveEvent(event);
}

TAboutBox::TAboutBox(const adapter::AdapterLink& link, QWidget* parent)
    : QDialog(parent, Qt::Dialog | kTitleAndCloseOnly | Qt::MSWindowsFixedSizeDialogHint),
      link_(link) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About Parvex"));
    setAttribute(Qt::WA_DeleteOnClose);
    ui::refuseMinimise(this);
    setModal(true);
    setFont(QFont(QStringLiteral("Tahoma"), 10));
    setFixedSize(330, 266);

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, 314, 217);
    // A light panel: the links' blue and green would hardly show on the program's dark grey.
    panel->setObjectName(QStringLiteral("pnlAbout"));
    panel->setStyleSheet(QStringLiteral(
        "#pnlAbout { background: rgb(236, 236, 236); border: 2px groove rgb(150, 150, 150); }"
        "#pnlAbout QLabel { color: black; background: transparent; }"));

    const QFont bold(QStringLiteral("Verdana"), 8, QFont::Bold);
    const QFont small(QStringLiteral("Tahoma"), 8);

    // The logo: the program's icon and its name, in the designed 166 x 48 box.
    auto* logoIcon = new QLabel(panel);
    logoIcon->setObjectName(QStringLiteral("imgLogoIcon"));
    logoIcon->setGeometry(83, 9, 48, 48);
    logoIcon->setPixmap(programIcon().pixmap(QSize(44, 44)));
    logoIcon->setAlignment(Qt::AlignCenter);
    auto* logo = new QLabel(QStringLiteral("PARVEX"), panel);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setGeometry(83 + 50, 9, 166 - 50, 48);
    logo->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    logo->setFont(QFont(QStringLiteral("Verdana"), 20, QFont::Bold));

    Version = place(new QLabel(QStringLiteral("Version"), panel), "Version", 14, 69, bold);
    lblFirmware =
        place(new QLabel(QStringLiteral("Firmware Version:"), panel), "lblFirmware", 14, 88, bold);
    lblSerialNumber = place(new QLabel(QStringLiteral("Serial Number:"), panel), "lblSerialNumber",
                            14, 107, bold);
    place(new QLabel(QStringLiteral("For orders and support, find us here:"), panel), "lblContact",
          14, 136, small);
    const QLabel* captions[] = {
        place(new QLabel(QStringLiteral("Orders: "), panel), "lblOrders", 14, 152, small),
        place(new QLabel(QStringLiteral("Email support:"), panel), "lblSupportCaption", 14, 168,
              small),
        place(new QLabel(QStringLiteral("Email sales:"), panel), "lblEmail", 14, 184, small),
    };
    // The links start at 86 as designed, or further right where a wider font than the
    // designed one would make the captions run into them.
    int linkLeft = 86;
    for (const QLabel* c : captions) linkLeft = std::max(linkLeft, c->geometry().right() + 6);
    QFont linkFont = small;
    linkFont.setUnderline(true);
    lblOrder = new LinkLabel(QStringLiteral("www.example.com"), panel);
    place(lblOrder, "lblOrder", linkLeft, 152, linkFont);
    lblSupport = new LinkLabel(kSupportMail, panel);
    place(lblSupport, "lblSupport", linkLeft, 168, linkFont);
    lblSales = new LinkLabel(kSalesMail, panel);
    place(lblSales, "lblSales", linkLeft, 184, linkFont);

    auto* notice = new QLabel(QStringLiteral("Parvex 2026"), panel);
    notice->setObjectName(QStringLiteral("lblNotice"));
    notice->setFont(small);
    notice->setAlignment(Qt::AlignCenter);
    notice->setGeometry(2, 217 - 20, 310, 16);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(122, 233, 74, 26);
    btnOK->setDefault(true);

    connect(btnOK, &QPushButton::clicked, this, &TAboutBox::btnOKClick);
    connect(lblOrder, &LinkLabel::clicked, this, &TAboutBox::lblOrderClick);
    connect(lblSupport, &LinkLabel::clicked, this, &TAboutBox::lblSupportClick);
    connect(lblSales, &LinkLabel::clicked, this, &TAboutBox::lblSalesClick);
    for (LinkLabel* l : {lblOrder, lblSupport, lblSales}) {
        connect(l, &LinkLabel::entered, this, [this, l] { lblMouseEnter(l); });
        connect(l, &LinkLabel::left, this, [this, l] { lblMouseLeave(l); });
    }
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TAboutBox::FormShow() {
    const QString version = programFileVersion();
    if (version.isEmpty())
        Version->setText(QStringLiteral("No version information found"));
    else
        Version->setText(QStringLiteral("Software Version:  ") + version);

    // An adapter may pad its revision field with NULs, which have no place in a label.
    QString firmware;
    for (char c : link_.firmwareRev())
        if (c != '\0') firmware += QChar(static_cast<unsigned char>(c));
    lblFirmware->setText(QStringLiteral("Firmware Revision:  ") + firmware);
    lblSerialNumber->setText(QStringLiteral("Serial Number:  ") +
                             QString::number(link_.SerialNumber()));
    for (QLabel* l : {Version, lblFirmware, lblSerialNumber}) l->adjustSize();
}

void TAboutBox::btnOKClick() {
    accept();
}

void TAboutBox::lblOrderClick() {
    openUrl(QUrl(kWebPageUrl));
}
void TAboutBox::lblSupportClick() {
    openUrl(QUrl(QStringLiteral("mailto:") + kSupportMail));
}
void TAboutBox::lblSalesClick() {
    openUrl(QUrl(QStringLiteral("mailto:") + kSalesMail));
}

void TAboutBox::lblMouseEnter(LinkLabel* sender) {
    sender->setLinkColor(kHoverColor);
}
void TAboutBox::lblMouseLeave(LinkLabel* sender) {
    sender->setLinkColor(kLinkColor);
}

}  // namespace parvex::shell
