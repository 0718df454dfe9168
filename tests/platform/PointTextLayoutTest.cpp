#include "platform/PointTextLayout.h"

#include <QImage>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

const QString kText = QStringLiteral("AVATAR Wavy 0123");

// One line of text in design metrics, as a text object lays it out, in the device's pixels.
double lineWidth(const QFont &font, const QPaintDevice *device)
{
    QTextLayout layout(kText, font, device);
    QTextOption option;
    option.setUseDesignMetrics(true);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1.0e6);
    layout.endLayout();
    return line.naturalTextWidth();
}

// Qt's own width of the text on a picture of one dot per point: a reference that owes nothing to
// the screen's resolution.
double points(QFont font, bool pairKerning)
{
    QImage picture(1, 1, QImage::Format_ARGB32);
    picture.setDotsPerMeterX(qRound(72 / 0.0254));
    picture.setDotsPerMeterY(qRound(72 / 0.0254));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(pairKerning);
    return lineWidth(font, &picture);
}

} // namespace

// A line is as wide in points as the font measures at one dot per point, the kerning added after
// every character, whatever resolution the screen has.
TEST(PointTextLayoutTest, LineIsAsWideInPointsAsAtOneDotPerPoint)
{
    const struct {
        const char *family;
        double points;
        float kerning;
        PointTextLayout::PairKerning pairKerning;
    } cases[] = {{"Liberation Sans", 12.0, 0.0f, PointTextLayout::KeepPairKerning},
                 {"Liberation Serif", 9.5, 1.5f, PointTextLayout::NoPairKerning},
                 {"Liberation Sans", 30.0, -2.0f, PointTextLayout::KeepPairKerning}};
    for (const auto &c : cases) {
        QFont font(QString::fromLatin1(c.family));
        font.setPointSizeF(c.points);
        const QFont laidOut = PointTextLayout::font(font, c.kerning, c.pairKerning);
        const double width = lineWidth(laidOut, PointTextLayout::device());
        const bool pairKerning = c.pairKerning == PointTextLayout::KeepPairKerning;
        EXPECT_NEAR(width, points(font, pairKerning) + c.kerning * kText.size(), 0.01) << c.family << " " << c.points;
    }
}
