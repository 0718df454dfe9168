#include "barcode/BarcodeTestSupport.h"

#include "barcode/BarcodeSettings.h"
#include "core/AppState.h"
#include "datasource/RecordBinding.h"
#include "document/SKTBarcode.h"
#include "document/SKTImage.h"
#include "document/SKTText.h"
#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <sys/stat.h>

#include <chrono>
#include <thread>

// A run's sources are read once into a value; applying a record writes its values into copies of a
// side's objects. Barcodes are read back by zxing-cpp, an independent decoder.

namespace {

QString seriesFile(const QString &name)
{
    QDir().mkpath(App().Data_Folder_Path);
    return QDir(App().Data_Folder_Path).filePath(name + QStringLiteral(".txt"));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

template <typename Kind>
std::shared_ptr<Kind> bound(int source, const QString &series = {}, int column = 0)
{
    auto graphic = std::make_shared<Kind>();
    graphic->_bounds = QRectF(10, 10, 120, 40);
    graphic->data_source_type = source;
    graphic->batch_list_name = series;
    graphic->excel_col_indx = column;
    return graphic;
}

std::shared_ptr<SKTBarcode> barcodeOf(Symbology symbology, const QString &series)
{
    auto barcode = bound<SKTBarcode>(1, series);
    barcode->barcode_font_index = Barcode_Symbology_Of(symbology).storedIndex();
    barcode->linear_or_2d = Barcode_Symbology_Of(symbology).isTwoD() ? 1 : 0;
    barcode->show_hide_hdr = barcode->show_hide_ftr = 1;
    return barcode;
}

QList<QVariantMap> excelRows(int count)
{
    QList<QVariantMap> rows;
    for (int row = 1; row <= count; ++row)
        rows.append({{QStringLiteral("Extension"), QString::number(row)},
                     {QStringLiteral("Column1"), QStringLiteral("row %1").arg(row)}});
    return rows;
}

GraphicList copies(const GraphicList &side)
{
    GraphicList copied;
    for (const SKTGraphicPtr &graphic : side)
        copied.append(graphic->fullCopy());
    return copied;
}

QString textOf(const GraphicList &side, int index)
{
    return side.at(index)->Text_contents().string;
}

struct CountRow {
    const char *name;
    QByteArray series; // the file of the series "S"; null: no series-bound object
    int rows;          // Excel rows, bound by a second text when above 0
    int seriesRecords, total;
    QStringList values; // the series values of records 0, 1, … as applied (trimmed)
};

void PrintTo(const CountRow &row, std::ostream *out)
{
    *out << row.name;
}

class RecordCounting : public testing::TestWithParam<CountRow> {
protected:
    AppFixture app;
};

TEST_P(RecordCounting, SeriesAndRowsCountIndependently)
{
    const CountRow &row = GetParam();
    GraphicList front;
    if (!row.series.isNull()) {
        writeFile(seriesFile(QStringLiteral("S")), row.series);
        front.append(bound<SKTText>(1, QStringLiteral("S")));
    }
    if (row.rows > 0)
        front.append(bound<SKTText>(2, {}, 1));
    const RecordBinding binding = RecordBinding::load(front, {}, excelRows(row.rows));
    EXPECT_TRUE(binding.problems.isEmpty());
    EXPECT_EQ(binding.Data_table_rows, row.seriesRecords);
    EXPECT_EQ(binding.Use_Data_Sheet_Values, row.seriesRecords > 0);
    EXPECT_EQ(binding.Excel_table_rows, row.rows);
    EXPECT_EQ(binding.Total_Batch_Excel_Card, row.total);
    for (int record = 0; record < row.values.size(); ++record) {
        GraphicList side = copies(front);
        EXPECT_TRUE(binding.apply(record, side).ok);
        EXPECT_EQ(textOf(side, 0), row.values.at(record)) << "record " << record;
        if (record < row.rows) {
            EXPECT_EQ(textOf(side, 1), QStringLiteral("row %1").arg(record + 1));
        }
    }
}

QByteArray millionValues()
{
    QByteArray values;
    for (int value = 0; value < 1000000; ++value)
        values += QByteArray::number(value) + '\n';
    return values;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RecordCounting,
    testing::Values(CountRow{"threeValuesFiveRows", "A\nB\nC\n", 5, 3, 5, {"A", "B", "C", "", ""}},
                    CountRow{"blankLineInside", "A\n\nB\n", 0, 3, 3, {"A", "", "B"}},
                    CountRow{"noFinalLineEnd", "A\nB", 0, 2, 2, {"A", "B"}},
                    CountRow{"crlf", "A\r\nB\r\n", 0, 2, 2, {"A", "B"}},
                    CountRow{"blanksAroundValues", "\n a \n\n b \n\n", 2, 3, 3, {"a", "", "b"}},
                    CountRow{"emptyFile", "", 0, 1, 1, {""}},
                    CountRow{"onlyBlankLines", "\n \n\t\n", 0, 1, 1, {""}},
                    CountRow{"rowsAlone", QByteArray(), 4, 0, 4, {}},
                    CountRow{"millionValues", millionValues(), 0, 1000000, 1000000, {"0", "1"}}),
    [](const testing::TestParamInfo<CountRow> &info) { return info.param.name; });

TEST(RecordBinding, SourcesSwitchedOffAndColumnsTheRowsLackGiveNoValues)
{
    AppFixture app;
    LogCapture log;
    writeFile(seriesFile(QStringLiteral("S")), "A\nB\n");
    const GraphicList front{bound<SKTText>(1, QStringLiteral("S")), bound<SKTText>(2, {}, 0), bound<SKTText>(2, {}, 7)};
    RecordBinding binding = RecordBinding::load(front, {}, excelRows(5));
    EXPECT_EQ(log.lines().size(), 1) << "one line for the missing column, not one per record";
    const struct {
        bool series, excel;
        int total;
        QStringList texts;
    } cases[] = {{true, true, 5, {"A", "1", ""}},
                 {false, true, 5, {"Text here", "1", ""}},
                 {true, false, 2, {"A", "Text here", "Text here"}},
                 {false, false, 0, {"Text here", "Text here", "Text here"}}};
    for (const auto &c : cases) {
        binding.useSources(c.series, c.excel);
        EXPECT_EQ(binding.Total_Batch_Excel_Card, c.total);
        GraphicList side = copies(front);
        EXPECT_TRUE(binding.apply(0, side).ok);
        EXPECT_EQ((QStringList{textOf(side, 0), textOf(side, 1), textOf(side, 2)}), c.texts);
    }
    EXPECT_EQ(log.lines().size(), 1);
}

TEST(RecordBinding, UnusableSeriesFilesAreNamedBeforeTheRun)
{
    AppFixture app;
    writeFile(seriesFile(QStringLiteral("Binary")), QByteArray("A\0B\n", 4));
    writeFile(seriesFile(QStringLiteral("Latin1")), "caf\xe9\n");
    writeFile(seriesFile(QStringLiteral("Good")), "A\n");
    {
        QFile huge(seriesFile(QStringLiteral("Huge")));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(1) << 30)); // sparse: nothing written
    }
    ASSERT_EQ(mkfifo(QFile::encodeName(seriesFile(QStringLiteral("Pipe"))).constData(), 0600), 0);
    QDir().mkdir(seriesFile(QStringLiteral("Folder")));
    const QStringList unusable{"Binary", "Latin1", "Huge", "Pipe", "Folder", "Missing", "../Good"};
    GraphicList front{bound<SKTText>(1, QStringLiteral("Good"))};
    for (const QString &name : unusable)
        front.append(bound<SKTText>(1, name));

    const auto started = std::chrono::steady_clock::now();
    const RecordBinding binding = RecordBinding::load(front, {}, {});
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    ASSERT_EQ(binding.problems.size(), unusable.size()) << binding.problems.join('\n').toStdString();
    for (int k = 0; k < unusable.size(); ++k)
        EXPECT_TRUE(binding.problems.at(k).contains('"' + unusable.at(k) + '"')) << k;
    EXPECT_EQ(binding.Total_Batch_Excel_Card, 1);
    GraphicList side = copies(front);
    EXPECT_TRUE(binding.apply(0, side).ok);
    EXPECT_EQ(textOf(side, 0) + textOf(side, 1), QStringLiteral("A"));
}

QImage solid(const QColor &colour)
{
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

// Records go into copies, each on a thread of its own, while the live objects and the main photo
// stay as they are.
TEST(RecordBinding, RecordsGoIntoCopiesOfTextsPicturesAndBarcodesOnAnyThread)
{
    AppFixture app;
    const QList<QColor> colours{Qt::red, Qt::green, Qt::blue};
    QByteArray paths;
    for (int k = 0; k < colours.size(); ++k) {
        const QString path = app.resourcePath() + QStringLiteral("p%1.png").arg(k);
        ASSERT_TRUE(solid(colours.at(k)).save(path));
        paths += path.toUtf8() + '\n';
    }
    writeFile(seriesFile(QStringLiteral("Pictures")), paths);
    writeFile(seriesFile(QStringLiteral("Codes")), "A-100\nB-2000\nC-3\n");
    writeFile(seriesFile(QStringLiteral("Names")), "Ann\nBob\nCy\n");
    app.hub.mainPhoto = solid(Qt::yellow);
    auto photo = bound<SKTImage>(1, QStringLiteral("Pictures"));
    photo->control_ID = QStringLiteral("PARTY_IMAGE");
    // Both texts were bound at the same list position, in folders that listed differently.
    const GraphicList front{bound<SKTText>(1, QStringLiteral("Names")), bound<SKTText>(1, QStringLiteral("Codes")),
                            bound<SKTImage>(1, QStringLiteral("Pictures")), photo,
                            barcodeOf(Symbology::Code128, QStringLiteral("Codes")),
                            barcodeOf(Symbology::QRCode, QStringLiteral("Codes"))};
    QList<QByteArray> before;
    for (const SKTGraphicPtr &graphic : front)
        before.append(graphic->archivedData());
    Image_Effect_Settings inverted;
    inverted.invrtclr = true;
    const RecordBinding binding = RecordBinding::load(front, {}, {}, inverted);

    QList<GraphicList> sides{copies(front), copies(front), copies(front)};
    QList<RecordOutcome> outcomes(3);
    std::vector<std::thread> threads;
    for (int record = 0; record < 3; ++record)
        threads.emplace_back([&, record] { outcomes[record] = binding.apply(record, sides[record]); });
    for (std::thread &thread : threads)
        thread.join();

    const QStringList names{"Ann", "Bob", "Cy"}, codes{"A-100", "B-2000", "C-3"};
    for (int record = 0; record < 3; ++record) {
        const GraphicList &side = sides.at(record);
        EXPECT_TRUE(outcomes.at(record).ok) << outcomes.at(record).failures.join('\n').toStdString();
        EXPECT_EQ(textOf(side, 0) + textOf(side, 1), names.at(record) + codes.at(record));
        const QColor c = colours.at(record);
        EXPECT_EQ(static_cast<SKTImage *>(side.at(2).get())->_contents.pixelColor(0, 0), c);
        // The main photo object shows the record's picture with the main photo's effects.
        EXPECT_EQ(static_cast<SKTImage *>(side.at(3).get())->_contents.pixelColor(0, 0),
                  QColor(255 - c.red(), 255 - c.green(), 255 - c.blue()));
        EXPECT_EQ(decodeBarcode(side.at(4)->_barcode_image, ZXing::BarcodeFormat::Any),
                  (Decoded{"Code128", codes.at(record).toStdString()}));
        EXPECT_EQ(decodeBarcode(side.at(5)->_barcode_image, ZXing::BarcodeFormat::Any),
                  (Decoded{"QRCode", codes.at(record).toStdString()}));
    }
    for (int k = 0; k < front.size(); ++k)
        EXPECT_EQ(front.at(k)->archivedData(), before.at(k)) << "live object " << k;
    EXPECT_EQ(app.hub.mainPhoto, solid(Qt::yellow));
}

TEST(RecordBinding, AFailingObjectIsNamedAndTheOthersStillTakeTheRecord)
{
    AppFixture app;
    const QDir folder(app.resourcePath());
    folder.mkdir(QStringLiteral("folder"));
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
    const QStringList pictures{folder.filePath(QStringLiteral("missing.png")),
                               folder.filePath(QStringLiteral("folder")), folder.filePath(QStringLiteral("fifo")),
                               QStringLiteral("/dev/zero")};
    writeFile(seriesFile(QStringLiteral("Pictures")), pictures.join('\n').toUtf8());
    // EAN-13 takes digits alone: the second value has no symbol, and must not borrow the first's.
    writeFile(seriesFile(QStringLiteral("Codes")), "5901234123457\nnot digits\n\n5901234123457\n");
    writeFile(seriesFile(QStringLiteral("Names")), "a\nb\nc\nd\n");
    const GraphicList front{bound<SKTImage>(1, QStringLiteral("Pictures")),
                            barcodeOf(Symbology::EAN13, QStringLiteral("Codes")),
                            bound<SKTText>(1, QStringLiteral("Names"))};
    const RecordBinding binding = RecordBinding::load(front, {}, {});

    const struct {
        bool symbol;
        QStringList failed; // starts of the failures' texts
    } expected[] = {{true, {"Picture 1"}},
                    {false, {"Picture 1", "Barcode 2"}},
                    {false, {"Picture 1"}},
                    {true, {"Picture 1"}}};
    for (int record = 0; record < 4; ++record) {
        GraphicList side = copies(front);
        const RecordOutcome outcome = binding.apply(record, side);
        ASSERT_EQ(outcome.failures.size(), expected[record].failed.size()) << outcome.failures.join('\n').toStdString();
        for (int k = 0; k < outcome.failures.size(); ++k)
            EXPECT_TRUE(outcome.failures.at(k).startsWith(expected[record].failed.at(k)));
        EXPECT_TRUE(static_cast<SKTImage *>(side.at(0).get())->_contents.isNull());
        EXPECT_EQ(side.at(1)->ctrl_is_visible, expected[record].symbol) << "record " << record;
        EXPECT_EQ(!side.at(1)->_barcode_image.isNull(), expected[record].symbol);
        EXPECT_EQ(textOf(side, 2), QString(QChar('a' + record)));
    }
}

} // namespace
