#include "core/AppState.h"
#include "core/FontNames.h"

#include <QFontInfo>
#include <gtest/gtest.h>

TEST(FontNames, PostScriptNamesMapToFamilyAndStyleAndBack)
{
    const QFont italic = Font_With_Name(QStringLiteral("TimesNewRomanPS-ItalicMT"), 14.0);
    EXPECT_EQ(italic.family(), QStringLiteral("Times New Roman"));
    EXPECT_TRUE(italic.italic());
    EXPECT_FALSE(italic.bold());
    EXPECT_DOUBLE_EQ(italic.pointSizeF(), 14.0);
    EXPECT_EQ(Font_PostScript_Name(italic), QStringLiteral("TimesNewRomanPS-ItalicMT"));

    const QFont arial = Font_With_Name(QStringLiteral("Arial-BoldMT"), 10.0);
    EXPECT_EQ(arial.family(), QStringLiteral("Arial"));
    EXPECT_TRUE(arial.bold());
    EXPECT_EQ(Font_PostScript_Name(arial), QStringLiteral("Arial-BoldMT"));
    EXPECT_EQ(Font_PostScript_Name(Font_With_Name(QStringLiteral("ArialMT"), 10)), QStringLiteral("ArialMT"));
    EXPECT_EQ(Font_With_Name(QStringLiteral("Helvetica-Oblique"), 9).family(), QStringLiteral("Helvetica"));
}

// Names read to a family and face and written back as they were: installed families by their own
// names, faces by weight and slant, or by name where the family has them.
TEST(FontNames, FacesAndFamiliesComeBackUnderTheirNames)
{
    const struct {
        const char *name;
        const char *family;
        int weight;
        bool italic;
        const char *writtenAgain;
    } rows[] = {
        {"DejaVuSans", "DejaVu Sans", QFont::Normal, false, "DejaVuSans"},
        {"DejaVuSans-CondensedBold", "DejaVu Sans", QFont::Bold, false, "DejaVuSans-CondensedBold"},
        {"Lato-SemiboldItalic", "Lato", QFont::DemiBold, true, "Lato-SemiboldItalic"},
        {"NimbusMonoPS-Bold", "Nimbus Mono PS", QFont::Bold, false, "NimbusMonoPS-Bold"},
        {"Unknown-ExtraLightItalic", "Unknown", QFont::ExtraLight, true, "Unknown-ExtraLightItalic"},
        {"Unknown-CondensedBlack", "Unknown", QFont::Black, false, "Unknown-CondensedBlack"},
        {"Helvetica-Oblique", "Helvetica", QFont::Normal, true, "Helvetica-Italic"},
    };
    for (const auto &row : rows) {
        const QFont font = Font_With_Name(QLatin1String(row.name), 11);
        EXPECT_EQ(font.family(), QLatin1String(row.family)) << row.name;
        EXPECT_EQ(font.weight(), row.weight) << row.name;
        EXPECT_EQ(font.italic(), row.italic) << row.name;
        EXPECT_EQ(Font_PostScript_Name(font), QLatin1String(row.writtenAgain)) << row.name;
    }
}

TEST(FontNames, TheDefaultTextFontResolvesToAMetricTwin)
{
    // With the Liberation fonts installed, Times New Roman is served by its metric twin.
    const QFontInfo info(Font_With_Name(QStringLiteral("TimesNewRomanPS-ItalicMT"), 14.0));
    EXPECT_TRUE(info.family().contains(QStringLiteral("Times New Roman")) || info.family().contains(QStringLiteral("Liberation Serif")))
        << info.family().toStdString();
    EXPECT_TRUE(info.italic());
}

TEST(AppState, ResetPutsBackTheStartValues)
{
    App().Card_Front_Or_Back = 1;
    App().Card_Shape = 2;
    App().Resource_Path = QStringLiteral("/x/");
    App().Card_Value_In_Process = true;
    App().reset();
    EXPECT_EQ(App().Card_Front_Or_Back, 0);
    EXPECT_EQ(App().Card_Shape, 0);
    EXPECT_TRUE(App().Resource_Path.isEmpty());
    EXPECT_FALSE(App().Card_Value_In_Process);
    EXPECT_EQ(App().All_Text_font.family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(App().All_Text_clr, QColor(Qt::black));
    EXPECT_EQ(App().design_file_EXT, QStringLiteral("zkse"));
}
