#pragma once

#include <QString>
#include <QUrl>

#include <optional>

// The addresses the program's links open: its own home, help and mail, and the share pages of the
// social networks pointing at its home. One place to change them.
namespace SupportLinks {

enum class Link {
    SupportMail,
    ResellerMail,
    Website,     // the project's home
    CardWebsite, // the card program's own page there
    GooglePlus,
    Facebook,
    Twitter,
    FacebookLike,
    SocialComments,
    Review,
    Video,
};

QUrl url(Link link);
// Hands the link to the desktop; a link that cannot be opened is logged, nothing is shown.
void open(Link link);
void open(const QUrl &url);

// A "mailto:" link made safe to hand to the desktop: trimmed of blanks and control characters at
// both ends, each line feed turned into a paragraph break ("%0A%0A") and each blank into "%20".
QString encodedMailLink(const QString &link);

// The three companion pages the promotion window can present, by their one-letter codes.
struct Product {
    QString code; // "S", "R" or "B"
    QString title;
    QString shortDescription;
    QString longDescription;
    QString mailLink;    // encoded
    QString contactLink; // encoded
};

// The product of `code`; none for another code. `appName` goes into the contact link.
std::optional<Product> product(const QString &code, const QString &appName);

} // namespace SupportLinks
