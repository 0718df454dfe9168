#include "barcode/BarcodeEci.h"
#include "barcode/DataMatrixEncodation.h"
#include "barcode/Draw_DataMatrix_Barcode.h"
#include "core/ImageHelpers.h"

#include "SymbolReader.h"

extern "C" {
#include <iec16022ecc200.h>
}

#include <gtest/gtest.h>

#include <QColor>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <map>
#include <random>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

constexpr auto kDataMatrix = ZXing::BarcodeFormat::DataMatrix;
constexpr double kDpi = 216.0; // three pixels per module at one point per module

// Data codewords of each ECC200 size, rows x columns.
const std::map<std::pair<int, int>, int> kCapacity = {
    {{10, 10}, 3},     {{12, 12}, 5},     {{14, 14}, 8},     {{16, 16}, 12},    {{18, 18}, 18},
    {{20, 20}, 22},    {{22, 22}, 30},    {{24, 24}, 36},    {{26, 26}, 44},    {{32, 32}, 62},
    {{36, 36}, 86},    {{40, 40}, 114},   {{44, 44}, 144},   {{48, 48}, 174},   {{52, 52}, 204},
    {{64, 64}, 280},   {{72, 72}, 368},   {{80, 80}, 456},   {{88, 88}, 576},   {{96, 96}, 696},
    {{104, 104}, 816}, {{120, 120}, 1050}, {{132, 132}, 1304}, {{144, 144}, 1558}, {{8, 18}, 5},
    {{8, 32}, 10},     {{12, 26}, 16},    {{12, 36}, 22},    {{16, 36}, 32},    {{16, 48}, 49},
};

// Codewords of the data in ASCII encodation: digit pairs share one, upper bytes take two.
int asciiCodewords(const QByteArray &data)
{
    int count = 0;
    for (qsizetype k = 0; k < data.size(); ++k, ++count) {
        const auto c = static_cast<unsigned char>(data[k]);
        if (c >= 0x80)
            ++count;
        else if (std::isdigit(c) && k + 1 < data.size() && std::isdigit(static_cast<unsigned char>(data[k + 1])))
            ++k;
    }
    return count;
}

// A generous ceiling on the codewords of any encoding the drawing may choose, with the two of the ECI
// that names UTF-8.
int worstCodewords(const QByteArray &data, const QString &encoding)
{
    const int eci = Utf8_Eci_For(data) >= 0 ? 2 : 0;
    if (encoding == QLatin1String("Ascii") || encoding == QLatin1String("Base256"))
        return eci + asciiCodewords(data);
    // C40, Text and the encoder's own choice: up to four values (two thirds of a codeword each) per
    // byte, a latch and an unlatch, and a tail in ASCII.
    return eci + 2 + static_cast<int>(std::ceil(data.size() * 8.0 / 3.0)) + asciiCodewords(data.right(4)) + 2;
}

// Module (x, y) of a picture drawn at kDpi and one point per module, y = 0 the top row of the border.
bool darkModule(const QImage &picture, int x, int y)
{
    return qGray(picture.pixel(3 * x + 1, 3 * y + 1)) < 128;
}

struct Drawn {
    QImage picture;
    int columns = 0, rows = 0;
};

// Draws at one point per module and recovers the symbol size from the pixels.
Drawn draw(const QByteArray &data, const QString &format, const QString &encoding, int pixelsPerModule = 3)
{
    Drawn d;
    d.picture = Draw_DataMatrix_Barcode(QString::fromUtf8(data), format, encoding, 1, 72.0 * pixelsPerModule);
    if (!d.picture.isNull()) {
        d.columns = d.picture.width() / pixelsPerModule - 2;
        d.rows = d.picture.height() / pixelsPerModule - 2;
    }
    return d;
}

} // namespace

TEST(DataMatrix, WindowListsAndFormatSizes)
{
    ASSERT_EQ(Data_Matrix_Format_Items().size(), 31);
    ASSERT_EQ(Data_Matrix_Encoding_Items(),
              QStringList({"Auto", "Ascii", "C40", "Text", "Base256"}));
    EXPECT_EQ(Data_Matrix_Format_Items().first(), QStringLiteral("Auto"));
    for (const QString &item : Data_Matrix_Format_Items().mid(1)) {
        const DataMatrixFormatSize size = dataMatrixFormatSize(item);
        EXPECT_TRUE(kCapacity.count({size.rows, size.columns})) << item.toStdString();
    }

    const struct {
        QString item;
        int rows, columns;
    } rows[] = {
        {"Auto", 0, 0}, {"C12X36", 12, 36}, {"C8X18", 8, 18}, {"C144X144", 144, 144},
        {"C 16 X 48 ", 16, 48}, {"C10", 0, 0}, {"", 0, 0},
    };
    for (const auto &row : rows) {
        const DataMatrixFormatSize size = dataMatrixFormatSize(row.item);
        EXPECT_EQ(size.rows, row.rows) << row.item.toStdString();
        EXPECT_EQ(size.columns, row.columns) << row.item.toStdString();
    }
}

TEST(DataMatrix, ForcedEncodingLetters)
{
    const struct {
        QByteArray data;
        QString encoding;
        QByteArray letters;
    } rows[] = {
        {"HELLOW", "C40", "CCCCCC"},
        {"HELLO", "C40", "CCCAA"},       // the last two values would leave a pair unfinished
        {"hello", "C40", "CCCAA"},       // two values each
        {"hello", "Text", "TTTAA"},
        {"ab c", "Text", "TTTA"},
        {QByteArrayLiteral("AB\0CD"), "C40", "AAAAA"}, // neither side of the zero byte fills a pair
        {QByteArrayLiteral("ABC\0DEF"), "C40", "CCCACCC"},
        {"Caf\xc3\xa9", "Ascii", "AAAAA"},
        {"Caf\xc3\xa9", "Base256", "AAAAA"},
        {"Caf\xc3\xa9", "Auto", "AAAAA"},
        {"Cafe", "Auto", "AAAA"},
        {"Cafe", "Preferred", "AAAA"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(dataMatrixEncoding(row.data, row.encoding), row.letters)
            << row.data.toStdString() << " " << row.encoding.toStdString();
}

// Every format with every encoding, ASCII and UTF-8 data: a picture that is made reads back the
// bytes at the asked size, and a picture is refused only when the data cannot fit.
TEST(DataMatrix, EveryFormatAndEncodingDecodes)
{
    std::mt19937 rng(16022);
    int drawn = 0;
    for (const QString &format : Data_Matrix_Format_Items())
        for (const QString &encoding : Data_Matrix_Encoding_Items())
            for (const TextKind kind : {TextKind::Ascii, TextKind::Utf8}) {
                const DataMatrixFormatSize size = dataMatrixFormatSize(format);
                const bool automatic = size.rows == 0;
                const int capacity = automatic ? 1558 : kCapacity.at({size.rows, size.columns});
                QByteArray data;
                for (int maxBytes = automatic ? 1000 : capacity; maxBytes >= 1; maxBytes = maxBytes * 3 / 4) {
                    data = randomBytes(rng, kind, maxBytes);
                    if (kind == TextKind::Utf8 && std::all_of(data.begin(), data.end(), [](char c) { return c >= 0; }))
                        data.prepend("\xc3\xa9");
                    if (worstCodewords(data, encoding) <= capacity)
                        break;
                }
                SCOPED_TRACE(testing::Message() << format.toStdString() << " " << encoding.toStdString() << " "
                                                << data.size() << " bytes");
                const Drawn d = draw(data, format, encoding);
                const bool fits = worstCodewords(data, encoding) <= capacity;
                if (d.picture.isNull()) {
                    EXPECT_FALSE(fits);
                    continue;
                }
                ++drawn;
                EXPECT_EQ(readSymbol(d.picture, kDataMatrix), data);
                if (!automatic) {
                    EXPECT_EQ(d.rows, size.rows);
                    EXPECT_EQ(d.columns, size.columns);
                }
                const QSizeF points = imageSizeInPoints(d.picture);
                EXPECT_NEAR(points.width(), d.columns, 0.01);
                EXPECT_NEAR(points.height(), d.rows, 0.01);
            }
    EXPECT_GE(drawn, 250);
}

TEST(DataMatrix, PictureMeasuresTheModuleSize)
{
    const struct {
        const char *format;
        int moduleSize;
        double dpi;
        QSizeF points;
        QSize pixels;
    } rows[] = {
        {"C10X10", 2, 72, {20, 20}, {12, 12}},
        {"C10X10", 2, 600, {20, 20}, {100, 100}},
        {"C12X36", 3, 300, {108, 36}, {159, 59}},
        {"C8X18", 0, 72, {18, 8}, {20, 10}},
    };
    for (const auto &row : rows) {
        const QImage picture =
            Draw_DataMatrix_Barcode(QStringLiteral("1"), row.format, QStringLiteral("Auto"), row.moduleSize, row.dpi);
        ASSERT_FALSE(picture.isNull()) << row.format;
        EXPECT_EQ(picture.size(), row.pixels) << row.format;
        const QSizeF points = imageSizeInPoints(picture);
        EXPECT_NEAR(points.width(), row.points.width(), 0.01) << row.format;
        EXPECT_NEAR(points.height(), row.points.height(), 0.01) << row.format;
    }
}

// The grid's row 0 is the bottom: the solid finder edges run along the left and the bottom, the
// alternating ones along the top and the right, inside a light border.
TEST(DataMatrix, FinderPatternSitsLeftAndBottom)
{
    const Drawn d = draw("Orientation", QStringLiteral("C16X36"), QStringLiteral("Ascii"));
    ASSERT_FALSE(d.picture.isNull());
    const int w = d.columns, h = d.rows;
    for (int y = 1; y <= h; ++y) {
        EXPECT_TRUE(darkModule(d.picture, 1, y)) << y;
        EXPECT_EQ(darkModule(d.picture, w, y), y % 2 == 0) << y;
        EXPECT_FALSE(darkModule(d.picture, 0, y));
        EXPECT_FALSE(darkModule(d.picture, w + 1, y));
    }
    for (int x = 1; x <= w; ++x) {
        EXPECT_TRUE(darkModule(d.picture, x, h)) << x;
        EXPECT_FALSE(darkModule(d.picture, x, 0));
    }
    EXPECT_TRUE(darkModule(d.picture, 1, 1));
    EXPECT_FALSE(darkModule(d.picture, 2, 1));
}

TEST(DataMatrix, RefusalsGiveNoPicture)
{
    const struct {
        const char *name;
        QString text;
        QString format;
        QString encoding;
    } rows[] = {
        {"empty", QString(), "Auto", "Auto"},
        {"longer than any symbol", QString(3117, QLatin1Char('7')), "Auto", "Auto"},
        {"too long for the size", QString(50, QLatin1Char('x')), "C10X10", "Ascii"},
        {"too long for the size, encoder's choice", QString(50, QLatin1Char('x')), "C10X10", "Auto"},
        {"too long for any size, encoder's choice", QString(3000, QLatin1Char('x')), "Auto", "Auto"},
        {"non-ASCII too long for the size", QStringLiteral("é"), "C10X10", "Auto"},
        {"no such size", QStringLiteral("x"), "C11X11", "Auto"},
    };
    for (const auto &row : rows)
        EXPECT_TRUE(Draw_DataMatrix_Barcode(row.text, row.format, row.encoding, 2, 300).isNull()) << row.name;
}

// The encoder keeps shared tables; symbols of different sizes made on several threads at once must
// each read back.
TEST(DataMatrix, DrawsOnSeveralThreadsAtOnce)
{
    const QStringList formats = {"C22X22", "C26X26", "C52X52", "C16X48", "Auto"};
    std::vector<std::vector<std::pair<QByteArray, QImage>>> results(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &formats, &results] {
            for (int k = 0; k < 10; ++k) {
                const QByteArray data = QByteArray("thread ") + QByteArray::number(t) + " symbol " + QByteArray::number(k);
                const QString format = formats[(t + k) % formats.size()];
                results[t].push_back({data, Draw_DataMatrix_Barcode(QString::fromUtf8(data), format,
                                                                     QStringLiteral("Auto"), 1, kDpi)});
            }
        });
    for (std::thread &thread : threads)
        thread.join();
    for (const auto &list : results)
        for (const auto &[data, picture] : list)
            EXPECT_EQ(readSymbol(picture, kDataMatrix), data);
}

// Values between the capacities of 132 x 132 and 144 x 144 symbols take the largest size.
TEST(DataMatrix, LargestSymbolReadsBack)
{
    std::mt19937 rng(144);
    QByteArray data;
    while (data.size() < 1500)
        data.append(static_cast<char>(std::uniform_int_distribution<int>('a', 'z')(rng)));
    for (const QString &format : {QStringLiteral("Auto"), QStringLiteral("C144X144")}) {
        const Drawn d = draw(data, format, QStringLiteral("Ascii"));
        ASSERT_FALSE(d.picture.isNull()) << format.toStdString();
        EXPECT_EQ(d.columns, 144);
        EXPECT_EQ(readSymbol(d.picture, kDataMatrix), data);
    }
}

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kSweepValues = 25000; // a quarter of the values under the sanitizers, which run slower
#else
constexpr int kSweepValues = 100000;
#endif

// The library's own symbol of the data as a picture of `pixels` pixels per module, and its capacity:
// of the size and the encoding given, or of its own choice (0 x 0, no letters).
std::pair<QImage, int> librarySymbol(QByteArray data, int pixels, int w = 0, int h = 0, QByteArray letters = {})
{
    char *encoding = letters.isEmpty() ? nullptr : strdup(letters.constData());
    unsigned char *grid = iec16022ecc200(&w, &h, &encoding, static_cast<int>(data.size()),
                                         reinterpret_cast<unsigned char *>(data.data()), nullptr, nullptr, nullptr);
    std::free(encoding);
    if (!grid)
        return {};
    QImage picture(w, h, QImage::Format_Grayscale8);
    for (int k = 0; k < w * h; ++k)
        picture.scanLine(h - 1 - k / w)[k % w] = grid[k] ? 0 : 255;
    std::free(grid);
    return {picture.scaled(pixels * w, pixels * h), kCapacity.at({h, w})};
}

} // namespace

// Plain ASCII needs no ECI, and its symbols stay the library's own bit for bit at every size but the
// largest, whose check codewords the library interleaves in an order readers reject.
TEST(DataMatrix, PlainAsciiSymbolsAreTheLibrarysOwnBelowTheLargestSize)
{
    std::mt19937 rng(26);
    for (const auto &[rowsColumns, capacity] : kCapacity) {
        const auto [h, w] = rowsColumns;
        const QByteArray data = randomBytes(rng, TextKind::Ascii, capacity);
        const QImage library = librarySymbol(data, 1, w, h, QByteArray(data.size(), 'A')).first;
        const QImage drawn = Draw_DataMatrix_Barcode(QString::fromLatin1(data), QStringLiteral("C%1X%2").arg(h).arg(w),
                                                     QStringLiteral("Ascii"), 1, 72.0);
        ASSERT_FALSE(library.isNull() || drawn.isNull()) << h << "x" << w;
        EXPECT_EQ(drawn.copy(1, 1, w, h).convertToFormat(QImage::Format_Grayscale8) == library, w != 144)
            << h << "x" << w;
    }
}

// Automatic encoding of random values of every kind, in every format, read back by zxing-cpp: every
// value is drawn (each fits in plain ASCII), reads back as itself, and takes no larger a symbol than
// the library's own automatic choice where that choice reads back. Half the values take "Auto" and
// are compared with that choice; the rest cycle through the fixed sizes.
TEST(DataMatrix, AutomaticEncodingSweepReadsBackEveryValue)
{
    const TextKind kinds[] = {TextKind::Ascii, TextKind::Digits, TextKind::Upper, TextKind::Lower, TextKind::Utf8};
    const QStringList formats = Data_Matrix_Format_Items();
    struct Case {
        QByteArray data;
        QString format;
        std::pair<QImage, int> library; // capacity 0: not compared
        int capacity = 0;               // of the symbol drawn; 0 for none
        bool readsBack = false, libraryReadsBack = false;
    };
    std::vector<Case> cases(kSweepValues);
    std::mt19937 rng(28);
    for (int i = 0; i < kSweepValues; ++i) {
        Case &c = cases[static_cast<std::size_t>(i)];
        c.format = i % 2 ? formats.first() : formats[1 + i / 2 % (formats.size() - 1)];
        const DataMatrixFormatSize size = dataMatrixFormatSize(c.format);
        const int maxBytes = size.rows ? kCapacity.at({size.rows, size.columns}) : 80;
        const int utf8Bytes = std::max(1, (maxBytes - 2) / 2); // room for the ECI
        c.data = randomBytes(rng, kinds[i % 5], kinds[i % 5] == TextKind::Utf8 ? utf8Bytes : maxBytes);
        // The library's tables are shared: its own choice is made before the threads start.
        if (!size.rows && std::all_of(c.data.begin(), c.data.end(), [](char b) { return b > 0; }))
            c.library = librarySymbol(c.data, 2);
    }
    // The workers run in Qt's shared pool, where drawing does not queue for that pool again.
    std::atomic<int> next = 0;
    QThreadPool &pool = *QThreadPool::globalInstance();
    for (int t = 0; t < std::clamp(pool.maxThreadCount(), 2, 6); ++t)
        pool.start([&] {
            for (int i; (i = next++) < kSweepValues;) {
                Case &c = cases[static_cast<std::size_t>(i)];
                c.libraryReadsBack = c.library.second && readSymbol(c.library.first, kDataMatrix, nullptr, 6, true) == c.data;
                const Drawn d = draw(c.data, c.format, QStringLiteral("Auto"), 2);
                c.capacity = d.picture.isNull() ? 0 : kCapacity.at({d.rows, d.columns});
                c.readsBack = !d.picture.isNull() && readSymbol(d.picture, kDataMatrix, nullptr, 6, true) == c.data;
            }
        });
    pool.waitForDone();

    int readBack = 0, failed = 0, compared = 0, smaller = 0, larger = 0, libraryWrong = 0;
    for (const Case &c : cases) {
        readBack += c.readsBack;
        if (!c.readsBack && ++failed <= 10)
            ADD_FAILURE() << c.format.toStdString() << " does not read back " << c.data.toStdString();
        if (c.library.second == 0)
            continue;
        libraryWrong += !c.libraryReadsBack;
        compared += c.libraryReadsBack;
        smaller += c.libraryReadsBack && c.capacity < c.library.second;
        larger += c.libraryReadsBack && c.capacity > c.library.second;
    }
    EXPECT_EQ(readBack, kSweepValues);
    EXPECT_EQ(larger, 0);
    std::cout << kSweepValues << " values, " << readBack << " read back equal; the library's own choice writes "
              << libraryWrong << " wrongly; of the " << compared << " it writes right, " << smaller
              << " take a smaller symbol here, " << larger << " a larger one\n";
}

namespace {

// What `work` writes on file descriptor 2, where the encoder prints.
std::string standardErrorOf(const std::function<void()> &work)
{
    std::fflush(stderr);
    FILE *capture = std::tmpfile();
    const int saved = dup(2);
    dup2(fileno(capture), 2);
    work();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::string text(static_cast<std::size_t>(std::ftell(capture)), '\0');
    std::rewind(capture);
    text.resize(std::fread(text.data(), 1, text.size(), capture));
    std::fclose(capture);
    return text;
}

} // namespace

// The encoder itself is the reference: for values of every kind of byte and encoding strings of
// every letter, it prints nothing exactly for what the check says it takes; and the drawing, which
// asks it only that and only at sizes the data fits, never makes it print.
TEST(DataMatrix, TheEncoderIsAskedOnlyWhatItTakesSilently)
{
    std::mt19937 random(29);
    const QByteArray alphabets[] = {"0123456789", "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789*>\r",
                                    "abcdefghijklmnopqrstuvwxyz !^_`{|}~\x7f@[\\]",
                                    QByteArray("\x00\x01\x1f\x80\xa9\xff", 6)};
    int refused = 0;
    for (int round = 0; round < 400; ++round) {
        QByteArray data;
        for (int i = 0, length = 1 + int(random() % 40); i < length; ++i) {
            const QByteArray &alphabet = alphabets[random() % (round % 4 == 3 ? 4 : 3)];
            data.append(alphabet[int(random() % alphabet.size())]);
        }
        for (const QByteArray &letters : {dataMatrixEncodation(data, int(random() % kDataMatrixEncodations)).letters,
                                          dataMatrixEncoding(data, QStringLiteral("C40")),
                                          QByteArray(data.size(), "ACTXEB"[random() % 6])}) {
            const bool takes = dataMatrixEncoderTakes(data, letters);
            const std::string printed = standardErrorOf([&] {
                int w = 0, h = 0, length = 0, max = 0, ecc = 0;
                char *encoding = static_cast<char *>(std::malloc(std::size_t(letters.size()) + 1));
                std::memcpy(encoding, letters.constData(), std::size_t(letters.size()) + 1);
                QByteArray bytes = data;
                std::free(iec16022ecc200(&w, &h, &encoding, int(bytes.size()), reinterpret_cast<unsigned char *>(bytes.data()),
                                         &length, &max, &ecc));
                std::free(encoding);
            });
            EXPECT_EQ(takes, printed.empty()) << data.toHex().toStdString() << " " << letters.toStdString() << " " << printed;
            refused += takes ? 0 : 1;
        }
    }
    EXPECT_GT(refused, 100);

    const QByteArray hostile[] = {QByteArray(1500, '\xe9'), QByteArray(1600, 'x'), QByteArray(3000, '7'),
                                  QByteArray(40, '^'), QByteArray("SECRET\x01\xff value", 15), "short"};
    const QString printed = QString::fromStdString(standardErrorOf([&] {
        for (const QByteArray &value : hostile)
            for (const QString &format : Data_Matrix_Format_Items())
                for (const QString &encoding : Data_Matrix_Encoding_Items())
                    Draw_DataMatrix_Barcode(QString::fromLatin1(value), format, encoding, 1, 72.0);
    }));
    // Only the program's own log lines, which never hold the value.
    for (const QString &line : printed.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        EXPECT_TRUE(line.contains(QLatin1String("No Data Matrix symbol for a value of ")) && !line.contains("SECRET"))
            << line.toStdString();
}
