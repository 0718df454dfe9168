#include "output/SheetPrinting.h"

#include "../barcode/SymbolReader.h"
#include "fixtures/Pictures.h"
#include "fixtures/StoredPictures.h"
#include "fixtures/TestSupport.h"

#include "barcode/BarcodeGenerator.h"
#include "barcode/BarcodeSettings.h"
#include "document/SKTBarcode.h"
#include "core/ImageHelpers.h"

#include "document/SKTImage.h"
#include "document/SKTText.h"
#include "document/Shape_Control.h"

#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <stdexcept>

#include <sys/file.h>
#include <unistd.h>

namespace {

const QRectF kCard(0, 0, 200, 100);

// A disk that fills up after so many bytes.
std::atomic<qint64> g_bytesLeft{0};
ssize_t fillingWrite(int fd, const void *data, size_t size)
{
    if (qint64(size) > g_bytesLeft.load()) {
        errno = ENOSPC;
        return -1;
    }
    g_bytesLeft -= qint64(size);
    return ::write(fd, data, size);
}
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
        PdfFileTarget target(pdf(), sheetPageLayout(sheets.layout.paper), QStringLiteral("Cards"));
        RunReport report;
        if (!target.open(&report.failure))
            return report;
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
        // The run's applier is the one card's: each cell is given its values as record 0.
        {"unbound, the one card in every cell", {twoByTwo(3), -1}, {{"Guest 1", "Guest 1", "Guest 1"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const RunReport report = print(c.run);
        ASSERT_TRUE(report.succeeded()) << report.closing({}, {}, {}, false).text().toStdString();
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

TEST_F(SheetPrintingTest, CopiesPrintEverySheetAgainInOrderAndCountEveryCard)
{
    const QStringList first{"Guest 1", "Guest 2", "Guest 3", "Guest 4"};
    const QStringList last{"Guest 5", "Guest 6"};
    const QStringList card{"Guest 1", "Guest 1", "Guest 1"};
    const struct {
        const char *what;
        SheetRun run;
        QList<QStringList> pages;
        int applied; // records given their values, in all copies
    } cases[] = {
        {"one copy", {twoByTwo(6), 6, 1, 0, 1}, {first, last}, 6},
        {"three copies of two sheets, collated", {twoByTwo(6), 6, 1, 0, 3}, {first, last, first, last, first, last}, 18},
        {"one sheet is drawn once and printed three times", {twoByTwo(2), 2, 1, 0, 3},
         {{"Guest 1", "Guest 2"}, {"Guest 1", "Guest 2"}, {"Guest 1", "Guest 2"}}, 2},
        {"both sides, two copies", {twoByTwo(6, "BOTH"), 6, 1, 0, 2}, {first, last, first, last}, 12},
        {"unbound, two copies", {twoByTwo(3), -1, 1, 0, 2}, {card, card}, 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::atomic<int> applied{0};
        const RecordApplier counting = [&](int record, GraphicList &objects) {
            ++applied;
            return guestOf(record, objects);
        };
        const RunReport report = print(c.run, counting);
        ASSERT_TRUE(report.succeeded()) << report.closing({}, {}, {}, false).text().toStdString();
        EXPECT_EQ(guestsByPage(), c.pages);
        // Counted per side drawn: a card of both sides is applied twice.
        EXPECT_EQ(applied, c.applied * (c.run.layout.bothSides() ? 2 : 1));
        const int cards = std::min(c.run.layout.Total_Label, c.run.records < 0 ? 1 << 30 : c.run.records);
        EXPECT_EQ(total, cards * c.run.copies);
        EXPECT_EQ(current, double(total));
        // A copy's sheet is the first copy's, pixel for pixel.
        const int sheets = int(c.pages.size()) / c.run.copies;
        if (c.run.copies > 1) {
            EXPECT_EQ(page(1 + sheets), page(1));
        }
    }

    // Stop, asked while the second copy draws its records: nothing is printed.
    ASSERT_TRUE(QFile::remove(pdf()));
    stop = false;
    std::atomic<int> applied{0};
    const RecordApplier stopping = [&](int record, GraphicList &objects) {
        if (++applied == 8)
            stop = true;
        return guestOf(record, objects);
    };
    const RunReport report = print({twoByTwo(6), 6, 1, 0, 3}, stopping);
    EXPECT_TRUE(report.stopped);
    EXPECT_LT(current, 18.0);
    EXPECT_FALSE(QFileInfo::exists(pdf()));
}

// Sheets painted into a small picture and dropped; sheet `failAt` (from 1, over every copy) fails.
class DroppedSheets : public SheetTarget {
public:
    explicit DroppedSheets(int failAt) : m_failAt(failAt), m_sheet(8, 8, QImage::Format_ARGB32) {}
    QPainter *beginSheet(QString *error) override
    {
        if (++m_sheets == m_failAt) {
            *error = QStringLiteral("The printer ran out of paper.");
            return nullptr;
        }
        m_painter.begin(&m_sheet);
        return &m_painter;
    }
    bool endSheet(QString *) override { return m_painter.end(); }
    bool finish(QString *) override { return true; }
    void abandon() override {}

private:
    int m_failAt;
    int m_sheets = 0;
    QImage m_sheet;
    QPainter m_painter;
};

TEST_F(SheetPrintingTest, TheClosingReportCountsEveryCardOfEveryCopy)
{
    const struct {
        const char *what;
        int copies, cards;
        double stopAt;   // cards printed, over every copy, when Stop is asked; 0: never
        int failAt;      // the sheet that fails, over every copy; 0: none
        int recordFails; // a record (from 0) that does not take its values; -1: none
        QString says;
    } cases[] = {
        {"a stop in the first of 999 copies", 999, 1000, 8, 0, -1,
         "Stopped before all cards were printed.\n\n0 of 999000 cards printed, 999000 not printed.\n\n"
         "Records not printed: 1-1000."},
        {"a stop in the second of 10 copies", 10, 3000, 3500, 0, -1,
         "Stopped before all cards were printed.\n\n0 of 30000 cards printed, 30000 not printed."},
        {"a failure in the third copy", 3, 1000, 0, 2 * 250 + 3, -1,
         "Not all cards were printed.\n\n0 of 3000 cards printed, 3000 not printed.\n\nRecords not printed: 1-1000.\n\n"
         "The printer ran out of paper."},
        // Nothing was printed: no record is said to lack its values.
        {"a stop after a record without its values", 1, 30, 8, 0, 1,
         "Stopped before all cards were printed.\n\n0 of 30 cards printed, 30 not printed.\n\nRecords not printed: 1-30."},
        {"a record without its values in three copies", 3, 1000, 0, 0, 1,
         "Not every record took all its values.\n\n3000 of 3000 cards printed, 0 not printed. 1 record did not take "
         "all its values.\n\nRecords without all their values: 2."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        stop = false;
        const RecordApplier apply = [&](int record, GraphicList &objects) {
            if (c.stopAt > 0 && current >= c.stopAt)
                stop = true;
            RecordOutcome outcome = guestOf(record, objects);
            if (record == c.recordFails)
                outcome.fail(QStringLiteral("no value"));
            return outcome;
        };
        DroppedSheets target(c.failAt);
        const RunReport report = printSheets(design, {twoByTwo(c.cards), c.cards, 1, 0, c.copies}, apply, target, counters);
        EXPECT_TRUE(report.closing({}, QStringLiteral("cards"), QStringLiteral("printed"), false).text().startsWith(c.says))
            << report.closing({}, QStringLiteral("cards"), QStringLiteral("printed"), false).text().toStdString();
        // As the progress counts them; the card whose sheet failed is counted there, not here.
        EXPECT_EQ(report.delivered, int(current) - (c.failAt > 0 ? 1 : 0));
        EXPECT_GE(report.delivered, c.failAt > 0 ? 2 * c.cards : 0);
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

TEST_F(SheetPrintingTest, SymbolsArePrintedAsShapesThatADecoderReadsWithTheirTextsAsText)
{
    const struct {
        const char *symbology;
        ZXing::BarcodeFormat format;
        QStringList texts; // of the first card
    } symbols[] = {{"Code 128", ZXing::BarcodeFormat::Code128, {"HEADER", "CARD-1", "FOOTER"}},
                   {"QR Code", ZXing::BarcodeFormat::QRCode, {"HEADER", "FOOTER"}}};
    for (const auto &symbol : symbols) {
        SCOPED_TRACE(symbol.symbology);
        auto code = std::make_shared<SKTBarcode>();
        code->barcode_font_index = int(Barcode_Symbology_Titles().indexOf(QLatin1String(symbol.symbology)));
        code->linear_or_2d = symbol.format == ZXing::BarcodeFormat::QRCode ? 1 : 0;
        code->dpi_val_index = int(Barcode_DPI_Titles().indexOf(QStringLiteral("300")));
        // The frame of the symbol as the settings window hands it over.
        code->setBounds(QRectF(QPointF(5, 5), imageSizeInPoints(Barcode_Image_For_Graphic(*code, QStringLiteral("CARD-1")))));
        design.front.graphics = {code};
        // A picture alone is traced whole; with the drawing it was made from, its texts stay text.
        QList<QImage> sheets;
        for (const bool drawingKept : {false, true}) {
            const RecordApplier codes = [drawingKept](int record, GraphicList &objects) {
                const QString value = QStringLiteral("CARD-%1").arg(record + 1);
                if (drawingKept)
                    Set_Record_Barcode(*objects.first(), value);
                else
                    objects.first()->Set_Barcode_image(Barcode_Image_For_Graphic(*objects.first(), value));
                return RecordOutcome{};
            };
            ASSERT_TRUE(print({twoByTwo(2), 2}, codes).succeeded());
            EXPECT_EQ(run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf()}).count(QLatin1Char('\n')), 2)
                << "no picture, only its heading";
            const QString text = run(QStringLiteral("pdftotext"), {pdf(), QStringLiteral("-")});
            for (const QString &line : symbol.texts)
                EXPECT_EQ(text.contains(line), drawingKept) << line.toStdString();
            sheets << page(1, 288);
            for (int cell = 0; cell < 2; ++cell) {
                const QRectF place = twoByTwo(2).cellPlace(1, cell + 1, kCard.size()).front;
                const QImage card = sheets.last().copy(QRectF(place.topLeft() * 4, place.size() * 4).toRect());
                EXPECT_EQ(readSymbol(card, symbol.format), QStringLiteral("CARD-%1").arg(cell + 1).toLatin1()) << cell;
            }
        }
        // The texts stand where the picture had them: the two sheets differ only along glyph edges.
        EXPECT_TRUE(sameInk(sheets[0], sheets[1], 0.05));
    }
}

TEST_F(SheetPrintingTest, ADesignsOwnBarcodeKeepsItsTextsAsTextWhereItsPictureIsOfItsOwnValue)
{
    const struct {
        const char *pictured; // the value the object's picture shows
        bool asText;
    } rows[] = {{"OWN-1", true}, {"OTHER-2", false}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.pictured);
        auto code = std::make_shared<SKTBarcode>();
        code->barcode_font_index = int(Barcode_Symbology_Titles().indexOf(QStringLiteral("Code 128")));
        code->setBounds(QRectF(5, 5, 60, 60));
        code->linear_font_val = QStringLiteral("OWN-1");
        code->Set_Barcode_image(Barcode_Image_For_Graphic(*code, QLatin1String(row.pictured)));
        Attach_Barcode_Drawing(*code);
        design.front.graphics = {code};
        ASSERT_TRUE(print({twoByTwo(1), -1}).succeeded());
        EXPECT_EQ(run(QStringLiteral("pdftotext"), {pdf(), QStringLiteral("-")}).contains(QLatin1String(row.pictured)),
                  row.asText);
    }
}

// A small Royal Mail barcode an earlier build stored at 72 dpi, its header over its ascenders: the PDF
// prints the stored bars whole, the ascenders as tall as stored, and the texts as text.
TEST_F(SheetPrintingTest, AStoredBarcodesBarsPrintAsStoredWhereItsTextsOverlapThem)
{
    auto code = std::make_shared<SKTBarcode>();
    code->barcode_font_index = int(Barcode_Symbology_Titles().indexOf(QStringLiteral("Royal Mail Barcode (RM4SCC / CBC)")));
    code->dpi_val_index = int(Barcode_DPI_Titles().indexOf(QStringLiteral("72")));
    code->linear_width_val = 10;
    code->linear_height_val = 0.3f;
    code->linear_font_val = QStringLiteral("SN34RD1A");
    QImage stored(sourceTestsPath() + QStringLiteral("barcode/pictures/royal-mail-72dpi-earlier.png"));
    ASSERT_FALSE(stored.isNull());
    setImageSizeInPoints(stored, imageSizeInPoints(stored));
    const QSizeF size = imageSizeInPoints(stored);
    code->setBounds(QRectF(QPointF(), size));
    code->Set_Barcode_image(stored);
    Attach_Barcode_Drawing(*code);
    code->prepareVectorDrawing();
    {
        QPdfWriter writer(pdf());
        writer.setResolution(72);
        writer.setPageSize(QPageSize(size, QPageSize::Point));
        writer.setPageMargins(QMarginsF());
        QPainter painter(&writer);
        code->drawContentsInView(painter, false);
    }
    // Four pixels a stored pixel, each read at its middle.
    const QString page = dir.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("288"), QStringLiteral("-png"),
                                     QStringLiteral("-singlefile"), pdf(), page});
    const QImage printed = QImage(page + QStringLiteral(".png")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(printed.isNull());
    const QImage was = stored.convertToFormat(QImage::Format_ARGB32);
    const auto dark = [](const QImage &picture, int x, int y, int scale) {
        const QRgb pixel = picture.pixel(std::min(picture.width() - 1, x * scale + scale / 2), std::min(picture.height() - 1, y * scale + scale / 2));
        return qAlpha(pixel) > 128 && qGray(pixel) < 128;
    };
    // The pixels of the bars' columns, up from the tracker row that every bar crosses, that are dark
    // in the stored picture and light in print: where texts overlap the bars, they print too.
    int tracker = 0, most = 0;
    for (int y = 0; y < was.height(); ++y) {
        int count = 0;
        for (int x = 0; x < was.width(); ++x)
            count += dark(was, x, y, 1);
        if (count > most)
            most = count, tracker = y;
    }
    int bars = 0, inked = 0, lost = 0;
    for (int x = 0; x < was.width(); ++x) {
        if (!dark(was, x, tracker, 1))
            continue;
        ++bars;
        for (int y = 0; y <= tracker; ++y) {
            inked += dark(was, x, y, 1);
            lost += dark(was, x, y, 1) && !dark(printed, x, y, 4);
        }
    }
    EXPECT_GT(bars, 20);
    // Glyph edges drawn as text differ a little from the stored ones'.
    EXPECT_LE(lost * 8, inked) << lost << " of " << inked;
    const QString text = run(QStringLiteral("pdftotext"), {pdf(), QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QLatin1String("HEADER")) && text.contains(QLatin1String("SN34RD1A"))) << text.toStdString();
}

TEST_F(SheetPrintingTest, APdfTakesItsPlaceOnlyWholeAndAFailureOrStopLeavesTheOldOne)
{
    // What earlier runs left: a good PDF, a part of a run whose process is gone and one that another
    // run still writes, and so holds locked.
    ASSERT_TRUE(print({twoByTwo(2), 2}).succeeded());
    const QByteArray old = [&] {
        QFile file(pdf());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    QProcess ended;
    ended.start(QStringLiteral("true"));
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 endedId = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    // Leftovers of prints of this same file: a killed one's, and one a second print holds.
    const QString dead = dir.filePath(QStringLiteral(".sheets.pdf.part-%1-a1B2c3").arg(endedId));
    const QString running = dir.filePath(QStringLiteral("sheets.pdf.saving-a1B2c3"));
    for (const QString &path : {dead, running}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QFile held(running);
    ASSERT_TRUE(held.open(QIODevice::ReadWrite));
    ASSERT_EQ(::flock(held.handle(), LOCK_EX), 0);

    const struct {
        const char *what;
        qint64 diskBytes; // -1: room enough
        bool stops;
        QString failure;
        bool folderPut = false; // while the sheets are drawn, in the file's place
    } cases[] = {
        {"a disk full at the start", 1000, false, "There is no space left on the disk."},
        {"a disk full on a later sheet", 60'000, false, "There is no space left on the disk."},
        {"a stop", -1, true, ""},
        {"a folder put in the file's place", -1, false, QStringLiteral("%1 is a folder, not a file.").arg(pdf()), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        g_bytesLeft = c.diskBytes;
        const platform::WriteFunction system =
            c.diskBytes >= 0 ? platform::setSafeWriteFunction(&fillingWrite) : platform::setSafeWriteFunction(nullptr);
        const RecordApplier stopping = [&](int record, GraphicList &objects) {
            if (c.stops && record == 8)
                stop = true;
            if (c.folderPut && record == 8)
                (void)(QFile::rename(pdf(), pdf() + QStringLiteral(".kept")) && QDir().mkdir(pdf()));
            return guestOf(record, objects);
        };
        stop = false;
        const RunReport report = print({twoByTwo(400), 400}, stopping);
        platform::setSafeWriteFunction(system);
        EXPECT_FALSE(report.succeeded());
        EXPECT_EQ(report.failure, c.failure);
        EXPECT_EQ(report.stopped, c.stops);
        if (c.folderPut) {
            // Found when the file goes into place: every sheet was drawn, none printed, and the user is told.
            EXPECT_TRUE(report.closing({}, QStringLiteral("cards"), QStringLiteral("printed"), false).text().contains(c.failure));
            ASSERT_TRUE(QDir().rmdir(pdf()) && QFile::rename(pdf() + QStringLiteral(".kept"), pdf()));
        } else {
            EXPECT_LT(report.delivered, 400) << "the run ends when it fails, not after the last sheet";
        }
        QFile file(pdf());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("sheets.pdf.")),
                  QStringList{QFileInfo(running).fileName()});
    }
    EXPECT_FALSE(QFileInfo::exists(dead));
    EXPECT_TRUE(QFileInfo::exists(running)) << "its writer holds it";

    PdfFileTarget nowhere(dir.filePath(QStringLiteral("missing/sheets.pdf")), sheetPageLayout(QSizeF(595, 842)), {});
    QString refused;
    EXPECT_FALSE(nowhere.open(&refused));
    EXPECT_EQ(refused, QStringLiteral("The folder %1 cannot be written.").arg(dir.filePath(QStringLiteral("missing"))));
}

} // namespace
