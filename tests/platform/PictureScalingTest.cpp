#include "platform/PictureScaling.h"

#include <gtest/gtest.h>


#include <cmath>

using namespace platform;

namespace {

// Pixels no neighbour resembles, so that a weight given to the wrong pixel shows.
QImage noise(const QSize &size, QImage::Format format, const QList<QRgb> &colours = {})
{
    QImage picture(size, colours.isEmpty() ? QImage::Format_ARGB32 : QImage::Format_Indexed8);
    picture.setColorTable(colours);
    quint32 state = 12345;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            if (colours.isEmpty())
                picture.setPixel(x, y, ((state >> 8) & 0x00FFFFFF) | (state << 24 | 0x1F000000));
            else
                picture.setPixel(x, y, (state >> 24) & uint(colours.size() - 1));
        }
    return picture.convertToFormat(format);
}

// The plain average of the pixels each target pixel covers, each weighed by the part it covers,
// in doubles, from the source turned into the result's format whole.
double boxAverage(const QImage &source, const QSize &size, int x, int y, int channel)
{
    const double across = double(source.width()) / size.width(), down = double(source.height()) / size.height();
    const double left = x * across, right = left + across, top = y * down, bottom = top + down;
    double sum = 0;
    for (int sy = int(top); sy < std::min(std::ceil(bottom), double(source.height())); ++sy)
        for (int sx = int(left); sx < std::min(std::ceil(right), double(source.width())); ++sx) {
            const double part = (std::min(right, sx + 1.0) - std::max(left, double(sx))) *
                                (std::min(bottom, sy + 1.0) - std::max(top, double(sy)));
            const uchar *pixel = source.constScanLine(sy) + sx * (source.depth() / 8);
            sum += part * pixel[channel];
        }
    return sum / (across * down);
}

} // namespace

// Every shape and format a decoder gives is averaged like the plain box average, within one step a
// channel: narrow and wide boxes, strips of one pixel, and pictures cut into several pieces of work.
TEST(PictureScaling, EveryPixelIsTheAverageOfThoseItCovers)
{
    QList<QRgb> greys, colours;
    for (int i = 0; i < 16; ++i) {
        greys.append(qRgb(i * 17, i * 17, i * 17));
        colours.append(qRgb(i * 17, 255 - i * 13, i * 5));
    }
    const struct {
        const char *name;
        QImage source;
        QSize size;
        QImage::Format made;
    } rows[] = {
        {"32 bits", noise({37, 23}, QImage::Format_RGB32), {10, 7}, QImage::Format_RGB32},
        {"32 bits with alpha", noise({37, 23}, QImage::Format_ARGB32), {11, 9}, QImage::Format_ARGB32_Premultiplied},
        {"premultiplied", noise({50, 40}, QImage::Format_ARGB32_Premultiplied), {17, 13}, QImage::Format_ARGB32_Premultiplied},
        {"grey stays grey", noise({50, 40}, QImage::Format_Grayscale8), {23, 19}, QImage::Format_Grayscale8},
        {"a grey palette is grey", noise({41, 29}, QImage::Format_Indexed8, greys), {13, 10}, QImage::Format_Grayscale8},
        {"a palette of colours", noise({41, 29}, QImage::Format_Indexed8, colours), {13, 10}, QImage::Format_RGB32},
        {"one bit", noise({45, 31}, QImage::Format_Mono, greys), {14, 9}, QImage::Format_Grayscale8},
        {"16-bit grey", noise({45, 31}, QImage::Format_Grayscale16), {14, 9}, QImage::Format_Grayscale8},
        {"24 bits", noise({45, 31}, QImage::Format_RGB888), {14, 9}, QImage::Format_RGB32},
        {"16 bits a channel", noise({45, 31}, QImage::Format_RGBA64), {14, 9}, QImage::Format_ARGB32_Premultiplied},
        {"floating point", noise({45, 31}, QImage::Format_RGBA32FPx4), {14, 9}, QImage::Format_ARGB32_Premultiplied},
        {"a strip of one pixel down", noise({1, 5000}, QImage::Format_Grayscale8), {1, 7}, QImage::Format_Grayscale8},
        {"a strip of one pixel across", noise({5000, 1}, QImage::Format_RGB32), {3, 1}, QImage::Format_RGB32},
        {"a strip kept whole across", noise({3, 900}, QImage::Format_ARGB32), {3, 700}, QImage::Format_ARGB32_Premultiplied},
        {"a box of hundreds of pixels", noise({3000, 2}, QImage::Format_Mono, greys), {5, 1}, QImage::Format_Grayscale8},
        {"pieces of work side by side", noise({9000, 40}, QImage::Format_RGB32), {8500, 13}, QImage::Format_RGB32},
        {"pieces of work one under another", noise({40, 9000}, QImage::Format_Grayscale8), {13, 8500}, QImage::Format_Grayscale8},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QImage picture = shrunkPicture(row.source, row.size);
        ASSERT_EQ(picture.size(), row.size);
        EXPECT_EQ(picture.format(), row.made);
        const QImage reference = row.source.convertToFormat(row.made);
        const int channels = picture.depth() / 8;
        int worst = 0;
        for (int y = 0; y < row.size.height(); ++y)
            for (int x = 0; x < row.size.width(); ++x)
                for (int c = 0; c < channels; ++c) {
                    const double expected = boxAverage(reference, row.size, x, y, c);
                    const int made = picture.constScanLine(y)[x * channels + c];
                    if (std::abs(made - expected) > 1 && worst++ < 3)
                        ADD_FAILURE() << "pixel " << x << ", " << y << " channel " << c << ": " << made << ", not " << expected;
                }
    }
}
