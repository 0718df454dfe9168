#include "barcode/BarcodeGenerator.h"

#include "barcode/BarcodeSizing.h"
#include "document/SKTBarcode.h"
#include "document/SymbolDrawing.h"

namespace {

// The header, footer and value bands as the settings ask, for a linear model and a 2-D frame alike
// (whose "prints" flags are virtual on the one and plain on the other). The texts come first: the
// font sizes measure them.
template <typename Banded>
void setBands(Banded &target, const BarcodeSettings &settings, const QString &header, const QString &footer)
{
    target.setHeader(header);
    target.setFooter(footer);
    target.setPrintsCaption(settings.printsCaption());
    target.setPrintsHeader(settings.printsHeader());
    target.setPrintsFooter(settings.printsFooter());
    target.setCaptionFontSize(settings.value_font_val);
    target.setHeaderFontSize(settings.header_font_val);
    target.setFooterFontSize(settings.footer_font_val);
}

} // namespace

std::shared_ptr<NKDBarcode> Generate_Barcode_Variable(const BarcodeSettings &settings, const QString &value,
                                                      const QString &header, const QString &footer)
{
    if (value.isEmpty() || settings.linear_or_2d == 1)
        return nullptr;
    const Barcode_Symbology *symbology = settings.symbology();
    if (!symbology || !symbology->linearModel || !symbology->mayHold(value))
        return nullptr;
    std::shared_ptr<NKDBarcode> model = symbology->linearModel(value, settings.printsCaption());
    if (!model || !model->isContentValid())
        return nullptr;
    // Later steps measure what earlier ones set.
    setBands(*model, settings, header, footer);
    model->setBarWidth(static_cast<float>(
        Whole_Pixels_Points(Mils_To_Points(settings.linear_width_val), settings.USED_DPI_VALUE())));
    Set_Barcode_Height(settings, *model);
    model->calculateWidth();
    model->setWidth(Set_Linear_Barcode_Width(settings, *model));
    return model;
}

Barcode_2D_Frame Barcode_2D_Frame_For(const BarcodeSettings &settings, const QString &value, const QString &header,
                                      const QString &footer, const QImage &symbol)
{
    Barcode_2D_Frame frame;
    frame.setContent(value);
    setBands(frame, settings, header, footer);
    Set_2d_Barcode_Height(settings, frame, symbol);
    Set_2d_Barcode_Width(settings, frame, symbol);
    return frame;
}

QImage Barcode_2D_Symbol(const BarcodeSettings &settings, const QString &value)
{
    const Barcode_Symbology *symbology = settings.symbology();
    if (!symbology || !symbology->symbolPicture || !symbology->mayHold(value))
        return {};
    return symbology->symbolPicture(settings, value);
}

BarcodePicture Get_Image_From_Val(const BarcodeSettings &settings, const QString &value, const QString &header,
                                  const QString &footer)
{
    if (value.isEmpty())
        return {};
    if (settings.linear_or_2d != 1)
        return imageFromBarcode(Generate_Barcode_Variable(settings, value, header, footer), settings);
    const QImage symbol = Barcode_2D_Symbol(settings, value);
    if (symbol.isNull())
        return {};
    return imageFromBarcodeImage(symbol, Barcode_2D_Frame_For(settings, value, header, footer, symbol), settings);
}

namespace {

QImage barcodeImageFor(const SKTGraphic &graphic, const BarcodeSettings &settings, const QString &value)
{
    return Get_Image_From_Val(settings, value, graphic.header_val, graphic.footer_val)
        .toImage(settings.USED_DPI_VALUE());
}

// A picture's drawing as an object keeps it, beside its pixels at `dpi`.
class PictureDrawing : public SymbolDrawing {
public:
    PictureDrawing(BarcodePicture picture, double dpi) : m_picture(std::move(picture)), m_dpi(dpi) {}
    QImage marks() const override { return m_picture.toImage(m_dpi, BarcodePicture::Parts::Marks); }
    void drawTexts(QPainter &painter, const QRectF &target, TextForm form) const override
    {
        m_picture.draw(painter, target, BarcodePicture::Parts::Texts, form);
    }

private:
    BarcodePicture m_picture;
    double m_dpi;
};

// The object's picture of `value`, whole or its marks alone, and the drawing it came from; or nulls.
std::pair<QImage, std::shared_ptr<const SymbolDrawing>> pictureAndDrawing(const SKTGraphic &graphic,
                                                                         const QString &value,
                                                                         BarcodePicture::Parts parts)
{
    const BarcodeSettings settings = Barcode_Settings_Of(graphic);
    BarcodePicture picture = Get_Image_From_Val(settings, value, graphic.header_val, graphic.footer_val);
    const double dpi = settings.USED_DPI_VALUE();
    QImage pixels = picture.toImage(dpi, parts);
    if (pixels.isNull())
        return {};
    return {std::move(pixels), std::make_shared<const PictureDrawing>(std::move(picture), dpi)};
}

} // namespace

bool Set_Record_Barcode(SKTGraphic &graphic, const QString &value)
{
    // The marks alone: a run draws the texts only where they go, and a PDF never as pixels.
    auto [pixels, drawing] = pictureAndDrawing(graphic, value, BarcodePicture::Parts::Marks);
    graphic.Set_Barcode_image(pixels);
    if (graphic.kind() == SKTGraphic::Kind::Barcode)
        static_cast<SKTBarcode &>(graphic).setSymbolDrawing(std::move(drawing), true);
    return !pixels.isNull();
}

void Attach_Barcode_Drawing(SKTGraphic &graphic)
{
    if (graphic.kind() != SKTGraphic::Kind::Barcode || graphic._barcode_image.isNull())
        return;
    auto [pixels, drawing] =
        pictureAndDrawing(graphic, Barcode_Settings_Of(graphic).value(), BarcodePicture::Parts::All);
    const QImage &own = graphic._barcode_image;
    // A picture read back from a file may hold the same pixels in another format.
    if (!pixels.isNull() && pixels.convertToFormat(own.format()) == own)
        static_cast<SKTBarcode &>(graphic).setSymbolDrawing(std::move(drawing), false);
}

QImage Barcode_Image_For_Graphic(const SKTGraphic &graphic)
{
    const BarcodeSettings settings = Barcode_Settings_Of(graphic);
    return barcodeImageFor(graphic, settings, settings.value());
}

QImage Barcode_Image_For_Graphic(const SKTGraphic &graphic, const QString &value)
{
    return barcodeImageFor(graphic, Barcode_Settings_Of(graphic), value);
}
