#include "barcode/BarcodeTestSupport.h"

#include "barcode/BarcodeSymbology.h"
#include "core/AppState.h"
#include "datasource/RecordBinding.h"
#include "document/DesignSnapshot.h"
#include "document/SKTBarcode.h"
#include "document/SKTImage.h"
#include "document/SKTText.h"
#include "fixtures/HangGuard.h"
#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>

#include <sys/stat.h>

#include <thread>

// A run's sources are read once into a value; applying a record writes its values into copies of a
// side's objects. Barcodes are read back by zxing-cpp, an independent decoder.

namespace {

// The series file of `name`, holding `bytes` unless they are null.
QString writeSeries(const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(App().Data_Folder_Path);
    QFile file(QDir(App().Data_Folder_Path).filePath(name + QStringLiteral(".txt")));
    if (!bytes.isNull() && file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return file.fileName();
}

template <typename Kind>
std::shared_ptr<Kind> bound(int source, const QString &series, int column = 1, Symbology symbology = {})
{
    auto graphic = std::make_shared<Kind>();
    graphic->_bounds = QRectF(10, 10, 120, 40);
    graphic->binding.data_source_type = source;
    graphic->binding.batch_list_name = series;
    graphic->binding.excel_col_indx = column;
    graphic->barcode_font_index = Barcode_Symbology_Of(symbology).storedIndex();
    graphic->linear_or_2d = Barcode_Symbology_Of(symbology).isTwoD() ? 1 : 0;
    return graphic;
}

QList<QVariantMap> excelRows(int count)
{
    QList<QVariantMap> rows;
    for (int row = 1; row <= count; ++row)
        rows.append({{"Extension", QString::number(row)}, {"Column1", QStringLiteral("row %1").arg(row)}});
    return rows;
}

// The texts of a side with record `record` applied; every object takes its value unless a series
// it is bound to cannot be used or a source it is bound to has no such record: the outcome then names
// them (`missing`).
QStringList textsOf(const RecordBinding &binding, int record, const GraphicList &side, const QStringList &missing = {})
{
    GraphicList copies = DesignSnapshot::copyOf(side);
    EXPECT_EQ(binding.apply(record, copies).failures, missing) << record;
    QStringList texts;
    for (const SKTGraphicPtr &graphic : copies)
        texts << graphic->Text_contents().string;
    return texts;
}

TEST(RecordBinding, SeriesFilesAndRowsCountIndependentlyOrAreNamedBeforeTheRun)
{
    AppFixture app;
    QByteArray million;
    for (int value = 0; value < 1000000; ++value)
        million += QByteArray::number(value) + '\n';
    enum File { Bytes, Huge, Fifo, Folder, Missing, Outside };
    const struct {
        File file;
        QByteArray series;  // the series bound by the first text
        int rows;           // Excel rows, bound by a second text
        int seriesRecords;  // -1: the series cannot be used
        QStringList values; // the series values of records 0, 1, … as applied (trimmed)
    } cases[] = {{Bytes, "A\nB\nC\n", 5, 3, {"A", "B", "C", "", ""}}, {Bytes, "A\n\nB\n", 0, 3, {"A", "", "B"}},
                 {Bytes, "A\nB", 0, 2, {"A", "B"}}, {Bytes, "A\r\nB\r\n", 0, 2, {"A", "B"}},
                 {Bytes, "\n a \n\n b \n\n", 2, 3, {"a", "", "b"}}, {Bytes, "", 0, 1, {""}},
                 {Bytes, "\n \n\t\n", 0, 1, {""}}, {Bytes, million, 0, 1000000, {"0", "1"}},
                 {Bytes, QByteArray("A\0B\n", 4), 2, -1, {"", ""}}, {Bytes, "caf\xe9\n", 0, -1, {}},
                 // 15 MB, but more values than a series may have.
                 {Bytes, QByteArray("A\n").repeated(7864320), 0, -1, {}},
                 {Huge, {}, 0, -1, {}}, {Fifo, {}, 0, -1, {}}, {Folder, {}, 0, -1, {}}, {Missing, {}, 0, -1, {}},
                 {Outside, "A\n", 0, -1, {}},
                 // More values than rows: the last cards lack the sheet's field, and the outcome says so.
                 {Bytes, "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n", 12, 15, {"1", "2", "12", "13", "15"}}};
    for (int k = 0; k < int(std::size(cases)); ++k) {
        const auto &c = cases[k];
        const QString name = c.file == Outside ? QStringLiteral("../S%1").arg(k) : QStringLiteral("S%1").arg(k);
        const QString path = writeSeries(QStringLiteral("S%1").arg(k), c.series);
        if (c.file == Huge) {
            QFile huge(path);
            ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(1) << 30)); // sparse: nothing written
        }
        ASSERT_EQ(c.file == Fifo ? mkfifo(QFile::encodeName(path).constData(), 0600) : 0, 0);
        ASSERT_TRUE(c.file != Folder || QDir().mkdir(path));
        const GraphicList front{bound<SKTText>(1, name), bound<SKTText>(c.rows > 0 ? 2 : 0, {})};
        // A file that cannot be used is refused without being read through; a legitimate one, a
        // million values too, takes what a busy machine gives it.
        const auto load = [&] { return RecordBinding::load(front, {}, excelRows(c.rows)); };
        RecordBinding binding = c.seriesRecords >= 0 ? load() : [&] {
            const HangGuard guard(500);
            return load();
        }();
        EXPECT_EQ(binding.problems.size(), c.seriesRecords < 0 ? 1 : 0) << k;
        EXPECT_TRUE(binding.problems.isEmpty() || binding.problems.first().contains('"' + name + '"'));
        EXPECT_EQ(binding.Data_table_rows, std::max(c.seriesRecords, 0)) << k;
        EXPECT_EQ(binding.Total_Batch_Excel_Card, std::max({c.seriesRecords, c.rows, 0})) << k;
        for (int index = 0; index < c.values.size(); ++index) {
            // A long table is sampled: its first two, and the values about the end of the rows.
            const int record = c.values.size() == 5 && c.rows == 12 ? QList<int>{0, 1, 11, 12, 14}.at(index) : index;
            QStringList missing;
            if (c.seriesRecords < 0)
                missing << QStringLiteral("Text 1 (series \"%1\"): the series \"%1\" cannot be used, the field is empty").arg(name);
            else if (record >= c.seriesRecords)
                missing << QStringLiteral("Text 1 (series \"%1\"): the series has %2 values, the field is empty")
                               .arg(name)
                               .arg(c.seriesRecords);
            if (c.rows > 0 && record >= c.rows)
                missing << QStringLiteral("Text 2 (Excel column 1): the sheet has %1 rows, the field is empty").arg(c.rows);
            EXPECT_EQ(textsOf(binding, record, front, missing),
                      (QStringList{c.values.at(index), c.rows == 0        ? QStringLiteral("Text here")
                                                       : record < c.rows ? QStringLiteral("row %1").arg(record + 1)
                                                                         : QString()}))
                << k;
        }
        // A source the user switches off for the run counts no more.
        binding.useSources(false, true);
        EXPECT_EQ(binding.Total_Batch_Excel_Card, c.rows) << k;
        // Its fields keep the design's text, unless the series cannot be read: they are empty in every run.
        EXPECT_EQ(textsOf(binding, 0, front,
                          c.seriesRecords >= 0
                              ? QStringList()
                              : QStringList{QStringLiteral("Text 1 (series \"%1\"): the series \"%1\" cannot be used, "
                                                           "the field is empty")
                                                .arg(name)})
                      .first(),
                  c.seriesRecords < 0 ? QString() : QStringLiteral("Text here"))
            << k;
    }
}

QImage solid(const QColor &colour)
{
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

// Each record on a thread of its own, while the live objects and the main photo stay as they are.
TEST(RecordBinding, RecordsGoIntoCopiesOfTextsPicturesAndBarcodesOnAnyThread)
{
    AppFixture app;
    const QList<QColor> colours{Qt::red, Qt::green, Qt::blue};
    QByteArray paths;
    for (int k = 0; k < colours.size(); ++k) {
        paths += (app.resourcePath() + QStringLiteral("p%1.png").arg(k)).toUtf8() + '\n';
        ASSERT_TRUE(solid(colours.at(k)).save(paths.split('\n').at(k)));
    }
    writeSeries("Pictures", paths);
    writeSeries("Codes", "A-100\nB-2000\nC-3\n");
    writeSeries("Names", "Ann\nBob\nCy\n");
    app.hub.mainPhoto = solid(Qt::yellow);
    auto photo = bound<SKTImage>(1, "Pictures");
    photo->control_ID = QStringLiteral("PARTY_IMAGE");
    // The two texts were bound at the same list position, in folders that listed differently.
    const GraphicList front{bound<SKTText>(1, "Names"),
                            bound<SKTText>(1, "Codes"),
                            bound<SKTImage>(1, "Pictures"),
                            photo,
                            bound<SKTBarcode>(1, "Codes", 0, Symbology::Code128),
                            bound<SKTBarcode>(1, "Codes", 0, Symbology::QRCode)};
    QList<QByteArray> before;
    for (const SKTGraphicPtr &graphic : front)
        before.append(graphic->archivedData());
    Image_Effect_Settings inverted;
    inverted.invrtclr = true;
    const RecordBinding binding = RecordBinding::load(front, {}, {}, inverted);

    QList<GraphicList> sides(3);
    QList<RecordOutcome> outcomes(3);
    std::vector<std::thread> threads;
    for (int record = 0; record < 3; ++record) {
        sides[record] = DesignSnapshot::copyOf(front);
        threads.emplace_back([&, record] { outcomes[record] = binding.apply(record, sides[record]); });
    }
    for (std::thread &thread : threads)
        thread.join();

    const QStringList names{"Ann", "Bob", "Cy"}, codes{"A-100", "B-2000", "C-3"};
    for (int record = 0; record < 3; ++record) {
        const GraphicList &side = sides.at(record);
        const QColor c = colours.at(record);
        EXPECT_TRUE(outcomes.at(record).ok);
        EXPECT_EQ(side.at(0)->Text_contents().string + side.at(1)->Text_contents().string,
                  names.at(record) + codes.at(record));
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
    LogCapture log;
    const QDir folder(app.resourcePath());
    folder.mkdir(QStringLiteral("folder"));
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
    writeSeries("Pictures", (folder.filePath("missing.png") + '\n' + folder.filePath("folder") + '\n' +
                             folder.filePath("fifo") + "\n/dev/zero\n")
                                .toUtf8());
    // EAN-13 takes digits alone: the second value has no symbol, and must not borrow the first's.
    writeSeries("Codes", "5901234123457\nnot digits\n\n5901234123457\n");
    // The sheet lacks the bound column 7 (another workbook was browsed): its text is named before the
    // run and empty in every record, even of a run that does not use the sheet.
    const GraphicList front{bound<SKTImage>(1, "Pictures"), bound<SKTBarcode>(1, "Codes", 0, Symbology::EAN13),
                            bound<SKTText>(2, {}, 7)};
    RecordBinding binding = RecordBinding::load(front, {}, excelRows(4));
    EXPECT_EQ(binding.problems, QStringList{"Front: Text 3 (Excel column 7) cannot be used: the sheet has no such column."});
    for (int record = 0; record < 4; ++record) {
        binding.useSources(true, record % 2 == 0);
        const bool symbol = record == 0 || record == 3;
        GraphicList side = DesignSnapshot::copyOf(front);
        const RecordOutcome outcome = binding.apply(record, side);
        ASSERT_EQ(outcome.failures.size(), record == 1 ? 3 : 2) << record;
        EXPECT_TRUE(outcome.failures.first().startsWith("Picture 1 (series \"Pictures\")"));
        EXPECT_TRUE(outcome.failures.first().endsWith(", the field is empty"));
        EXPECT_EQ(outcome.failures.last(), "Text 3 (Excel column 7): the sheet has no such column, the field is empty");
        // The picture that cannot be shown leaves the field empty, as said: no placeholder stands in it.
        EXPECT_TRUE(static_cast<SKTImage *>(side.at(0).get())->_contents.isNull());
        QImage card = whitePage(QSize(140, 60));
        QPainter painter(&card);
        side.at(0)->drawContentsInView(painter, false, DrawingResources{solidPicture(Qt::red, 8, 8), {}});
        painter.end();
        EXPECT_EQ(card, whitePage(QSize(140, 60))) << "record " << record;
        EXPECT_EQ(side.at(1)->ctrl_is_visible, symbol) << "record " << record;
        EXPECT_EQ(!side.at(1)->_barcode_image.isNull(), symbol);
        EXPECT_EQ(side.at(2)->Text_contents().string, QString());
    }
}

} // namespace

// A field whose title its column no longer has is named before the run and left empty in every
// record: it never reads what another title's column holds.
TEST(RecordBinding, AFieldWhoseColumnHoldsAnotherTitleIsNamedNotRead)
{
    AppFixture app;
    const GraphicList front{bound<SKTText>(2, {}), bound<SKTText>(2, {})};
    front.at(0)->binding.excel_col_title = QStringLiteral("Name");
    front.at(1)->binding.excel_col_title = QStringLiteral("Email");
    const RecordBinding binding = RecordBinding::load(front, {}, excelRows(2), {}, {"#", "Email", "Name"});
    EXPECT_EQ(binding.problems,
              QStringList{"Front: Text 1 (Excel column \"Name\") cannot be used: the sheet has no such column."});
    const QString named = "Text 1 (Excel column \"Name\"): the sheet has no such column, the field is empty";
    EXPECT_EQ(textsOf(binding, 1, front, {named}), (QStringList{"", "row 2"}));
}
