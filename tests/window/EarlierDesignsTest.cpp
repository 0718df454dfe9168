// Designs saved by earlier builds, each with barcodes beside texts on a grey card: drawn for a record,
// exported and printed, their barcodes stay in their places and read as they did.

#include "DesignWindowFixture.h"

#include "../barcode/SymbolReader.h"

#include "datasource/RecordBinding.h"
#include "document/SKTBarcode.h"
#include "output/PictureExport.h"
#include "output/SheetPrinting.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

using Readers = std::array<bool, 3>; // the stored barcode, the bound one beside it, the bound one on the back

struct EarlierDesign {
    const char *name;
    const char *series;
    ZXing::BarcodeFormat format;
    // What the earlier build's cards at 72 and 150 dpi read.
    Readers read72, read150;
    // Its cards beside the barcodes, and with them where their modules were whole pixels, as the
    // earlier build drew them.
    bool besideAsBefore, barcodesAsBefore;
    // The values printed as text in the PDF of records 1 and 2.
    int valuesAsText;
    // A value half as long again, its bars or symbol larger than the frame, and what the earlier
    // build's cards of it read at 72 and 150 dpi.
    const char *longer;
    Readers longer72, longer150;
};

constexpr auto kNone = ZXing::BarcodeFormat::None;
constexpr Readers kNo{false, false, false}, kAll{true, true, true};
// The back's barcode stands at the card's edge: a longer value's is cut there.
constexpr Readers kBeside{true, true, false};
const EarlierDesign kDesigns[] = {
    {"bc_def_00", "S0", ZXing::BarcodeFormat::Code39, kNo, kAll, true, true, 6, "CARD39-12", kNo, kBeside},
    {"bc_def_05", "S5", kNone, kNo, kNo, true, true, 6, "123456789", kNo, kNo},
    {"bc_def_09", "S9", ZXing::BarcodeFormat::Code128, {false, false, true}, kAll, true, true, 6, "Card-128-Lng", kNo,
     kBeside},
    {"bc_def_19", "S19", ZXing::BarcodeFormat::QRCode, kAll, kAll, true, true, 0,
     "https://example.org/card/1?member=12345", kBeside, kAll},
    {"bc_def_20", "S20", ZXing::BarcodeFormat::PDF417, kNo, kAll, true, false, 0, "PDF417 card value 1 extended", kNo,
     kAll},
    {"bc_small72_01", "S1", kNone, kNo, kNo, false, false, 6, "Card-39x-Lon", kNo, kNo},
    {"bc_small72_09", "S9", ZXing::BarcodeFormat::Code128, kNo, kNo, false, false, 6, "Card-128-Lng", kNo, kNo},
    {"bc_small72_09_by336b396", "S9", ZXing::BarcodeFormat::Code128, kNo, kNo, false, false, 6, "Card-128-Lng", kNo,
     kNo},
};

QString earlierFile(const QString &relative)
{
    return sourceResourcesPath() + QStringLiteral("../tests/window/earlier/") + relative;
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QRect pixelsOf(const QRectF &points, double dpi)
{
    return QRectF(points.topLeft() * (dpi / 72.0), points.size() * (dpi / 72.0)).toAlignedRect();
}

// Pixels of `card` that no pixel of `before` within `reach` resembles, among those `where` chooses.
int unlike(const QImage &card, const QImage &before, int reach, const std::function<bool(int, int)> &where)
{
    int count = 0;
    for (int y = 0; y < card.height(); ++y)
        for (int x = 0; x < card.width(); ++x) {
            if (!where(x, y))
                continue;
            const QRgb p = card.pixel(x, y);
            bool like = false;
            for (int v = std::max(0, y - reach); !like && v <= std::min(card.height() - 1, y + reach); ++v)
                for (int u = std::max(0, x - reach); !like && u <= std::min(card.width() - 1, x + reach); ++u) {
                    const QRgb q = before.pixel(u, v);
                    like = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                     std::abs(qBlue(p) - qBlue(q))}) <= 48;
                }
            count += !like;
        }
    return count;
}

// Pixel pairs side by side that are ground in `before` and show the card or a text's box in `card`.
int groundLost(const QImage &card, const QImage &before, int *ground)
{
    const auto shows = [](QRgb p) {
        const bool grey = std::max({std::abs(qRed(p) - 0xd8), std::abs(qGreen(p) - 0xd8), std::abs(qBlue(p) - 0xd8)}) <= 6;
        return grey || (qRed(p) > 230 && qGreen(p) > 230 && qBlue(p) < 220);
    };
    int lost = 0;
    *ground = 0;
    for (int y = 0; y < card.height(); ++y)
        for (int x = 0; x + 1 < card.width(); ++x) {
            if (qGray(before.pixel(x, y)) <= 250 || qGray(before.pixel(x + 1, y)) <= 250)
                continue;
            ++*ground;
            lost += shows(card.pixel(x, y)) && shows(card.pixel(x + 1, y));
        }
    return lost;
}

} // namespace

class EarlierDesignsTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        load();
    }
};

TEST_F(EarlierDesignsTest, BarcodesKeepToTheirFramesAndReadAsBeforeInPicturesAndPrint)
{
    for (const EarlierDesign &row : kDesigns) {
        SCOPED_TRACE(row.name);
        const QString name = QLatin1String(row.name), series = QLatin1String(row.series);
        writeFile(QStringLiteral("DataSet/%1.txt").arg(series),
                  contentsOf(earlierFile(QStringLiteral("series/%1.txt").arg(series))) + row.longer + '\n');
        ASSERT_EQ(window->Read_and_load_design_Log(earlierFile(name + QStringLiteral(".zkse")), "L"), 1);
        const DesignSnapshot design = window->exportSnapshot();
        const RecordBinding binding = RecordBinding::load(design.front.graphics, design.back.graphics, {});
        const RecordApplier apply = [&binding](int record, GraphicList &objects) { return binding.apply(record, objects); };
        // The frames of the barcodes, the stored one first, and of the texts beside them, by side.
        std::array<QList<QRectF>, 2> barcodes, texts;
        for (int side = 0; side < 2; ++side)
            for (const SKTGraphicPtr &object : side == 0 ? design.front.graphics : design.back.graphics)
                (object->kind() == SKTGraphic::Kind::Barcode ? barcodes : texts)[side].append(object->bounds());
        std::sort(barcodes[0].begin(), barcodes[0].end(), [](const QRectF &a, const QRectF &b) { return a.y() < b.y(); });

        for (const double dpi : {72.0, 150.0}) {
            SCOPED_TRACE(dpi);
            const QString folder = resourcePath(QStringLiteral("%1-%2").arg(name).arg(dpi));
            ExportChoice choice;
            choice.sides = QStringLiteral("BOTH");
            choice.dpi = dpi;
            ASSERT_TRUE(PictureExport::Export_Batch_File(design, choice, folder, 3, apply, {}).error.isEmpty());
            const QString first = PictureExport::batchPath(folder + QLatin1Char('/') + PictureExport::kBatchFolder, choice, 0);
            const std::array<QImage, 2> cards{QImage(PictureExport::Create_Front_Card_Path(first)).convertToFormat(QImage::Format_RGB32),
                                              QImage(PictureExport::Create_Back_Card_Path(first)).convertToFormat(QImage::Format_RGB32)};
            const Readers &before = dpi == 72.0 ? row.read72 : row.read150;
            int index = 0;
            for (int side = 0; side < 2; ++side) {
                const QImage &card = cards[side];
                ASSERT_FALSE(card.isNull());
                const auto inFrame = [&](int x, int y) {
                    return std::any_of(barcodes[side].cbegin(), barcodes[side].cend(), [&](const QRectF &frame) {
                        return pixelsOf(frame, dpi).adjusted(-1, -1, 1, 1).contains(x, y);
                    });
                };
                // Nothing on these cards is white but a barcode's ground.
                int groundOutside = 0;
                for (int y = 0; y < card.height(); ++y)
                    for (int x = 0; x < card.width(); ++x)
                        groundOutside += !inFrame(x, y) && qGray(card.pixel(x, y)) > 250;
                EXPECT_EQ(groundOutside, 0) << "side " << side;
                for (const QRectF &frame : barcodes[side]) {
                    const bool read = row.format != kNone && readSymbol(card.copy(pixelsOf(frame, dpi)), row.format);
                    EXPECT_TRUE(read || !before[index]) << "barcode " << index;
                    ++index;
                }
                if (dpi != 150.0 || !row.besideAsBefore)
                    continue;
                const QImage earlier = QImage(earlierFile(QStringLiteral("reference/%1_%2.png").arg(name, side == 0 ? "front" : "back")))
                                           .convertToFormat(QImage::Format_RGB32);
                ASSERT_EQ(earlier.size(), card.size());
                EXPECT_EQ(unlike(card, earlier, 1, [&](int x, int y) { return !inFrame(x, y); }), 0) << "side " << side;
                // Modules whole pixels now, fractions before: the edges of a 2-D symbol's may lie a pixel further.
                if (row.barcodesAsBefore) {
                    EXPECT_LE(unlike(card, earlier, 2, inFrame), 12) << "side " << side;
                }
            }

            // The longer value of record 3: from the frame's corner on the ground the earlier build
            // gave it, over what lies beside, as large as it drew it where its modules were whole pixels.
            const QString third = PictureExport::batchPath(folder + QLatin1Char('/') + PictureExport::kBatchFolder, choice, 2);
            const Readers &longer = dpi == 72.0 ? row.longer72 : row.longer150;
            index = 0;
            for (int side = 0; side < 2; ++side) {
                SCOPED_TRACE(row.longer);
                const QImage card = QImage(side == 0 ? PictureExport::Create_Front_Card_Path(third) : PictureExport::Create_Back_Card_Path(third))
                                        .convertToFormat(QImage::Format_RGB32);
                ASSERT_FALSE(card.isNull());
                for (const QRectF &frame : barcodes[side]) {
                    const bool bound = side == 1 || frame != barcodes[0].first();
                    const QRectF around = bound ? QRectF(frame.topLeft(), QSizeF(design.frame.width(), frame.height() * 1.5)) : frame;
                    const auto read = row.format == kNone ? std::nullopt : readSymbol(card.copy(pixelsOf(around, dpi) & card.rect()), row.format);
                    EXPECT_TRUE((read && (!bound || *read == row.longer)) || !longer[index]) << "barcode " << index;
                    ++index;
                }
                if (dpi != 150.0)
                    continue;
                const QImage earlier = QImage(earlierFile(QStringLiteral("reference/%1_longer_%2.png").arg(name, side == 0 ? "front" : "back")))
                                           .convertToFormat(QImage::Format_RGB32);
                ASSERT_EQ(earlier.size(), card.size());
                int ground = 0;
                const int lost = groundLost(card, earlier, &ground);
                EXPECT_LE(lost * 200, ground) << "side " << side << ": " << lost << " of " << ground;
                if (row.besideAsBefore) {
                    EXPECT_EQ(unlike(card, earlier, 1, [](int, int) { return true; }), 0) << "side " << side;
                }
            }
        }

        SheetRun sheets;
        sheets.layout.Set_values_From_Printer(QSizeF(595, 842), QMarginsF(20, 20, 20, 20));
        sheets.layout.label_width = static_cast<float>(design.frame.width());
        sheets.layout.label_hight = static_cast<float>(2 * design.frame.height());
        sheets.layout.Total_Label = sheets.records = 2;
        const QString pdf = resourcePath(name + QStringLiteral(".pdf"));
        PdfFileTarget target(pdf, sheetPageLayout(sheets.layout.paper), name);
        QString failure;
        ASSERT_TRUE(target.open(&failure));
        ASSERT_EQ(printSheets(design, sheets, apply, target, {}).delivered, 2);
        QProcess reader;
        reader.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        ASSERT_TRUE(reader.waitForFinished(60000));
        const QString text = QString::fromUtf8(reader.readAllStandardOutput()).remove(QLatin1Char(' '));
        // Both barcodes of each front and the back's: the stored one's texts too, not traced as shapes.
        EXPECT_EQ(text.count(QStringLiteral("HEADER")), 6);
        EXPECT_EQ(text.count(QStringLiteral("FOOTER")), 6);
        int values = 0;
        for (const QString &value : QString::fromUtf8(contentsOf(earlierFile(QStringLiteral("series/%1.txt").arg(series))))
                                        .split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            values += int(text.count(value));
        EXPECT_EQ(values, row.valuesAsText);
    }
}
