#include "canvas/SKTRenderingView.h"

#include "core/FontNames.h"
#include "core/ImageEffectCache.h"
#include "document/SKTGraphicKinds.h"
#include "document/Shape_Control.h"
#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

// One side holding an object of every kind, rendered the ways the outputs use: a 300 dpi picture and
// a PDF page. The pictures are written under test-output for a look.

namespace {

constexpr double kPointsPerMillimetre = 2.834645669291;
const QRectF kCard(0, 0, 85.6 * kPointsPerMillimetre, 54.0 * kPointsPerMillimetre);

const QColor kFaceStart(255, 236, 200), kFaceEnd(190, 215, 255);
const QColor kHidden(255, 0, 255);
const QColor kPhoto(0, 200, 255), kPhotoInverted(255, 55, 0);
const QColor kSignatureInk(20, 40, 160), kFingerprintInk(120, 70, 40);

// Left half red, right half blue: a mirror shows at once.
QImage halves(int w, int h)
{
    QImage image = solidPicture(Qt::red, w, h);
    QPainter(&image).fillRect(w / 2, 0, w - w / 2, h, Qt::blue);
    return image;
}

QImage bars()
{
    QImage image = solidPicture(Qt::white, 120, 40);
    QPainter painter(&image);
    for (int x = 6; x < 114; x += 6)
        painter.fillRect(x, 4, (x / 6) % 3 + 1, 32, Qt::black);
    return image;
}

// Where everything lies on the card, in points.
const QRectF kShapeArea(12, 12, 60, 40);
const QRectF kTextArea(90, 10, 140, 34);
const QRectF kPhotoArea(12, 64, 50, 36);
const QRectF kFlippedArea(70, 64, 50, 36);
const QRectF kSignatureArea(128, 62, 50, 25);
const QRectF kFingerprintArea(186, 62, 40, 25);
const QRectF kBarcodeArea(12, 104, 120, 40);
const QRectF kHiddenArea(150, 100, 40, 30);
const QPointF kLineStart(150, 140), kLineEnd(230, 140);
const QPointF kEmptyLeft(5, 60), kEmptyRight(236, 60);

GraphicList everyKind()
{
    GraphicList side;

    auto shape = std::make_shared<Shape_Control>();
    shape->Set_Shape_Type(QStringLiteral("RR"));
    shape->_bounds = kShapeArea;
    shape->_fill_type = QStringLiteral("G");
    shape->_fill_Grad_clr1 = QColor(250, 200, 0);
    shape->_fill_Grad_clr2 = QColor(0, 140, 60);
    shape->_fill_grad_angle = 0;
    shape->_strokeWidth = 2;
    side << shape;

    auto line = std::make_shared<SKTLine>();
    line->setBeginPoint(kLineStart);
    line->setEndPoint(kLineEnd);
    line->_strokeColor = QColor(200, 0, 0);
    line->_strokeWidth = 3;
    line->_stroke_border_type = QStringLiteral("DA");
    side << line;

    auto text = std::make_shared<SKTText>();
    text->Text_Value = QStringLiteral("Happy Birthday");
    text->text_ctrl_font = Font_With_Name(QStringLiteral("Arial-BoldMT"), 16);
    text->txt_clr = Qt::black;
    text->_bounds = kTextArea;
    text->_isDrawingFill = false;
    text->_isDrawingStroke = false;
    text->text_rotation = 8;
    text->Drawing_Shadow = true;
    text->Shadow_Color = QColor(120, 120, 255);
    text->Shadow_offset_X = 2;
    text->Shadow_offset_Y = 2;
    text->Shadow_blur = 1.5f;
    side << text;

    auto photo = std::make_shared<SKTImage>(QPointF(), solidPicture(kPhoto, 100, 72));
    photo->_bounds = kPhotoArea;
    photo->invert_clr = true;
    side << photo;

    auto flipped = std::make_shared<SKTImage>(QPointF(), halves(100, 72));
    flipped->_bounds = kFlippedArea;
    flipped->_isFlippedHorizontally = true;
    side << flipped;

    auto signature =
        std::make_shared<SKTSignature>(QPointF(), solidPicture(kSignatureInk, 200, 100), QStringLiteral("S"));
    signature->_bounds = kSignatureArea;
    side << signature;

    auto fingerprint =
        std::make_shared<SKTSignature>(QPointF(), solidPicture(kFingerprintInk, 80, 50), QStringLiteral("F"));
    fingerprint->_bounds = kFingerprintArea;
    side << fingerprint;

    auto barcode = std::make_shared<SKTBarcode>();
    barcode->Set_Barcode_image(bars());
    barcode->_bounds = kBarcodeArea;
    side << barcode;

    auto hidden = std::make_shared<Shape_Control>();
    hidden->Set_Shape_Type(QStringLiteral("R"));
    hidden->_bounds = kHiddenArea;
    hidden->_fillColor = kHidden;
    hidden->print_object = 1;
    side << hidden;
    return side;
}

Card_Property gradientFace()
{
    Card_Property face;
    face.setCard_fill_chk(true);
    face.setCard_fill_style(QStringLiteral("G"));
    face.setCard_grad_Stepper(0);
    face.setCard_fill_Grd_1_clr(kFaceStart);
    face.setCard_fill_Grd_2_clr(kFaceEnd);
    return face;
}

int distance(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

// Reads a picture at canvas points, whatever its resolution.
class Sampler {
public:
    Sampler(const QImage &image, double dpi) : m_image(image.convertToFormat(QImage::Format_ARGB32)), m_scale(dpi / 72.0) {}

    QColor at(const QPointF &point) const { return m_image.pixelColor((point * m_scale).toPoint()); }
    QColor centreOf(const QRectF &area) const { return at(area.center()); }
    // Pixels within `area` no farther than `tolerance` from `colour`.
    int count(const QRectF &area, const QColor &colour, int tolerance = 60) const
    {
        const QRect pixels = QRectF(area.topLeft() * m_scale, area.size() * m_scale).toRect() & m_image.rect();
        int n = 0;
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            for (int x = pixels.left(); x <= pixels.right(); ++x)
                n += distance(m_image.pixelColor(x, y), colour) <= tolerance;
        return n;
    }

private:
    QImage m_image;
    double m_scale;
};

// What any faithful rendering of the side shows, at any resolution.
void expectTheSideAsDesigned(const Sampler &side)
{
    // The face runs from its first colour on the left to its second on the right.
    EXPECT_LT(distance(side.at(kEmptyLeft), kFaceStart), distance(side.at(kEmptyLeft), kFaceEnd));
    EXPECT_LT(distance(side.at(kEmptyRight), kFaceEnd), distance(side.at(kEmptyRight), kFaceStart));

    // The object marked not to print is not there; the face shows through.
    EXPECT_EQ(side.count(kHiddenArea, kHidden, 90), 0);

    // The text is there, in its colour and its shadow's.
    EXPECT_GT(side.count(kTextArea, Qt::black, 90), 40);
    EXPECT_GT(side.count(kTextArea.translated(2, 2), QColor(120, 120, 255), 90), 10);

    EXPECT_LE(distance(side.centreOf(kPhotoArea), kPhotoInverted), 6);
    // Mirrored: blue on the left, red on the right.
    EXPECT_LE(distance(side.at(kFlippedArea.center() - QPointF(12, 0)), Qt::blue), 6);
    EXPECT_LE(distance(side.at(kFlippedArea.center() + QPointF(12, 0)), Qt::red), 6);
    EXPECT_LE(distance(side.centreOf(kSignatureArea), kSignatureInk), 6);
    EXPECT_LE(distance(side.centreOf(kFingerprintArea), kFingerprintInk), 6);
    EXPECT_GT(side.count(kBarcodeArea, Qt::black, 30), 100);

    // The gradient shape changes colour across itself.
    EXPECT_GT(distance(side.at(kShapeArea.center() - QPointF(20, 0)), side.at(kShapeArea.center() + QPointF(20, 0))), 60);

    // Dashes: line colour and gaps alternate along the line.
    const QRectF lineBand(kLineStart - QPointF(0, 0.5), QSizeF(kLineEnd.x() - kLineStart.x(), 1));
    const int inked = side.count(lineBand, QColor(200, 0, 0), 60);
    const int gaps = side.count(lineBand, side.at(kLineStart + QPointF(0, 10)), 40);
    EXPECT_GT(inked, 0);
    EXPECT_GT(gaps, 0);
    EXPECT_GT(inked, 2 * gaps); // 8 points on, 2 off
}

class RenderedKindsTest : public ::testing::Test {
protected:
    void SetUp() override { ImageEffectCache::sharedInstance().clear(); }
    void TearDown() override { ImageEffectCache::sharedInstance().clear(); }

    AppFixture app;
    GraphicList side = everyKind();
    Card_Property face = gradientFace();
};

} // namespace

TEST_F(RenderedKindsTest, EveryKindAt300DpiOnARoundedGradientCard)
{
    const Card_Side_Image picture = SKTRenderingView::image_From_Card_Graphics(side, false, face, 1, kCard);
    const QImage image = picture.toImage(300);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), static_cast<int>(std::floor(kCard.width() * 300 / 72)));
    EXPECT_EQ(image.height(), static_cast<int>(std::floor(kCard.height() * 300 / 72)));
    EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 300, 0.5);
    ASSERT_TRUE(image.save(testOutputPath(QStringLiteral("every-kind-300dpi.png"))));

    // Outside the rounded corner the card is not there at all.
    EXPECT_EQ(image.pixelColor(1, 1).alpha(), 0);
    EXPECT_EQ(image.pixelColor(image.width() - 2, image.height() - 2).alpha(), 0);
    EXPECT_EQ(image.pixelColor(image.width() / 2, 1).alpha(), 255);
    expectTheSideAsDesigned(Sampler(image, 300));
}

TEST_F(RenderedKindsTest, EveryKindOnAPdfPageAsOnThePicture)
{
    const QByteArray pdf = SKTRenderingView::pdfDataWithGraphics_data(side, face, 1, kCard);
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    static const QRegularExpression box(QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])"));
    const QRegularExpressionMatch page = box.match(QString::fromLatin1(pdf));
    ASSERT_TRUE(page.hasMatch());
    EXPECT_NEAR(page.captured(1).toDouble(), kCard.width(), 1.0);
    EXPECT_NEAR(page.captured(2).toDouble(), kCard.height(), 1.0);
    const QString file = testOutputPath(QStringLiteral("every-kind.pdf"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(pdf);
    out.close();

    // What the page shows, through a reader of PDF files of its own.
    const QString reader = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (reader.isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed; the page was written to " << file.toStdString();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString prefix = dir.filePath(QStringLiteral("page"));
    ASSERT_EQ(QProcess::execute(reader, {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("150"),
                                         QStringLiteral("-singlefile"), file, prefix}),
              0);
    const QImage shown(prefix + QStringLiteral(".png"));
    ASSERT_FALSE(shown.isNull());
    shown.save(testOutputPath(QStringLiteral("every-kind-pdf-150dpi.png")));
    expectTheSideAsDesigned(Sampler(shown, 150));
}
