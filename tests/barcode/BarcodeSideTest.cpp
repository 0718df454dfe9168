#include "barcode/BarcodeGenerator.h"
#include "barcode/BarcodeSettings.h"
#include "canvas/SKTRenderingView.h"
#include "document/SKTBarcode.h"
#include "fixtures/StoredPictures.h"
#include "fixtures/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

// A side with a linear symbol and a QR code, as the renderer draws it for exports, against a stored
// picture. Captions are off: the symbols' modules are what is compared here.
TEST(BarcodeSide, LooksAsStored)
{
    AppFixture app;
    const auto barcode = [](const char *title, const QString &value, const QPointF &at) {
        BarcodeSettings settings;
        settings.barcode_font_index = static_cast<int>(Barcode_Symbology_Titles().indexOf(QLatin1String(title)));
        settings.linear_or_2d = Barcode_Symbology_Named(QLatin1String(title))->isTwoD() ? 1 : 0;
        (settings.linear_or_2d == 1 ? settings.two_d_font_val : settings.linear_font_val) = value;
        settings.show_hide_val = settings.show_hide_hdr = settings.show_hide_ftr = 1;
        auto graphic = std::make_shared<SKTBarcode>();
        Set_Barcode_Settings(*graphic, settings);
        graphic->Set_Barcode_image(Barcode_Image_For_Graphic(*graphic));
        graphic->_bounds = QRectF(at, QSizeF(10, 10));
        return graphic;
    };
    const GraphicList graphics{barcode("Code 128", QStringLiteral("CARD-42"), QPointF(6, 8)),
                               barcode("QR Code", QStringLiteral("HELLO CARD"), QPointF(96, 30))};
    ASSERT_FALSE(static_cast<SKTBarcode &>(*graphics[0])._barcode_image.isNull());

    const QRectF card(0, 0, 160, 100);
    const SKTRenderingView view(card, graphics, Card_Property(), 0, DrawingResources());
    QImage image(card.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        ASSERT_TRUE(view.drawRect(painter, view.bounds()));
    }
    EXPECT_TRUE(matchesStoredPicture(image, QStringLiteral("barcode/pictures/symbols.png")));
}
