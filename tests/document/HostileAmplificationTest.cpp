#include "core/ImageCategories.h"
#include "document/DesignFile.h"
#include "document/SKTBarcode.h"
#include "document/SKTDocument.h"
#include "document/SKTImage.h"
#include "document/Shape_Control.h"
#include "platform/PropertyList.h"

#include "fixtures/TestSupport.h"

#include "fixtures/HangGuard.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Small inputs that ask for much: one archive named many times, many objects, pictures by path.

namespace {

// A binary list naming one shape's archive `times` times: each element is the same object.
QVariantList sharedArchives(int times)
{
    return QVariantList(times, Shape_Control().archivedData());
}

} // namespace

TEST(HostileAmplification, SharedArchivesPasteOnceAndTooManyObjectsAreRefused)
{
    AppFixture app;
    struct Row {
        int references;
        bool pasted;
    };
    for (const Row &row : {Row{DesignFile::kMaxDesignObjects, true}, Row{DesignFile::kMaxDesignObjects + 1, false}}) {
        const QByteArray data = platform::propertyListData(sharedArchives(row.references), platform::PropertyListFormat::Binary);
        SKTError error;
        std::optional<GraphicList> pasted;
        {
            const HangGuard guard(1000);
            pasted = SKTGraphic::graphicsWithPasteboardData(data, &error);
        }
        ASSERT_EQ(pasted.has_value(), row.pasted) << row.references;
        if (pasted) {
            ASSERT_EQ(pasted->size(), row.references);
            EXPECT_NE(pasted->first(), pasted->last()); // copies, each its own object
        } else {
            EXPECT_TRUE(DesignFile::isTooManyObjectsReason(error.localizedFailureReason))
                << error.localizedFailureReason.toStdString();
        }

        QVariantList root = DesignFile::rootArray(DesignFileContents()).mid(0, 75);
        root << QString::number(row.references) << sharedArchives(row.references) << QStringLiteral("0");
        QString reason;
        const std::optional<DesignFileContents> read =
            DesignFile::read(platform::propertyListData(root, platform::PropertyListFormat::Binary), &reason);
        EXPECT_EQ(read.has_value(), row.pasted) << reason.toStdString();
        EXPECT_EQ(DesignFile::isTooManyObjectsReason(reason), !row.pasted) << reason.toStdString();
    }
}

TEST(HostileAmplification, PicturesByPathSpendThePixelBudgetBeforeTheyAreDecoded)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.png"));
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(path));
    struct Row {
        qint64 budget;
        int loaded; // of three loads of 1200 pixels each
    };
    for (const Row &row : {Row{3600, 3}, Row{3599, 2}, Row{1199, 0}}) {
        std::atomic<qint64> budget{row.budget};
        int loaded = 0;
        for (int i = 0; i < 3; ++i) {
            SKTImage image;
            image.setFilePath(path, &budget);
            loaded += image._contents.isNull() ? 0 : 1;
        }
        EXPECT_EQ(loaded, row.loaded) << row.budget;
    }
}

TEST(HostileAmplification, PastesCountWhatTheDesignAlreadyHolds)
{
    AppFixture app;
    QImage pixels(40, 30, QImage::Format_RGB32);
    pixels.fill(Qt::blue);
    const auto picture = std::make_shared<SKTImage>(QPointF(), pixels);
    const auto barcode = std::make_shared<SKTBarcode>();
    barcode->_barcode_image = QImage(10, 10, QImage::Format_Mono);
    SKTDocument document;
    document.graphics().insertGraphics({barcode}, {0});
    document.graphics_back().insertGraphics({picture, std::make_shared<Shape_Control>()}, platform::IndexSet::range(0, 2));
    EXPECT_EQ(document.designLoad().objects, 3);
    EXPECT_EQ(document.designLoad().pixels, 1300);

    // A picture and a shape, and the same picture's archive named three times, each a picture once saved.
    const QByteArray pair = SKTGraphic::pasteboardDataWithGraphics({picture, std::make_shared<Shape_Control>()});
    const QByteArray shared = platform::propertyListData(QVariantList(3, picture->archivedData()),
                                                         platform::PropertyListFormat::Binary);
    // Two objects naming one file: its size is read for both before either is decoded.
    QTemporaryDir dir;
    ASSERT_TRUE(pixels.save(dir.filePath(QStringLiteral("p.png"))));
    const auto named = std::make_shared<SKTImage>();
    named->_file_path = dir.filePath(QStringLiteral("p.png"));
    const QByteArray byPath = SKTGraphic::pasteboardDataWithGraphics({named, named->fullCopy()});
    struct Row {
        QByteArray data;
        DesignFile::DesignLoad room;
        bool pasted;
        bool tooManyObjects;
    };
    for (const Row &row : {Row{pair, {2, 1200}, true, false}, Row{pair, {1, 1200}, false, true},
                           Row{pair, {2, 1199}, false, false},
                           Row{shared, {3, 3600}, true, false}, Row{shared, {3, 3599}, false, false},
                           Row{byPath, {2, 2400}, true, false}, Row{byPath, {2, 2399}, false, false}}) {
        SKTError error;
        const std::optional<GraphicList> pasted = SKTGraphic::graphicsWithPasteboardData(row.data, &error, row.room);
        EXPECT_EQ(pasted.has_value(), row.pasted) << row.room.objects << " " << row.room.pixels;
        if (!row.pasted) {
            EXPECT_EQ(error.localizedFailureReason, row.tooManyObjects ? DesignFile::tooManyObjectsReason(2, 9999)
                                                                       : DesignFile::tooManyPixelsReason());
        }
    }
}
