#include "BarcodeTestSupport.h"
#include "barcode/BarcodeGenerator.h"
#include "canvas/SKTRenderingView.h"
#include "document/SKTBarcode.h"
#include "fixtures/TestSupport.h"

#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <gtest/gtest.h>

// A barcode of default settings, bound to a member's number, on a card of a light colour (and on
// white) exported at 300 dpi, reads from the whole card by zbar's command-line reader (the reader
// behind many phone apps and scanners' software) and by zxing-cpp: the card's colour meeting the
// barcode's own ground is where a reader takes the quiet zone to end.

namespace {

// A member's number and what each reader reads of it; "" where zbar reads no such symbol.
struct Member {
    QString value;
    std::string byZxing;
    std::string byZbar;
};

struct CardRow {
    const char *title;
    const char *zxingFormat;
    std::vector<Member> members;
};

// Read alike by both readers.
Member same(const char *value)
{
    return {QLatin1String(value), value, value};
}

void PrintTo(const CardRow &row, std::ostream *out)
{
    *out << row.title;
}

// A card the size of a credit card.
constexpr QRectF kCard(0, 0, 243, 153);

// The object as a design holds it: default settings but the symbology; then its copy of one record.
std::shared_ptr<SKTBarcode> objectOf(const char *title)
{
    const Barcode_Symbology *symbology = Barcode_Symbology_Named(QLatin1String(title));
    auto object = std::make_shared<SKTBarcode>();
    object->barcode_font_index = symbology->storedIndex();
    object->linear_or_2d = symbology->isTwoD() ? 1 : 0;
    return object;
}

// What zxing-cpp reads in the whole card, with the command-line reader's defaults. ZXingReader 1.4
// itself aborts on a failed assertion when it finds a linear symbol on several rows.
std::string zxingRead(const QImage &card, const char *format)
{
    return decodeBarcode(card, ZXing::DecodeHints().setFormats(ZXing::BarcodeFormatFromString(format))).text;
}

class CardQuietZone : public testing::TestWithParam<CardRow> {
protected:
    AppFixture app;
};

TEST_P(CardQuietZone, DecodedByZbarAndZxingFromTheExportedCard)
{
    const QString zbar = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (zbar.isEmpty())
        GTEST_SKIP() << "zbarimg (zbar-tools) is needed";
    const CardRow &row = GetParam();
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("card.png"));
    int cards = 0, zxingReads = 0, zbarReads = 0;
    for (const char *colour : {"#ffe080", "#c8e6ff", "#ffffff"})
        for (const Member &member : row.members) {
            SCOPED_TRACE(testing::Message() << colour << " " << member.value.toStdString());
            Card_Property face;
            face.setCard_fill_chk(true);
            face.setCard_fill_clr(QColor(QLatin1String(colour)));
            const std::shared_ptr<SKTBarcode> record = objectOf(row.title);
            ASSERT_TRUE(Set_Record_Barcode(*record, member.value));
            // In the middle of the card: zxing-cpp 1.4 looks for a small Data Matrix symbol only there.
            QRectF frame(QPointF(), record->_barcode_image.deviceIndependentSize());
            frame.moveCenter(kCard.center());
            record->setBounds(frame);
            const QImage card =
                SKTRenderingView::image_From_Card_Graphics({record}, false, face, 0, kCard).toImage(300);
            ASSERT_TRUE(card.save(file));
            ++cards;
            const std::string byZxing = zxingRead(card, row.zxingFormat);
            zxingReads += byZxing == member.byZxing;
            EXPECT_EQ(byZxing, member.byZxing) << "zxing-cpp";
            if (member.byZbar.empty())
                continue;
            const QString byZbar =
                readerOutput(zbar, {QStringLiteral("--nodbus"), QStringLiteral("-q"), QStringLiteral("--raw"), file});
            zbarReads += byZbar.toStdString() == member.byZbar;
            EXPECT_EQ(byZbar.toStdString(), member.byZbar) << "zbarimg";
        }
    std::printf("%s: zxing-cpp read %d of %d cards, zbarimg %d\n", row.title, zxingReads, cards, zbarReads);
}

INSTANTIATE_TEST_SUITE_P(
    DefaultSettings, CardQuietZone,
    testing::Values(
        CardRow{"Code 128", "Code128", {same("100234"), same("M-2048"), same("99817263")}},
        CardRow{"Code 39", "Code39", {same("100234"), same("M-2048"), same("99817263")}},
        CardRow{"EAN-13", "EAN-13",
                {{QStringLiteral("400638133393"), "4006381333931", "4006381333931"},
                 {QStringLiteral("978020137962"), "9780201379624", "9780201379624"},
                 {QStringLiteral("501234567890"), "5012345678900", "5012345678900"}}},
        CardRow{"EAN-8", "EAN-8",
                {{QStringLiteral("9638507"), "96385074", "96385074"}, same("55123457"),
                 {QStringLiteral("1234567"), "12345670", "12345670"}}},
        CardRow{"UPCA", "UPC-A",
                {{QStringLiteral("03600029145"), "036000291452", "0036000291452"},
                 {QStringLiteral("725272730706"), "725272730706", "0725272730706"},
                 {QStringLiteral("04210000526"), "042100005264", "0042100005264"}}},
        CardRow{"UPCE", "UPC-E",
                {{QStringLiteral("0123456"), "01234565", "0012345000065"},
                 {QStringLiteral("04210000526"), "04252614", "0042100005264"},
                 {QStringLiteral("0987653"), "09876539", "0098700000659"}}},
        // zxing-cpp drops the start and stop characters unless asked for them.
        CardRow{"Codabar", "Codabar",
                {{QStringLiteral("A100234B"), "100234", "A100234B"},
                 {QStringLiteral("A40156B"), "40156", "A40156B"},
                 {QStringLiteral("C-$:/.+D"), "-$:/.+", "C-$:/.+D"}}},
        CardRow{"Interleaved 2 of 5", "ITF",
                {same("100234"), same("00012345678905"), {QStringLiteral("1234567"), "01234567", "01234567"}}},
        CardRow{"QR Code", "QRCode", {same("100234"), same("MEMBER-0042"), same("Zoe 7")}},
        // zbar reads neither Data Matrix nor PDF417.
        CardRow{"DataMatrix", "DataMatrix",
                {{QStringLiteral("100234"), "100234", ""}, {QStringLiteral("MEMBER-0042"), "MEMBER-0042", ""}}},
        CardRow{"PDF417", "PDF417",
                {{QStringLiteral("100234"), "100234", ""}, {QStringLiteral("MEMBER-0042"), "MEMBER-0042", ""}}}),
    [](const auto &info) {
        std::string name = info.param.zxingFormat;
        name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
        return name;
    });

// Where a picture's dark pixels lie, in points from its corner.
QRectF inkOf(const QImage &picture)
{
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32);
    QRect ink;
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            if (qAlpha(pixels.pixel(x, y)) > 128 && qGray(pixels.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    const double perPixel = picture.deviceIndependentSize().width() / picture.width();
    return QRectF(QPointF(ink.topLeft()) * perPixel, QSizeF(ink.size()) * perPixel);
}

// A design saved before keeps its barcode's frame and place: a record's symbol is drawn from the
// frame's corner, its ground within the frame, as large as the frame where its modules in whole
// pixels fit, and only its bars past the frame where they do not (modules that were fractions of a
// pixel); a 2-D symbol's modules lie where the earlier build drew them, so that a neighbour whose
// frame ends just before them leaves them whole; bars that need more room than the frame even at the
// width set stand on the ground their layout measures, over the bars of what lies beside, as that
// build drew them, or on their quiet zones in a frame this build drew. On a light card, each reads at
// 72 and 300 dpi.
TEST(CardQuietZoneFrame, ARecordsBarcodeKeepsItsGroundWithinTheFrameSavedBefore)
{
    AppFixture app;
    enum class Neighbour { None, OnTopToTheLeft, BelowToTheRight };
    const struct {
        const char *title;
        int dpi;
        float mils;
        QString value;
        QSizeF saved; // the frame an earlier build saved, its picture's size then
        bool fits;
        int qrSize = 0; // with the header and footer hidden
        // A Code 39 whose frame ends `edge` points into the frame, or whose bars start `edge` points
        // past the last bar, level with the bars.
        Neighbour neighbour = Neighbour::None;
        double edge = 0;
        // The frame this build draws for the object's own value, with no side margins: its bars' quiet
        // zones are ground it adds.
        bool madeNow = false;
    } rows[] = {
        {"Code 128", 600, 20, QStringLiteral("0123"), {102.75, 57.67}, true},
        {"QR Code", 600, 20, QStringLiteral("https://example.org/card/1"), {80.668, 89.014}, true},
        {"Code 128", 72, 10, QStringLiteral("Card-128"), {109.22, 49.2}, false},
        // That build centred 21 modules of a point in the 40-point square: they began 9 points in.
        {"QR Code", 600, 20, QStringLiteral("Jane Smith"), {60.669, 45.670}, true, 40, Neighbour::OnTopToTheLeft,
         (60.669 - 40) / 2 + 9 - 0.3},
        {"Code 128", 600, 20, QStringLiteral("M-2048-7"), {102.75, 57.67}, false, 0, Neighbour::BelowToTheRight, 2},
        {"Code 128", 600, 20, QStringLiteral("M-2048-7"), {}, false, 0, Neighbour::BelowToTheRight, 2, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << row.title << " " << row.dpi << " " << row.value.toStdString() << " "
                                        << row.madeNow);
        const std::shared_ptr<SKTBarcode> object = objectOf(row.title);
        object->dpi_val_index = static_cast<int>(Barcode_DPI_Titles().indexOf(QString::number(row.dpi)));
        object->linear_width_val = row.mils;
        if (row.qrSize > 0) {
            object->qr_size_val = row.qrSize;
            object->show_hide_hdr = object->show_hide_ftr = 1;
        }
        object->LR_margin_val = row.madeNow ? 0.0f : object->LR_margin_val;
        const QRectF frame(QPointF(24, 30), row.madeNow ? Barcode_Image_For_Graphic(*object).deviceIndependentSize() : row.saved);
        object->setBounds(frame);
        ASSERT_TRUE(Set_Record_Barcode(*object, row.value));
        const QSizeF drawn = object->_barcode_image.deviceIndependentSize();
        EXPECT_EQ(drawn.width() <= frame.width() + 0.2 && drawn.height() <= frame.height() + 0.2, row.fits)
            << drawn.width() << " x " << drawn.height();
        GraphicList objects{object};
        QRectF beside;
        if (row.neighbour != Neighbour::None) {
            const std::shared_ptr<SKTBarcode> code = objectOf("Code 39");
            code->show_hide_hdr = code->show_hide_ftr = 1;
            code->linear_font_val = QStringLiteral("M1");
            code->Set_Barcode_image(Barcode_Image_For_Graphic(*code));
            const QSizeF size = code->_barcode_image.deviceIndependentSize();
            beside = row.neighbour == Neighbour::OnTopToTheLeft
                         ? QRectF(QPointF(frame.left() + row.edge - size.width(), frame.top() + 2), size)
                         : QRectF(frame.topLeft() + inkOf(object->_barcode_image).topRight() -
                                      inkOf(code->_barcode_image).topLeft() + QPointF(row.edge, 0),
                                  size);
            code->setBounds(beside);
            // Beside the bars, its own bars on the card's colour.
            if (row.neighbour == Neighbour::BelowToTheRight) {
                code->barcode_back_clr_val = QColor(0xff, 0xe0, 0x80);
                code->Set_Barcode_image(Barcode_Image_For_Graphic(*code));
            }
            if (row.neighbour == Neighbour::OnTopToTheLeft)
                objects.prepend(code);
            else
                objects.append(code);
        }
        Card_Property face;
        face.setCard_fill_chk(true);
        face.setCard_fill_clr(QColor(0xff, 0xe0, 0x80));
        for (const double dpi : {72.0, 300.0}) {
            SCOPED_TRACE(dpi);
            const QImage card = SKTRenderingView::image_From_Card_Graphics(objects, false, face, 0, kCard).toImage(dpi);
            const auto pixels = [dpi](const QRectF &points) {
                return QRectF(points.topLeft() * (dpi / 72.0), points.size() * (dpi / 72.0)).toAlignedRect().adjusted(-1, -1, 1, 1);
            };
            int groundOutside = 0;
            for (int y = 0; y < card.height(); ++y)
                for (int x = 0; x < card.width(); ++x)
                    groundOutside += !pixels(frame).contains(x, y) && !pixels(beside).contains(x, y) &&
                                     qGray(card.pixel(x, y)) > 250;
            if (row.neighbour != Neighbour::BelowToTheRight) {
                EXPECT_EQ(groundOutside, 0);
            }
            const auto format = row.title == std::string("QR Code") ? ZXing::BarcodeFormat::QRCode : ZXing::BarcodeFormat::Code128;
            // Bars of a pixel and a half at 72 dpi read at 300 only.
            if (dpi == 300.0 || format == ZXing::BarcodeFormat::QRCode) {
                const QRect around = pixels(frame).united(pixels(QRectF(frame.topLeft(), drawn))).united(pixels(beside));
                EXPECT_EQ(decodeBarcode(card.copy(around), format).text, row.value.toStdString());
            }
        }
    }
}

} // namespace
