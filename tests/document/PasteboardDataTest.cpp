#include "document/SKTDocument.h"
#include "document/SKTGraphicKinds.h"
#include "platform/PropertyList.h"

#include "fixtures/TestSupport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

SKTGraphicPtr tagged(const QString &cls, const QString &tag)
{
    SKTGraphicPtr g = SKTGraphic::graphicWithClassName(cls);
    g->control_ID = tag;
    g->_bounds = QRectF(5, 5, 20, 20);
    return g;
}

} // namespace

TEST(PasteboardData, TheMainPhotoAndTheFrameNeverTravel)
{
    AppFixture app;
    const GraphicList selection{tagged("SKTImage", "PARTY_IMAGE"), tagged("Shape_Control", "A"),
                                tagged("SKTText", "B"), tagged("SKTImage", "PARTY_IMAGE_BG")};
    const QByteArray data = SKTGraphic::pasteboardDataWithGraphics(selection);
    EXPECT_TRUE(data.startsWith("bplist00"));
    const std::optional<GraphicList> pasted = SKTGraphic::graphicsWithPasteboardData(data);
    ASSERT_TRUE(pasted);
    ASSERT_EQ(pasted->size(), 2);
    EXPECT_EQ(pasted->at(0)->control_ID, "A");
    EXPECT_EQ(pasted->at(1)->className(), "SKTText");
    EXPECT_TRUE(pasted->at(1)->hasTextContents()) << "a copied text carries its storage";

    const std::optional<GraphicList> frameOnly =
        SKTGraphic::graphicsWithPasteboardData(SKTGraphic::pasteboardDataWithGraphics({selection.last()}));
    ASSERT_TRUE(frameOnly);
    EXPECT_TRUE(frameOnly->isEmpty());
}

TEST(PasteboardData, ForeignDataIsSkippedOrRefused)
{
    AppFixture app;
    SKTError error;
    EXPECT_FALSE(SKTGraphic::graphicsWithPasteboardData(
        platform::propertyListData(QVariantMap{{"a", 1}}, platform::PropertyListFormat::Binary), &error));
    EXPECT_EQ(error.code, 2);
    EXPECT_EQ(error.domain, "SKTErrorDomain");
    error = {};
    EXPECT_FALSE(SKTGraphic::graphicsWithPasteboardData("not a property list", &error));
    EXPECT_EQ(error.code, 2);

    // Elements that are not graphic archives are passed over.
    const QVariantList mixed{QStringLiteral("text"), QByteArray("junk"), qint64(3),
                             tagged("SKTLine", "L")->archivedData()};
    const std::optional<GraphicList> pasted = SKTGraphic::graphicsWithPasteboardData(
        platform::propertyListData(mixed, platform::PropertyListFormat::Binary));
    ASSERT_TRUE(pasted);
    ASSERT_EQ(pasted->size(), 1);
    EXPECT_EQ(pasted->at(0)->className(), "SKTLine");

    // Damaged copies of real data never crash the reader.
    const QByteArray good = SKTGraphic::pasteboardDataWithGraphics(
        {tagged("Shape_Control", "A"), tagged("SKTBarcode", "B"), tagged("SKTText", "C")});
    QRandomGenerator random(7);
    for (int round = 0; round < 300; ++round) {
        QByteArray bad = good;
        for (int flips = 0; flips < 4; ++flips)
            bad[random.bounded(int(bad.size()))] = char(random.bounded(256));
        SKTGraphic::graphicsWithPasteboardData(bad);
        SKTGraphic::graphicsWithPasteboardData(good.left(random.bounded(int(good.size()))));
    }
}

TEST(PasteboardData, APastedPictureShowsItsFileAsItIsNow)
{
    AppFixture app;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.png"));
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(path));
    SKTGraphicPtr picture = tagged("SKTImage", "P");
    static_cast<SKTImage &>(*picture).setFilePath(path);
    const QByteArray data = SKTGraphic::pasteboardDataWithGraphics({picture});

    QImage blue(6, 3, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(blue.save(path));
    std::optional<GraphicList> pasted = SKTGraphic::graphicsWithPasteboardData(data);
    ASSERT_TRUE(pasted && pasted->size() == 1);
    const QImage shown = static_cast<SKTImage &>(*pasted->at(0))._contents;
    EXPECT_EQ(shown.size(), QSize(6, 3));

    QFile::remove(path);
    pasted = SKTGraphic::graphicsWithPasteboardData(data);
    ASSERT_TRUE(pasted && pasted->size() == 1);
    EXPECT_TRUE(static_cast<SKTImage &>(*pasted->at(0))._contents.isNull());
}

TEST(PasteboardData, PropertyDictionaryCarriesOpacitiesAndReadsBack)
{
    AppFixture app;
    Shape_Control shape;
    shape._bounds = QRectF(1, 2, 3, 4);
    shape._fillColor = Qt::red;
    shape.alpha_val = 0.5f;
    const QVariantMap properties = shape.properties();
    EXPECT_EQ(properties.value("bounds").toString(), "{{1, 2}, {3, 4}}");
    EXPECT_EQ(shape._fillColor, QColor(Qt::red)) << "reading the fill colour leaves the field as it is";

    Shape_Control copy;
    copy.initWithProperties(properties);
    EXPECT_EQ(copy._bounds, QRectF(1, 2, 3, 4));
    EXPECT_EQ(copy._fillColor, shape.fillColor());
    EXPECT_NEAR(copy._fillColor.alphaF(), 0.5, 0.01);
    copy.initWithProperties({{"bounds", 5}, {"fillColor", QStringLiteral("red")}});
    EXPECT_EQ(copy._bounds, QRectF(1, 2, 3, 4)) << "values of the wrong kind are ignored";
    EXPECT_TRUE(shape.description().contains("bounds"));
}

TEST(PasteboardData, APictureWithoutAFileTravelsWithItsPixels)
{
    AppFixture app;
    QImage green(5, 3, QImage::Format_RGB32);
    green.fill(Qt::green);
    auto dropped = std::make_shared<SKTImage>(QPointF(50, 50), green);
    std::optional<GraphicList> pasted =
        SKTGraphic::graphicsWithPasteboardData(SKTGraphic::pasteboardDataWithGraphics({dropped}));
    ASSERT_TRUE(pasted && pasted->size() == 1);
    auto &copy = static_cast<SKTImage &>(*pasted->at(0));
    EXPECT_EQ(copy._contents.convertToFormat(QImage::Format_RGB32), green);
    // Reading a design loads pictures again from their files; this one has none and keeps its own.
    copy.reloadFromFile();
    EXPECT_EQ(copy._contents.size(), QSize(5, 3));

    // A picture with a file of its own does not carry its pixels.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.png"));
    ASSERT_TRUE(green.save(path));
    auto filed = std::make_shared<SKTImage>(QPointF(50, 50), path);
    platform::MemoryKeyedArchive archive;
    filed->encodeWithCoder(archive);
    EXPECT_FALSE(archive.containsValueForKey(QStringLiteral("_contents")));
}
