#include "BarcodeTestSupport.h"
#include "barcode/BarcodeGenerator.h"

#include <QCryptographicHash>
#include <QPainter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

#include <gtest/gtest.h>

// Names beyond ASCII read alike in every reader: each 2-D symbology's picture of a name is read by the
// command-line readers of zxing-cpp and (QR Code only: it reads neither PDF417 nor Data Matrix) zbar.
// Without an ECI, readers take byte data for ISO-8859-1 or guess; zbar guessed Shift JIS.

namespace {

const char *const kNames[] = {
    "Zoë O'Brien",  "José Núñez",           "François Lefèvre", "Søren Ærø",
    "Ægir Þórsson", "Łukasz Żółć",          "Çağla Şahin",      "Ελένη Παπαδοπούλου",
    "Анна Иванова", "Nguyễn Thị Minh Khai", "Mary O'Neil 42",
};

struct Symbology {
    const char *name;
    QImage (*draw)(const BarcodeSettings &, const QString &);
    const char *zxingFormat;
    bool zbarReads;
    const char *asciiPixels; // MD5 of the pixels of "Mary O'Neil 42": whole-pixel modules, no ECI
};

const Symbology kSymbologies[] = {
    {"QRCode", QR_Code_Symbol, "QRCode", true, "93eb49ca35a1200cb07fb892f052ebc2"},
    {"PDF417", PDF417_Symbol, "PDF417", false, "8e0fb826d19dccdf2be8e770049e8b3a"},
    {"DataMatrix", DataMatrix_Symbol, "DataMatrix", false, "311e13621072046aff0794858de1a622"},
};

// The text of ZXingReader's report: its line `Text:       "..."`.
QString zxingText(const QString &report)
{
    static const QRegularExpression line(QStringLiteral("^Text: *\"(.*)\"$"), QRegularExpression::MultilineOption);
    return line.match(report).captured(1);
}

TEST(NameEncoding, EveryReaderReadsEveryNameAsWritten)
{
    const QString zxing = QStandardPaths::findExecutable(QStringLiteral("ZXingReader"));
    const QString zbar = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (zxing.isEmpty() || zbar.isEmpty())
        GTEST_SKIP() << "ZXingReader (zxing-cpp-tools) and zbarimg (zbar-tools) are needed";
    QTemporaryDir folder;
    BarcodeSettings settings;
    settings.qr_size_val = 120;
    settings.dm_module_val = 4;
    int zxingRight = 0, zbarRight = 0, zxingAll = 0, zbarAll = 0;
    for (const Symbology &symbology : kSymbologies)
        for (const char *name : kNames) {
            const QString value = QString::fromUtf8(name);
            SCOPED_TRACE(testing::Message() << symbology.name << " " << name);
            QImage symbol = symbology.draw(settings, value);
            ASSERT_FALSE(symbol.isNull());
            symbol.setDevicePixelRatio(1.0); // every pixel
            // On white with a quiet zone, as the barcode frame places it.
            QImage picture(symbol.size() + QSize(80, 80), QImage::Format_RGB32);
            picture.fill(Qt::white);
            QPainter(&picture).drawImage(40, 40, symbol);
            const QString file = folder.filePath(QStringLiteral("%1-%2.png").arg(symbology.name).arg(zxingAll));
            ASSERT_TRUE(picture.save(file));
            const QString byZxing =
                zxingText(readerOutput(zxing, {QStringLiteral("-format"), QLatin1String(symbology.zxingFormat), file}));
            ++zxingAll;
            zxingRight += byZxing == value;
            EXPECT_EQ(byZxing.toStdString(), value.toStdString()) << "ZXingReader";
            if (!symbology.zbarReads)
                continue;
            const QString byZbar =
                readerOutput(zbar, {QStringLiteral("-q"), QStringLiteral("--raw"), QStringLiteral("--nodbus"), file});
            ++zbarAll;
            zbarRight += byZbar == value;
            EXPECT_EQ(byZbar.toStdString(), value.toStdString()) << "zbarimg";
        }
    std::printf("ZXingReader read %d of %d, zbarimg %d of %d\n", zxingRight, zxingAll, zbarRight, zbarAll);
}

TEST(NameEncoding, PlainAsciiSymbolsStayAsTheyWere)
{
    BarcodeSettings settings;
    for (const Symbology &symbology : kSymbologies) {
        const QImage grey =
            symbology.draw(settings, QStringLiteral("Mary O'Neil 42")).convertToFormat(QImage::Format_Grayscale8);
        QCryptographicHash md5(QCryptographicHash::Md5);
        for (int y = 0; y < grey.height(); ++y)
            md5.addData(QByteArrayView(reinterpret_cast<const char *>(grey.constScanLine(y)), grey.width()));
        EXPECT_EQ(md5.result().toHex().toStdString(), symbology.asciiPixels) << symbology.name;
    }
}

} // namespace
