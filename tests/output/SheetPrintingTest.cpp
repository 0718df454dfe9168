#include "output/SheetPrinting.h"

#include "../barcode/SymbolReader.h"
#include "fixtures/TestSupport.h"

#include "barcode/BarcodeGenerator.h"
#include "barcode/BarcodeSettings.h"
#include "document/SKTBarcode.h"

#include "document/SKTImage.h"
#include "document/SKTText.h"
#include "document/Shape_Control.h"

#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const QRectF kCard(0, 0, 200, 100);
const QPointF kRedBlock(170, 75); // the centre of the red block on the front

SKTGraphicPtr block(const QRectF &bounds, const QColor &colour)
{
    auto shape = std::make_shared<Shape_Control>();
    shape->setBounds(bounds);
    shape->setFillColor(colour);
    shape->setDrawingFill(true);
    return shape;
}

// A front with a text that shows "Guest <record + 1>" when bound, "Typed" when not, and a red block;
// a back with a blue block.
DesignSnapshot guestCard()
{
    auto text = std::make_shared<SKTText>();
    text->setBounds(QRectF(10, 10, 130, 30));
    text->Text_Value = QStringLiteral("Typed");
    DesignSnapshot design;
    design.front.graphics = {text, block(QRectF(150, 60, 40, 30), Qt::red)};
    design.back.graphics = {block(QRectF(10, 10, 180, 80), Qt::blue)};
    design.frame = kCard;
    return design;
}

RecordOutcome guestOf(int record, GraphicList &objects)
{
    if (record == 2 && objects.size() == 2 && objects.at(0)->Text_Value == QLatin1String("Typed:fail"))
        throw std::runtime_error("broken record");
    for (const SKTGraphicPtr &object : objects)
        if (auto *text = dynamic_cast<SKTText *>(object.get())) {
            text->Text_Value = QStringLiteral("Guest %1").arg(record + 1);
            text->contents_val.reset();
        }
    return {};
}

// Two rows of two 200 × 100 cells with 10 point gaps from the top left of an A4 paper.
Print_Sheet_Layout twoByTwo(int total, const char *side = "F")
{
    Print_Sheet_Layout layout;
    layout.Set_values_From_Printer(QSizeF(595, 842), QMarginsF(20, 20, 20, 20));
    layout.Print_Card_Side = QLatin1String(side);
    layout.Print_Row = layout.Print_Col = 2;
    layout.label_width = 200;
    layout.label_hight = layout.bothSides() ? 200 : 100;
    layout.horz_mar = layout.vert_mar = 10;
    layout.Total_Label = total;
    return layout;
}

QString run(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

class SheetPrintingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *tool : {"pdftotext", "pdftoppm", "pdfimages"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                GTEST_SKIP() << tool << " (poppler-utils) is not installed";
    }

    RunReport print(const SheetRun &sheets, const RecordApplier &apply = guestOf)
    {
        QPdfWriter writer(pdf());
        writer.setPageLayout(sheetPageLayout(sheets.layout.paper));
        PagedDeviceTarget target(writer);
        return printSheets(design, sheets, apply, target, counters);
    }
    QString pdf() const { return dir.filePath(QStringLiteral("sheets.pdf")); }
    // The text of each page, the cards' names in the order read.
    QList<QStringList> guestsByPage() const
    {
        QList<QStringList> pages;
        for (const QString &page : run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf(), QStringLiteral("-")})
                                       .split(QLatin1Char('\f'), Qt::SkipEmptyParts)) {
            QStringList names;
            static const QRegularExpression name(QStringLiteral("Guest \\d+|Typed|Invalid Data"));
            for (auto match = name.globalMatch(page); match.hasNext();)
                names << match.next().captured();
            pages << names;
        }
        return pages;
    }
    QImage page(int number, int dpi = 72) const
    {
        const QString prefix = dir.filePath(QStringLiteral("page"));
        run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
                                         QStringLiteral("-f"), QString::number(number), QStringLiteral("-singlefile"),
                                         pdf(), prefix});
        return QImage(prefix + QStringLiteral(".png"));
    }

    AppFixture app;
    QTemporaryDir dir;
    DesignSnapshot design = guestCard();
    std::atomic<int> total{0};
    std::atomic<double> current{0};
    std::atomic<bool> stop{false};
    RunCounters counters{&total, &current, &stop};
};

TEST_F(SheetPrintingTest, EachCellPrintsTheRecordItsSheetAndPlaceGive)
{
    const QStringList first{"Guest 1", "Guest 2", "Guest 3", "Guest 4"};
    const QStringList second{"Guest 5", "Guest 6", "Guest 7", "Guest 8"};
    const QStringList last{"Guest 9", "Guest 10"};
    const struct {
        const char *what;
        SheetRun run;
        QList<QStringList> pages;
    } cases[] = {
        {"ten records on three sheets", {twoByTwo(10), 10}, {first, second, last}},
        {"a total past the records leaves cells blank", {twoByTwo(12), 10}, {first, second, last}},
        {"a sheet alone holds its own records", {twoByTwo(10), 10, 2, 2}, {second}},
        {"unbound, the design in every cell", {twoByTwo(3), -1}, {{"Typed", "Typed", "Typed"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const RunReport report = print(c.run);
        ASSERT_TRUE(report.succeeded()) << report.summary({}, {}).toStdString();
        EXPECT_EQ(guestsByPage(), c.pages);
        // Each card at its place on the first sheet, nothing between them.
        const QImage sheet = page(1);
        ASSERT_EQ(sheet.size(), QSize(595, 842));
        for (int cell = 0; cell < c.pages.first().size(); ++cell) {
            const PrintCellPlace place = c.run.layout.cellPlace(cell / 2 + 1, cell % 2 + 1, kCard.size());
            EXPECT_EQ(sheet.pixelColor((place.front.topLeft() + kRedBlock).toPoint()), QColor(Qt::red)) << cell;
        }
        EXPECT_EQ(sheet.pixelColor(225, 115), QColor(Qt::white));
    }
}

TEST_F(SheetPrintingTest, BothSidesPrintTheBackBesideTheFront)
{
    const RunReport report = print({twoByTwo(4, "BOTH"), 4});
    ASSERT_TRUE(report.succeeded());
    const QImage sheet = page(1);
    const PrintCellPlace place = twoByTwo(4, "BOTH").cellPlace(2, 2, kCard.size());
    EXPECT_EQ(sheet.pixelColor((place.front.topLeft() + kRedBlock).toPoint()), QColor(Qt::red));
    EXPECT_EQ(sheet.pixelColor(place.back.center().toPoint()), QColor(Qt::blue));
    EXPECT_EQ(place.back.top(), place.front.bottom());
}

TEST_F(SheetPrintingTest, ACardThatCannotBeDrawnSaysSoInItsCellAndIsCounted)
{
    static_cast<SKTText *>(design.front.graphics.first().get())->Text_Value = QStringLiteral("Typed:fail");
    const RunReport report = print({twoByTwo(4), 4});
    EXPECT_EQ(report.failedRecords, QList<int>{2});
    QStringList names = guestsByPage().value(0);
    names.sort();
    EXPECT_EQ(names, (QStringList{"Guest 1", "Guest 2", "Guest 4", "Invalid Data"}));
}

TEST_F(SheetPrintingTest, NoCardsBeginNoJob)
{
    const RunReport report = print({twoByTwo(0), 10});
    EXPECT_EQ(report.failure, SheetRun::kNothingToPrint);
    EXPECT_TRUE(guestsByPage().isEmpty());
}

TEST_F(SheetPrintingTest, APhotoOnEveryCardIsStoredOnce)
{
    QImage photo(300, 200, QImage::Format_RGB32);
    photo.fill(QColor(30, 120, 200));
    auto picture = std::make_shared<SKTImage>(QPointF(), photo);
    picture->setBounds(QRectF(140, 5, 55, 40));
    design.front.graphics.prepend(picture);
    design.loadPictures();
    ASSERT_TRUE(print({twoByTwo(8), 8}).succeeded());
    // pdfimages lists every use of a picture, with the number of the object it draws.
    const QStringList uses = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf()})
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                 .mid(2);
    QSet<QString> objects;
    for (const QString &use : uses)
        objects << use.simplified().section(QLatin1Char(' '), 10, 10);
    EXPECT_EQ(uses.size(), 8);
    EXPECT_EQ(objects.size(), 1);
}

TEST_F(SheetPrintingTest, SymbolsArePrintedAsShapesThatADecoderReads)
{
    const struct {
        const char *symbology;
        ZXing::BarcodeFormat format;
    } symbols[] = {{"Code 128", ZXing::BarcodeFormat::Code128}, {"QR Code", ZXing::BarcodeFormat::QRCode}};
    for (const auto &symbol : symbols) {
        SCOPED_TRACE(symbol.symbology);
        auto code = std::make_shared<SKTBarcode>();
        code->barcode_font_index = int(Barcode_Symbology_Titles().indexOf(QLatin1String(symbol.symbology)));
        code->linear_or_2d = symbol.format == ZXing::BarcodeFormat::QRCode ? 1 : 0;
        code->dpi_val_index = int(Barcode_DPI_Titles().indexOf(QStringLiteral("300")));
        code->setBounds(QRectF(5, 5, 60, 60));
        design.front.graphics = {code};
        const RecordApplier codes = [](int record, GraphicList &objects) {
            objects.first()->Set_Barcode_image(
                Barcode_Image_For_Graphic(*objects.first(), QStringLiteral("CARD-%1").arg(record + 1)));
            return RecordOutcome{};
        };
        ASSERT_TRUE(print({twoByTwo(2), 2}, codes).succeeded());
        EXPECT_EQ(run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf()}).count(QLatin1Char('\n')), 2)
            << "no picture, only its heading";
        const QImage sheet = page(1, 288);
        for (int cell = 0; cell < 2; ++cell) {
            const QRectF place = twoByTwo(2).cellPlace(1, cell + 1, kCard.size()).front;
            const QImage card = sheet.copy(QRectF(place.topLeft() * 4, place.size() * 4).toRect());
            EXPECT_EQ(readSymbol(card, symbol.format), QStringLiteral("CARD-%1").arg(cell + 1).toLatin1()) << cell;
        }
    }
}

} // namespace
