#include "canvas/SKTRenderingView.h"

#include "canvas/CardFace.h"
#include "canvas/ui/SKTGraphicView.h"
#include "core/AppState.h"
#include "document/SKTDocument.h"
#include "document/Shape_Control.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include <QPainter>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <thread>

namespace {

const QColor kFace(250, 240, 200);
const QRectF kFrame(0, 0, 243, 154);

std::shared_ptr<Shape_Control> shape(const QRectF &bounds, const QColor &fill, const char *code = "R")
{
    auto graphic = std::make_shared<Shape_Control>();
    graphic->Set_Shape_Type(QString::fromLatin1(code));
    graphic->_bounds = bounds;
    graphic->_fillColor = fill;
    graphic->_isDrawingStroke = false;
    return graphic;
}

Card_Property face(const QColor &colour = kFace)
{
    Card_Property side;
    side.setCard_fill_chk(true);
    side.setCard_fill_clr(colour);
    return side;
}

QImage render(const GraphicList &graphics, double dpi = 72, const Card_Property &side = face(), int cardShape = 0)
{
    return SKTRenderingView::image_From_Card_Graphics(graphics, false, side, cardShape, kFrame).toImage(dpi);
}

QColor at(const QImage &image, double x, double y)
{
    return image.pixelColor(static_cast<int>(x), static_cast<int>(y));
}

QSizeF pdfPageSize(const QByteArray &pdf)
{
    static const QRegularExpression box(QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])"));
    const QRegularExpressionMatch match = box.match(QString::fromLatin1(pdf));
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

class Failing : public SKTGraphic {
public:
    void drawContentsInView(QPainter &, bool, const DrawingResources &) override { throw std::runtime_error("cannot draw this object"); }
};

// Paints far outside its bounds: only clipping keeps it in place.
class Spill : public SKTGraphic {
public:
    void drawContentsInView(QPainter &painter, bool, const DrawingResources &) override { painter.fillRect(QRectF(0, 0, 1000, 1000), Qt::blue); }
};

class SKTRenderingViewTest : public ::testing::Test {
protected:
    AppFixture app;
    ScopedScriptedServices services;
};

} // namespace

TEST_F(SKTRenderingViewTest, PictureHoldsTheGivenFaceAndThePrintableObjectsWithIndexZeroOnTop)
{
    App().Card_Front_Or_Back = 1;
    auto hidden = shape({150, 30, 40, 40}, Qt::blue);
    hidden->print_object = 1;
    const GraphicList graphics{shape({20, 20, 40, 40}, Qt::red), shape({40, 40, 40, 40}, Qt::green), hidden};

    const QImage image = render(graphics);
    ASSERT_EQ(image.size(), QSize(243, 154));
    EXPECT_EQ(at(image, 5, 5), kFace);
    EXPECT_EQ(at(image, 50, 50), QColor(Qt::red)) << "index 0 covers the overlap";
    EXPECT_EQ(at(image, 70, 70), QColor(Qt::green));
    EXPECT_EQ(at(image, 170, 50), kFace) << "a non-printing object never reaches the picture";
    EXPECT_EQ(at(render({}), 120, 77), kFace);
    EXPECT_EQ(SKTRenderingView::image_From_Card_Graphics(graphics, true, face(), 0, kFrame).toImage(), image);

    // Everything comes from the arguments: the current side is neither asked nor switched.
    EXPECT_EQ(App().Card_Front_Or_Back, 1);
    EXPECT_TRUE(render({}, std::nan("")).isNull());
    EXPECT_TRUE(render({}, 1e9).isNull());
}

TEST_F(SKTRenderingViewTest, DrawsAsTheCanvasDoesWithoutHandles)
{
    Card_Property side = face();
    side.setCard_fill_style(QStringLiteral("G"));
    side.setCard_fill_Grd_2_clr(QColor(120, 160, 230));
    side.setCard_grad_Stepper(30);

    SKTGraphicList list;
    SKTGraphicView canvas(list, nullptr);
    canvas.setCardFace(&side);
    auto star = shape({20, 15, 70, 70}, QColor(250, 200, 60), "S");
    star->_isDrawingStroke = true;
    star->_stroke_border_type = QStringLiteral("DA");
    auto spill = std::make_shared<Spill>();
    spill->_bounds = QRectF(200, 100, 20, 20);
    canvas.insertGraphics({star, shape({100, 40, 80, 60}, QColor(90, 150, 220), "C"), spill},
                          platform::IndexSet::range(0, 3));
    canvas.changeSelectionIndexes({0});

    const QImage onCanvas = canvas.grab().toImage();
    const QImage rendered = render(list.items(), 72, side);
    ASSERT_EQ(onCanvas.size(), rendered.size());
    // The canvas blends cached pictures of its objects, which may round an edge pixel differently.
    int largest = 0;
    for (int y = 0; y < rendered.height(); ++y) {
        for (int x = 0; x < rendered.width(); ++x) {
            if (QRectF(15, 10, 80, 80).contains(x, y)) // the selected star's handles
                continue;
            const QRgb a = onCanvas.pixel(x, y), b = rendered.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                std::abs(qBlue(a) - qBlue(b))});
        }
    }
    EXPECT_LE(largest, 2);
    EXPECT_NE(at(rendered, 235, 145), QColor(Qt::blue)) << "objects are clipped to their drawing bounds";
    EXPECT_NE(at(rendered, 20, 15), at(onCanvas, 20, 15)) << "the canvas has a handle there, the picture none";
}

TEST_F(SKTRenderingViewTest, DrawsAtTheResolutionOfItsTargetNotScaledUp)
{
    // An edge off the point grid falls inside one pixel at 300 dpi; a scaled-up 72 dpi picture
    // would smear it over four.
    const double scale = 300.0 / 72.0;
    const QImage image = render({shape({30.3, 20, 60, 40}, Qt::black)}, 300);
    EXPECT_EQ(image.size(), QSize(static_cast<int>(std::floor(243 * scale)), static_cast<int>(std::floor(154 * scale))));
    EXPECT_NEAR(image.dotsPerMeterX(), 300 / 0.0254, 1);
    const int edge = static_cast<int>(30.3 * scale), row = static_cast<int>(40 * scale);
    EXPECT_EQ(at(image, edge - 1, row), kFace);
    EXPECT_NE(at(image, edge, row), kFace);
    EXPECT_NE(at(image, edge, row), QColor(Qt::black));
    EXPECT_EQ(at(image, edge + 1, row), QColor(Qt::black));

    // Drawn into a target twice its size: the frame fills the target and nothing passes it.
    QImage sheet(600, 400, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    SKTRenderingView::image_From_Card_Graphics({shape({200, 120, 100, 100}, Qt::red)}, false, face(), 0, kFrame)
        .draw(painter, QRectF(50, 30, 486, 308));
    EXPECT_EQ(painter.transform(), QTransform());
    EXPECT_FALSE(painter.hasClipping());
    painter.end();
    EXPECT_EQ(at(sheet, 52, 32), kFace);
    EXPECT_EQ(at(sheet, 490, 310), QColor(Qt::red));
    EXPECT_EQ(at(sheet, 538, 310), QColor(Qt::white));
    EXPECT_EQ(at(sheet, 490, 340), QColor(Qt::white));
}

TEST_F(SKTRenderingViewTest, AnObjectThatFailsToDrawFailsThePictureAndTellsTheCallerWhy)
{
    auto failing = std::make_shared<Failing>();
    failing->_bounds = QRectF(60, 10, 30, 30);
    const GraphicList graphics{shape({10, 10, 30, 30}, Qt::red), failing, shape({100, 10, 30, 30}, Qt::green)};

    LogCapture log;
    QString reason;
    const Card_Side_Image picture = SKTRenderingView::image_From_Card_Graphics(graphics, false, face(), 0, kFrame);
    EXPECT_TRUE(picture.toImage(72, &reason).isNull()) << "half a card never passes for the card";
    EXPECT_EQ(reason, QStringLiteral("cannot draw this object"));
    EXPECT_EQ(log.lines().filter(QStringLiteral("cannot draw this object")).size(), 1);
    EXPECT_TRUE(services->messages.isEmpty()) << "drawing shows no box: the command decides";
    EXPECT_TRUE(SKTRenderingView::pdfDataWithGraphics_data(graphics, face(), 0, kFrame).isEmpty());

    SKTError error;
    EXPECT_TRUE(SKTRenderingView::tiffDataWithGraphics(graphics, kFrame, &error).isEmpty())
        << "half a picture is no copy";
    EXPECT_EQ(error.code, 3);
}

TEST_F(SKTRenderingViewTest, PdfPageIsTheSideInPointsAndTheDocumentRendersItsFrontList)
{
    EXPECT_EQ(pdfPageSize(SKTRenderingView::pdfDataWithGraphics_data({shape({20, 20, 60, 40}, Qt::red)}, face(), 1,
                                                                     kFrame)),
              QSizeF(243, 154));
    EXPECT_EQ(pdfPageSize(SKTRenderingView::pdfDataWithGraphics_data({}, face(), 0, {0, 0, 154, 243})), QSizeF(154, 243));
    // Landscape A4: not to be mistaken for the portrait paper.
    EXPECT_EQ(pdfPageSize(SKTRenderingView::pdfDataWithGraphics_data({}, face(), 0, {0, 0, 842, 595})), QSizeF(842, 595));
    EXPECT_TRUE(SKTRenderingView::pdfDataWithGraphics_data({}, face(), 0, QRectF()).isEmpty());

    SKTDocument document;
    document.insertGraphic(shape({10, 10, 30, 20}, Qt::red), 0);
    document.graphics_back().insertGraphics({shape({200, 120, 30, 30}, Qt::green)}, {0});
    EXPECT_EQ(pdfPageSize(SKTRenderingView::dataOfType(document, SKTRenderingView::PDFType, face(), 0, kFrame)),
              QSizeF(243, 154));
    const QImage tiff =
        QImage::fromData(SKTRenderingView::dataOfType(document, SKTRenderingView::TIFFType, face(), 0, kFrame), "tiff");
    EXPECT_EQ(tiff.size(), QSize(37, 27)) << "the front object's drawing bounds only";
    EXPECT_THROW(SKTRenderingView::dataOfType(document, QStringLiteral("image/png"), face(), 0, kFrame),
                 std::invalid_argument);
}

TEST_F(SKTRenderingViewTest, TiffHoldsEveryObjectCutToTheirBoundsWithoutTheFace)
{
    auto hidden = shape({460, 330, 20, 30}, Qt::blue);
    hidden->print_object = 1;
    SKTError error{QString(), -1, QString(), QString()};
    const QImage image = QImage::fromData(
        SKTRenderingView::tiffDataWithGraphics({shape({400, 300, 50, 20}, Qt::red), hidden}, kFrame, &error), "tiff");
    EXPECT_EQ(error.code, -1);
    ASSERT_EQ(image.size(), QSize(87, 67)); // (397, 297) to (484, 364)
    EXPECT_EQ(at(image, 420 - 397, 310 - 297), QColor(Qt::red));
    EXPECT_EQ(at(image, 470 - 397, 345 - 297), QColor(Qt::blue)) << "not printed, still copied";
    EXPECT_EQ(image.pixelColor(86, 0).alpha(), 0) << "no card face";

    EXPECT_EQ(QImage::fromData(SKTRenderingView::tiffDataWithGraphics({}, kFrame), "tiff").size(), QSize(243, 154));
    EXPECT_TRUE(SKTRenderingView::tiffDataWithGraphics({}, QRectF(), &error).isEmpty());
    EXPECT_EQ(error.code, 3);
    error.code = 0;
    EXPECT_TRUE(SKTRenderingView::tiffDataWithGraphics({shape({0, 0, 1e7, 1e7}, Qt::red)}, kFrame, &error).isEmpty());
    EXPECT_EQ(error.code, 3);
}

TEST_F(SKTRenderingViewTest, WorkersRenderWhileTheCurrentSideChanges)
{
    // Snapshots made here and not touched again by this thread.
    const GraphicList front{shape({20, 20, 60, 40}, Qt::red, "RR"), shape({100, 50, 50, 50}, Qt::green, "C")};
    const GraphicList back{shape({30, 30, 40, 40}, Qt::blue, "D")};
    QImage frontImage, backImage;
    QByteArray pdf;
    std::thread first([&] {
        frontImage = render(front, 150, face(), 1);
        pdf = SKTRenderingView::pdfDataWithGraphics_data(front, face(), 1, kFrame);
    });
    std::thread second([&] { backImage = render(back, 300, face(Qt::yellow), 2); });
    for (int i = 0; i < 1000; ++i)
        App().Card_Front_Or_Back = i % 2;
    first.join();
    second.join();

    const double f = 150.0 / 72.0, b = 300.0 / 72.0;
    EXPECT_EQ(at(frontImage, 40 * f, 40 * f), QColor(Qt::red));
    EXPECT_EQ(at(frontImage, 125 * f, 75 * f), QColor(Qt::green));
    EXPECT_EQ(frontImage.pixelColor(0, 0).alpha(), 0) << "rounded card";
    EXPECT_EQ(at(backImage, 50 * b, 50 * b), QColor(Qt::blue));
    EXPECT_EQ(at(backImage, 121 * b, 20 * b), QColor(Qt::yellow));
    EXPECT_EQ(backImage.pixelColor(5, 5).alpha(), 0) << "oval card";
    EXPECT_EQ(pdfPageSize(pdf), QSizeF(243, 154));
}
