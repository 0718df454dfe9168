#include "PrintCard.h"

#include "../barcode/SymbolReader.h"
#include "fixtures/TestSupport.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The print benchmark times real work only if what it prints is what a user would print: every
// card's symbols read back from the sheet as their record's values.
TEST(PrintBenchCardTest, EverySymbolOnASampledSheetReadsAsItsRecord)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    AppFixture app;
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheets.pdf"));
    constexpr int kRecords = 30, kSheet = 2, kDpi = 300;
    std::atomic<int> total{0};
    std::atomic<double> current{0};
    std::atomic<bool> stop{false};
    const RunReport report = print_card::printToPdf(pdf, kRecords, RunCounters{&total, &current, &stop});
    ASSERT_TRUE(report.succeeded()) << report.closing({}, {}, {}, false).text().toStdString();

    const QString prefix = dir.filePath(QStringLiteral("sheet"));
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(kDpi),
                                               QStringLiteral("-f"), QString::number(kSheet), QStringLiteral("-singlefile"),
                                               pdf, prefix});
    ASSERT_TRUE(pdftoppm.waitForFinished(60000));
    const QImage sheet(prefix + QStringLiteral(".png"));
    ASSERT_FALSE(sheet.isNull());

    const Print_Sheet_Layout layout = print_card::twoByFive(kRecords);
    const int perSheet = layout.cellsPerSheet();
    const double scale = kDpi / 72.0;
    for (int cell = 0; cell < perSheet; ++cell) {
        const int record = (kSheet - 1) * perSheet + cell;
        const QRectF place = layout.cellPlace(cell / layout.Print_Col + 1, cell % layout.Print_Col + 1, kCard.size()).front;
        // The card alone: a symbol that runs past its edge or under another is lost.
        const QImage card = sheet.copy(QRectF(place.topLeft() * scale, place.size() * scale).toAlignedRect());
        EXPECT_EQ(readSymbol(card, ZXing::BarcodeFormat::Code128), codeOf(record).toLatin1()) << record;
        EXPECT_EQ(readSymbol(card, ZXing::BarcodeFormat::QRCode), linkOf(record).toLatin1()) << record;
    }
}
