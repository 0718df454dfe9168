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
};

constexpr auto kNone = ZXing::BarcodeFormat::None;
constexpr Readers kNo{false, false, false}, kAll{true, true, true};
const EarlierDesign kDesigns[] = {
    {"bc_def_00", "S0", ZXing::BarcodeFormat::Code39, kNo, kAll, true, true, 6},
    {"bc_def_05", "S5", kNone, kNo, kNo, true, true, 6},
    {"bc_def_09", "S9", ZXing::BarcodeFormat::Code128, {false, false, true}, kAll, true, true, 6},
    {"bc_def_19", "S19", ZXing::BarcodeFormat::QRCode, kAll, kAll, true, true, 0},
    {"bc_def_20", "S20", ZXing::BarcodeFormat::PDF417, kNo, kAll, true, false, 0},
    {"bc_small72_01", "S1", kNone, kNo, kNo, false, false, 6},
    {"bc_small72_09", "S9", ZXing::BarcodeFormat::Code128, kNo, kNo, false, false, 6},
    {"bc_small72_09_by336b396", "S9", ZXing::BarcodeFormat::Code128, kNo, kNo, false, false, 6},
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
        writeFile(QStringLiteral("DataSet/%1.txt").arg(series), contentsOf(earlierFile(QStringLiteral("series/%1.txt").arg(series))));
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
            ASSERT_TRUE(PictureExport::Export_Batch_File(design, choice, folder, 2, apply, {}).error.isEmpty());
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
