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

// Whether a frame measures the room within half a pixel at `dpi`, or a quarter point: a frame kept
// from a picture's own size carries the rounding of the resolution the picture keeps, and the builds
// that saved older designs measured the texts' bands a little apart.
bool sameSize(float width, float height, const QSizeF &room, double dpi)
{
    const double slack = std::max(0.5 * 72.0 / dpi, 0.25);
    return std::abs(width - room.width()) <= slack && std::abs(height - room.height()) <= slack;
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
    const QSizeF points = imageSizeInPoints(symbol);
    Set_2d_Barcode_Height(settings, frame, points);
    Set_2d_Barcode_Width(settings, frame, points);
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
    const double dpi = settings.USED_DPI_VALUE();
    if (settings.linear_or_2d != 1) {
        std::shared_ptr<NKDBarcode> model = Generate_Barcode_Variable(settings, value, header, footer);
        // Bars wider than the frame even with modules as wide as set stand on all their ground from the
        // frame's corner: a frame this build drew for the object's own value held the quiet zones it
        // adds, one an earlier build saved held its layout alone, whose margins were all the ground
        // it gave them. Only whole pixels' growth keeps the ground within the frame.
        const auto wider = [&](const std::shared_ptr<NKDBarcode> &bars) {
            return bars && bars->width() > room.width() + 0.5 * 72.0 / dpi;
        };
        QSizeF place = room;
        if (!room.isEmpty() && wider(model) &&
            wider(linearModel(settings, value, header, footer, Mils_To_Points(settings.linear_width_val)))) {
            const QSizeF own =
                imageFromBarcode(Generate_Barcode_Variable(settings, settings.value(), header, footer), settings).size();
            place = !own.isEmpty() && sameSize(float(own.width()), float(own.height()), room, dpi)
                        ? QSizeF()
                        : QSizeF(model->width(), std::max<double>(model->height(), room.height()));
        }
        return imageFromBarcode(std::move(model), settings, place);
    }
    QImage symbol = Barcode_2D_Symbol(settings, value);
    if (symbol.isNull())
        return {};
    Barcode_2D_Frame frame = Barcode_2D_Frame_For(settings, value, header, footer, symbol);
    // A frame of the oldest layout, kept by a design those builds saved, is the symbol's place as they
    // laid it out: its modules lie there, a longer value's larger symbol fitted or grown as then.
    if (!room.isEmpty() && !sameSize(frame.width(), frame.height(), room, dpi)) {
        QSizeF area;
        QImage earlier = Barcode_2D_Earlier_Symbol(settings, value, &area);
        // Whether the room is the frame of a symbol of `points`.
        const auto framing = [&](const QSizeF &points) {
            Barcode_2D_Frame laid = frame;
            Set_2d_Barcode_Height(settings, laid, points);
            Set_2d_Barcode_Width(settings, laid, points);
            return sameSize(laid.width(), laid.height(), room, dpi);
        };
        if (!earlier.isNull() && (framing(area) || framing(Barcode_2D_Earlier_Area(settings)))) {
            symbol = std::move(earlier);
            frame = Barcode_2D_Frame_For(settings, value, header, footer, symbol);
        }
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
    // Where the layout draws bars: a text's smoothed edge beside them is cleared, the bars are kept.
    const QImage bars = layout.toImage(settings.USED_DPI_VALUE(), BarcodePicture::Parts::Marks)
                            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage marks = own;
    const QRgb ground = QColor(settings.linear_or_2d == 1 ? QColor(Qt::white) : settings.barcode_back_clr_val).rgba();
    // Smoothed edges may differ a little from one build's text drawing to another's.
    constexpr int kTolerance = 64;
    const auto far = [](QRgb a, QRgb b) {
        return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))}) >
               kTolerance;
    };
    // Bars start on a pixel edge here and anywhere before: a pixel either side.
    const auto barNear = [&](int u, int v) {
        if (bars.size() != stored.size())
            return false;
        const auto *line = reinterpret_cast<const QRgb *>(bars.constScanLine(v));
        for (int w = std::max(0, u - 1); w <= std::min(bars.width() - 1, u + 1); ++w)
            if (qAlpha(line[w]) > 0 && far(line[w], ground))
                return true;
        return false;
    };
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
            const QRgb drawn = qRgb(over(qRed(line[x]), qRed(ground)), over(qGreen(line[x]), qGreen(ground)),
                                    over(qBlue(line[x]), qBlue(ground)));
            unlike += far(drawn, was[x]);
            // The glyph's smoothed edge may reach a pixel further in the stored picture; what is darker
            // than the text alone is a bar it overlaps.
            for (int v = std::max(0, y - 1); v <= std::min(height - 1, y + 1); ++v) {
                auto *cleared = reinterpret_cast<QRgb *>(marks.scanLine(v));
                for (int u = std::max(0, x - 1); u <= std::min(width - 1, x + 1); ++u) {
                    const bool centre = u == x && v == y;
                    if (centre ? qGray(was[x]) + kTolerance < qGray(drawn) : barNear(u, v))
                        continue;
                    cleared[u] = 0;
                }
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
