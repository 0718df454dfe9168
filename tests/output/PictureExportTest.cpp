#include "output/PictureExport.h"
#include "output/SheetPrinting.h"

#include "../barcode/SymbolReader.h"
#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"

#include "barcode/BarcodeGenerator.h"
#include "barcode/BarcodeSettings.h"
#include "canvas/SKTRenderingView.h"
#include "core/AppState.h"
#include "core/ImageEffectCache.h"
#include "datasource/SeriesStore.h"
#include "document/DesignFile.h"
#include "document/SKTImage.h"
#include "document/SKTBarcode.h"
#include "document/SKTText.h"
#include "document/Shape_Control.h"
#include "platform/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

#include <sys/stat.h>
#include <cmath>

#include <sched.h>

namespace {

const QRectF kFrame(0, 0, 243, 153);

// The series the tests bind: each record's value by series name, as the record engine gives it.
struct Series {
    QString name;
    QStringList values;
};

// A stand-in for the record engine: bound texts take the record's value, bound barcodes their
// symbol of it; a value "FAIL" fails its object.
RecordApplier applierOf(const QList<Series> &series)
{
    return [series](int record, GraphicList &objects) {
        RecordOutcome outcome;
        for (const SKTGraphicPtr &object : objects) {
            for (const Series &one : series) {
                if (object->binding.batch_list_name != one.name)
                    continue;
                const QString value = record >= 0 && record < one.values.size() ? one.values.at(record) : QString();
                if (value == QLatin1String("FAIL")) {
                    outcome.ok = false;
                    outcome.failures << QStringLiteral("%1 has no value").arg(one.name);
                } else if (object->kind() == SKTGraphic::Kind::Barcode) {
                    object->Set_Barcode_image(Barcode_Image_For_Graphic(*object, value));
                } else if (auto *text = dynamic_cast<SKTText *>(object.get())) {
                    text->Text_Value = value;
                    text->contents_val.reset();
                }
            }
        }
        return outcome;
    };
}

SKTGraphicPtr boundText(const QString &series, const QRectF &bounds)
{
    auto text = std::make_shared<SKTText>();
    text->setBounds(bounds);
    text->Set_Data_source_type(1);
    text->Set_Batch_List_Name(series);
    return text;
}

SKTGraphicPtr filled(const QRectF &bounds, const QColor &colour)
{
    auto shape = std::make_shared<Shape_Control>();
    shape->setBounds(bounds);
    shape->setFillColor(colour);
    shape->setDrawingFill(true);
    return shape;
}

// A front with a bound text and a bound Code 128, a back with a blue block.
DesignSnapshot cardDesign()
{
    auto code = std::make_shared<SKTBarcode>();
    code->barcode_font_index = static_cast<int>(Barcode_Symbology_Titles().indexOf(QStringLiteral("Code 128")));
    code->dpi_val_index = static_cast<int>(Barcode_DPI_Titles().indexOf(QStringLiteral("300")));
    code->Set_Data_source_type(1);
    code->Set_Batch_List_Name(QStringLiteral("Codes"));
    code->setBounds(QRectF(20, 70, 200, 70));
    DesignSnapshot design;
    design.front.graphics = {boundText(QStringLiteral("Guests"), QRectF(10, 10, 200, 40)), code};
    design.back.graphics = {filled(QRectF(100, 60, 50, 50), Qt::blue)};
    design.frame = kFrame;
    return design;
}

const QList<Series> kGuests{{QStringLiteral("Guests"), {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}},
                            {QStringLiteral("Codes"),
                             {QStringLiteral("CODE-A1"), QStringLiteral("CODE-B2"), QStringLiteral("CODE-C3")}}};

QStringList filesIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    return names;
}

// A side drawn directly with a record applied, at `dpi`: what an exported picture must show.
QImage drawnDirectly(const DesignSnapshot &design, bool back, int record, double dpi = 72)
{
    GraphicList copies = DesignSnapshot::copyOf(design.side(back ? 1 : 0).graphics);
    if (record >= 0)
        applierOf(kGuests)(record, copies);
    return SKTRenderingView::image_From_Card_Graphics(copies, false, design.side(back ? 1 : 0).face, 0, design.frame)
        .toImage(dpi)
        .convertToFormat(QImage::Format_ARGB32);
}

QImage readPicture(const QString &path)
{
    return QImage(path).convertToFormat(QImage::Format_ARGB32);
}

class PictureExportTest : public ::testing::Test {
protected:
    AppFixture app;
    QTemporaryDir dir;
    std::atomic<int> total{0};
    std::atomic<double> current{0};
    std::atomic<bool> stop{false};
    RunCounters counters{&total, &current, &stop};
    DesignSnapshot design = cardDesign();

    QString folder() const { return dir.filePath(PictureExport::kBatchFolder); }
    ExportReport batch(const ExportChoice &choice, int count = 3)
    {
        return PictureExport::Export_Batch_File(design, choice, dir.path(), count, applierOf(kGuests), counters);
    }
};

} // namespace

TEST_F(PictureExportTest, ASeriesBoundToTheFrontExportsOneDistinctPicturePerRecord)
{
    // Another program's file in the folder stays; the run's own names are written again.
    QDir().mkpath(folder());
    QFile foreign(QDir(folder()).filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("mine");
    foreign.close();

    for (int run = 0; run < 2; ++run) {
        const ExportReport report = batch(ExportChoice{QStringLiteral("F"), false, QStringLiteral("PNG"), 72});
        EXPECT_TRUE(report.succeeded()) << report.message().toStdString();
        EXPECT_EQ(report.message(), PictureExport::kExported);
        EXPECT_EQ(report.path, folder());
        EXPECT_EQ(filesIn(folder()), (QStringList{"Card_1.PNG", "Card_2.PNG", "Card_3.PNG", "notes.txt"}));
        EXPECT_EQ(total, 3);
        EXPECT_EQ(current, 3.0);
    }
    QList<QImage> pictures;
    for (int record = 0; record < 3; ++record) {
        const QImage picture = readPicture(QDir(folder()).filePath(QStringLiteral("Card_%1.PNG").arg(record + 1)));
        EXPECT_EQ(picture, drawnDirectly(design, false, record)) << record;
        EXPECT_FALSE(pictures.contains(picture)) << "record " << record << " repeats an earlier picture";
        pictures << picture;
    }
    // Each record's barcode, read back from its file at 300 dpi by an independent decoder.
    const ExportReport report = batch(ExportChoice{QStringLiteral("F"), false, QStringLiteral("PNG"), 300});
    ASSERT_TRUE(report.succeeded());
    for (int record = 0; record < 3; ++record) {
        const QImage picture = QImage(QDir(folder()).filePath(QStringLiteral("Card_%1.PNG").arg(record + 1)));
        EXPECT_EQ(readSymbol(picture, ZXing::BarcodeFormat::Code128), kGuests[1].values[record].toLatin1());
    }
}

TEST_F(PictureExportTest, SidesGiveTheirFilesInOrderAndCombinedPicturesAreTwiceAsHigh)
{
    const struct {
        QString sides;
        bool combined;
        QStringList files; // of record 1; records 2 and 3 alike
        int heightFactor;
    } rows[] = {
        {"F", false, {"Card_1.PNG"}, 1},
        {"B", false, {"Card_1_Back.PNG"}, 1},
        {"BOTH", false, {"Card_1_Back.PNG", "Card_1.PNG"}, 1},
        {"BOTH", true, {"Card_1.PNG"}, 2},
        {"F", true, {"Card_1.PNG"}, 1}, // combining means nothing for one side
    };
    for (const auto &row : rows) {
        QDir(folder()).removeRecursively();
        const ExportReport report = batch(ExportChoice{row.sides, row.combined, QStringLiteral("PNG"), 72});
        ASSERT_TRUE(report.succeeded()) << row.sides.toStdString();
        QStringList expected;
        for (int record = 1; record <= 3; ++record)
            for (QString file : row.files)
                expected << file.replace(QStringLiteral("_1"), QStringLiteral("_%1").arg(record));
        expected.sort();
        EXPECT_EQ(filesIn(folder()), expected) << row.sides.toStdString() << row.combined;
        const QImage front = drawnDirectly(design, false, 1), back = drawnDirectly(design, true, 1);
        const QImage second = readPicture(QDir(folder()).filePath(row.files.last()).replace("_1", "_2"));
        ASSERT_EQ(second.height(), front.height() * row.heightFactor) << row.sides.toStdString();
        if (row.heightFactor == 2) {
            EXPECT_EQ(second.copy(0, 0, front.width(), front.height()), front) << "the front is the upper half";
            EXPECT_EQ(second.copy(0, front.height(), back.width(), back.height()), back);
        } else {
            EXPECT_EQ(second, row.sides == QLatin1String("B") ? back : front);
        }
    }
}

TEST_F(PictureExportTest, FilesHoldTheFormatTheirExtensionNamesAtTheChosenResolution)
{
    const struct {
        QString type;
        QByteArray format;
        double dpi;
        bool exact; // lossless: the pixels are those drawn at that resolution
    } rows[] = {
        {"TIFF", "tiff", 72, true}, {"PNG", "png", 300, true},  {"JPEG", "jpeg", 600, false},
        {"BMP", "bmp", 300, false}, {"png", "png", 600, true},
    };
    for (const auto &row : rows) {
        const QString path = dir.filePath(QStringLiteral("card.") + row.type);
        const ExportReport report =
            PictureExport::Export_Single_File(design, ExportChoice{QStringLiteral("F"), false, row.type, row.dpi}, path);
        ASSERT_TRUE(report.succeeded()) << report.message().toStdString();
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), row.format) << row.type.toStdString();
        const QImage picture = reader.read();
        const QSizeF scaled = kFrame.size() * (row.dpi / 72);
        const QSize pixels(int(std::floor(scaled.width())), int(std::floor(scaled.height())));
        EXPECT_EQ(picture.size(), pixels) << row.type.toStdString();
        EXPECT_NEAR(picture.dotsPerMeterX() * 0.0254, row.dpi, 0.5) << row.type.toStdString();
        const QImage drawn = drawnDirectly(design, false, -1, row.dpi);
        if (row.exact) {
            EXPECT_EQ(picture.convertToFormat(QImage::Format_ARGB32), drawn) << row.type.toStdString();
        }
    }
    EXPECT_EQ(PictureExport::Export_Single_File(design, ExportChoice{}, dir.filePath(QStringLiteral("card.xyz")))
                  .message()
                  .contains(QStringLiteral("No picture type")),
              true);
}

TEST_F(PictureExportTest, StopEndsAfterTheRecordUnderWayAndSaysSo)
{
    // The user's Stop, confirmed while record 3 of 10 is written.
    class StoppingSink : public PictureExport::PictureFileSink {
    public:
        using PictureFileSink::PictureFileSink;
        std::atomic<bool> *stop = nullptr;
        bool deliver(const RecordDrawing &drawing, std::any &prepared, QString *error) override
        {
            if (drawing.record == 2)
                stop->store(true);
            return PictureFileSink::deliver(drawing, prepared, error);
        }
    };
    QDir().mkpath(folder());
    const ExportChoice choice{QStringLiteral("F"), false, QStringLiteral("PNG"), 72};
    StoppingSink sink(choice, [&](int record) { return PictureExport::batchPath(folder(), choice, record); });
    sink.stop = &stop;
    ExportReport report;
    report.run = runRecords(design, 10, applierOf(kGuests), sink, counters);
    EXPECT_EQ(filesIn(folder()), (QStringList{"Card_1.PNG", "Card_2.PNG", "Card_3.PNG"}));
    EXPECT_TRUE(report.run.stopped);
    EXPECT_EQ(report.message(), QStringLiteral("Stopped before all frames were written.\n\n"
                                               "3 of 10 frames written, 7 not written.\n\n"
                                               "Records not written: 4-10."));
}

TEST_F(PictureExportTest, AFailedWriteStopsTheRunAndIsNeverASuccess)
{
    const ExportReport report = [&] {
        const ScopedFullDisk full(1);
        return batch(ExportChoice{QStringLiteral("F"), false, QStringLiteral("PNG"), 72}, 5);
    }();
    EXPECT_FALSE(report.succeeded());
    EXPECT_TRUE(report.message().startsWith(QStringLiteral("Not all frames were written.\n\n"
                                                           "1 of 5 frames written, 4 not written.\n\n"
                                                           "Records not written: 2-5.\n\n")))
        << report.message().toStdString();
    EXPECT_TRUE(report.message().contains(QStringLiteral("Card_2.PNG could not be written. There is no space left on the disk.")))
        << "the file and the reason are named";
    EXPECT_FALSE(QFileInfo::exists(QDir(folder()).filePath(QStringLiteral("Card_3.PNG"))));
}

TEST_F(PictureExportTest, ABatchThatCannotBeWrittenIsRefusedBeforeAnythingIsDrawnOrMade)
{
    // A folder where a picture goes: no user may put a file in its place, root neither.
    const auto inTheWay = [&](const char *name) {
        const QString path = QDir(folder()).filePath(QLatin1String(name));
        return std::pair{std::function<bool()>([path] { return QDir().mkpath(path); }),
                         QStringLiteral("%1 is a folder, not a file.").arg(path)};
    };
    const struct {
        const char *what;
        ExportChoice choice;
        std::pair<std::function<bool()>, QString> refusal; // what stands in the way, and what is said
        bool plainUser = false; // asked by a user whom permissions bind
        QString chosen = {};    // the folder chosen, when not the test's own
    } cases[] = {
        {"a front", ExportChoice{QStringLiteral("F"), false, QStringLiteral("PNG"), 72}, inTheWay("Card_4.PNG")},
        {"a back", ExportChoice{QStringLiteral("BOTH"), false, QStringLiteral("PNG"), 72}, inTheWay("Card_2_Back.PNG")},
        {"a combined picture", ExportChoice{QStringLiteral("BOTH"), true, QStringLiteral("JPEG"), 72},
         inTheWay("Card_5.JPEG")},
        {"a file where the batch's folder goes", ExportChoice{},
         {[&] { return QFile(folder()).open(QIODevice::WriteOnly); },
          QStringLiteral("%1 is a file, not a folder.").arg(folder())}},
        {"a link to nowhere where the batch's folder goes", ExportChoice{},
         {[&] { return QFile::link(dir.filePath(QStringLiteral("nowhere")), folder()); },
          QStringLiteral("%1 is a link to nothing, not a folder.").arg(folder())}},
        {"a folder that takes no new folders", ExportChoice{},
         {[&] { return ::chmod(QFile::encodeName(dir.path()).constData(), 0555) == 0; },
          QStringLiteral("The folder %1 could not be made: Permission denied.").arg(folder())},
         true},
        // Permissions let root make anything in these; their file systems take no folders.
        {"a file system that takes no folders", ExportChoice{},
         {[] { return true; }, QStringLiteral("The folder /proc/ZOLT Photo Frame could not be made: No such file or directory.")},
         false, QStringLiteral("/proc")},
        {"a file system that lets no one make folders", ExportChoice{},
         {[] { return true; },
          QStringLiteral("The folder /sys/ZOLT Photo Frame could not be made: %1.")
              .arg(::geteuid() == 0 ? "Operation not permitted" : "Permission denied")},
         false, QStringLiteral("/sys")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QDir(folder()).removeRecursively();
        QFile::remove(folder());
        ASSERT_TRUE(c.refusal.first());
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden);
        // Asked before the run, the check gives the run's own answer.
        const auto refused = [&] {
            const QString chosen = c.chosen.isEmpty() ? dir.path() : c.chosen;
            const ExportReport report =
                PictureExport::Export_Batch_File(design, c.choice, chosen, 5, applierOf(kGuests), counters);
            return PictureExport::batchProblem(c.choice, chosen, 5) == c.refusal.second &&
                   report.message() == c.refusal.second && report.run.delivered == 0;
        };
        EXPECT_TRUE(c.plainUser ? asPlainUser([&] { return refused() ? 0 : 1; }) == 0 : refused());
        EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList()) << "nothing was written";
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden), before) << "nor made";
    }
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    const QString single = dir.filePath(QStringLiteral("card.PNG"));
    ASSERT_TRUE(QDir().mkpath(single));
    EXPECT_EQ(PictureExport::Export_Single_File(design, ExportChoice{}, single).message(),
              QStringLiteral("%1 is a folder, not a file.").arg(single));
}

TEST_F(PictureExportTest, RecordsThatFailAreCountedAndNamedAndTheRunGoesOn)
{
    const QList<Series> series{Series{QStringLiteral("Guests"), {"A", "FAIL", "C", "FAIL"}}};
    const ExportReport report = PictureExport::Export_Batch_File(
        design, ExportChoice{QStringLiteral("F"), false, QStringLiteral("PNG"), 72}, dir.path(), 4, applierOf(series),
        counters);
    EXPECT_EQ(report.run.delivered, 4);
    EXPECT_EQ(report.run.failedRecords, (QList<int>{1, 3}));
    EXPECT_EQ(report.message(), QStringLiteral("Not every record took all its values.\n\n"
                                               "4 of 4 frames written, 0 not written. 2 records did not take all "
                                               "their values.\n\n"
                                               "Records without all their values: 2, 4.\n\n"
                                               "Record 2: Front: Guests has no value\nRecord 4: Front: Guests has no value"));
    EXPECT_EQ(filesIn(folder()).size(), 4);
}

TEST_F(PictureExportTest, APhotosEffectsAreMadeOncePerRunNotPerRecord)
{
    QImage photo(1600, 1200, QImage::Format_ARGB32);
    photo.fill(QColor(200, 120, 40));
    auto picture = std::make_shared<SKTImage>(QPointF(), photo);
    picture->setBounds(QRectF(150, 10, 80, 60));
    picture->sat_val = 1.4f;
    picture->blr_val = 3.0f;
    design.front.graphics.append(picture);
    const quint64 before = ImageEffectCache::sharedInstance().missCount();
    const ExportReport report = batch(ExportChoice{QStringLiteral("F"), false, QStringLiteral("PNG"), 150});
    ASSERT_TRUE(report.succeeded());
    EXPECT_EQ(ImageEffectCache::sharedInstance().missCount() - before, 1u);
}

TEST_F(PictureExportTest, PicturesAreCutToWholePixelsWithEveryEdgeOnTheCard)
{
    // Pixels of each card size at each resolution the sheet offers, worked out by hand.
    const struct {
        QSizeF card;
        QMap<int, QSize> pixels;
    } rows[] = {
        {{216, 144}, {{72, {216, 144}}, {300, {900, 600}}, {600, {1800, 1200}}}},
        {{360, 216}, {{72, {360, 216}}, {300, {1500, 900}}, {600, {3000, 1800}}}},
        {{216.5, 144.3}, {{72, {216, 144}}, {300, {902, 601}}, {600, {1804, 1202}}}},
    };
    for (const auto &row : rows) {
        design.frame = QRectF(QPointF(), row.card);
        design.front.graphics = {filled(design.frame, Qt::green)};
        design.back.graphics = {filled(design.frame, Qt::blue)};
        for (const int dpi : PictureExport::resolutions()) {
            SCOPED_TRACE(QStringLiteral("%1 x %2 at %3").arg(row.card.width()).arg(row.card.height()).arg(dpi).toStdString());
            ASSERT_TRUE(row.pixels.contains(dpi));
            for (const bool combined : {false, true}) {
                const QString path = dir.filePath(QStringLiteral("card.PNG"));
                const ExportChoice choice{combined ? QStringLiteral("BOTH") : QStringLiteral("F"), combined,
                                          QStringLiteral("PNG"), double(dpi)};
                ASSERT_TRUE(PictureExport::Export_Single_File(design, choice, path).succeeded());
                const QImage picture = QImage(path).convertToFormat(QImage::Format_ARGB32);
                const QSize expected = row.pixels.value(dpi);
                EXPECT_EQ(picture.size(), combined ? QSize(expected.width(), 2 * expected.height()) : expected);
                const int right = picture.width() - 1, bottom = picture.height() - 1;
                for (const QPoint corner : {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)})
                    EXPECT_EQ(qAlpha(picture.pixel(corner)), 255) << corner.x() << "," << corner.y();
            }
        }
    }
}

// A link in the batch's folder, of the program's naming, is replaced by the picture; a single file
// goes where the user's link leads, as a save does.
TEST_F(PictureExportTest, ALinkUnderACardsNameIsReplacedInTheBatchsFolderAndFollowedElsewhere)
{
    const ExportChoice choice{QStringLiteral("F"), false, QStringLiteral("PNG"), 72};
    QDir().mkpath(folder());
    const QString outside = dir.filePath(QStringLiteral("synced.PNG"));
    for (const bool single : {false, true}) {
        SCOPED_TRACE(single ? "a single file" : "a batch");
        const QString card = single ? dir.filePath(QStringLiteral("card.PNG")) : QDir(folder()).filePath(QStringLiteral("Card_1.PNG"));
        ASSERT_TRUE(writeFileBytes(outside, "old") && QFile::link(outside, card));
        ASSERT_TRUE(single ? PictureExport::Export_Single_File(design, choice, card).succeeded() : batch(choice, 1).succeeded());
        EXPECT_EQ(QFileInfo(card).isSymLink(), single);
        EXPECT_FALSE(QImage(card).isNull());
        EXPECT_EQ(fileBytes(outside) == "old", !single);
    }
}

TEST_F(PictureExportTest, NamesAsLongAsTheFolderTakesArePrintedSavedAndExported)
{
    // 250 bytes, the accented letters two each: a name the file system takes.
    const auto named = [](const QString &extension) {
        const QString start = QString(20, QChar(0xE9));
        return start + QString(250 - 40 - extension.size(), QLatin1Char('n')) + extension;
    };
    const struct {
        const char *what;
        QString path;
        std::function<QString(const QString &path)> write; // the reason it failed, empty when written
    } cases[] = {
        {"a printed PDF", dir.filePath(named(QStringLiteral(".pdf"))),
         [](const QString &path) {
             PdfFileTarget pdf(path, sheetPageLayout(QSizeF(595, 842)), QStringLiteral("Cards"));
             QString error;
             if (pdf.open(&error) && pdf.beginSheet(&error) && pdf.endSheet(&error))
                 pdf.finish(&error);
             return error;
         }},
        {"an exported picture", dir.filePath(named(QStringLiteral(".PNG"))),
         [&](const QString &path) { return PictureExport::Export_Single_File(design, ExportChoice{}, path).error; }},
        {"a design", dir.filePath(named(QStringLiteral(".zkse"))),
         [](const QString &path) {
             QString error;
             DesignFile::write(path, DesignFileContents(), &error);
             return error;
         }},
        {"a series", QDir(App().Data_Folder_Path).filePath(named(QStringLiteral(".txt"))),
         [](const QString &path) {
             return Write_Series_File(QFileInfo(path).completeBaseName(), QStringList{QStringLiteral("Ann")})
                        ? QString()
                        : QStringLiteral("not written");
         }},
    };
    QDir().mkpath(App().Data_Folder_Path);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(QFile::encodeName(QFileInfo(c.path).fileName()).size(), 250);
        EXPECT_EQ(c.write(c.path), QString());
        EXPECT_GT(QFileInfo(c.path).size(), 0);
        EXPECT_EQ(QDir(QFileInfo(c.path).path()).entryList(QDir::Files | QDir::Hidden).size(), 1)
            << "no temporary file is left";
        QFile::remove(c.path);
    }
}

TEST_F(PictureExportTest, ARecordsBarcodeDrawsItsTextsWhereItsWholePictureHasThem)
{
    // At the symbol's own resolution and at others, a record's symbol with its texts drawn apart
    // looks as the whole picture of the same value does: the two differ only along glyph edges.
    for (const int dpi : PictureExport::resolutions()) {
        SCOPED_TRACE(dpi);
        QList<QImage> sides;
        for (const bool apart : {false, true}) {
            GraphicList copies = DesignSnapshot::copyOf(design.front.graphics);
            SKTGraphic &code = *copies.at(1);
            code.header_val = QStringLiteral("HEADER");
            if (apart)
                Set_Record_Barcode(code, QStringLiteral("CODE-A1"));
            else
                code.Set_Barcode_image(Barcode_Image_For_Graphic(code, QStringLiteral("CODE-A1")));
            sides << SKTRenderingView::image_From_Card_Graphics(copies, false, design.front.face, 0, design.frame)
                         .toImage(dpi)
                         .convertToFormat(QImage::Format_ARGB32);
        }
        EXPECT_TRUE(sameInk(sides[0], sides[1], 0.05));
        if (dpi >= 300) {
            EXPECT_EQ(readSymbol(sides[1], ZXing::BarcodeFormat::Code128), QByteArray("CODE-A1"));
        }
    }
}


TEST(RecordLoop, PicturesHeldInFlightKeepToOneBudgetWhateverTheCores)
{
    // What records hold: their pictures' pixels, from the reading of their values until they are
    // handed over.
    class HeldPixels : public RecordSink {
    public:
        std::atomic<qint64> held{0}, most{0};
        std::atomic<int> applying{0}, mostApplying{0};
        QList<qint64> pixelsOf;
        bool wantsFront() const override { return true; }
        bool wantsBack() const override { return false; }
        std::any prepare(const RecordDrawing &) const override { return {}; }
        bool deliver(const RecordDrawing &drawing, std::any &, QString *) override
        {
            held -= pixelsOf.at(drawing.record);
            return true;
        }
    };
    DesignSnapshot design;
    design.frame = kFrame;
    // Each record's pixels: alike, or a first record of one pixel before camera photos, which the
    // loop once took as the measure of every record.
    const struct {
        const char *what;
        qint64 first, others;
    } runs[] = {{"large", 40LL << 20, 40LL << 20},
                {"medium", 10LL << 20, 10LL << 20},
                {"one pixel, then large", 1, 40LL << 20},
                {"none", 0, 0}};
    for (const auto &run : runs) {
        SCOPED_TRACE(run.what);
        const qint64 pixels = std::max(run.first, run.others);
        HeldPixels sink;
        sink.pixelsOf.fill(run.others, 24);
        sink.pixelsOf[0] = run.first;
        // Records without pictures run side by side: each after the first waits for a second beside
        // it as long as a busy machine may take.
        const bool sideBySide = pixels == 0 && QThread::idealThreadCount() > 1;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        std::mutex besideMutex;
        std::condition_variable beside;
        const RecordApplier photos = [&](int record, GraphicList &, const platform::PixelSpender &spend) {
            EXPECT_TRUE(spend(sink.pixelsOf.at(record)));
            sink.most = std::max(sink.most.load(), sink.held += sink.pixelsOf.at(record));
            sink.mostApplying = std::max(sink.mostApplying.load(), ++sink.applying);
            { const std::lock_guard lock(besideMutex); } // a waiter is either asleep or sees the count
            beside.notify_all();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (sideBySide && record > 0) {
                std::unique_lock lock(besideMutex);
                beside.wait_until(lock, giveUp, [&] { return sink.mostApplying >= 2; });
            }
            --sink.applying;
            return RecordOutcome{};
        };
        const RunReport report = runRecords(design, 24, photos, sink, {});
        EXPECT_EQ(report.delivered, 24);
        EXPECT_LE(sink.most, std::max(kPicturePixelsInFlight, pixels));
        if (sideBySide) {
            EXPECT_GT(sink.mostApplying, 1) << "records without pictures still run side by side";
        }
    }
}

TEST(RecordLoop, ASinkNeverHasMoreRecordsInFlightThanItSays)
{
    // In flight: from the start of a record's prepare() to the end of its deliver(), which waits for
    // the records the sink allows and would see one more if the loop let it start.
    class InFlight : public RecordSink {
    public:
        int limit = 0, expected = 0, count = 0;
        mutable int most = 0;
        mutable std::mutex lock;
        mutable std::condition_variable grown;
        mutable std::set<int> records;
        bool wantsFront() const override { return true; }
        bool wantsBack() const override { return false; }
        int recordsInFlight() const override { return limit; }
        std::any prepare(const RecordDrawing &drawing) const override
        {
            const std::lock_guard<std::mutex> guard(lock);
            if (drawing.record >= 0)
                records.insert(drawing.record);
            most = std::max(most, int(records.size()));
            grown.notify_all();
            return {};
        }
        bool deliver(const RecordDrawing &drawing, std::any &, QString *) override
        {
            std::unique_lock<std::mutex> guard(lock);
            const int after = std::min(expected, count - drawing.record);
            grown.wait_for(guard, std::chrono::seconds(60), [&] { return int(records.size()) >= after; });
            grown.wait_for(guard, std::chrono::milliseconds(5), [&] { return int(records.size()) > after; });
            records.erase(drawing.record);
            return true;
        }
    };
    DesignSnapshot design;
    design.frame = kFrame;
    // The loop waits for its first record, as it does for a real one.
    const RecordApplier firstSlow = [](int record, GraphicList &) {
        std::this_thread::sleep_for(std::chrono::milliseconds(record == 0 ? 5 : 0));
        return RecordOutcome{};
    };
    cpu_set_t all;
    ASSERT_EQ(::sched_getaffinity(0, sizeof all, &all), 0);
    const auto restore = qScopeGuard([&all] { ::sched_setaffinity(0, sizeof all, &all); });
    for (int cores = 1; cores <= std::min(3, CPU_COUNT(&all)); ++cores) {
        // Qt's thread count, and with it the loop's own two records a thread, follows the processors
        // this thread may use.
        cpu_set_t fewer;
        CPU_ZERO(&fewer);
        for (int cpu = 0; CPU_COUNT(&fewer) < cores; ++cpu)
            if (CPU_ISSET(cpu, &all))
                CPU_SET(cpu, &fewer);
        ASSERT_EQ(::sched_setaffinity(0, sizeof fewer, &fewer), 0);
        ASSERT_EQ(QThread::idealThreadCount(), cores);
        for (const int limit : {0, 1, 2, 3, 5}) {
            SCOPED_TRACE(QStringLiteral("%1 cores, at most %2").arg(cores).arg(limit).toStdString());
            InFlight sink;
            sink.limit = limit;
            sink.expected = limit > 0 ? std::min(limit, 2 * cores) : 2 * cores;
            sink.count = 10;
            EXPECT_EQ(runRecords(design, sink.count, firstSlow, sink, {}).delivered, sink.count);
            EXPECT_EQ(sink.most, sink.expected);
        }
    }
}
