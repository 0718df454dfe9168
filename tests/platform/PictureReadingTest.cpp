#include "platform/PictureReading.h"

#include "fixtures/HostilePictures.h"
#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"
#include "datasource/PeakMemory.h"
#include "platform/Pasteboard.h"
#include "platform/PictureHeader.h"
#include "platform/UiServices.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QtEndian>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <tuple>


using namespace platform;

// Pictures of 16000 × 12000 pixels: a grey JPEG (the smallest to make) and a one-bit PNG, decoded
// whole and scaled.
TEST(PictureReading, LargerPicturesAreReadScaledDownOrRefusedWithTheirSize)
{
    QTemporaryDir dir;
    const QString jpeg = dir.filePath("large.jpg"), png = dir.filePath("large.png");
    QImage grey(16000, 12000, QImage::Format_Grayscale8), mono(16000, 12000, QImage::Format_Mono);
    grey.fill(0);
    mono.fill(0);
    ASSERT_TRUE(grey.save(jpeg) && mono.save(png));
    grey = QImage();
    const struct {
        QString path;
        qint64 budget;
        QString problem; // empty when it is read
    } rows[] = {
        {jpeg, kMostPicturePixels, {}},
        // Charged the pixels it decodes to, not its header's 192 million.
        {jpeg, kMostPicturePixels * 99 / 100, "the picture's 9459 × 7094 pixels are more than there is room for"},
        {png, kMostPicturePixels, {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.problem.toStdString());
        QFile file(row.path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QString problem;
        PictureReading how;
        how.problem = &problem;
        how.spend = [&row](qint64 pixels) { return pixels <= row.budget; };
        const QImage picture = readPicture(file, how);
        EXPECT_EQ(picture.isNull(), !row.problem.isEmpty());
        EXPECT_TRUE(row.problem.isEmpty() ? problem.isEmpty() : problem.contains(row.problem)) << problem.toStdString();
        if (const qint64 pixels = qint64(picture.width()) * picture.height(); !picture.isNull()) {
            EXPECT_TRUE(pixels <= kMostPicturePixels && pixels > kMostPicturePixels * 0.999) << pixels;
            EXPECT_NEAR(picture.width() * 3.0 / 4.0, picture.height(), 1.0) << "the proportions are kept";
        }
    }
}

namespace {

QByteArray encoded(const QImage &picture, const char *format, bool progressive = false, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.setQuality(quality);
    EXPECT_TRUE(writer.write(picture));
    return bytes;
}

QImage flat(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    return picture;
}

// A small JPEG whose frame header claims another size: its body ends long before such a picture.
QByteArray jpegClaiming(bool progressive, int width, int height)
{
    QByteArray jpeg = encoded(flat(16, 16), "jpeg", progressive);
    for (qsizetype at = 2; at + 9 < jpeg.size(); at += 2 + qFromBigEndian<quint16>(jpeg.constData() + at + 2))
        if (uchar(jpeg[at + 1]) == 0xC0 || uchar(jpeg[at + 1]) == 0xC2) {
            qToBigEndian<quint16>(height, jpeg.data() + at + 5);
            qToBigEndian<quint16>(width, jpeg.data() + at + 7);
            break;
        }
    return jpeg;
}

// An icon whose one entry says 16 × 16 and holds `png`, `gap` bytes after the directory.
QByteArray iconHolding(const QByteArray &png, int gap = 0)
{
    QByteArray icon("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0", 14);
    icon.resize(22 + gap);
    qToLittleEndian<quint32>(quint32(png.size()), icon.data() + 14);
    qToLittleEndian<quint32>(22 + gap, icon.data() + 18);
    return icon + png;
}

// Ten text chunks of 8 KB, then a grey picture's transparent colour.
QByteArray textThenTransparent()
{
    QByteArray chunks;
    for (int i = 0; i < 10; ++i)
        chunks += hostile::pngChunk("tEXt", "Comment" + QByteArray(1, '\0') + QByteArray(8000, 't'));
    return chunks + hostile::pngChunk("tRNS", QByteArray(2, '\0'));
}

// `jpeg` with `segments` after its start, where editors put their metadata.
QByteArray withSegments(const QByteArray &jpeg, const QList<QByteArray> &segments)
{
    return jpeg.left(2) + segments.join() + jpeg.mid(2);
}

QByteArray appSegment(int n, const QByteArray &name, qsizetype size)
{
    return hostile::jpegSegment(uchar(0xE0 + n), name + QByteArray(size - name.size(), 'm'));
}

// An uncompressed BigTIFF of the picture's colours, its directory after its data as writers put it.
QByteArray bigTiff(const QImage &picture, bool bigEndian)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    QByteArray data;
    for (int y = 0; y < rgb.height(); ++y)
        data += QByteArrayView(reinterpret_cast<const char *>(rgb.constScanLine(y)), rgb.width() * 3);
    QByteArray out(bigEndian ? "MM" : "II");
    const auto put = [&](quint64 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out += char(value >> (8 * (bigEndian ? bytes - 1 - i : i)));
    };
    put(43, 2), put(8, 2), put(0, 2), put(16 + quint64(data.size()), 8);
    out += data;
    const quint64 width = quint64(rgb.width()), height = quint64(rgb.height());
    // Tag, type (3 short, 4 long, 16 eight bytes), count and value, each value at the start of its field.
    const quint64 entries[][4] = {{256, 4, 1, width}, {257, 4, 1, height}, {258, 3, 3, 8},  {259, 3, 1, 1},
                                  {262, 3, 1, 2},     {273, 16, 1, 16},    {277, 3, 1, 3},  {278, 4, 1, height},
                                  {279, 16, 1, quint64(data.size())}};
    put(std::size(entries), 8);
    for (const auto &[tag, type, count, value] : entries) {
        put(tag, 2), put(type, 2), put(count, 8);
        const int bytes = type == 3 ? 2 : type == 4 ? 4 : 8;
        for (quint64 i = 0; i < 8 / quint64(bytes); ++i)
            put(i < count ? value : 0, bytes);
    }
    put(0, 8);
    return out;
}

// A GIF of one colour on a screen of 200 × 150, `comments` bytes of comments before its image.
QByteArray gifAfterComments(qsizetype comments)
{
    QByteArray gif("GIF89a\xc8\0\x96\0\x80\0\0\x20\x80\xc0\0\0\0\x21\xfe", 21);
    for (; comments > 0; comments -= 255)
        gif += char(std::min<qsizetype>(comments, 255)) + QByteArray(std::min<qsizetype>(comments, 255), 'c');
    return gif + QByteArray("\0,\0\0\0\0\1\0\1\0\0\2\2D\1\0;", 17);
}

// The bytes as a pipe gives them: once, in order.
class Pipe : public QIODevice {
public:
    explicit Pipe(QByteArray bytes) : m_bytes(std::move(bytes)) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_bytes.size() - m_at + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *data, qint64 most) override
    {
        const qint64 n = std::min(most, m_bytes.size() - m_at);
        std::memcpy(data, m_bytes.constData() + m_at, size_t(n));
        m_at += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_at = 0;
};

// `small` in the format, its header made to go on to `at` bytes with what its writers put there
// (comments, metadata): where its size, frame, first image, data or directory begins.
QByteArray headerEndingAt(const char *format, const QImage &small, qint64 at)
{
    const QByteArrayView kind(format);
    if (kind == "pgm") {
        const QImage grey = small.convertToFormat(QImage::Format_Grayscale8);
        QByteArray pgm = "P5\n#" + QByteArray(at - 5, 'x') + QStringLiteral("\n%1 %2\n255\n").arg(grey.width()).arg(grey.height()).toLatin1();
        for (int y = 0; y < grey.height(); ++y)
            pgm += QByteArrayView(reinterpret_cast<const char *>(grey.constScanLine(y)), grey.width());
        return pgm;
    }
    if (kind == "jpeg") {
        const QByteArray jpeg = encoded(small, "jpeg");
        QList<QByteArray> segments;
        for (qint64 left = at - jpeg.indexOf("\xff\xc0"); left > 0;) {
            qint64 length = std::min<qint64>(left, 60'000);
            if (left - length > 0 && left - length < 4)
                length -= 4;
            segments << hostile::jpegSegment(0xE3, QByteArray(length - 4, 'm'));
            left -= length;
        }
        return withSegments(jpeg, segments);
    }
    if (kind == "png") {
        const QByteArray png = encoded(small, "png");
        const qint64 text = at - (png.indexOf("IDAT") - 4) - 12;
        return png.left(33) + hostile::pngChunk("tEXt", "Comment" + QByteArray(1, '\0') + QByteArray(text - 8, 't')) + png.mid(33);
    }
    if (kind == "gif") // its comments in blocks of 255 bytes, each after its length
        return gifAfterComments((at - 22) * 255 / 256);
    if (kind == "tiff") { // its directory moved to `at`, its values where they were
        QByteArray tiff = encoded(small, "tiff");
        const quint32 directory = qFromLittleEndian<quint32>(tiff.constData() + 4);
        const qsizetype length = 2 + 12 * qFromLittleEndian<quint16>(tiff.constData() + directory);
        tiff += QByteArray(at - tiff.size(), '\0') + tiff.mid(directory, length) + QByteArray(4, '\0');
        qToLittleEndian<quint32>(quint32(at), tiff.data() + 4);
        return tiff;
    }
    const QByteArray xpm = encoded(small, "xpm"); // its first string after a long comment
    const qsizetype string = xpm.indexOf('"');
    return xpm.left(10) + "/*" + QByteArray(at - string - 5, 'x') + "*/\n" + xpm.mid(string);
}

} // namespace

// Pictures as the usual writers make them, their headers anywhere in their files: each is read at its
// size, in the colours Qt's own reader finds in it. Headers that end on either side of where a
// weighing reads its next piece, or its last, are weighed alike from a file and read from it.
TEST(PictureReading, PicturesAsTheirWritersMakeThemAreReadWhereverTheirHeadersLie)
{
    struct Row {
        QString name;
        QByteArray bytes;
        QSize read;
    };
    QList<Row> rows;
    // Files of the usual tools: the size each reads at is in the folder's list.
    const QString folder = sourceResourcesPath() + QStringLiteral("../tests/platform/pictures/");
    QFile manifest(folder + QStringLiteral("MANIFEST.md"));
    ASSERT_TRUE(manifest.open(QIODevice::ReadOnly));
    for (const QByteArray &line : manifest.readAll().split('\n'))
        if (const QList<QByteArray> fields = line.split('|'); fields.size() == 5 && fields[1].trimmed().startsWith('`')) {
            const QString name = QString::fromUtf8(fields[1].trimmed().mid(1).chopped(1));
            QFile file(folder + name);
            EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
            const QList<QByteArray> sides = fields[3].trimmed().split('x');
            rows << Row{name, file.readAll(), QSize(sides.first().toInt(), sides.last().toInt())};
        }
    EXPECT_EQ(rows.size(), 18);
    QImage noisy(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < noisy.height(); ++y)
        for (int x = 0; x < noisy.width(); ++x)
            noisy.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x * y) % 256));
    const QByteArray jpeg = encoded(noisy, "jpeg");
    rows += QList<Row>{
        {"a TIFF of Qt's writer", encoded(noisy, "tiff"), {400, 300}},
        {"a grey TIFF of Qt's writer", encoded(noisy.convertToFormat(QImage::Format_Grayscale8), "tiff"), {400, 300}},
        {"a BigTIFF", bigTiff(noisy, false), {400, 300}},
        {"a BigTIFF, its bytes the other way round", bigTiff(noisy, true), {400, 300}},
        {"a JPEG after 40 KB of XMP and a 30 KB colour profile",
         withSegments(jpeg, {appSegment(1, "http://ns.adobe.com/xap/1.0/", 40'000), appSegment(2, "ICC_PROFILE", 30'000)}), {400, 300}},
        {"a JPEG after 131 KB of application segments",
         withSegments(jpeg, {appSegment(3, "a", 65'000), appSegment(4, "b", 65'000), appSegment(5, "c", 1'000)}), {400, 300}},
        {"a JPEG after 100 KB of fill bytes", jpeg.left(2) + QByteArray(100'000, '\xff') + jpeg.mid(2), {400, 300}},
        {"a GIF whose image follows 120 KB of comments", gifAfterComments(120'000), {200, 150}},
    };
    const QImage small = noisy.copy(0, 0, 40, 30);
    for (const char *format : {"pgm", "jpeg", "png", "gif", "tiff", "xpm"})
        for (const qint64 piece : {1, 16, 17})
            for (const qint64 at : {piece * 65536 - 1, piece * 65536, piece * 65536 + 1})
                rows += Row{QStringLiteral("a %1 whose header ends at byte %2").arg(QLatin1String(format)).arg(at),
                            headerEndingAt(format, small, at), QByteArrayView(format) == "gif" ? QSize(200, 150) : small.size()};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name.toStdString());
        QBuffer buffer;
        buffer.setData(row.bytes);
        buffer.open(QIODevice::ReadOnly);
        QString problem;
        PictureReading how;
        how.problem = &problem;
        const QImage picture = readPicture(buffer, how);
        EXPECT_EQ(picture.size(), row.read) << problem.toStdString();
        const PictureHeader header = pictureHeader(QByteArrayView(row.bytes));
        EXPECT_EQ(header.status, PictureHeader::Known) << "whole bytes weigh alike";
        buffer.seek(0);
        const PictureHeader weighed = pictureHeader(buffer);
        EXPECT_TRUE(weighed.status == PictureHeader::Unknown || sameWeighing(weighed, header)) << "a file weighs alike, or not at all";
        QBuffer again;
        again.setData(row.bytes);
        again.open(QIODevice::ReadOnly);
        QImageReader reference(&again, header.format);
        reference.setAutoTransform(true);
        EXPECT_TRUE(nearPicture(reference.read(), picture, 1));
        Pipe pipe(row.bytes);
        EXPECT_EQ(readPicture(pipe, how).size(), row.read) << "from a pipe: " << problem.toStdString();
    }
}

// Pictures of the other formats Qt reads, as scanners' command-line tools and editors write them, of
// 64 × 48 pixels: each file is read at its size with the pixels put in it, as Qt's own reader reads
// it, and the picture file panels offer it.
TEST(PictureReading, PicturesOfTheOtherFormatsQtReadsAreReadAndOffered)
{
    constexpr int w = 64, h = 48;
    QImage colours(w, h, QImage::Format_ARGB32), greys = colours, inks = colours, fours = colours;
    QByteArray plain[3], raw[3], wbmp("\0\0\x40\x30", 4), tga("\0\0\2\0\0\0\0\0\0\0\0\0\x40\0\x30\0\x18\0", 18), xbm, xpmFew,
        xpmMany, xpmColours;
    for (int i = 0; i < 3; ++i) {
        plain[i] = QStringLiteral("P%1\n# from a scanner\n64 48\n%2").arg(i + 1).arg(i ? "255\n" : "").toLatin1();
        raw[i] = QStringLiteral("P%1\n64 48\n%2").arg(i + 4).arg(i ? "255\n" : "").toLatin1();
    }
    const QByteArray codes("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.#");
    const QRgb four[] = {0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffffff};
    for (int y = 0; y < h; ++y) {
        xpmFew += ",\n\"", xpmMany += ",\n\"";
        for (int x = 0; x < w; ++x) {
            const int grey = (x * 3 + y * 5) % 256;
            const QRgb colour = qRgb(x * 4, y * 5, x * y % 256);
            colours.setPixel(x, y, colour), greys.setPixel(x, y, qRgb(grey, grey, grey)), fours.setPixel(x, y, four[x / 16]);
            inks.setPixel(x, y, (x + 2 * y) % 3 == 0 ? 0xff000000 : 0xffffffff);
            plain[0] += (x + 2 * y) % 3 == 0 ? "1 " : "0 ", plain[1] += QByteArray::number(grey) + ' ';
            plain[2] += QStringLiteral("%1 %2 %3 ").arg(qRed(colour)).arg(qGreen(colour)).arg(qBlue(colour)).toLatin1();
            raw[1] += char(grey), raw[2].append(char(qRed(colour))).append(char(qGreen(colour))).append(char(qBlue(colour)));
            xpmFew += codes[x / 16], xpmMany.append(codes[x]).append(codes[y]);
            xpmColours += QStringLiteral(",\n\"%1%2 c #%3\"").arg(codes[x]).arg(codes[y]).arg(colour & 0xffffff, 6, 16, QLatin1Char('0')).toLatin1();
            if (x % 8 == 0) {
                uchar msb = 0, lsb = 0; // ink as a bitmap's one bits, first from the high or the low bit
                for (int b = 0; b < 8; ++b)
                    msb |= ((x + b + 2 * y) % 3 == 0) << (7 - b), lsb |= ((x + b + 2 * y) % 3 == 0) << b;
                raw[0] += char(msb), wbmp += char(~msb), xbm += QStringLiteral("0x%1,").arg(lsb, 2, 16, QLatin1Char('0')).toLatin1();
            }
            const QRgb bottomUp = qRgb(x * 4, (h - 1 - y) * 5, x * (h - 1 - y) % 256);
            tga.append(char(qBlue(bottomUp))).append(char(qGreen(bottomUp))).append(char(qRed(bottomUp)));
        }
        plain[0] += '\n', plain[1] += '\n', plain[2] += '\n', xbm += '\n', xpmFew += '"', xpmMany += '"';
    }
    xpmFew = "/* XPM */\nstatic char *few[] = {\n\"64 48 4 1\",\n\"a c #ff0000\",\n\"b c #00ff00\",\n\"c c #0000ff\",\n\"d c #ffffff\"" + xpmFew;
    xpmMany = "/* XPM */\nstatic char *many[] = {\n\"64 48 3072 2\"" + xpmColours + xpmMany;
    xbm = "#define t_width 64\n#define t_height 48\nstatic char t_bits[] = {\n" + xbm;
    tga += QByteArray(8, '\0') + QByteArray("TRUEVISION-XFILE.\0", 18);
    const struct {
        const char *name;
        const char *extension;
        QByteArray bytes;
        const QImage &pixels;
    } rows[] = {
        {"a plain PBM", "pbm", plain[0], inks},
        {"a raw PBM", "pbm", raw[0], inks},
        {"a plain PGM", "pgm", plain[1], greys},
        {"a raw PGM", "pgm", raw[1], greys},
        {"a plain PPM", "ppm", plain[2], colours},
        {"a raw PPM", "pnm", raw[2], colours},
        {"an XBM", "xbm", xbm + "};\n", inks},
        {"an XPM of 4 colours", "xpm", xpmFew + "};\n", fours},
        {"an XPM of 3072 colours", "xpm", xpmMany + "};\n", colours},
        {"a WBMP", "wbmp", wbmp, inks},
        {"a TGA of version 2.0", "tga", tga, colours},
        {"a WebP without loss", "webp", encoded(colours, "webp", false, 100), colours},
    };
    QTemporaryDir dir;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = dir.filePath(QStringLiteral("picture.") + QLatin1String(row.extension));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.write(row.bytes) == row.bytes.size() && file.seek(0));
        QString problem;
        PictureReading how;
        how.problem = &problem;
        const QImage picture = readPicture(file, how);
        EXPECT_EQ(problem.toStdString(), "");
        EXPECT_TRUE(nearPicture(row.pixels, picture.convertToFormat(QImage::Format_ARGB32), 0));
        EXPECT_EQ(picture, QImageReader(path).read()) << "as Qt's own reader reads it";
        EXPECT_TRUE(photoFileTypes().contains(QLatin1String(row.extension)));
    }
}

// A picture is charged the size its decoder makes of it, read within the memory a picture may take,
// and gives its charge back when it cannot be decoded after all.
TEST(PictureReading, APictureIsChargedWhatItDecodesToWithinTheMemoryOfOnePicture)
{
    QByteArray hugePng = encoded(flat(8, 8), "png"); // its header says 11500 × 11500, its body 8 × 8
    qToBigEndian<quint32>(11500, hugePng.data() + 16);
    qToBigEndian<quint32>(11500, hugePng.data() + 20);
    QByteArray brokenPng = encoded(flat(100, 100), "png");
    brokenPng.truncate(60);
    QByteArray webp = encoded(flat(16, 16), "webp"); // claiming 16383 × 16383
    QByteArray strip;
    QBuffer stripBuffer(&strip);
    stripBuffer.open(QIODevice::WriteOnly);
    hostile::writePng(stripBuffer, 1, 60000, 0, 8, false);
    QByteArray os2Bitmap("BM\0\0\0\0\0\0\0\0\x1e\0\0\0\x10\0\0\0\1\0\0\0\1\0\0\0\1\0\x18\0", 30);
    os2Bitmap += QByteArray(4, '\x7f');
    const QByteArray targa = QByteArray("\0\0\2\0\0\0\0\0\0\0\0\0\2\0\2\0\x18\0", 18) + QByteArray(12, '\x40');
    const struct {
        const char *name;
        QByteArray bytes;
        QSize within;
        QSize read;      // invalid when refused
        QString problem; // part of the reason of a refusal
    } rows[] = {
        {"an icon's entry says 16 × 16 of a PNG of 300 × 200", iconHolding(encoded(flat(300, 200), "png")), {}, {300, 200}, {}},
        {"an icon's entry says 16 × 16 of a PNG of 11500 × 11500", iconHolding(hugePng), {}, {}, "11500 × 11500 pixels, more than can be read"},
        {"a progressive JPEG claiming 30000 × 30000", jpegClaiming(true, 30000, 30000), {}, {}, "30000 × 30000 pixels, more than can be read"},
        {"a JPEG claiming 20000 × 20000 is read at the largest eighth that fits", jpegClaiming(false, 20000, 20000), {}, {7500, 7500}, {}},
        {"a WebP claiming 16383 × 16383 decodes whole", webp.left(26) + QByteArray("\xff\x3f\xff\x3f", 4) + webp.mid(30), {}, {}, "16383 × 16383 pixels, more than can be read"},
        {"a PNG whose body is cut", brokenPng, {}, {}, "cannot be read"},
        {"a grey strip of 1 × 60000 within a box", strip, {10, 10}, {1, 10}, {}},
        {"a JPEG turned a quarter by its tag, within a box", hostile::turnedQuarter(encoded(flat(400, 300), "jpeg")), {160, 120}, {90, 120}, {}},
        {"an icon whose entry lies past 64 KiB", iconHolding(encoded(flat(300, 200), "png"), 70'000), {}, {300, 200}, {}},
        {"a PNG of 1 × 2000000, past the longest side libpng reads", hostile::pngClaiming(1, 2'000'000), {}, {}, "1 × 2000000 pixels"},
        {"a bitmap with OS/2's header of 16 bytes", os2Bitmap, {}, {}, "BMP pictures with a header of 16 bytes"},
        {"a Targa picture, which begins as a cursor does", targa, {}, {}, "TGA format"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        qint64 charged = 0;
        QString problem;
        PictureReading how;
        how.within = row.within;
        how.problem = &problem;
        how.spend = [&charged](qint64 pixels) {
            charged += pixels;
            return true;
        };
        const QImage picture = readPicture(row.bytes, how);
        EXPECT_EQ(picture.size(), row.read.isValid() ? row.read : QSize(0, 0));
        EXPECT_EQ(charged, qint64(picture.width()) * picture.height()) << "what is kept is what was charged";
        EXPECT_TRUE(row.problem.isEmpty() ? problem.isEmpty() : problem.contains(row.problem)) << problem.toStdString();
    }
}

namespace {

// A file that counts the bytes read from it.
class CountedFile : public QFile {
public:
    using QFile::QFile;
    qint64 bytesRead = 0;

protected:
    qint64 readData(char *data, qint64 most) override
    {
        const qint64 read = QFile::readData(data, most);
        bytesRead += std::max<qint64>(read, 0);
        return read;
    }
};

// A TIFF of 64 × 48 whose directory of `entries` gives, after the size, bits a sample that lie a MiB
// from its start.
QByteArray farTiff(quint64 entries, bool big)
{
    QByteArray tiff = big ? QByteArray("II+\0\x08\0\0\0\x10\0\0\0\0\0\0\0", 16) : QByteArray("II*\0\x08\0\0\0", 8);
    const auto put = [&](quint64 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            tiff += char(value >> (8 * i));
    };
    put(entries, big ? 8 : 2);
    for (quint64 i = 0; i < entries; ++i) {
        put(i == 0 ? 256 : i == 1 ? 257 : 258, 2), put(3, 2), put(i < 2 ? 1 : 3, big ? 8 : 4);
        put(i == 0 ? 64 : i == 1 ? 48 : (1 << 20) - 8, big ? 8 : 4);
    }
    return tiff;
}

} // namespace

// Weighing a picture reads a few pieces of its file whatever the file holds, and a file whose header
// is refused is read no further: directories whose entries point a MiB away or that are larger than
// libtiff takes, a PNG's header before 40 MB of zeros (a sparse file), a JPEG of megabytes of data.
TEST(PictureReading, WeighingReadsAFewPiecesOfAFileWhateverItHolds)
{
    QByteArray jpeg;
    QBuffer jpegBuffer(&jpeg);
    ASSERT_TRUE(jpegBuffer.open(QIODevice::WriteOnly) && hostile::writeJpeg(jpegBuffer, 16000, 16000, 3, false));
    const struct {
        const char *name;
        QByteArray bytes;
        qint64 size;     // of the file, zeros after the bytes
        QString refusal; // empty when it is weighed
    } rows[] = {
        {"a TIFF of 4096 entries whose values lie a MiB away", farTiff(4096, false), 1 << 20, {}},
        {"a TIFF of 65,535 such entries", farTiff(65535, false), 1 << 20, "65535 entries, more than the 4096 the TIFF reader takes"},
        {"a BigTIFF of 5000 such entries", farTiff(5000, true), 1 << 20, "5000 entries, more than the 4096"},
        {"a PNG's header before 40 MB of zeros", hostile::pngHeader("\x89PNG\r\n\x1a\n", 16, 16, 2, 8, false), 40'000'000,
         "its chunk at byte 33 has no type of four letters"},
        {"a JPEG of 16000 × 16000", jpeg, jpeg.size(), {}},
    };
    QTemporaryDir dir;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        CountedFile file(dir.filePath("picture"));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.write(row.bytes) == row.bytes.size() && file.resize(row.size) &&
                    file.seek(0));
        const PictureHeader header = pictureHeader(file);
        EXPECT_EQ(header.status == PictureHeader::Known, row.refusal.isEmpty());
        EXPECT_TRUE(header.refusal.contains(row.refusal)) << header.refusal.toStdString();
        EXPECT_LE(file.bytesRead, 1 << 20);
        if (row.refusal.isEmpty())
            continue;
        file.bytesRead = 0;
        QString problem;
        PictureReading how;
        how.problem = &problem;
        EXPECT_TRUE(readPicture(file, how).isNull());
        EXPECT_EQ(problem.toStdString(), header.refusal.toStdString());
        EXPECT_LE(file.bytesRead, 1 << 20);
    }
}

namespace {

struct ChildRead {
    bool crashed = true;
    QSize size;
    qint64 peak = 0, milliseconds = 0;
    qint64 charged = 0; // the pixels the reads left charged
    QString problem;
};

// Reads the file (or pastes its bytes) in a process of its own, so that a crash, or the memory the
// read takes, is the read's alone: the test binary again, running only the test below. Read
// `readers` times at once within `within`, each from the file opened on its own, with `addressRoom`
// bytes of address space beyond what the child holds when given; or read from the file, which is
// rewritten as `rewrittenAs` once the reader went back to its start after weighing it.
ChildRead readInChild(const QString &path, bool pasted, int readers = 1, QSize within = {}, qint64 addressRoom = 0,
                      const QString &rewrittenAs = {})
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CARD_PICTURE_TO_READ"), path);
    environment.insert(QStringLiteral("CARD_PICTURE_REWRITTEN_AS"), rewrittenAs);
    environment.insert(QStringLiteral("CARD_PICTURE_PASTED"), pasted ? QStringLiteral("1") : QString());
    environment.insert(QStringLiteral("CARD_PICTURE_HOW"), QStringLiteral("%1 %2 %3 %4").arg(readers).arg(within.width())
                                                               .arg(within.height()).arg(addressRoom));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=PictureReading.ReadsThePictureItIsGivenInAProcessOfItsOwn")});
    ChildRead result;
    if (!child.waitForFinished(600'000) || child.exitStatus() != QProcess::NormalExit)
        return result;
    const QByteArray output = child.readAllStandardOutput();
    const qsizetype at = output.indexOf("read: ");
    if (at < 0)
        return result;
    const QList<QByteArray> fields = output.mid(at + 6, output.indexOf('\n', at) - at - 6).split(' ');
    if (fields.size() < 5)
        return result;
    result.crashed = false;
    result.size = QSize(fields[0].toInt(), fields[1].toInt());
    result.peak = fields[2].toLongLong();
    result.milliseconds = fields[3].toLongLong();
    result.charged = fields[4].toLongLong();
    result.problem = QString::fromUtf8(fields.mid(5).join(' '));
    return result;
}

// A one-bit TIFF of `width` × `height` (width at most 8) in one deflated strip: a few bytes a thousand
// rows.
QByteArray oneBitTiff(quint16 width, quint32 height)
{
    const auto le16 = [](quint16 value) { return QByteArray(reinterpret_cast<const char *>(&value), 2); };
    const auto le32 = [](quint32 value) { return QByteArray(reinterpret_cast<const char *>(&value), 4); };
    const QByteArray strip = qCompress(QByteArray(qsizetype(height), '\x40'), 9).mid(4); // its zlib stream
    const quint32 data = 8 + 2 + 8 * 12 + 4;
    QByteArray tiff = QByteArray("II*\0", 4) + le32(8) + le16(8);
    const auto entry = [&](quint16 tag, quint16 type, quint32 value) {
        tiff += le16(tag) + le16(type) + le32(1) + (type == 3 ? le16(quint16(value)) + le16(0) : le32(value));
    };
    entry(256, 3, width);
    entry(257, 4, height);
    entry(258, 3, 1);
    entry(259, 3, 8); // deflate
    entry(262, 3, 1);     // black is zero
    entry(273, 4, data);
    entry(278, 4, height);
    entry(279, 4, quint32(strip.size()));
    return tiff + le32(0) + strip;
}

// An uncompressed RGB TIFF of `width` × `height` at `bits` a sample in one strip, written as a scanner
// writes it and its rows left as zeros (a sparse file), in a file of `fileSize` bytes (the later pages
// of a scan) when larger.
bool writeUncompressedTiff(QIODevice &out, quint32 width, quint32 height, quint16 bits, qint64 fileSize = 0)
{
    const auto le16 = [](quint16 value) { return QByteArray(reinterpret_cast<const char *>(&value), 2); };
    const auto le32 = [](quint32 value) { return QByteArray(reinterpret_cast<const char *>(&value), 4); };
    const quint32 entries = 10, depths = 8 + 2 + entries * 12 + 4, data = depths + 6;
    QByteArray tiff = QByteArray("II*\0", 4) + le32(8) + le16(entries);
    const auto entry = [&](quint16 tag, quint16 type, quint32 count, quint32 value) {
        tiff += le16(tag) + le16(type) + le32(count) + (type == 3 && count == 1 ? le16(quint16(value)) + le16(0) : le32(value));
    };
    const qint64 bytes = qint64(width) * height * 3 * bits / 8;
    entry(256, 4, 1, width);
    entry(257, 4, 1, height);
    entry(258, 3, 3, depths);
    entry(259, 3, 1, 1);
    entry(262, 3, 1, 2);
    entry(273, 4, 1, data);
    entry(277, 3, 1, 3);
    entry(278, 4, 1, height);
    entry(279, 4, 1, quint32(bytes));
    entry(284, 3, 1, 1);
    tiff += le32(0) + le16(bits) + le16(bits) + le16(bits);
    return out.write(tiff) == tiff.size() && static_cast<QFile &>(out).resize(std::max(data + bytes, fileSize));
}

// A file rewritten in place (the same file, as an editor or a sync tool rewrites it) with
// `replacement` the second time it is sought to its start: once its header was walked from there.
class RewrittenFile : public QFile {
public:
    RewrittenFile(const QString &path, QByteArray replacement) : QFile(path), m_replacement(std::move(replacement)) {}
    bool seek(qint64 at) override
    {
        if (at == 0 && ++m_starts == 2) {
            QFile same(fileName());
            EXPECT_TRUE(same.open(QIODevice::WriteOnly | QIODevice::Truncate) && same.write(m_replacement) == m_replacement.size());
        }
        return QFile::seek(at);
    }

private:
    QByteArray m_replacement;
    int m_starts = 0;
};

} // namespace

// Run by readInChild only.
TEST(PictureReading, ReadsThePictureItIsGivenInAProcessOfItsOwn)
{
    const QString path = qEnvironmentVariable("CARD_PICTURE_TO_READ");
    if (path.isEmpty())
        return;
    const QList<QString> how = qEnvironmentVariable("CARD_PICTURE_HOW").split(' ');
    const int readers = std::max(1, how.value(0).toInt());
    QString problem;
    QImage picture;
    std::atomic<qint64> charged{0};
    const bool pasted = !qEnvironmentVariableIsEmpty("CARD_PICTURE_PASTED");
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = pasted ? file.readAll() : QByteArray();
    if (const qint64 room = how.value(3).toLongLong(); room > 0) {
        QFile held(QStringLiteral("/proc/self/statm"));
        ASSERT_TRUE(held.open(QIODevice::ReadOnly));
        const rlimit limit{rlim_t(held.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE) + room), RLIM_INFINITY};
        ASSERT_EQ(setrlimit(RLIMIT_AS, &limit), 0);
    }
    QElapsedTimer clock;
    QFile replacement(qEnvironmentVariable("CARD_PICTURE_REWRITTEN_AS"));
    RewrittenFile rewritten(path, replacement.open(QIODevice::ReadOnly) ? replacement.readAll() : QByteArray());
    const qint64 peak = memoryTakenBy([&] {
        clock.start();
        if (replacement.isOpen()) {
            PictureReading reading;
            reading.problem = &problem;
            picture = rewritten.open(QIODevice::ReadOnly) ? readPicture(rewritten, reading) : QImage();
            return;
        }
        if (pasted) {
            MemoryPasteboard pasteboard;
            pasteboard.writeItems({{QStringLiteral("image/png"), bytes}});
            picture = pasteboard.image(&problem);
            return;
        }
        // Each reader keeps what it read, as a bound run's records do until they are handed over.
        QList<QImage> kept(readers);
        QStringList problems(readers);
        std::vector<std::thread> threads;
        for (int r = 0; r < readers; ++r)
            threads.emplace_back([&, r] {
                PictureReading reading;
                reading.problem = &problems[r];
                reading.within = QSize(how.value(1).toInt(), how.value(2).toInt());
                reading.spend = [&charged](qint64 pixels) {
                    charged += pixels;
                    return true;
                };
                QFile own(path);
                kept[r] = own.open(QIODevice::ReadOnly) ? readPicture(own, reading) : QImage();
            });
        for (std::thread &thread : threads)
            thread.join();
        picture = kept.first();
        problem = problems.first();
    });
    std::printf("read: %d %d %lld %lld %lld %s\n", picture.width(), picture.height(), static_cast<long long>(peak),
                static_cast<long long>(clock.elapsed()), static_cast<long long>(charged.load()), qPrintable(problem));
}

// Every picture is read, or refused with its reason, within the memory one picture may take, by
// what its decoder does with it: hostile headers, pictures decoded whole, and JPEGs buffered whole.
TEST(PictureReading, EveryPictureIsReadOrRefusedWithinTheMemoryOfOnePicture)
{
    using Write = std::function<bool(QIODevice &)>;
    const auto bytes = [](const QByteArray &data) { return Write([data](QIODevice &out) { return out.write(data) == data.size(); }); };
    const auto png = [](int w, int h, int colourType, bool interlaced = false) {
        return Write([=](QIODevice &out) { return hostile::writePng(out, w, h, colourType, 8, interlaced); });
    };
    const auto jpeg = [](int w, int h, int components, bool scanEach, qint64 cut = 0) {
        return Write([=](QIODevice &out) {
            return hostile::writeJpeg(out, w, h, components, scanEach) && (!cut || static_cast<QFile &>(out).resize(cut));
        });
    };
    QByteArray small;
    QBuffer smallBuffer(&small);
    smallBuffer.open(QIODevice::WriteOnly);
    hostile::writeJpeg(smallBuffer, 16, 16, 3, false);
    const QByteArray comments = hostile::withComments("", 100'000);
    const QByteArray progressive = encoded(flat(16, 16), "jpeg", true);
    const qsizetype secondScan = progressive.indexOf("\xff\xda", progressive.indexOf("\xff\xda") + 2);
    const QByteArray betweenScans = progressive.left(secondScan) + comments + progressive.mid(secondScan);
    const QString tooLarge = QStringLiteral("more than can be read");
    QByteArray runLengthStrip = hostile::bitmapClaiming(1, 200'000'000).left(54) + QByteArray("\0\0\0\0\xff\xff\xff\0\0\1", 10);
    runLengthStrip[10] = 62, runLengthStrip[28] = 8, runLengthStrip[30] = 1, runLengthStrip[46] = 2; // two colours, run-length
    const auto sparse = [](const QByteArray &data, qint64 size) {
        return Write([=](QIODevice &out) { return out.write(data) == data.size() && static_cast<QFile &>(out).resize(size); });
    };
    const auto tiff = [](quint32 w, quint32 h, quint16 bits, qint64 size = 0) {
        return Write([=](QIODevice &out) { return writeUncompressedTiff(out, w, h, bits, size); });
    };
    const auto bitmap = [](qint32 w, qint32 h) { // 24 bits a pixel, its rows zeros
        QByteArray bmp = hostile::bitmapClaiming(w, h).left(54);
        bmp[28] = 24;
        return Write([=](QIODevice &out) {
            return out.write(bmp) == bmp.size() && static_cast<QFile &>(out).resize(54 + qint64(w * 3 + 3) / 4 * 4 * h);
        });
    };
    QByteArray longComment = "P5\n#" + QByteArray(16 * 65536 + 10, 'x') + "\n2 2\n255\n\x01\x02\x03\x04";
    const QByteArray smallPng = encoded(flat(16, 16), "png");
    constexpr qint64 MB = 1 << 20;
    const struct {
        const char *name;
        Write write;
        QSize read;      // invalid when refused
        QString problem; // part of the reason of a refusal
        bool pasted = false;
        qint64 peak = 0; // the most it may take, when less than any picture
    } rows[] = {
        {"an MNG of 1 × 83886335, pasted as a PNG", bytes(hostile::pngClaiming(1, 0x050000ff, "\x8aMNG\r\n\x1a\n")), {}, "MNG", true},
        {"a PNG claiming 2³¹−1 × 2³¹−1", bytes(hostile::pngClaiming(INT_MAX, INT_MAX)), {}, tooLarge},
        {"a TIFF claiming 2³¹−1 × 2³¹−1", bytes(hostile::tiffClaiming(INT_MAX, INT_MAX)), {}, tooLarge},
        {"a bitmap claiming 2³¹−1 × 2³¹−1", bytes(hostile::bitmapClaiming(INT_MAX, INT_MAX)), {}, tooLarge},
        {"a JPEG of 16000² whose colours come in a scan each", jpeg(16000, 16000, 3, true), {}, tooLarge},
        {"the first 4000 bytes of it", jpeg(16000, 16000, 3, true, 4000), {}, tooLarge},
        {"a CMYK JPEG of 12000² in four scans", jpeg(12000, 12000, 4, true), {}, tooLarge},
        {"a JPEG of 16 × 16 after 100,000 comments", bytes(hostile::withComments(small, 100'000)), {}, "segments"},
        {"a palette PNG of 12000 × 9000", png(12000, 9000, 3), pictureSizeRead({12000, 9000}), {}},
        {"a grey PNG of 12000 × 9000", png(12000, 9000, 0), pictureSizeRead({12000, 9000}), {}},
        {"an interlaced palette PNG of 9000²", png(9000, 9000, 3, true), pictureSizeRead({9000, 9000}), {}},
        {"a grey scan of an A4 page at 1200 dpi", png(9921, 14031, 0), pictureSizeRead({9921, 14031}), {}},
        {"a grey JPEG of 12000 × 9000", jpeg(12000, 9000, 1, false), pictureSizeRead({12000, 9000}), {}},
        {"a JPEG of 16000 × 12000", jpeg(16000, 12000, 3, false), pictureSizeRead({16000, 12000}), {}},
        {"a grey PNG strip of 1 × 83886335", png(1, 0x050000ff, 0), {}, tooLarge},
        {"a PNG of 16 × 16 whose text chunk claims 2 GiB", bytes(hostile::pngHeader("\x89PNG\r\n\x1a\n", 16, 16, 2, 8, false) + hostile::be32(0x7fffffff) + "zTXtabc"), {}, "claims 2147483647 bytes"},
        {"a JPEG of 16 × 16 with 100,000 comments after its scan", bytes(small.left(small.size() - 2) + comments + small.right(2)), {}, "segments"},
        {"a progressive JPEG of 16 × 16 with them between its scans", bytes(betweenScans), {}, "segments"},
        {"a 16-bit grey PNG of 11000² whose transparent colour follows 80 KB of text",
         Write([](QIODevice &out) { return hostile::writePng(out, 11000, 11000, 0, 16, false, textThenTransparent()); }), {}, tooLarge},
        {"a one-bit TIFF strip of 2 × 50,000,000", bytes(oneBitTiff(2, 50'000'000)), pictureSizeRead({2, 50'000'000}), {}},
        // Decoded a byte a pixel into rows of four bytes each.
        {"a run-length bitmap strip of 1 × 200,000,000", bytes(runLengthStrip), {}, tooLarge},
        {"a PGM whose comment goes on past 1 MiB", bytes(longComment), {2, 2}, {}},
        {"a PNG whose chunk after its data has no type", bytes(smallPng.left(smallPng.size() - 12) + QByteArray("\0\0\0\0a1b2", 8)), {}, "no type of four letters"},
        {"an uncompressed scan of an A3 page at 600 dpi", tiff(7016, 9921, 8), pictureSizeRead({7016, 9921}), {}},
        {"a 16-bit TIFF of a 48-megapixel camera", tiff(8000, 6000, 16), {8000, 6000}, {}},
        {"a scan of 4000 × 3000 whose later pages make 700 MB", tiff(4000, 3000, 8, 700 * MB), {4000, 3000}, {}, false, 80 * MB},
        {"a JPEG followed by 700 MB", sparse(small, 700 * MB), {16, 16}, {}, false, 16 * MB},
        {"a PNG in a sparse file of 4 GB", sparse(smallPng, 4096 * MB), {16, 16}, {}, false, 16 * MB},
        {"a bitmap of 8000²", bitmap(8000, 8000), {8000, 8000}, {}, false, 8000LL * 8000 * 4 + 32 * MB},
        {"a bitmap of 10000², refused by its header alone", bitmap(10000, 10000), {}, tooLarge, false, 16 * MB},
    };
    const qint64 bound = kMostReadingBytes * (kSanitized ? 9 : 8) / 8 + kQuarantine;
    QTemporaryDir dir;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QFile file(dir.filePath("picture"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && row.write(file));
        file.close();
        const ChildRead read = readInChild(file.fileName(), row.pasted);
        std::printf("%-55s %6lld MiB %6lld ms  %s\n", row.name, read.peak >> 20, read.milliseconds,
                    read.crashed ? "crashed" : qPrintable(read.problem));
        EXPECT_FALSE(read.crashed);
        if (read.crashed)
            continue;
        EXPECT_EQ(read.size, row.read.isValid() ? row.read : QSize(0, 0));
        EXPECT_TRUE(row.problem.isEmpty() ? read.problem.isEmpty() : read.problem.contains(row.problem)) << read.problem.toStdString();
        EXPECT_LE(read.peak, row.peak ? row.peak + kQuarantine : bound);
    }
}

// Pictures decoded side by side (a bound run's records, the picture browser) take together the
// memory of one reading beyond what they keep, whatever they read: four JPEGs of 8000 × 7000 whose
// colours come in a scan each, each holding its coefficients whole (336 MB), and twelve uncompressed
// scans of 48 MB each, read at once within a card's box. Held to little more address space than it
// has, a read for want of memory is refused for that, and gives back what it was charged.
TEST(PictureReading, PicturesReadAtOnceTakeTheMemoryOfOneReadingAndAReadWithoutMemoryIsRefused)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("scans.jpg")), scan(dir.filePath("scan.tif"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && hostile::writeJpeg(file, 8000, 7000, 3, true));
    ASSERT_TRUE(scan.open(QIODevice::WriteOnly) && writeUncompressedTiff(scan, 4000, 4000, 8));
    file.close(), scan.close();
    for (const auto &[path, readers, within] : {std::tuple{file.fileName(), 4, QSize(2000, 1750)}, {scan.fileName(), 12, QSize(1000, 1000)}}) {
        SCOPED_TRACE(path.toStdString());
        // What AddressSanitizer keeps back of what many threads freed is not theirs.
        const QByteArray sanitizing = qgetenv("ASAN_OPTIONS");
        qputenv("ASAN_OPTIONS", sanitizing + ":quarantine_size_mb=0");
        const ChildRead read = readInChild(path, false, readers, within);
        qputenv("ASAN_OPTIONS", sanitizing);
        std::printf("%d readers of %s: %lld MiB\n", readers, qPrintable(QFileInfo(path).fileName()), read.peak >> 20);
        ASSERT_FALSE(read.crashed);
        EXPECT_EQ(read.size, within) << read.problem.toStdString();
        EXPECT_EQ(read.charged, readers * qint64(within.width()) * within.height());
        EXPECT_LE(read.peak, kMostReadingBytes * (kSanitized ? 9 : 8) / 8 + kQuarantine + read.charged * 4);
    }

    if (kSanitized) // AddressSanitizer reserves more address space than any limit leaves
        return;
    const ChildRead starved = readInChild(file.fileName(), false, 1, {}, 96LL << 20);
    ASSERT_FALSE(starved.crashed);
    EXPECT_EQ(starved.size, QSize(0, 0));
    EXPECT_EQ(starved.problem.toStdString(), "there is not enough memory to read the picture");
    EXPECT_EQ(starved.charged, 0);
}

// A picture file rewritten in place between its weighing and its decoding: a PNG of 100 × 100 that
// becomes one of 20000 × 20000 (1.6 GB decoded) is read as weighed or refused as changed, within the
// memory of one picture.
TEST(PictureReading, AFileRewrittenAfterItsWeighingIsNotDecodedPastIt)
{
    QTemporaryDir dir;
    QFile small(dir.filePath("picture.png")), large(dir.filePath("larger.png"));
    ASSERT_TRUE(small.open(QIODevice::WriteOnly) && hostile::writePng(small, 100, 100, 2, 8, false));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && hostile::writePng(large, 20000, 20000, 2, 8, false));
    small.close(), large.close();
    const ChildRead read = readInChild(small.fileName(), false, 1, {}, 0, large.fileName());
    ASSERT_FALSE(read.crashed);
    EXPECT_TRUE(read.size == QSize(100, 100) || read.problem == "the file changed while it was read") << read.problem.toStdString();
    EXPECT_LE(read.peak, kMostReadingBytes * (kSanitized ? 9 : 8) / 8 + kQuarantine);
}
