#include "barcode/BarcodeGenerator.h"

#include "barcode/BarcodeSizing.h"
#include "barcode/JapanPostBarcode.h"
#include "barcode/NKDCodabarBarcode.h"
#include "barcode/NKDCode128Barcode.h"
#include "barcode/NKDCode39Barcode.h"
#include "barcode/NKDEAN13Barcode.h"
#include "barcode/NKDEAN8Barcode.h"
#include "barcode/NKDExtendedCode39Barcode.h"
#include "barcode/NKDIndustrialTwoOfFiveBarcode.h"
#include "barcode/NKDInterleavedTwoOfFiveBarcode.h"
#include "barcode/NKDModifiedPlesseyBarcode.h"
#include "barcode/NKDModifiedPlesseyHexBarcode.h"
#include "barcode/NKDPlanetBarcode.h"
#include "barcode/NKDPostnetBarcode.h"
#include "barcode/NKDRoyalMailBarcode.h"
#include "barcode/NKDUPCABarcode.h"
#include "barcode/NKDUPCEBarcode.h"
#include "document/SKTGraphic.h"

#include <array>

namespace {

template <typename Model>
std::unique_ptr<NKDBarcode> linear(const QString &value, bool printsCaption)
{
    return std::make_unique<Model>(value, printsCaption);
}

template <int CodeSet>
std::unique_ptr<NKDBarcode> code128(const QString &value, bool printsCaption)
{
    return std::make_unique<NKDCode128Barcode>(value, printsCaption, CodeSet);
}

const std::array kSymbologies{
    Barcode_Symbology{QStringLiteral("Code 39"), &linear<NKDCode39Barcode>},
    Barcode_Symbology{QStringLiteral("Extended Code 39"), &linear<NKDExtendedCode39Barcode>},
    Barcode_Symbology{QStringLiteral("Interleaved 2 of 5"), &linear<NKDInterleavedTwoOfFiveBarcode>},
    Barcode_Symbology{QStringLiteral("UPCA"), &linear<NKDUPCABarcode>},
    Barcode_Symbology{QStringLiteral("PostNet"), &linear<NKDPostnetBarcode>},
    Barcode_Symbology{QStringLiteral("Modified Plessey"), &linear<NKDModifiedPlesseyBarcode>},
    Barcode_Symbology{QStringLiteral("Modified Plessey (Hex)"), &linear<NKDModifiedPlesseyHexBarcode>},
    Barcode_Symbology{QStringLiteral("Industrial 2 of 5"), &linear<NKDIndustrialTwoOfFiveBarcode>},
    Barcode_Symbology{QStringLiteral("EAN-13"), &linear<NKDEAN13Barcode>},
    Barcode_Symbology{QStringLiteral("Code 128"), &code128<NKDCode128Barcode::Automatic>},
    Barcode_Symbology{QStringLiteral("Code 128 SET A"), &code128<NKDCode128Barcode::SetA>},
    Barcode_Symbology{QStringLiteral("Code 128 SET B"), &code128<NKDCode128Barcode::SetB>},
    Barcode_Symbology{QStringLiteral("Code 128 SET C"), &code128<NKDCode128Barcode::SetC>},
    Barcode_Symbology{QStringLiteral("Codabar"), &linear<NKDCodabarBarcode>},
    Barcode_Symbology{QStringLiteral("UPCE"), &linear<NKDUPCEBarcode>},
    Barcode_Symbology{QStringLiteral("EAN-8"), &linear<NKDEAN8Barcode>},
    Barcode_Symbology{QStringLiteral("Royal Mail Barcode (RM4SCC / CBC)"), &linear<NKDRoyalMailBarcode>},
    Barcode_Symbology{QStringLiteral("Planet"), &linear<NKDPlanetBarcode>},
    Barcode_Symbology{QStringLiteral("Japan Post Barcode"), &linear<JapanPostBarcode>},
};

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
    setBands(*model, settings, header, footer);
    model->setBarWidth(Mils_To_Points(settings.linear_width_val));
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
    const Barcode_Symbology *symbology = Barcode_Symbology_Named(settings.symbologyTitle());
    if (!symbology || !symbology->symbolPicture)
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

} // namespace

QImage Barcode_Image_For_Graphic(const SKTGraphic &graphic)
{
    const BarcodeSettings settings = Barcode_Settings_Of(graphic);
    return barcodeImageFor(graphic, settings, settings.value());
}

QImage Barcode_Image_For_Graphic(const SKTGraphic &graphic, const QString &value)
{
    return barcodeImageFor(graphic, Barcode_Settings_Of(graphic), value);
}
