#include "output/ui/SupportWindows.h"

#include "output/SupportLinks.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include <QPushButton>
#include <QFile>
#include <QUrlQuery>

#include <gtest/gtest.h>

using SupportLinks::Link;

TEST(SupportLinks, MailLinksAreTrimmedAndTheirBreaksAndBlanksEncoded)
{
    const struct {
        const char *link;
        const char *encoded;
    } cases[] = {
        {"mailto:a@b.org?subject=Hi there", "mailto:a@b.org?subject=Hi%20there"},
        {" \t\r\nmailto:a@b.org?body=one\ntwo\n\x01", "mailto:a@b.org?body=one%0A%0Atwo"},
        {"mailto:a@b.org?body=a  b", "mailto:a@b.org?body=a%20%20b"},
        {"\n\n", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SupportLinks::encodedMailLink(QString::fromUtf8(c.link)), QString::fromUtf8(c.encoded)) << c.link;
}

TEST(SupportLinks, EveryLinkIsAValidAddressAndTheSharePagesNameTheProjectsPage)
{
    const QString page = SupportLinks::url(Link::CardWebsite).toString();
    for (const Link link : {Link::SupportMail, Link::ResellerMail, Link::Website, Link::CardWebsite, Link::GooglePlus,
                            Link::Facebook, Link::Twitter, Link::FacebookLike, Link::SocialComments, Link::Review,
                            Link::Video}) {
        const QUrl url = SupportLinks::url(link);
        EXPECT_TRUE(url.isValid() && !url.scheme().isEmpty()) << url.toString().toStdString();
        if (url.hasQuery() && url.scheme() == QLatin1String("https")) {
            EXPECT_EQ(QUrlQuery(url).queryItems(QUrl::FullyDecoded).constFirst().second, page);
        }
    }
    // The reseller mail asks about a partnership and keeps its line breaks as paragraphs.
    const QUrl reseller = SupportLinks::url(Link::ResellerMail);
    EXPECT_EQ(reseller.scheme(), QLatin1String("mailto"));
    EXPECT_TRUE(QUrlQuery(reseller).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded).contains(
        QLatin1String("partnership")));
    EXPECT_TRUE(reseller.toString(QUrl::FullyEncoded).contains(QLatin1String("%0A%0A")));
}

class SupportWindowsTest : public ::testing::Test {
protected:
    ScopedScriptedServices services;
};

TEST_F(SupportWindowsTest, TheHelpFileOpensWithTheDesktopOrIsReportedMissingOrUnopened)
{
    AppFixture app;
    const QString help = app.resourcePath() + QStringLiteral("Help.pdf");
    Help_Support window;
    window._Help_File_Label->click();
    EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nHelp file does not exist!")});
    EXPECT_TRUE(services->openedPaths.isEmpty());

    QFile file(help);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("%PDF-1.4\n");
    file.close();
    window._Help_File_Label->click();
    EXPECT_EQ(services->openedPaths, QStringList{help});
    EXPECT_EQ(services->messages.size(), 1);

    // No program to open it with: the user is told where the file is.
    services->pathsOpen = false;
    window._Help_File_Label->click();
    EXPECT_EQ(services->messages.last(), QStringLiteral("\nThe file %1 could not be opened: no program to open it could "
                                                        "be started. You can open it from your file manager.")
                                             .arg(help));
}

TEST_F(SupportWindowsTest, BothButtonsOfTheReviewRequestOpenTheReviewPageAndEndItWithOne)
{
    for (const char *name : {"OK_btn", "Review_btn"}) {
        Review_Form review;
        review.show();
        review.findChild<QPushButton *>(QLatin1String(name))->click();
        EXPECT_EQ(review.result(), 1) << name;
        EXPECT_EQ(services->openedUrls.takeLast(), SupportLinks::url(Link::Review)) << name;
    }
}

TEST_F(SupportWindowsTest, ThePromotionShowsThePageOfItsCodeAndKeepsTheLastForAnother)
{
    Promotion_Form promotion;
    QStringList titles;
    for (const char *code : {"S", "R", "B"}) {
        promotion.software_type = QLatin1String(code);
        promotion.showSoftware();
        EXPECT_FALSE(promotion.bundle_image->pixmap().isNull()) << code;
        EXPECT_FALSE(promotion.long_descp->text().isEmpty()) << code;
        titles << promotion.Software_title->text();
        promotion.Mail_Clicked();
        promotion.Contact_us_Clicked();
        ASSERT_EQ(services->openedUrls.size(), 2) << code;
        EXPECT_EQ(services->openedUrls.at(0).scheme(), QLatin1String("mailto"));
        EXPECT_TRUE(QUrlQuery(services->openedUrls.at(1))
                        .queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded)
                        .startsWith(QLatin1String("User Enquiry from App: ")));
        services->openedUrls.clear();
    }
    EXPECT_EQ(titles.removeDuplicates(), 0);

    promotion.software_type = QStringLiteral("X");
    promotion.showSoftware();
    EXPECT_EQ(promotion.Software_title->text(), titles.last());
    promotion.Mail_Clicked();
    promotion.Contact_us_Clicked();
    EXPECT_TRUE(services->openedUrls.isEmpty());
}

TEST(SupportWindows, WindowsForALook)
{
    Help_Support help;
    Review_Form review;
    Share_It_Dlg share;
    Promotion_Form promotion;
    promotion.software_type = QStringLiteral("B");
    promotion.showSoftware();
    const struct {
        QDialog *window;
        const char *file;
    } windows[] = {{&help, "Help_Support.png"}, {&review, "Review_Form.png"}, {&share, "Share_It_Dlg.png"},
                   {&promotion, "Promotion_Form.png"}};
    for (const auto &w : windows) {
        w.window->show();
        w.window->adjustSize();
        EXPECT_TRUE(w.window->grab().save(testOutputPath(QLatin1String(w.file))));
    }
}
