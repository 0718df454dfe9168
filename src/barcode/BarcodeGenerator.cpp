#include "barcode/BarcodeGenerator.h"

#include "barcode/BarcodeSizing.h"
#include "document/SKTBarcode.h"
#include "document/SymbolDrawing.h"

#include "core/ImageHelpers.h"

#include <QPainter>

#include <cmath>

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

// The linear model of the value with modules `barWidth` points wide.
std::shared_ptr<NKDBarcode> linearModel(const BarcodeSettings &settings, const QString &value, const QString &header,
                                        const QString &footer, double barWidth)
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
    model->setBarWidth(static_cast<float>(barWidth));
    Set_Barcode_Height(settings, *model);
    model->calculateWidth();
    model->setWidth(Set_Linear_Barcode_Width(settings, *model));
    return model;
}

// The symbol with as much of its clear border cut away as keeps its frame within `room`, where the
// symbol is what makes the frame larger; its modules and ink stay as they are.
QImage symbolWithin(const QImage &symbol, const Barcode_2D_Frame &frame, const BarcodeSettings &settings,
                    const QSizeF &room)
{
    const QSizeF points = imageSizeInPoints(symbol);
    const double perPoint = symbol.width() / points.width();
    const double others = std::max(settings.printsHeader() ? double(frame.headerWidth()) : 0.0,
                                   settings.printsFooter() ? double(frame.footerWidth()) : 0.0);
    const double excess = std::max(frame.height() - room.height(),
                                   std::min(frame.width() - room.width(), points.width() - others));
    // A frame kept from the picture's own size may measure a little less, through the resolution a
    // picture carries.
    const auto wanted = static_cast<int>(std::ceil(excess / 2.0 * perPoint - 0.25));
    if (wanted <= 0)
        return symbol;
    // The border no module lies in: rows and columns wholly clear, as far as every side has them.
    const QImage pixels = symbol.convertToFormat(QImage::Format_ARGB32);
    const auto clear = [&pixels](int x, int y) { return qAlpha(pixels.pixel(x, y)) == 0; };
    const int side = std::min(pixels.width(), pixels.height());
    int border = 0;
    for (; border < wanted && 2 * border + 2 < side; ++border) {
        const int right = pixels.width() - 1 - border, bottom = pixels.height() - 1 - border;
        bool all = true;
        for (int x = border; all && x <= right; ++x)
            all = clear(x, border) && clear(x, bottom);
        for (int y = border; all && y <= bottom; ++y)
            all = clear(border, y) && clear(right, y);
        if (!all)
            break;
    }
    if (border == 0)
        return symbol;
    QImage cut = symbol.copy(border, border, symbol.width() - 2 * border, symbol.height() - 2 * border);
    setImageSizeInPoints(cut, QSizeF(cut.width(), cut.height()) / perPoint);
    return cut;
}

} // namespace

std::shared_ptr<NKDBarcode> Generate_Barcode_Variable(const BarcodeSettings &settings, const QString &value,
                                                      const QString &header, const QString &footer)
{
    return linearModel(settings, value, header, footer,
                       Whole_Pixels_Points(Mils_To_Points(settings.linear_width_val), settings.USED_DPI_VALUE()));
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
                                  const QString &footer, const QSizeF &room)
{
    if (value.isEmpty())
        return {};
    if (settings.linear_or_2d != 1)
        return imageFromBarcode(Generate_Barcode_Variable(settings, value, header, footer), settings, room);
    QImage symbol = Barcode_2D_Symbol(settings, value);
    if (symbol.isNull())
        return {};
    Barcode_2D_Frame frame = Barcode_2D_Frame_For(settings, value, header, footer, symbol);
    if (!room.isEmpty() && (frame.width() > room.width() || frame.height() > room.height())) {
        symbol = symbolWithin(symbol, frame, settings, room);
        frame = Barcode_2D_Frame_For(settings, value, header, footer, symbol);
    }
    return imageFromBarcodeImage(symbol, frame, settings, room);
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

// The object's picture of `value`, whole or its marks alone, drawn in a place of `room`, and the
// drawing it came from; or nulls.
std::pair<QImage, std::shared_ptr<const SymbolDrawing>> pictureAndDrawing(const SKTGraphic &graphic,
                                                                         const QString &value,
                                                                         BarcodePicture::Parts parts,
                                                                         const QSizeF &room = {})
{
    const BarcodeSettings settings = Barcode_Settings_Of(graphic);
    BarcodePicture picture = Get_Image_From_Val(settings, value, graphic.header_val, graphic.footer_val, room);
    const double dpi = settings.USED_DPI_VALUE();
    QImage pixels = picture.toImage(dpi, parts);
    if (pixels.isNull())
        return {};
    return {std::move(pixels), std::make_shared<const PictureDrawing>(std::move(picture), dpi)};
}

// A picture an earlier build stored, its texts cleared from its pixels, and the layout its texts
// stand in.
class StoredPictureDrawing : public SymbolDrawing {
public:
    StoredPictureDrawing(QImage marks, BarcodePicture layout) : m_marks(std::move(marks)), m_layout(std::move(layout)) {}
    QImage marks() const override { return m_marks; }
    void drawTexts(QPainter &painter, const QRectF &target, TextForm form) const override
    {
        m_layout.draw(painter, target, BarcodePicture::Parts::Texts, form);
    }

private:
    QImage m_marks;
    BarcodePicture m_layout;
};

// The layout in which earlier builds drew a picture of `points`: modules as wide as set, whatever
// pixels they covered, no ground beside the bars, and a 2-D frame as large as the picture.
BarcodePicture storedLayout(const SKTGraphic &graphic, const BarcodeSettings &settings, const QSizeF &points)
{
    const QString &value = settings.value();
    if (settings.linear_or_2d != 1)
        return imageFromBarcode(linearModel(settings, value, graphic.header_val, graphic.footer_val,
                                            Mils_To_Points(settings.linear_width_val)),
                                settings, points);
    const QImage symbol = Barcode_2D_Symbol(settings, value);
    if (symbol.isNull())
        return {};
    Barcode_2D_Frame frame = Barcode_2D_Frame_For(settings, value, graphic.header_val, graphic.footer_val, symbol);
    frame.setWidth(static_cast<float>(points.width()));
    frame.setHeight(static_cast<float>(points.height()));
    return imageFromBarcodeImage(symbol, frame, settings, points);
}

// The drawing of a picture an earlier build stored, where its texts stand as its layout puts them:
// what a PDF then prints of it is the picture's own marks, and its texts as text, not traced from
// pixels. Null where they stand elsewhere or there are none.
std::shared_ptr<const SymbolDrawing> storedDrawing(const SKTGraphic &graphic, const QImage &stored)
{
    const BarcodeSettings settings = Barcode_Settings_Of(graphic);
    const QSizeF points = imageSizeInPoints(stored);
    BarcodePicture layout = storedLayout(graphic, settings, points);
    // Drawn as that build drew it, at the barcode's resolution, the texts come out in the stored pixels.
    const QImage texts = layout.toImage(settings.USED_DPI_VALUE(), BarcodePicture::Parts::Texts)
                             .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (texts.size() != stored.size())
        return nullptr;
    const QImage own = stored.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage marks = own;
    const QRgb ground = QColor(settings.linear_or_2d == 1 ? QColor(Qt::white) : settings.barcode_back_clr_val).rgba();
    // Smoothed edges may differ a little from one build's text drawing to another's.
    constexpr int kTolerance = 64;
    qint64 inked = 0, unlike = 0;
    const int width = stored.width(), height = stored.height();
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(texts.constScanLine(y));
        const auto *was = reinterpret_cast<const QRgb *>(own.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const int a = qAlpha(line[x]);
            if (a == 0)
                continue;
            ++inked;
            const auto over = [&](int text, int base) { return text + base * (255 - a) / 255; };
            if (std::abs(over(qRed(line[x]), qRed(ground)) - qRed(was[x])) > kTolerance ||
                std::abs(over(qGreen(line[x]), qGreen(ground)) - qGreen(was[x])) > kTolerance ||
                std::abs(over(qBlue(line[x]), qBlue(ground)) - qBlue(was[x])) > kTolerance)
                ++unlike;
            // The glyph's smoothed edge may reach a pixel further in the stored picture.
            for (int v = std::max(0, y - 1); v <= std::min(height - 1, y + 1); ++v) {
                auto *cleared = reinterpret_cast<QRgb *>(marks.scanLine(v));
                for (int u = std::max(0, x - 1); u <= std::min(width - 1, x + 1); ++u)
                    cleared[u] = 0;
            }
        }
    }
    if (inked == 0 || unlike * 50 > inked)
        return nullptr;
    return std::make_shared<const StoredPictureDrawing>(std::move(marks), std::move(layout));
}

} // namespace

bool Set_Record_Barcode(SKTGraphic &graphic, const QString &value)
{
    // The marks alone: a run draws the texts only where they go, and a PDF never as pixels. The frame
    // is the symbol's place on the card: what the value needs beyond it is bars, not ground.
    auto [pixels, drawing] = pictureAndDrawing(graphic, value, BarcodePicture::Parts::Marks, graphic.bounds().size());
    graphic.Set_Barcode_image(pixels);
    if (graphic.kind() == SKTGraphic::Kind::Barcode)
        static_cast<SKTBarcode &>(graphic).setSymbolDrawing(std::move(drawing), true);
    return !pixels.isNull();
}

void Attach_Barcode_Drawing(SKTGraphic &graphic)
{
    if (graphic.kind() != SKTGraphic::Kind::Barcode || graphic._barcode_image.isNull())
        return;
    auto &barcode = static_cast<SKTBarcode &>(graphic);
    auto [pixels, drawing] =
        pictureAndDrawing(graphic, Barcode_Settings_Of(graphic).value(), BarcodePicture::Parts::All);
    const QImage &own = graphic._barcode_image;
    // A picture read back from a file may hold the same pixels in another format.
    if (!pixels.isNull() && pixels.convertToFormat(own.format()) == own)
        barcode.setSymbolDrawing(std::move(drawing), false);
    else
        barcode.setSymbolDrawing(storedDrawing(graphic, own), false);
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
