#include "document/SKTBarcode.h"
#include "document/SKTImage.h"
#include "document/SKTSignature.h"

#include "fixtures/TestSupport.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// A small landscape with every kind of colour for the effects to work on.
QImage landscape()
{
    QImage image(240, 160, QImage::Format_ARGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 110);
    sky.setColorAt(0, QColor(70, 130, 220));
    sky.setColorAt(1, QColor(200, 225, 250));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 200, 40));
    p.drawEllipse(QPointF(185, 40), 20, 20);
    p.setBrush(QColor(60, 150, 70));
    p.drawEllipse(QRectF(-60, 90, 220, 140));
    p.setBrush(QColor(40, 110, 60));
    p.drawEllipse(QRectF(90, 100, 240, 120));
    p.setBrush(QColor(190, 40, 40));
    p.drawRect(QRectF(40, 85, 40, 30));
    p.setBrush(QColor(120, 60, 30));
    p.drawPolygon(QPolygonF({QPointF(36, 86), QPointF(60, 66), QPointF(84, 86)}));
    return image;
}

void caption(QPainter &p, const QRectF &frame, const QString &text)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRectF(frame.center().x() - 110, frame.bottom() + 2, 220, 14), Qt::AlignCenter, text);
}

} // namespace

// Not a check of pixels: a sheet to look at after changing how pictures are drawn.
TEST(PictureSheet, EveryPictureKindForALook)
{
    AppFixture app;
    for (const char *name : {"sign_sample.png", "fingerprints.png", "barcode_sample.png"})
        QFile::copy(sourceResourcesPath() + QLatin1String(name), app.resourcePath() + QLatin1String(name));
    const QString photo = app.resourcePath() + QStringLiteral("landscape.png");
    ASSERT_TRUE(landscape().save(photo));

    QImage sheet(920, 620, QImage::Format_ARGB32);
    sheet.fill(QColor(248, 248, 244));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::Antialiasing);

    struct Cell {
        QString label;
        std::function<void(SKTImage &)> set;
    };
    const QList<Cell> cells = {
        {QStringLiteral("as it is"), [](SKTImage &) {}},
        {QStringLiteral("grey"), [](SKTImage &g) { g.gray_Scale = true; }},
        {QStringLiteral("sepia"), [](SKTImage &g) { g.Sepia = true; }},
        {QStringLiteral("invert"), [](SKTImage &g) { g.invert_clr = true; }},
        {QStringLiteral("hue 2.0"), [](SKTImage &g) { g.hue_val = 2.0f; }},
        {QStringLiteral("saturation 2, contrast 1.4"), [](SKTImage &g) { g.sat_val = 2; g.con_val = 1.4f; }},
        {QStringLiteral("sharpen 3"), [](SKTImage &g) { g.srp_val = 3; }},
        {QStringLiteral("blur 4"), [](SKTImage &g) { g.blr_val = 4; }},
        {QStringLiteral("exposure -1"), [](SKTImage &g) { g.ev_val = -1; }},
        {QStringLiteral("rotation 30, outline"), [](SKTImage &g) {
             g.rotate_image = 30;
             g._isDrawingStroke = true;
             g._stroke_border_type = QStringLiteral("DA");
         }},
        {QStringLiteral("flipped both ways"), [](SKTImage &g) { g._isFlippedHorizontally = g._isFlippedVertically = true; }},
        {QStringLiteral("opacity 50"), [](SKTImage &g) { g.img_trnsp_val = 50; }},
    };
    for (int i = 0; i < cells.size(); ++i) {
        SKTImage picture(QPointF(0, 0), photo);
        picture._bounds = QRectF(20 + (i % 4) * 225, 20 + (i / 4) * 150, 200, 120);
        cells[i].set(picture);
        picture.drawContentsInView(painter, false);
        caption(painter, picture.bounds(), cells[i].label);
    }

    SKTSignature signature(QPointF(140, 540), QImage(app.resourcePath() + QStringLiteral("sign_sample.png")), QStringLiteral("S"));
    signature.drawContentsInView(painter, false);
    caption(painter, signature.bounds(), QStringLiteral("signature"));
    SKTSignature fingerprint(QPointF(370, 545), QImage(app.resourcePath() + QStringLiteral("fingerprints.png")), QStringLiteral("F"));
    fingerprint._bounds.setSize(fingerprint._bounds.size() * 0.6);
    fingerprint.drawContentsInView(painter, false);
    caption(painter, fingerprint.bounds(), QStringLiteral("fingerprint, scaled"));
    SKTBarcode barcode(QPointF(560, 530), QImage());
    barcode.drawContentsInView(painter, false);
    caption(painter, barcode.bounds(), QStringLiteral("barcode sample"));
    SKTBarcode delivered(QPointF(760, 530), QImage());
    QImage symbol(160, 50, QImage::Format_ARGB32);
    symbol.fill(Qt::white);
    for (int x = 8; x < 152; x += 6)
        QPainter(&symbol).fillRect(x, 6, (x / 6) % 3 + 1, 38, Qt::black);
    delivered.Set_Barcode_image(symbol);
    delivered.drawContentsInView(painter, false);
    caption(painter, delivered.bounds(), QStringLiteral("barcode picture, frame kept"));
    painter.end();

    EXPECT_TRUE(sheet.save(testOutputPath(QStringLiteral("picture-sheet.png"))));
}
