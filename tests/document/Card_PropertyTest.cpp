#include "document/Card_Property.h"

#include <gtest/gtest.h>

TEST(Card_Property, CreationValues)
{
    const Card_Property p;
    EXPECT_FALSE(p.Card_border_chk());
    EXPECT_EQ(p.Card_bor_Stepper(), 1);
    EXPECT_FALSE(p.Card_fill_chk());
    EXPECT_FLOAT_EQ(p.Card_alpha_Stepper(), 1.0f);
    EXPECT_EQ(p.Card_bordr_clr(), QColor(Qt::black));
    EXPECT_EQ(p.Card_fill_style(), QStringLiteral("S"));
    EXPECT_EQ(p.Card_fill_clr(), QColor(Qt::white));
    EXPECT_TRUE(p.Card_hatch_style().isEmpty());
    EXPECT_EQ(p.Card_Side(), QStringLiteral("2"));
    EXPECT_EQ(p.Card_Shape(), QStringLiteral("R"));
    EXPECT_EQ(p.Card_Name(), QStringLiteral("Untitled"));
    EXPECT_EQ(p.Card_Size(), QSizeF(0, 0));
    EXPECT_EQ(p.Card_Sub_Category(), QStringLiteral("CR80-Credit Card Size"));
    EXPECT_EQ(p.Card_BG_Image_Layout(), QStringLiteral("Stretch"));
    EXPECT_TRUE(p.Card_BG_Image().isNull());
    EXPECT_EQ(p.Card_Content_font().family(), QStringLiteral("Times New Roman"));
    EXPECT_TRUE(p.Card_Content_font().italic());
    EXPECT_DOUBLE_EQ(p.Card_Content_font().pointSizeF(), 14.0);
}

TEST(Card_Property, CopiesAreIndependentValues)
{
    Card_Property a;
    a.setCard_fill_clr(Qt::red);
    Card_Property b = a;
    b.setCard_fill_clr(Qt::blue);
    EXPECT_EQ(a.Card_fill_clr(), QColor(Qt::red));
    EXPECT_EQ(b.Card_Content_font(), a.Card_Content_font());
    EXPECT_FALSE(a == b);
}

TEST(Card_Property, KeyedArchiveWritesEveryFieldInOrderAndReadsItBack)
{
    Card_Property p;
    p.setCard_fill_chk(true);
    p.setCard_fill_style(QStringLiteral("H"));
    p.setCard_hatch_style(QStringLiteral("Dots"));
    p.setCard_Size(QSizeF(243, 154));
    p.setCard_Location(QPointF(1, 2));
    p.setCard_alpha_Stepper(0.25f);
    QImage picture(4, 4, QImage::Format_ARGB32);
    picture.fill(Qt::green);
    p.setCard_BG_Image(picture);

    platform::MemoryKeyedArchive archive;
    p.encodeWithCoder(archive);
    QStringList keys;
    for (const auto &e : archive.entries())
        keys << e.key;
    EXPECT_EQ(keys.join(QLatin1Char(' ')),
              QStringLiteral("Card_border_chk Card_fill_chk Card_bor_Stepper Card_grad_Stepper Card_Cat_index "
                             "Card_alpha_Stepper Card_bordr_clr Card_fill_clr Card_fill_Grd_1_clr Card_fill_Grd_2_clr "
                             "Card_hatch_bk_clr Card_border_style Card_fill_style Card_hatch_style Card_Side "
                             "Card_Side_Name Card_Shape Card_Name Card_Preset Card_Category Card_Sub_Category "
                             "Card_Create_Mode Card_BG_Image_Path Card_BG_Image_Layout Card_BG_Image Card_Location "
                             "Card_Size Card_Content_clr Card_Content_font"));
    EXPECT_EQ(archive.entries().front().type, platform::MemoryKeyedArchive::Type::Bool);
    EXPECT_EQ(archive.entries()[5].type, platform::MemoryKeyedArchive::Type::Float);

    EXPECT_TRUE(Card_Property::initWithCoder(archive) == p);
    EXPECT_TRUE(Card_Property::initWithCoder(platform::MemoryKeyedArchive()) == Card_Property::initWithCoder(platform::MemoryKeyedArchive()));
}

TEST(Card_Property, MissingKeysReadAsNothingNotAsCreationValues)
{
    platform::MemoryKeyedArchive archive;
    Card_Property().encodeWithCoder(archive);
    archive.remove(QStringLiteral("Card_Name"));
    archive.remove(QStringLiteral("Card_bor_Stepper"));
    archive.remove(QStringLiteral("Card_Size"));
    archive.encodeInt(QStringLiteral("Card_grad_Stepper"), 0);
    archive.encodeDouble(QStringLiteral("Card_Cat_index"), 3.0); // a real where an int was expected

    const Card_Property p = Card_Property::initWithCoder(archive);
    EXPECT_TRUE(p.Card_Name().isNull());
    EXPECT_EQ(p.Card_bor_Stepper(), 0);
    EXPECT_EQ(p.Card_Size(), QSizeF(0, 0));
    EXPECT_EQ(p.Card_Cat_index(), 3);
    EXPECT_EQ(p.Card_Side(), QStringLiteral("2"));
    EXPECT_TRUE(p.Card_hatch_style().isEmpty());
    EXPECT_FALSE(p.Card_hatch_style().isNull());
}
