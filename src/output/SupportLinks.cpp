#include "output/SupportLinks.h"

#include "core/MessageBoxes.h"
#include "platform/UiServices.h"

#include <QUrlQuery>

namespace SupportLinks {

namespace {

// The project's home and its mail address: change them here when the project moves.
const QString kHome = QStringLiteral("https://card-designer.example.org");
const QString kSupportAddress = QStringLiteral("support@card-designer.example.org");
const QString kResellerAddress = QStringLiteral("partners@card-designer.example.org");

QString cardPage()
{
    return kHome + QStringLiteral("/card");
}

QUrl shareUrl(const QString &base, const QString &parameter)
{
    QUrl url(base);
    QUrlQuery query;
    query.addQueryItem(parameter, cardPage());
    url.setQuery(query);
    return url;
}

QString mailLink(const QString &address, const QString &subject, const QString &body)
{
    return QStringLiteral("mailto:%1?subject=%2&body=%3").arg(address, subject, body);
}

bool isBlankOrControl(QChar c)
{
    return c.isSpace() || c.category() == QChar::Other_Control;
}

} // namespace

QUrl url(Link link)
{
    switch (link) {
    case Link::SupportMail:
        return QUrl(QStringLiteral("mailto:") + kSupportAddress);
    case Link::ResellerMail:
        return QUrl(encodedMailLink(mailLink(
            kResellerAddress, QStringLiteral("Affiliate or partnership enquiry"),
            QStringLiteral("Hello,\nWe would like to work with you as a partner.\n"
                           "Business name:\nContact name:\nPhone:\nWeb site:\n"
                           "Kind of partnership (affiliate, reseller or advanced):\n"))));
    case Link::Website:
        return QUrl(kHome);
    case Link::CardWebsite:
        return QUrl(cardPage());
    case Link::GooglePlus:
        return shareUrl(QStringLiteral("https://plus.google.com/share"), QStringLiteral("url"));
    case Link::Facebook:
        return shareUrl(QStringLiteral("https://www.facebook.com/sharer/sharer.php"), QStringLiteral("u"));
    case Link::Twitter:
        return shareUrl(QStringLiteral("https://twitter.com/intent/tweet"), QStringLiteral("url"));
    case Link::FacebookLike:
        return shareUrl(QStringLiteral("https://www.facebook.com/plugins/like.php"), QStringLiteral("href"));
    case Link::SocialComments:
        return QUrl(kHome + QStringLiteral("/comments"));
    case Link::Review:
        return QUrl(kHome + QStringLiteral("/review"));
    case Link::Video:
        return QUrl(kHome + QStringLiteral("/videos"));
    }
    return {};
}

void open(Link link)
{
    open(url(link));
}

void open(const QUrl &url)
{
    if (!url.isValid() || !platform::uiServices().openUrl(url))
        Show_NSLog_Message(QStringLiteral("Could not open the link ") + url.toString());
}

QString encodedMailLink(const QString &link)
{
    qsizetype first = 0;
    qsizetype last = link.size();
    while (first < last && isBlankOrControl(link.at(first)))
        ++first;
    while (last > first && isBlankOrControl(link.at(last - 1)))
        --last;
    QString encoded = link.mid(first, last - first);
    encoded.replace(QLatin1Char('\n'), QStringLiteral("%0A%0A"));
    encoded.replace(QLatin1Char(' '), QStringLiteral("%20"));
    return encoded;
}

std::optional<Product> product(const QString &code, const QString &appName)
{
    const QString contact = encodedMailLink(
        mailLink(kSupportAddress, QStringLiteral("User Enquiry from App: ") + appName,
                 QStringLiteral("Hello,\nI am writing about %1.\n").arg(appName)));
    const auto made = [&](const char *title, const char *shortText, const char *longText, const char *subject) {
        return Product{code,
                       QString::fromUtf8(title),
                       QString::fromUtf8(shortText),
                       QString::fromUtf8(longText),
                       encodedMailLink(mailLink(kSupportAddress, QString::fromUtf8(subject),
                                                QStringLiteral("Hello,\nPlease tell me more about this.\n"))),
                       contact};
    };
    if (code == QLatin1String("S"))
        return made("Cards by e-mail", "Send a card to everyone on a list, one record per mail.",
                    "The Mail command sends the design as pictures to a list of recipients: the same card "
                    "to all, or each card filled from its own record of a series or a workbook, in groups "
                    "with pauses between them.",
                    "Cards by e-mail");
    if (code == QLatin1String("R"))
        return made("Designs kept safe", "Every save is written whole or not at all.",
                    "A design is saved to a new file first and takes the old one's place only once it is "
                    "complete, so a full disk or a crash never leaves half a design behind; damaged files "
                    "are refused with a message instead of opening wrong.",
                    "Keeping designs safe");
    if (code == QLatin1String("B"))
        return made("Barcodes and series", "Number a batch of cards with barcodes that scan.",
                    "Code 128, QR Code, PDF417, Data Matrix and the other symbologies take their values "
                    "from a series or a workbook column, so every card of a run carries its own code.",
                    "Barcodes and series");
    return std::nullopt;
}

} // namespace SupportLinks
