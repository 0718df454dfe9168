#include "document/DesignFile.h"
#include "document/SKTGraphicKinds.h"

#include "fixtures/StoredPictures.h"
#include "fixtures/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

SKTGraphicPtr made(const QString &className, const std::function<void(SKTGraphic &)> &set)
{
    SKTGraphicPtr g = SKTGraphic::graphicWithClassName(className);
    g->_bounds = QRectF(10, 10, 80, 40);
    g->_file_path = QStringLiteral("/pictures/none.png");
    // Colours as a colour well gives them, opaque, whatever the opacity fields say.
    g->_fillColor = QColor(200, 30, 30);
    g->_strokeColor = QColor(10, 20, 200);
    g->_fill_Grad_clr1 = QColor(250, 250, 0);
    g->_fill_Grad_clr2 = QColor(0, 250, 250);
    g->_fill_htch_clr = QColor(0, 120, 0);
    g->Shadow_Color = QColor(90, 90, 90);
    g->alpha_val = 0.5f;
    g->alpha_val_stroke = 0.25f;
    g->Shadow_transparency = 0.3f;
    set(*g);
    return g;
}

// Every kind in the states that decide which of its colours a drawing shows.
DesignFileContents designOfEveryColourUse()
{
    const auto kind = [](const char *className, const std::function<void(SKTGraphic &)> &set) {
        return made(QLatin1String(className), set);
    };
    const auto shape = [&](const char *fill, bool fills, bool strokes) {
        return kind("Shape_Control", [=](SKTGraphic &g) {
            g._fill_type = QLatin1String(fill);
            g._isDrawingFill = fills;
            g._isDrawingStroke = strokes;
        });
    };
    DesignFileContents c;
    c.frontGraphics = {shape("S", true, true), shape("G", true, false), shape("H", true, true),
                       shape("S", false, true), kind("Shape_Control", [](SKTGraphic &g) { g.ctrl_is_visible = false; }),
                       kind("SKTLine", [](SKTGraphic &) {}), kind("SKTText", [](SKTGraphic &g) { g.Drawing_Shadow = true; }),
                       kind("SKTText", [](SKTGraphic &g) { g._fill_type = QStringLiteral("G"), g._isDrawingStroke = false; }),
                       kind("SKTText", [](SKTGraphic &g) { g.Text_Value = QStringLiteral("  "), g.Drawing_Shadow = true; }),
                       kind("SKTImage", [](SKTGraphic &g) { g._file_path = QString(); })};
    return c;
}

void drawEach(const GraphicList &graphics)
{
    QImage page(100, 60, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&page);
    for (const SKTGraphicPtr &g : graphics)
        g->drawContentsInView(painter, false);
}

} // namespace

// A saved design does not depend on whether its objects were drawn since their last change, and
// it is what a design whose objects were all drawn was always saved as.
TEST(SavedColours, AreTheColoursAsDrawnWhetherOrNotDrawn)
{
    AppFixture app;
    const DesignFileContents design = designOfEveryColourUse();
    const QByteArray undrawn = DesignFile::data(design);
    drawEach(design.frontGraphics);
    const QByteArray drawn = DesignFile::data(design);
    EXPECT_TRUE(undrawn == drawn) << "drawing changed what is saved";
    EXPECT_TRUE(matchesStoredFile(drawn, QStringLiteral("document/files/drawn-colours.design")));
}
