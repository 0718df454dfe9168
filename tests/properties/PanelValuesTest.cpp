#include "PanelTestSupport.h"

#include "core/UnitConversion.h"
#include "properties/CardPanelValues.h"
#include "properties/LinePanelValues.h"
#include "properties/PanelConversions.h"
#include "properties/ShapePanelValues.h"
#include "properties/TextPanelValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace PanelConversions;

namespace {

TEST(PanelConversions, OutlineCodesAndListPositionsAreInverse)
{
    const QStringList codes = {QStringLiteral("S"), QStringLiteral("DA"), QStringLiteral("DO"), QStringLiteral("DD"),
                               QStringLiteral("DDD")};
    for (int i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(outlineCodeForIndex(i), codes[i]);
        EXPECT_EQ(outlineIndexForCode(codes[i]), i);
    }
    for (int position : {-1, 5, 100})
        EXPECT_TRUE(outlineCodeForIndex(position).isNull());
    for (const char *code : {"", "s", "DDDD", "X"})
        EXPECT_EQ(outlineIndexForCode(QString::fromLatin1(code)), -1);
}

TEST(PanelConversions, WidthsTruncateTowardZeroAndStayInRange)
{
    const struct {
        double value;
        int whole;
    } cases[] = {{2.9, 2},
                 {-2.9, -2},
                 {0.0, 0},
                 {1e300, std::numeric_limits<int>::max()},
                 {-1e300, std::numeric_limits<int>::min()},
                 {std::nan(""), 0},
                 {std::numeric_limits<double>::infinity(), std::numeric_limits<int>::max()}};
    for (const auto &c : cases)
        EXPECT_EQ(truncatedInt(c.value), c.whole) << c.value;
}

TEST(PanelConversions, LabelsOfFontsAndShapes)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(12.5);
    font.setBold(true);
    EXPECT_EQ(fontLabel(font), QStringLiteral("Liberation Sans Bold ( 12.50 )"));
    EXPECT_EQ(shapePropertiesName(QStringLiteral("DS")), QStringLiteral("Double Star Properties"));
    EXPECT_EQ(shapePropertiesName(QStringLiteral("C")), QStringLiteral("Ellipse Properties"));
    EXPECT_TRUE(shapePropertiesName(QStringLiteral("Q")).isEmpty());
    EXPECT_EQ(cardShapeCode(0), QStringLiteral("R"));
    EXPECT_EQ(cardShapeCode(1), QStringLiteral("RR"));
    EXPECT_EQ(cardShapeCode(2), QStringLiteral("E"));
    EXPECT_EQ(cardShapeCode(7), QStringLiteral("E"));
}

ShapePanelValues someShapeValues()
{
    ShapePanelValues v;
    v.border = true;
    v.borderColor = QColor(10, 20, 30, 200);
    v.borderWidth = 3;
    v.borderStyle = 2;
    v.fill = true;
    v.fillColor = QColor(200, 100, 0);
    v.fillRadio = QStringLiteral("G");
    v.gradient1 = QColor(Qt::red);
    v.gradient2 = QColor(Qt::blue);
    v.gradientAngle = 30.25;
    v.hatchBackground = QColor(Qt::yellow);
    v.hatchName = QStringLiteral("Dots");
    v.opacityPercent = 45;
    v.cornerRadius = 12.5;
    v.doubleStar = 3;
    v.polygon = 2;
    v.printObject = 1;
    return v;
}

TEST(ShapePanelValues, EveryFieldReachesTheObjectAndComesBack)
{
    auto shape = made<Shape_Control>(QStringLiteral("R"));
    const ShapePanelValues v = someShapeValues();
    v.writeInto(*shape);
    EXPECT_TRUE(shape->_isDrawingStroke);
    EXPECT_EQ(shape->_strokeColor, v.borderColor);
    EXPECT_EQ(shape->_strokeWidth, 3.0);
    EXPECT_EQ(shape->_stroke_border_type, QStringLiteral("DO"));
    EXPECT_EQ(shape->_fill_type, QStringLiteral("G"));
    EXPECT_EQ(shape->_fill_grad_angle, 30.25);
    EXPECT_FLOAT_EQ(shape->alpha_val, 0.45f);
    EXPECT_EQ(shape->cor_rad_val, 12.5f);
    EXPECT_EQ(shape->print_object, 1);

    const ShapePanelValues back = ShapePanelValues::of(*shape);
    EXPECT_EQ(back.borderWidth, v.borderWidth);
    EXPECT_EQ(back.borderStyle, v.borderStyle);
    EXPECT_EQ(back.fillRadio, v.fillRadio);
    EXPECT_EQ(back.hatchName, v.hatchName);
    EXPECT_DOUBLE_EQ(back.opacityPercent, static_cast<double>(0.45f) * 100.0);
    EXPECT_EQ(back.doubleStar, 3);
    EXPECT_EQ(back.polygon, 2);
}

TEST(ShapePanelValues, OffOutlineAndFillKeepTheirColoursAndAFillThatIsOffIsSolid)
{
    const struct {
        bool border, fill;
        const char *radio;
        const char *storedType;
    } cases[] = {{false, false, "G", "S"}, {false, true, "H", "H"}, {true, false, "H", "S"},
                 {true, true, "S", "S"},   {true, true, "X", "S"},  {true, true, "G", "G"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.radio);
        auto shape = made<Shape_Control>(QStringLiteral("R"));
        shape->_strokeColor = QColor(1, 2, 3);
        shape->_strokeWidth = 9;
        shape->_fillColor = QColor(4, 5, 6);
        ShapePanelValues v = someShapeValues();
        v.border = c.border;
        v.fill = c.fill;
        v.fillRadio = QString::fromLatin1(c.radio);
        v.writeInto(*shape);
        EXPECT_EQ(shape->_strokeColor, c.border ? v.borderColor : QColor(1, 2, 3));
        EXPECT_EQ(shape->_strokeWidth, c.border ? 3.0 : 9.0);
        EXPECT_EQ(shape->_fillColor, c.fill ? v.fillColor : QColor(4, 5, 6));
        EXPECT_EQ(shape->_fill_type, QString::fromLatin1(c.storedType));
        // Gradient and pattern settings are written in any case.
        EXPECT_EQ(shape->_fill_Grad_clr2, QColor(Qt::blue));
        EXPECT_EQ(shape->_fill_hatch_type, QStringLiteral("Dots"));
    }
}

TEST(ShapePanelValues, NoStyleSelectedKeepsTheOutlineStyleAndUnknownCodesShowNone)
{
    auto shape = made<Shape_Control>(QStringLiteral("R"));
    shape->_stroke_border_type = QStringLiteral("DD");
    ShapePanelValues v = someShapeValues();
    v.borderStyle = -1;
    v.writeInto(*shape);
    EXPECT_EQ(shape->_stroke_border_type, QStringLiteral("DD"));
    shape->_stroke_border_type = QStringLiteral("ZZ");
    EXPECT_EQ(ShapePanelValues::of(*shape).borderStyle, -1);
}

TEST(LinePanelValues, TheOutlineIsAlwaysOnAndMissingChoicesGiveZero)
{
    const struct {
        int cap, orientation, style;
        int storedCap, storedOrientation;
        const char *storedStyle;
    } cases[] = {{2, 1, 4, 2, 1, "DDD"}, {-1, -1, -1, 0, 0, "DA"}, {5, 0, 0, 5, 0, "S"}};
    for (const auto &c : cases) {
        auto line = made<SKTLine>();
        line->_isDrawingStroke = false;
        line->_stroke_border_type = QStringLiteral("DA");
        line->_isDrawingFill = false;
        LinePanelValues v;
        v.color = QColor(Qt::darkGreen);
        v.width = 4;
        v.capStyle = c.cap;
        v.orientation = c.orientation;
        v.borderStyle = c.style;
        v.opacityPercent = 45;
        v.printObject = 1;
        v.writeInto(*line);
        EXPECT_TRUE(line->_isDrawingStroke);
        EXPECT_FALSE(line->_isDrawingFill);
        EXPECT_EQ(line->_strokeWidth, 4.0);
        EXPECT_EQ(line->_line_cap_style, c.storedCap);
        EXPECT_EQ(line->_line_ori, c.storedOrientation);
        EXPECT_EQ(line->_stroke_border_type, QString::fromLatin1(c.storedStyle));
        EXPECT_FLOAT_EQ(line->alpha_val_stroke, 0.45f);
        EXPECT_EQ(line->print_object, 1);
    }
}

CardPanelValues someCardValues()
{
    CardPanelValues v;
    v.border = true;
    v.borderColor = QColor(0, 0, 0, 128);
    v.borderWidth = 4;
    v.borderStyle = 1;
    v.fill = true;
    v.fillColor = QColor(Qt::red);
    v.fillRadio = QStringLiteral("H");
    v.gradient1 = QColor(Qt::green);
    v.gradient2 = QColor(Qt::blue);
    v.gradientAngle = 45.9;
    v.hatchBackground = QColor(Qt::yellow);
    v.hatchName = QStringLiteral("Dots");
    v.opacityPercent = 50;
    v.imagePath = QStringLiteral("/pictures/a.png");
    v.imageLayout = QStringLiteral("Tile");
    v.contentColor = QColor(Qt::darkBlue);
    v.contentFont = QFont(QStringLiteral("Liberation Serif"), 11);
    v.sidesIndex = 1;
    v.cardName = QStringLiteral("  Party \n");
    v.preset = QStringLiteral("Vertical");
    v.category = QStringLiteral("Paper Card");
    v.subCategory = QStringLiteral("Badge 2");
    v.catIndex = 1;
    v.cardShape = 1;
    v.side = 1;
    v.frontBounds = QRectF(0, 0, 300, 200);
    return v;
}

TEST(CardPanelValues, OpacityFoldsIntoTheFillColoursButNotTheBorder)
{
    Card_Property side;
    someCardValues().writeInto(side);
    for (const QColor &colour : {side.Card_fill_clr(), side.Card_fill_Grd_1_clr(), side.Card_fill_Grd_2_clr(),
                                 side.Card_hatch_bk_clr()})
        EXPECT_NEAR(colour.alphaF(), 0.5, 1e-4);
    EXPECT_EQ(side.Card_bordr_clr(), QColor(0, 0, 0, 128));
    EXPECT_FLOAT_EQ(side.Card_alpha_Stepper(), 0.5f);
    EXPECT_EQ(side.Card_grad_Stepper(), 45);
    EXPECT_EQ(side.Card_border_style(), QStringLiteral("DA"));
    EXPECT_EQ(side.Card_Side(), QStringLiteral("1"));
    EXPECT_EQ(side.Card_Side_Name(), QStringLiteral("B"));
    EXPECT_EQ(side.Card_Shape(), QStringLiteral("RR"));
    EXPECT_EQ(side.Card_Name(), QStringLiteral("Party"));
    EXPECT_EQ(side.Card_Size(), QSizeF(300, 200));
    EXPECT_EQ(side.Card_Sub_Category(), QStringLiteral("Badge 2"));
    EXPECT_EQ(side.Card_Cat_index(), 1);
    EXPECT_EQ(side.Card_Create_Mode(), QStringLiteral("W"));
    EXPECT_EQ(side.Card_BG_Image_Layout(), QStringLiteral("Tile"));
}

TEST(CardPanelValues, TheBackStoresAStyleOnlyWhileItFillsTheFrontAlways)
{
    const struct {
        int side;
        bool fill;
        const char *radio;
        const char *stored;
    } cases[] = {{0, true, "G", "G"}, {0, false, "G", "G"}, {0, false, "I", "I"}, {1, true, "H", "H"},
                 {1, false, "H", "S"}, {1, true, "I", "I"}, {0, true, "Q", "S"}, {1, true, "S", "S"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.side << c.fill << c.radio);
        Card_Property side;
        side.setCard_fill_clr(QColor(1, 2, 3));
        CardPanelValues v = someCardValues();
        v.side = c.side;
        v.fill = c.fill;
        v.fillRadio = QString::fromLatin1(c.radio);
        v.writeInto(side);
        EXPECT_EQ(side.Card_fill_chk(), c.fill);
        EXPECT_EQ(side.Card_fill_style(), QString::fromLatin1(c.stored));
        EXPECT_EQ(side.Card_fill_clr(), c.fill ? colorWithOpacity(Qt::red, 0.5) : QColor(1, 2, 3));
    }
}

TEST(CardPanelValues, EmptyNamesAreUntitledAndABorderThatIsOffKeepsItsSettings)
{
    Card_Property side;
    side.setCard_bordr_clr(QColor(9, 9, 9));
    side.setCard_bor_Stepper(7);
    side.setCard_border_style(QStringLiteral("DO"));
    CardPanelValues v = someCardValues();
    v.border = false;
    v.borderStyle = -1;
    v.cardName = QStringLiteral(" \t ");
    v.writeInto(side);
    EXPECT_FALSE(side.Card_border_chk());
    EXPECT_EQ(side.Card_bordr_clr(), QColor(9, 9, 9));
    EXPECT_EQ(side.Card_bor_Stepper(), 7);
    EXPECT_EQ(side.Card_border_style(), QStringLiteral("DO"));
    EXPECT_EQ(side.Card_Name(), QStringLiteral("Untitled"));
}

TEST(CardPanelValues, TheOrientationAndPresetShownAreTheCardsOwn)
{
    // Lying, in millimetres; rows 1 and 2 are one size under two names.
    const QList<QSizeF> presets{{85.598, 54.102}, {91.948, 60.452}, {91.948, 60.452}};
    const struct {
        QSizeF card; // millimetres
        const char *storedPreset;
        int storedRow;
        const char *preset;
        int row;
    } cases[] = {{{76.2, 50.8}, "Vertical", 1, "Horizontal", -1}, {{54.102, 85.598}, "Horizontal", 0, "Vertical", 0},
                 {{85.725, 54.328}, "Horizontal", 1, "Horizontal", 0}, {{91.948, 60.452}, "Vertical", 2, "Horizontal", 2},
                 {{60.452, 91.948}, "Horizontal", -1, "Vertical", 1}, {{85.598, 54.102}, "Horizontal", 7, "Horizontal", 0},
                 {{30, 30}, "Vertical", 0, "Vertical", -1}, {{30, 30}, "Horizontal", 0, "Horizontal", -1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.card.width() << " x " << c.card.height() << " stored row " << c.storedRow);
        Card_Property side;
        side.setCard_Size(QSizeF(MM_to_Points_Convert(float(c.card.width())), MM_to_Points_Convert(float(c.card.height()))));
        side.setCard_Preset(QString::fromLatin1(c.storedPreset));
        side.setCard_Cat_index(c.storedRow);
        side.setCard_Sub_Category(QStringLiteral("stored"));
        const CardPanelValues v = CardPanelValues::of(side, presets);
        EXPECT_EQ(v.preset, QString::fromLatin1(c.preset));
        EXPECT_EQ(v.catIndex, c.row);
        EXPECT_EQ(v.subCategory, c.row == c.storedRow ? QStringLiteral("stored") : QString());
    }
}

TEST(PanelConversions, TheEditorsTextLosesPlaceholdersAndStopsAtTheLimitOnACharacterBoundary)
{
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80"); // two code units
    const QString a249(249, QLatin1Char('a'));
    const struct {
        const char *name;
        QString text, kept;
    } cases[] = {
        {"plain", QStringLiteral("Party at eight"), QStringLiteral("Party at eight")},
        {"placeholder", QStringLiteral("Text hereX"), QStringLiteral("X")},
        {"two placeholders", QStringLiteral("Text here and Text here"), QStringLiteral(" and ")},
        {"placeholder in another case stays", QStringLiteral("text here"), QStringLiteral("text here")},
        {"250", QString(250, QLatin1Char('b')), QString(250, QLatin1Char('b'))},
        {"251", QString(251, QLatin1Char('b')), QString(250, QLatin1Char('b'))},
        {"pair across the cut", a249 + face + QStringLiteral("c"), a249},
        {"pair ending at the cut", QString(248, QLatin1Char('a')) + face + QStringLiteral("c"),
         QString(248, QLatin1Char('a')) + face},
        {"characters XML cannot carry", QStringLiteral("a\x01") + QChar(0xFFFE) + QChar(0xD83D),
         QStringLiteral("a") + QString(3, QChar::ReplacementCharacter)},
        {"placeholder before the cut counts out", QStringLiteral("Text here") + QString(250, QLatin1Char('d')),
         QString(250, QLatin1Char('d'))},
    };
    for (const auto &c : cases) {
        const QString kept = cleanedEditorText(c.text);
        EXPECT_EQ(kept, c.kept) << c.name;
        EXPECT_LE(kept.size(), kTextLimit) << c.name;
        EXPECT_FALSE(!kept.isEmpty() && kept.back().isHighSurrogate()) << c.name;
    }
}

TEST(TextPanelValues, TheTextGoesInOnlyWhenAskedAndOpacitiesAreFractions)
{
    TextPanelValues v;
    v.border = true;
    v.borderColor = QColor(1, 2, 3);
    v.borderWidth = 4;
    v.borderStyle = 1;
    v.fill = true;
    v.gradient = true;
    v.opacityPercent = 30;
    v.text = QStringLiteral("New words");
    v.alignment = -1;
    v.textCase = 3;
    v.rotation = -20;
    v.shadowOpacityPercent = 50;
    v.shadowX = -2.5;
    auto text = made<SKTText>();
    v.writeInto(*text, false);
    EXPECT_EQ(storedText(*text), QStringLiteral("Text here"));
    EXPECT_FALSE(text->hasTextContents());
    EXPECT_EQ(text->_fill_type, QStringLiteral("G"));
    EXPECT_FLOAT_EQ(text->alpha_val, 0.3f);
    EXPECT_FLOAT_EQ(text->Shadow_transparency, 0.5f);
    EXPECT_EQ(text->Shadow_offset_X, -2.5f);
    EXPECT_EQ(text->text_alignmnet, -1);
    EXPECT_EQ(text->text_rotation, -20);
    v.writeInto(*text, true);
    EXPECT_EQ(storedText(*text), QStringLiteral("New words"));

    // A fill that is off is solid whatever radio is on; an outline that is off keeps its colour.
    v.fill = false;
    v.border = false;
    v.borderColor = QColor(Qt::red);
    v.writeInto(*text, true);
    EXPECT_EQ(text->_fill_type, QStringLiteral("S"));
    EXPECT_EQ(text->_strokeColor, QColor(1, 2, 3));
    const TextPanelValues back = TextPanelValues::of(*text);
    EXPECT_DOUBLE_EQ(back.shadowOpacityPercent, 50.0);
    EXPECT_EQ(back.borderWidth, 4);
    EXPECT_EQ(back.text, QStringLiteral("New words"));
}

} // namespace
