#include "barcode/BarcodeGenerator.h"

#include "barcode/BarcodeSizing.h"
#include "barcode/NKDCode39Barcode.h"
#include "barcode/NKDExtendedCode39Barcode.h"
#include "document/SKTGraphic.h"

#include <array>

namespace {

template <typename Model>
std::unique_ptr<NKDBarcode> linear(const QString &value, bool printsCaption)
{
    return std::make_unique<Model>(value, printsCaption);
}

const std::array kSymbologies{
    Barcode_Symbology{QStringLiteral("Code 39"), &linear<NKDCode39Barcode>},
    Barcode_Symbology{QStringLiteral("Extended Code 39"), &linear<NKDExtendedCode39Barcode>},
};

} // namespace

const Barcode_Symbology *Barcode_Symbology_Named(const QString &title)
{
    for (const Barcode_Symbology &symbology : kSymbologies)
        if (symbology.title == title)
            return &symbology;
    return Barcode_2D_Symbology_Named(title);
}

std::shared_ptr<NKDBarcode> Generate_Barcode_Variable(const BarcodeSettings &settings, const QString &value,
                                                      const QString &header, const QString &footer)
{
    if (value.isEmpty() || settings.linear_or_2d == 1)
        return nullptr;
    const Barcode_Symbology *symbology = Barcode_Symbology_Named(settings.symbologyTitle());
    if (!symbology || !symbology->linearModel)
        return nullptr;
    std::shared_ptr<NKDBarcode> model = symbology->linearModel(value, settings.printsCaption());
    if (!model || !model->isContentValid())
        return nullptr;
    // Later steps measure what earlier ones set.
    model->setHeader(header);
    model->setFooter(footer);
    model->setPrintsCaption(settings.printsCaption());
    model->setPrintsHeader(settings.printsHeader());
    model->setPrintsFooter(settings.printsFooter());
    model->setBarWidth(Mils_To_Points(settings.linear_width_val));
    model->setCaptionFontSize(settings.value_font_val);
    model->setHeaderFontSize(settings.header_font_val);
    model->setFooterFontSize(settings.footer_font_val);
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
    frame.setHeader(header);
    frame.setFooter(footer);
    frame.setPrintsCaption(settings.printsCaption());
    frame.setPrintsHeader(settings.printsHeader());
    frame.setPrintsFooter(settings.printsFooter());
    frame.setCaptionFontSize(settings.value_font_val);
    frame.setHeaderFontSize(settings.header_font_val);
    frame.setFooterFontSize(settings.footer_font_val);
    Set_2d_Barcode_Height(settings, frame, symbol);
    Set_2d_Barcode_Width(settings, frame, symbol);
    return frame;
}

BarcodePicture Get_Image_From_Val(const BarcodeSettings &settings, const QString &value, const QString &header,
                                  const QString &footer)
{
    if (value.isEmpty())
        return {};
    if (settings.linear_or_2d != 1)
        return imageFromBarcode(Generate_Barcode_Variable(settings, value, header, footer), settings);
    const Barcode_Symbology *symbology = Barcode_Symbology_Named(settings.symbologyTitle());
    if (!symbology || !symbology->symbolPicture)
        return {};
    const QImage symbol = symbology->symbolPicture(settings, value);
    if (symbol.isNull())
        return {};
    return imageFromBarcodeImage(symbol, Barcode_2D_Frame_For(settings, value, header, footer, symbol), settings);
}

QImage Barcode_Image_For_Graphic(const SKTGraphic &graphic)
{
    return Barcode_Image_For_Graphic(graphic, Barcode_Settings_Of(graphic).value());
}

QImage Barcode_Image_For_Graphic(const SKTGraphic &graphic, const QString &value)
{
    const BarcodeSettings settings = Barcode_Settings_Of(graphic);
    return Get_Image_From_Val(settings, value, graphic.header_val, graphic.footer_val)
        .toImage(settings.USED_DPI_VALUE());
}
