#include "document/DesignSnapshot.h"
#include "document/SKTGraphicKinds.h"

#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QImage drawnAlone(SKTGraphic &graphic)
{
    return drawnOnWhite(graphic, Page(QSize(60, 40)));
}

} // namespace

// A copy draws as its original did when copied, whatever happens to the original and its files
// afterwards, and without loading anything itself.
TEST(DesignSnapshot, CopiesKeepTheirFieldsAndPicturesApartFromTheOriginals)
{
    AppFixture app;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("picture.png"));
    ASSERT_TRUE(quadrants(20, 10).save(file));
    auto picture = std::make_shared<SKTImage>(QPointF(), file);
    picture->_bounds = QRectF(5, 5, 40, 20);
    picture->Sepia = true;
    auto signature = std::make_shared<SKTSignature>(QPointF(), file, QStringLiteral("S"));
    signature->_bounds = QRectF(0, 0, 30, 30);
    auto text = std::make_shared<SKTText>();
    text->_bounds = QRectF(0, 0, 60, 40);
    text->Text_contents().string = QStringLiteral("Ann");
    const GraphicList originals{picture, signature, text};
    QList<QImage> before;
    for (const SKTGraphicPtr &g : originals)
        before << drawnAlone(*g);

    const GraphicList copies = DesignSnapshot::copyOf(originals);
    ASSERT_EQ(copies.size(), originals.size());
    QFile::remove(file);
    picture->Sepia = false;
    picture->setFilePath(file); // now missing
    signature->_bounds.translate(10, 10);
    text->Text_contents().string = QStringLiteral("Bo");
    for (qsizetype i = 0; i < copies.size(); ++i) {
        EXPECT_NE(copies[i], originals[i]);
        EXPECT_TRUE(drawnAlone(*copies[i]) == before[i]) << copies[i]->className().toStdString();
    }
}

// A side never shown has loaded nothing; loading the snapshot's pictures takes them from their files
// and the main photo from the design window, before any worker draws.
TEST(DesignSnapshot, LoadingPicturesLeavesNothingForDrawingToLoad)
{
    AppFixture app;
    app.hub.mainPhoto = solidPicture(Qt::cyan, 8, 6);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("picture.png"));
    ASSERT_TRUE(solidPicture(Qt::magenta, 8, 6).save(file));
    DesignSnapshot snapshot;
    for (const QString &tag : {QString(), QStringLiteral("PARTY_IMAGE")}) {
        auto unread = std::make_shared<SKTImage>();
        unread->_bounds = QRectF(0, 0, 60, 40);
        unread->_file_path = file;
        unread->control_ID = tag;
        snapshot.back.graphics << unread;
    }
    snapshot.loadPictures();
    QFile::remove(file);
    app.hub.mainPhoto = QImage();
    EXPECT_TRUE(colourNear(drawnAlone(*snapshot.back.graphics[0]).pixelColor(30, 20), Qt::magenta, 2));
    EXPECT_TRUE(colourNear(drawnAlone(*snapshot.back.graphics[1]).pixelColor(30, 20), Qt::cyan, 2));
    EXPECT_EQ(&snapshot.side(1), &snapshot.back);
}
