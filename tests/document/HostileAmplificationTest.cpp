#include "core/ImageCategories.h"
#include "document/DesignFile.h"
#include "document/SKTDocument.h"
#include "document/SKTImage.h"
#include "document/Shape_Control.h"
#include "platform/PropertyList.h"

#include "fixtures/TestSupport.h"

#include <QElapsedTimer>
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
        QElapsedTimer clock;
        clock.start();
        SKTError error;
        const std::optional<GraphicList> pasted = SKTGraphic::graphicsWithPasteboardData(data, &error);
        EXPECT_LT(clock.elapsed(), 20000) << row.references;
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
