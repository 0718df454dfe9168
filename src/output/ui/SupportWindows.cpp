#include "output/ui/SupportWindows.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "output/SupportLinks.h"
#include "platform/UiServices.h"
#include "platform/ui/DefaultDialog.h"
#include "platform/ui/DialogLook.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include <iterator>

namespace {

using SupportLinks::Link;

// A button drawn as a link: bold, blue, underlined, on the window's own background.
QPushButton *linkButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setFlat(true);
    button->setCursor(Qt::OpenHandCursor);
    QFont font = button->font();
    font.setBold(true);
    font.setPointSize(11);
    font.setUnderline(true);
    button->setFont(font);
    button->setStyleSheet(QStringLiteral("QPushButton { color: #0b50d0; border: none; padding: 1px 2px;"
                                         " text-align: left; background: %1; }")
                              .arg(DialogLook::kBackground.name()));
    return button;
}

QPushButton *opening(QPushButton *button, Link link)
{
    QObject::connect(button, &QPushButton::clicked, button, [link] { SupportLinks::open(link); });
    return button;
}

// The social networks' four share buttons, in one row.
QHBoxLayout *shareRow(QWidget *parent)
{
    const struct {
        const char *name;
        const char *text;
        Link link;
    } networks[] = {
        {"Gplus_btn", "Google+", Link::GooglePlus},
        {"Facebook_btn", "Facebook", Link::Facebook},
        {"Twitter_btn", "Twitter", Link::Twitter},
        {"FB_Like_btn", "Like", Link::FacebookLike},
    };
    auto *row = new QHBoxLayout;
    for (const auto &network : networks) {
        auto *button = new QPushButton(QObject::tr(network.text), parent);
        button->setObjectName(QLatin1String(network.name));
        opening(button, network.link);
        row->addWidget(button);
    }
    row->addStretch(1);
    return row;
}

QLabel *wrapped(const QString &text, QWidget *parent, const char *name = nullptr)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    if (name)
        label->setObjectName(QLatin1String(name));
    return label;
}

QPushButton *okButton(QDialogButtonBox *box)
{
    QPushButton *ok = box->addButton(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("OK_btn"));
    ok->setDefault(true);
    return ok;
}

QImage patternTile()
{
    QImage tile(16, 16, QImage::Format_ARGB32_Premultiplied);
    tile.fill(QColor(226, 232, 244));
    QPainter painter(&tile);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(208, 216, 234), 2));
    painter.drawLine(QPointF(-2, 18), QPointF(18, -2));
    return tile;
}

// Each companion page's picture: an envelope, a shield, a barcode.
QImage productPicture(const QString &code)
{
    QImage image(96, 96, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 60, 110), 3));
    painter.setBrush(QColor(250, 250, 255));
    if (code == QLatin1String("S")) {
        painter.drawRect(QRectF(12, 24, 72, 48));
        painter.drawPolyline(QPolygonF({QPointF(12, 24), QPointF(48, 52), QPointF(84, 24)}));
    } else if (code == QLatin1String("R")) {
        QPainterPath shield;
        shield.moveTo(48, 10);
        shield.lineTo(80, 22);
        shield.cubicTo(80, 56, 64, 76, 48, 86);
        shield.cubicTo(32, 76, 16, 56, 16, 22);
        shield.closeSubpath();
        painter.drawPath(shield);
        painter.drawPolyline(QPolygonF({QPointF(34, 48), QPointF(45, 60), QPointF(64, 36)}));
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(30, 30, 36));
        const int widths[] = {3, 1, 2, 1, 3, 2, 1, 1, 3, 1, 2, 2, 1, 3, 1};
        double x = 14;
        for (int i = 0; i < int(std::size(widths)); ++i) {
            if (i % 2 == 0)
                painter.drawRect(QRectF(x, 18, widths[i] * 2.2, 60));
            x += widths[i] * 2.2 + 1;
        }
    }
    return image;
}

} // namespace

// --- Promotion_Pattern ---------------------------------------------------------------------------

Promotion_Pattern::Promotion_Pattern(QWidget *parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
}

void Promotion_Pattern::paintEvent(QPaintEvent *event)
{
    {
        static const QImage tile = patternTile();
        QPainter painter(this);
        painter.fillRect(rect(), QBrush(tile));
    }
    QLabel::paintEvent(event);
}

// --- Help_Support --------------------------------------------------------------------------------

Help_Support::Help_Support(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(tr("Help and Support"));
    setModal(true);
    DialogLook::applyBackground(this);

    auto *title = new QLabel(tr("Help and Support"), this);
    DialogLook::makeHeading(title, 1.3);

    _Help_File_Label = linkButton(tr("Open the guide (Help.pdf)"), "_Help_File_Label", this);
    connect(_Help_File_Label, &QPushButton::clicked, this, &Help_Support::HelpFilePressed);
    website_1 = opening(linkButton(tr("The project's home page"), "website_1", this), Link::Website);
    support_id = opening(linkButton(tr("Write to support"), "support_id", this), Link::SupportMail);
    support_id_2 = opening(linkButton(tr("Report a problem"), "support_id_2", this), Link::SupportMail);
    reseller_1 = opening(linkButton(tr("Become a partner"), "reseller_1", this), Link::ResellerMail);
    reseller_2 = opening(linkButton(tr("Reseller enquiries"), "reseller_2", this), Link::ResellerMail);

    auto *links = new QGridLayout;
    links->addWidget(wrapped(tr("How to design, fill from data, print and mail cards:"), this), 0, 0);
    links->addWidget(_Help_File_Label, 0, 1);
    links->addWidget(wrapped(tr("News and downloads:"), this), 1, 0);
    links->addWidget(website_1, 1, 1);
    links->addWidget(wrapped(tr("Questions about the program:"), this), 2, 0);
    links->addWidget(support_id, 2, 1);
    links->addWidget(support_id_2, 3, 1);
    links->addWidget(wrapped(tr("Selling or recommending the program:"), this), 4, 0);
    links->addWidget(reseller_1, 4, 1);
    links->addWidget(reseller_2, 5, 1);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("Close_btn"));
    connect(close, &QPushButton::clicked, this, [this] { done(1); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(12);
    layout->addWidget(title);
    layout->addLayout(links);
    layout->addWidget(wrapped(tr("Tell others about it:"), this));
    layout->addLayout(shareRow(this));
    layout->addWidget(buttons);
}

void Help_Support::HelpFilePressed()
{
    Open_Help_File();
}

// --- Review_Form ---------------------------------------------------------------------------------

Review_Form::Review_Form(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Review_Window"));
    setWindowTitle(tr("Thank You"));
    setModal(true);
    DialogLook::applyBackground(this);

    auto *title = new QLabel(tr("Thank you for using %1").arg(App().App_Name), this);
    DialogLook::makeHeading(title, 1.2);
    website_1 = opening(linkButton(tr("The project's home page"), "website_1", this), Link::Website);
    support_id = opening(linkButton(tr("Write to support"), "support_id", this), Link::SupportMail);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *review = buttons->addButton(tr("Write a Review"), QDialogButtonBox::ActionRole);
    review->setObjectName(QStringLiteral("Review_btn"));
    connect(review, &QPushButton::clicked, this, &Review_Form::Review_Clicked);
    connect(okButton(buttons), &QPushButton::clicked, this, &Review_Form::OK_Clicked);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(10);
    layout->addWidget(title);
    layout->addWidget(wrapped(tr("A few words on the review page help others find the program and "
                                 "tell us what to make better."),
                              this));
    layout->addWidget(website_1);
    layout->addWidget(support_id);
    layout->addWidget(buttons);
}

Review_Form *Review_Form::defaultInstance()
{
    return defaultDialogInstance<Review_Form>();
}

void Review_Form::OK_Clicked()
{
    SupportLinks::open(Link::Review);
    done(1);
}

void Review_Form::Review_Clicked()
{
    SupportLinks::open(Link::Review);
    done(1);
}

// --- Share_It_Dlg --------------------------------------------------------------------------------

Share_It_Dlg::Share_It_Dlg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Share_It_Dlg_Window"));
    setWindowTitle(tr("Share"));
    setModal(true);
    DialogLook::applyBackground(this);

    auto *title = new QLabel(tr("Share %1").arg(App().App_Name), this);
    DialogLook::makeHeading(title, 1.2);
    auto *buttons = new QDialogButtonBox(this);
    connect(okButton(buttons), &QPushButton::clicked, this, [this] { done(1); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(10);
    layout->addWidget(title);
    layout->addWidget(wrapped(tr("Tell your friends about the program on:"), this));
    layout->addLayout(shareRow(this));
    layout->addWidget(buttons);
}

// --- Promotion_Form ------------------------------------------------------------------------------

Promotion_Form::Promotion_Form(QWidget *parent)
    : QDialog(parent), bundle_image(new Promotion_Pattern(this)), Software_title(new QLabel(this)),
      short_descp(wrapped(QString(), this, "short_descp")), long_descp(wrapped(QString(), this, "long_descp"))
{
    setObjectName(QStringLiteral("Promotion_Form"));
    setWindowTitle(tr("More from %1").arg(App().App_Name));
    setModal(true);
    DialogLook::applyBackground(this);

    bundle_image->setObjectName(QStringLiteral("bundle_image"));
    bundle_image->setFixedSize(128, 128);
    Software_title->setObjectName(QStringLiteral("Software_title"));
    DialogLook::makeHeading(Software_title, 1.3);
    QFont shortFont = short_descp->font();
    shortFont.setItalic(true);
    short_descp->setFont(shortFont);
    long_descp->setMinimumWidth(320);

    website_1 = opening(linkButton(tr("The project's home page"), "website_1", this), Link::Website);
    support_id = opening(linkButton(tr("Write to support"), "support_id", this), Link::SupportMail);

    auto *buttons = new QDialogButtonBox(this);
    const struct {
        const char *name;
        const char *text;
        void (Promotion_Form::*action)();
    } actions[] = {
        {"Mail_btn", "Ask About It", &Promotion_Form::Mail_Clicked},
        {"Contact_us_btn", "Contact Us", &Promotion_Form::Contact_us_Clicked},
        {"youtube_btn", "Watch a Video", &Promotion_Form::youtube_Clicked},
    };
    for (const auto &action : actions) {
        QPushButton *button = buttons->addButton(tr(action.text), QDialogButtonBox::ActionRole);
        button->setObjectName(QLatin1String(action.name));
        connect(button, &QPushButton::clicked, this, action.action);
    }
    connect(okButton(buttons), &QPushButton::clicked, this, [this] { done(1); });

    auto *texts = new QVBoxLayout;
    texts->addWidget(Software_title);
    texts->addWidget(short_descp);
    texts->addWidget(long_descp, 1);
    auto *top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(bundle_image, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(10);
    layout->addLayout(top);
    layout->addWidget(website_1);
    layout->addWidget(support_id);
    layout->addWidget(buttons);
}

Promotion_Form *Promotion_Form::defaultInstance()
{
    return defaultDialogInstance<Promotion_Form>();
}

void Promotion_Form::showSoftware()
{
    const std::optional<SupportLinks::Product> shown = SupportLinks::product(software_type, App().App_Name);
    if (!shown)
        return;
    bundle_image->setPixmap(QPixmap::fromImage(productPicture(shown->code)));
    Software_title->setText(shown->title);
    short_descp->setText(shown->shortDescription);
    long_descp->setText(shown->longDescription);
}

int Promotion_Form::Open_Promotion_Window()
{
    int code = 0;
    Log_Exceptions([&] {
        showSoftware();
        code = exec();
        hide();
    });
    return code;
}

void Promotion_Form::Mail_Clicked()
{
    if (const auto shown = SupportLinks::product(software_type, App().App_Name))
        SupportLinks::open(QUrl(shown->mailLink));
}

void Promotion_Form::Contact_us_Clicked()
{
    if (const auto shown = SupportLinks::product(software_type, App().App_Name))
        SupportLinks::open(QUrl(shown->contactLink));
}

void Promotion_Form::youtube_Clicked()
{
    SupportLinks::open(Link::Video);
}
