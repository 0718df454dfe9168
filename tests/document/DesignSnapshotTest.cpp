#include "document/DesignSnapshot.h"
#include "document/SKTGraphicKinds.h"

#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

// Copies draw as their originals did when copied, whatever happens to the originals, their files
// and the main photo afterwards: pictures loaded are carried, the rest are loaded with the snapshot.
TEST(DesignSnapshot, CopiesDrawAsTheOriginalsDidWhenCopied)
{
    AppFixture app;
    app.hub.mainPhoto = solidPicture(Qt::cyan, 8, 6);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("picture.png"));
    ASSERT_TRUE(quadrants(20, 10).save(file));
    auto picture = std::make_shared<SKTImage>(QPointF(), file);
    auto signature = std::make_shared<SKTSignature>(QPointF(), file, QStringLiteral("S"));
    auto text = std::make_shared<SKTText>();
    text->Text_contents().string = QStringLiteral("Ann");
    auto unread = std::make_shared<SKTImage>(), mainPhoto = std::make_shared<SKTImage>();
    unread->_file_path = mainPhoto->_file_path = file;
    mainPhoto->control_ID = QStringLiteral("PARTY_IMAGE");
    const GraphicList originals{picture, signature, text, unread, mainPhoto};
    for (const SKTGraphicPtr &g : originals)
        g->_bounds = QRectF(5, 5, 40, 20);

    DesignSnapshot snapshot;
    snapshot.front.graphics = DesignSnapshot::copyOf(originals);
    snapshot.loadPictures();
    QList<QImage> before;
    for (const SKTGraphicPtr &g : originals)
        before << drawnOnWhite(*g, Page(QSize(60, 40)));
    QFile::remove(file);
    app.hub.mainPhoto = QImage();
    picture->Sepia = true;
    signature->_bounds.translate(10, 10);
    text->Text_contents().string = QStringLiteral("Bo");
    const GraphicList &copies = snapshot.side(0).graphics;
    ASSERT_EQ(copies.size(), originals.size());
    for (qsizetype i = 0; i < copies.size(); ++i) {
        EXPECT_NE(copies[i], originals[i]);
        EXPECT_TRUE(drawnOnWhite(*copies[i], Page(QSize(60, 40))) == before[i]) << i;
    }
}
