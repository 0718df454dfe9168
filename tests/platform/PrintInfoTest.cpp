#include "platform/PrintInfo.h"
#include "platform/PropertyList.h"

#include <QPageSize>

#include <gtest/gtest.h>

#include <limits>

using platform::PrintInfo;

namespace {

QPageLayout layout(const QPageSize &paper, QPageLayout::Orientation orientation, const QMarginsF &margins)
{
    return QPageLayout(paper, orientation, margins, QPageLayout::Point);
}

// Through the bytes of a binary property list, as the document's data carries it.
PrintInfo throughData(const PrintInfo &info)
{
    const QByteArray data = platform::propertyListData(info.propertyList(), platform::PropertyListFormat::Binary);
    const std::optional<QVariant> list = platform::propertyListFromData(data);
    return list ? PrintInfo::fromPropertyList(*list) : PrintInfo();
}

} // namespace

TEST(PrintInfo, PaperOrientationMarginsAndSettingsSurviveAPropertyList)
{
    struct Case {
        const char *what;
        QPageLayout pageLayout;
        QVariantMap dictionary;
    } cases[] = {
        {"the default", PrintInfo::defaultPageLayout(), {}},
        {"Letter on its side", layout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, {18, 36, 54, 72}),
         {{PrintInfo::Copies, 3}, {PrintInfo::PrinterName, QStringLiteral("Office")}}},
        {"a paper of its own", layout(QPageSize(QSizeF(300.5, 200.25), QPageSize::Point), QPageLayout::Portrait,
                                      {0, 0, 0, 0}),
         {{PrintInfo::OutputFileName, QStringLiteral("/tmp/card.pdf")}, {QStringLiteral("duplex"), true}}},
    };
    for (const Case &c : cases) {
        PrintInfo info;
        info.pageLayout = c.pageLayout;
        info.dictionary = c.dictionary;
        const PrintInfo back = throughData(info);
        EXPECT_EQ(back, info) << c.what;
        EXPECT_EQ(back.pageLayout.pageSize().id(), c.pageLayout.pageSize().id()) << c.what << ": the paper keeps its name";
    }

    // What a property list cannot hold stays behind; the rest travels.
    PrintInfo info;
    info.dictionary = {{QStringLiteral("picture"), QVariant::fromValue(QPageSize(QPageSize::A5))},
                       {PrintInfo::Copies, 2}};
    EXPECT_EQ(throughData(info).dictionary, (QVariantMap{{PrintInfo::Copies, 2}}));
}

TEST(PrintInfo, APageThatCannotBeLeavesTheDefaultLayout)
{
    const QVariantMap good = [] {
        PrintInfo info;
        info.pageLayout = layout(QPageSize(QPageSize::A5), QPageLayout::Portrait, {10, 10, 10, 10});
        return info.propertyList();
    }();
    ASSERT_NE(PrintInfo::fromPropertyList(good).pageLayout, PrintInfo::defaultPageLayout());

    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char *key;
        QVariant value;
    } damage[] = {
        {"paperWidth", QVariant()},
        {"paperWidth", QStringLiteral("420")},
        {"paperWidth", 0.0},
        {"paperHeight", -595.0},
        {"paperHeight", inf},
        {"paperHeight", 20000.0},
        {"leftMargin", -1.0},
        {"topMargin", QVariant()},
        {"rightMargin", 500.0}, // left and right together wider than the paper
        {"bottomMargin", 600.0},
    };
    for (const auto &d : damage) {
        QVariantMap list = good;
        list.insert(QLatin1String(d.key), d.value);
        EXPECT_EQ(PrintInfo::fromPropertyList(list).pageLayout, PrintInfo::defaultPageLayout()) << d.key;
    }
    for (const QVariant &notADictionary : {QVariant(), QVariant(QVariantList{good}), QVariant(QStringLiteral("A4"))})
        EXPECT_EQ(PrintInfo::fromPropertyList(notADictionary), PrintInfo());
}
