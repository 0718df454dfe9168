#include "document/SKTText.h"
#include "document/SKTLine.h"

#include "core/FontNames.h"
#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace {

const QSize kPage(200, 200);

class SKTTextTest : public ::testing::Test {
protected:
    AppFixture app;

    static std::shared_ptr<SKTText> makeText(const QString &string, const QRectF &bounds, double size = 20)
    {
        auto text = std::make_shared<SKTText>();
        text->Text_contents().string = string;
        text->_bounds = bounds;
        text->_isDrawingFill = false;
        text->_isDrawingStroke = false;
        text->text_ctrl_font = Font_With_Name("ArialMT", size);
        return text;
    }
};

bool isDark(QRgb pixel)
{
    return qGray(pixel) < 128;
}

bool isPainted(QRgb pixel)
{
    return pixel != qRgb(255, 255, 255);
}

// The smallest rectangle holding every pixel that `test` accepts.
QRect inkBox(const QImage &image, const std::function<bool(QRgb)> &test = isDark)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (test(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

TEST_F(SKTTextTest, FontsAreSizedInPointsOnEveryDevice)
{
    // A 72-point capital H of Liberation Sans stands 0.688 of its size tall: 49.5 units, not the
    // 66 that the image's 96 dpi would make of it.
    auto text = makeText("H", QRectF(0, 0, 200, 100), 72);
    EXPECT_NEAR(inkBox(drawnOnWhite(*text, kPage)).height(), 49.5, 1.5);
    EXPECT_NEAR(inkBox(drawnOnWhite(*text, QSize(400, 200), 2)).height(), 99, 2);
}

TEST_F(SKTTextTest, VerticalAndHorizontalPlacement)
{
    // Liberation Sans lines are 1.149 of the size high: 17.4 points make a 20-point line.
    auto text = makeText("Hello", QRectF(0, 0, 200, 100), 17.4);
    ASSERT_NEAR(text->drawnTextSize().height(), 20, 0.1);
    const double expected[] = {0, 80, 40, 0};
    for (int placement : {0, 1, 2, 7}) {
        text->text_alignmnet_Vert = placement;
        EXPECT_NEAR(text->textRect().y(), expected[placement % 4], 0.1) << placement;
    }
    text->text_alignmnet_Vert = 1;
    EXPECT_NEAR(inkBox(drawnOnWhite(*text, kPage)).bottom(), 95, 3);

    text->_bounds = QRectF(20, 20, 160, 40);
    text->text_alignmnet = 0;
    EXPECT_NEAR(inkBox(drawnOnWhite(*text, kPage)).left(), 22, 3);
    text->text_alignmnet = 1;
    EXPECT_NEAR(inkBox(drawnOnWhite(*text, kPage)).right(), 178, 3);
    text->text_alignmnet = 2;
    EXPECT_NEAR(inkBox(drawnOnWhite(*text, kPage)).center().x(), 100, 3);
    // Kerning spaces the characters by its points.
    const double plain = text->drawnTextSize().width();
    text->text_kerning = 5;
    EXPECT_NEAR(text->drawnTextSize().width() - plain, 25, 1);
}

TEST_F(SKTTextTest, CaseAndTrimming)
{
    auto text = makeText("  Hello  ", QRectF(0, 0, 200, 60));
    text->text_transfrom_case = 1;
    EXPECT_EQ(text->drawnString(), "HELLO");
    // Blanks left in would shift the centred word.
    const QImage trimmed = drawnOnWhite(*text, kPage);
    text->Text_contents().string = "HELLO";
    text->text_transfrom_case = 0;
    EXPECT_EQ(drawnOnWhite(*text, kPage), trimmed);

    text->Text_contents().string = "\n hello wORLD\télan \r\n";
    const QStringList cases{"hello wORLD\télan", "HELLO WORLD\tÉLAN", "hello world\télan", "Hello World\tÉlan",
                            "hello wORLD\télan"};
    for (int c = 0; c < 5; ++c) {
        text->text_transfrom_case = c;
        EXPECT_EQ(text->drawnString(), cases.at(c)) << c;
    }
    text->Text_Value = "ignored once the storage exists";
    EXPECT_EQ(text->drawnString(), "hello wORLD\télan");
}

TEST_F(SKTTextTest, RotationTurnsTextAndBorderButNotTheBackground)
{
    auto text = makeText("Hi", QRectF(50, 80, 100, 40));
    text->text_alignmnet = 0;
    text->text_alignmnet_Vert = 0;
    text->text_rotation = 90;
    text->_isDrawingFill = true;
    text->_fillColor = Qt::yellow;
    text->_isDrawingStroke = true;
    text->_strokeWidth = 2;
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        text->drawContentsInView(painter, false);
        EXPECT_TRUE(painter.worldTransform().isIdentity()); // what is drawn next is not turned
    }
    EXPECT_EQ(image.pixelColor(55, 85), QColor(Qt::yellow));
    EXPECT_EQ(image.pixelColor(145, 115), QColor(Qt::yellow));
    // The border stands upright about the centre (100, 100): from (80, 50) to (120, 150).
    EXPECT_TRUE(isDark(image.pixel(80, 60)));
    EXPECT_TRUE(isDark(image.pixel(100, 150)));
    EXPECT_FALSE(isDark(image.pixel(50, 100)));
    // Clockwise: the start of the line is now at the top right, running down.
    const QRect ink = inkBox(image.copy(82, 52, 36, 96)).translated(82, 52);
    EXPECT_GT(ink.left(), 100);
    EXPECT_LT(ink.bottom(), 100);
}

TEST_F(SKTTextTest, ShadowOpacityIsStampedIntoItsSavedColour)
{
    auto text = makeText("Shadow", QRectF(20, 20, 160, 60));
    text->Drawing_Shadow = true;
    const auto saved = [&] { return text->colourAsSaved(&SKTGraphic::Shadow_Color); };
    EXPECT_EQ(saved().alphaF(), 1.0f); // the default 50 acts as 1

    text->Shadow_transparency = 0.5f;
    const QImage image = drawnOnWhite(*text, kPage);
    EXPECT_NEAR(saved().alphaF(), 0.5, 0.01);
    EXPECT_EQ(text->Shadow_Color.alphaF(), 1.0f) << "drawing leaves the field as it is";
    // Half-opaque blue, 5 points right and down of the text.
    auto halfBlue = [](QRgb p) { return qBlue(p) > 200 && qRed(p) > 60 && qRed(p) < 200; };
    const QRect shadow = inkBox(image, halfBlue);
    EXPECT_NEAR(shadow.right() - inkBox(image).right(), 5, 1);
    EXPECT_NEAR(shadow.bottom() - inkBox(image).bottom(), 5, 1);
    text->Shadow_blur = 6;
    EXPECT_GT(inkBox(drawnOnWhite(*text, kPage), [](QRgb p) { return qBlue(p) > 200 && qRed(p) < 250; }).right(),
              shadow.right() + 2);
}

TEST_F(SKTTextTest, BlankTextCreationAndHiding)
{
    // Only the background of a blank text shows, "H" painting the plain colour; no border.
    auto text = makeText("  \n \t\n", QRectF(40, 40, 100, 60));
    text->_isDrawingFill = true;
    text->_fill_type = "H";
    text->_fillColor = Qt::yellow;
    text->_isDrawingStroke = true;
    text->_strokeWidth = 4;
    QImage image = drawnOnWhite(*text, kPage);
    EXPECT_EQ(inkBox(image, isPainted), QRect(40, 40, 100, 60));
    EXPECT_EQ(image.pixelColor(40, 40), QColor(Qt::yellow));

    // While it is dragged out, only a one-point frame just outside the bounds.
    text->Text_contents().string = "Hello";
    image = drawnOnWhite(*text, kPage, 1, true);
    EXPECT_EQ(inkBox(image, isPainted), QRect(39, 39, 102, 62));
    EXPECT_EQ(image.pixelColor(90, 70), QColor(Qt::white));

    EXPECT_EQ(app.hub.refreshCount, 0);
    text->Set_Ctrl_Is_Visible(false);
    EXPECT_TRUE(inkBox(drawnOnWhite(*text, kPage), isPainted).isNull());
}

TEST_F(SKTTextTest, WrappedTextIsPlacedByItsWrappedHeightAndOverflowIsCut)
{
    auto text = makeText("one two three four five six", QRectF(20, 0, 80, 200), 14);
    text->text_alignmnet_Vert = 2;
    const QRect ink = inkBox(drawnOnWhite(*text, kPage));
    EXPECT_GT(ink.height(), 40);
    EXPECT_NEAR(ink.top(), 200 - ink.bottom(), 6);
    EXPECT_LE(ink.right(), 100);

    // Only whole lines that fit are drawn.
    text->text_alignmnet_Vert = 0;
    const double line = text->drawnTextSize().height() / 3;
    text->_bounds.setHeight(line * 1.5);
    EXPECT_LT(inkBox(drawnOnWhite(*text, kPage)).bottom(), line + 1);
    text->_bounds.setHeight(line * 0.9);
    EXPECT_TRUE(inkBox(drawnOnWhite(*text, kPage)).isNull());
}

TEST_F(SKTTextTest, NaturalSizeAndHeightFitting)
{
    auto text = makeText("Natural\nsize", QRectF(30, 40, 300, 20), 30);
    text->ctrl_is_locked = true;
    text->makeNaturalSize();
    EXPECT_EQ(text->bounds(), QRectF(30, 40, 300, 20));
    text->ctrl_is_locked = false;
    const QSizeF natural = text->naturalSize();
    text->makeNaturalSize();
    EXPECT_EQ(text->bounds(), QRectF(QPointF(30, 40), natural));
    // Laid out again in the fitted box, nothing wraps further.
    EXPECT_EQ(text->drawnTextSize(), natural);

    // Fitting the height is no undoable bounds change.
    text->_bounds.setHeight(5);
    QList<bool> undoable;
    text->addObserver(SKTGraphic::BoundsKey, [&](const QString &, const QVariant &, const QVariant &) {
        undoable << text->keysForValuesToObserveForUndo().contains(SKTGraphic::BoundsKey);
    });
    text->setHeightToMatchContents();
    EXPECT_EQ(undoable, QList<bool>{false});
    EXPECT_EQ(text->height(), natural.height());
    EXPECT_TRUE(text->keysForValuesToObserveForUndo().contains(SKTGraphic::BoundsKey));
}

TEST_F(SKTTextTest, DrawingStaysWithinTheDrawingBounds)
{
    auto text = makeText("Turned text", QRectF(60, 90, 120, 30));
    text->_isDrawingStroke = true;
    text->_strokeWidth = 3;
    text->Drawing_Shadow = true;
    text->Shadow_blur = 4;
    for (int degrees : {0, 30, 90, 200}) {
        text->text_rotation = degrees;
        const QRect ink = inkBox(drawnOnWhite(*text, QSize(240, 240)), isPainted);
        EXPECT_TRUE(text->drawingBounds().contains(QRectF(ink))) << degrees;
    }
}

TEST_F(SKTTextTest, AShadowOfDamagedSizeOrPlaceDrawsWithoutOverflow)
{
    // Values a damaged design may hold: the shadow's pixel rectangle and blur radii must stay
    // within int range (UndefinedBehaviorSanitizer stops the test otherwise).
    auto text = makeText("Shadow", QRectF(20, 20, 160, 60));
    text->Drawing_Shadow = true;
    text->Shadow_blur = 1e20f;
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setClipRect(image.rect());
        text->drawContentsInView(painter, false);
    }
    EXPECT_TRUE(inkBox(image).isValid()) << "the text itself is still drawn";
    text->Shadow_blur = 4;
    text->Shadow_offset_X = 1e30f;
    EXPECT_TRUE(inkBox(drawnOnWhite(*text, kPage)).isValid());
}

TEST_F(SKTTextTest, AShadowSpreadTooThinToShowLeavesNoTrace)
{
    auto text = makeText("Shadow", QRectF(20, 20, 160, 60));
    text->txt_clr = Qt::transparent; // only the shadow shows
    text->Drawing_Shadow = true;
    for (const float blur : {6.0f, 1e6f}) {
        text->Shadow_blur = blur;
        EXPECT_EQ(inkBox(drawnOnWhite(*text, kPage), isPainted).isValid(), blur < 100) << blur;
    }
}

TEST_F(SKTTextTest, CacheKeyFollowsWhatTheDrawingReadsButNotThePosition)
{
    auto text = makeText("Key", QRectF(10, 10, 100, 40));
    auto keyOf = [&] {
        QByteArray key;
        EXPECT_TRUE(text->appendDrawingCacheKey(key));
        return key;
    };
    const QByteArray base = keyOf();
    text->setBounds(text->bounds().translated(13, 4));
    EXPECT_EQ(keyOf(), base);

    auto &t = *text;
    const std::vector<std::function<void()>> changes = {
        [&] { t.ctrl_is_visible = false; },       [&] { t._bounds.setHeight(80); },
        [&] { t.Text_contents().string = "O"; },  [&] { t.text_transfrom_case = 1; },
        [&] { t.text_alignmnet = 0; },            [&] { t.text_alignmnet_Vert = 1; },
        [&] { t.text_ctrl_font.setItalic(true); }, [&] { t.txt_clr = Qt::red; },
        [&] { t.text_kerning = 2; },              [&] { t.text_rotation = 45; },
        [&] { t.Drawing_Shadow = true; },         [&] { t.Shadow_Color = Qt::green; },
        [&] { t.Shadow_transparency = 0.2f; },    [&] { t.Shadow_offset_X = 1; },
        [&] { t.Shadow_offset_Y = 1; },           [&] { t.Shadow_blur = 3; },
        [&] { t._isDrawingFill = true; },         [&] { t._fill_type = "G"; },
        [&] { t._fillColor = Qt::cyan; },         [&] { t._fill_Grad_clr1 = Qt::cyan; },
        [&] { t._fill_Grad_clr2 = Qt::magenta; }, [&] { t._fill_grad_angle = 90; },
        [&] { t.alpha_val = 0.5f; },              [&] { t._isDrawingStroke = true; },
        [&] { t._strokeColor = Qt::red; },        [&] { t.alpha_val_stroke = 0.5f; },
        [&] { t._strokeWidth = 4; },              [&] { t._stroke_border_type = "DA"; },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        const QByteArray before = keyOf();
        changes[i]();
        EXPECT_NE(keyOf(), before) << "change " << i;
    }
}

TEST_F(SKTTextTest, SheetOfTextsAndLinesForALook)
{
    QImage sheet(660, 420, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    const QStringList fonts{"TimesNewRomanPSMT", "ArialMT", "CourierNewPSMT", "TimesNewRomanPS-BoldItalicMT"};
    for (int i = 0; i < 12; ++i) { // alignments across, placements down, then turned, shadowed and kerned
        const bool styled = i >= 9;
        const QRectF r = styled ? QRectF(460, 20 + (i - 9) * 70, 180, 40) : QRectF(20 + (i % 3) * 145, 20 + (i / 3) * 70, 130, 60);
        auto text = makeText(styled ? "Shadow" : QStringLiteral("Align %1/%2\nsecond").arg(i % 3).arg(i / 3), r, styled ? 18 : 14);
        text->text_ctrl_font = Font_With_Name(fonts.at(styled ? 3 : i % 3), styled ? 20 : 14);
        std::tie(text->text_alignmnet, text->text_alignmnet_Vert, text->text_transfrom_case) = std::tuple(i % 3, i / 3, i % 4);
        text->text_rotation = styled ? (i - 10) * 20 : 0;
        text->text_kerning = styled ? i - 10 : 0;
        text->_isDrawingFill = text->_isDrawingStroke = true;
        text->_fill_type = i % 2 ? "G" : "S";
        text->_fillColor = styled ? QColor(255, 240, 200) : QColor(Qt::white);
        text->_fill_Grad_clr1 = QColor(255, 220, 220);
        text->_fill_Grad_clr2 = QColor(220, 220, 255);
        text->_stroke_border_type = styled ? "DA" : "S";
        text->_strokeColor = QColor(180, 180, 255);
        text->Drawing_Shadow = styled;
        text->Shadow_transparency = 0.5f;
        text->Shadow_blur = i == 11 ? 3 : 0;
        text->drawContentsInView(painter, false);
    }
    const QStringList styles{"S", "DA", "DO", "DD", "DDD"};
    for (int i = 0; i < 15; ++i) { // outline styles down, cap styles and widths across
        const QPointF begin(20 + (i % 3) * 215, 320 + (i / 3) * 20);
        auto line = std::make_shared<SKTLine>();
        line->_bounds = SKTLine::boundsWithBeginPoint(begin, begin + QPointF(180, -(i % 3) * 4.0), &line->_pointsRight, &line->_pointsDown);
        std::tie(line->_strokeWidth, line->_line_cap_style, line->_stroke_border_type) = std::tuple(1 + (i % 3) * 3, i % 3, styles.at(i / 3));
        line->_strokeColor = QColor::fromHsv(i * 24, 200, 160);
        line->drawContentsInView(painter, false);
        if (i >= 12)
            line->drawHandlesInView(painter, i == 14);
    }
    painter.end();
    EXPECT_TRUE(sheet.save(testOutputPath("text-and-line-sheet.png")));
}
