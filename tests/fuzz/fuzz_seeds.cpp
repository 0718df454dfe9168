// Writes seed inputs for the harnesses with the program's own writers:
//   fuzz_seeds <folder>   makes <folder>/design, <folder>/archive, <folder>/pasteboard and <folder>/picture.

#include "FuzzSupport.h"

#include "../fixtures/HostilePictures.h"

#include "document/ArchiveValues.h"
#include "document/DesignFile.h"
#include "document/SKTBarcode.h"
#include "document/SKTGraphicKinds.h"
#include "platform/KeyedArchiver.h"
#include "platform/PropertyList.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <climits>
#include <cstdio>
#include <functional>

namespace {

GraphicList everyKind()
{
    GraphicList graphics;
    int i = 0;
    for (const char *cls : {"Shape_Control", "SKTLine", "SKTText", "SKTImage", "SKTSignature", "SKTBarcode"}) {
        SKTGraphicPtr g = SKTGraphic::graphicWithClassName(QLatin1String(cls));
        g->_bounds = QRectF(10 + 20 * i, 5 + 3 * i, 40, 30);
        g->control_ID = QStringLiteral("ID_%1").arg(i);
        g->Text_Value = QStringLiteral("value %1").arg(i);
        g->_fill_type = i % 2 ? QStringLiteral("G") : QStringLiteral("H");
        g->_stroke_border_type = QStringLiteral("DD");
        g->binding.data_source_type = i % 3;
        g->Drawing_Shadow = true;
        graphics << g;
        ++i;
    }
    graphics[0]->_shape_type = QStringLiteral("DS");
    graphics[2]->Text_contents().string = QStringLiteral("Hello\nthere");
    graphics[3]->_file_path = QStringLiteral("/tmp/picture.png");
    QImage bars(8, 4, QImage::Format_RGB32);
    bars.fill(Qt::black);
    graphics[5]->_barcode_image = bars;
    return graphics;
}

DesignFileContents design(const GraphicList &graphics)
{
    DesignFileContents c;
    c.Front_card_Prop.setCard_fill_chk(true);
    c.Front_card_Prop.setCard_fill_style(QStringLiteral("I"));
    c.Front_card_Prop.setCard_BG_Image_Path(QStringLiteral("/pictures/backdrop.png"));
    c.Front_card_Prop.setCard_Size(QSizeF(243, 154));
    c.Main_Photo_image = QImage(3, 2, QImage::Format_RGB32);
    c.Main_Photo_image.fill(Qt::green);
    c.IMG_hue_val = 1.7f;
    c.Excel_Binding_Use = true;
    c.excelColumnTitles = {QStringLiteral("#"), QStringLiteral("Name")};
    c.excelRows = {{{"Extension", QStringLiteral("1")}, {"Column1", QStringLiteral("Ann")}}};
    c.frontGraphics = graphics;
    c.backGraphics = graphics.mid(1, 2);
    return c;
}

bool writeSeed(const QString &folder, const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray asXml(const QByteArray &binary)
{
    const std::optional<QVariant> list = platform::propertyListFromData(binary);
    return list ? platform::propertyListData(*list, platform::PropertyListFormat::Xml) : QByteArray();
}

// A graphic archive one of whose fields is a list that holds itself a thousand times.
QByteArray selfHoldingArchive()
{
    QVariantMap top = platform::propertyListFromData(Shape_Control().archivedData())->toMap();
    QVariantList objects = top.value(QStringLiteral("$objects")).toList();
    const quint64 classIndex = quint64(objects.size());
    objects << QVariantMap{{QStringLiteral("$classname"), QStringLiteral("NSArray")},
                           {QStringLiteral("$classes"), QStringList{QStringLiteral("NSArray")}}};
    const quint64 listIndex = quint64(objects.size());
    QVariantList refs;
    for (int i = 0; i < 1000; ++i)
        refs << QVariant::fromValue(platform::PlistUid{listIndex});
    objects << QVariantMap{{QStringLiteral("NS.objects"), refs},
                           {QStringLiteral("$class"), QVariant::fromValue(platform::PlistUid{classIndex})}};
    QVariantMap root = objects.at(1).toMap();
    root.insert(QStringLiteral("_shape_type"), QVariant::fromValue(platform::PlistUid{listIndex}));
    objects[1] = root;
    top.insert(QStringLiteral("$objects"), objects);
    return platform::propertyListData(top, platform::PropertyListFormat::Binary);
}

// A binary design whose front names one graphic archive many times.
QByteArray sharedArchiveDesign()
{
    QVariantList elements = DesignFile::rootArray(DesignFileContents()).mid(0, 75);
    const QByteArray archive = Shape_Control().archivedData();
    elements << QStringLiteral("300");
    for (int i = 0; i < 300; ++i)
        elements << archive;
    elements << QStringLiteral("0");
    return platform::propertyListData(elements, platform::PropertyListFormat::Binary);
}

// A design whose card is larger than any page and whose pictures cannot be decoded.
QByteArray damagedDesign(const GraphicList &graphics)
{
    DesignFileContents c = design(graphics);
    c.Front_card_Prop.setCard_Size(QSizeF(1e308, -5));
    QByteArray data = DesignFile::data(c);
    return data.replace("iVBORw0KGgo", "iVBORw0KGgX"); // every PNG signature, base64
}

// The barcode harness's input: symbology, mode and indexes, the ranged numbers, then the value.
QByteArray barcodeSeed(int symbology, bool twoD, int hostile, const QByteArray &value)
{
    QByteArray seed;
    for (const int byte : {symbology, twoD ? 1 : 0, 0, 0, 0, 0, 0, 0})
        seed.append(static_cast<char>(byte));
    SKTBarcode fields;
    const auto append = [&seed](auto number) { seed.append(reinterpret_cast<const char *>(&number), sizeof number); };
#define APPEND_FIELD(Name, Range) append(hostile ? decltype(fields.Name)(hostile) : fields.Name);
    BARCODE_SETTINGS_RANGES(APPEND_FIELD)
#undef APPEND_FIELD
    return seed + value;
}

// Pictures whose headers claim what no body holds, whose decoders take far more than their size,
// or whose segments take long to walk.
bool writePictureSeeds(const QString &folder)
{
    bool ok = QDir().mkpath(folder);
    const auto written = [](const std::function<bool(QIODevice &)> &write) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        return write(buffer) ? bytes : QByteArray();
    };
    const QByteArray small = written([](QIODevice &out) { return hostile::writeJpeg(out, 16, 16, 3, false); });
    const QList<std::pair<QString, QByteArray>> seeds = {
        {"mng-1x83886335.mng", hostile::pngClaiming(1, 0x050000ff, "\x8aMNG\r\n\x1a\n")},
        {"claiming-int-max.png", hostile::pngClaiming(INT_MAX, INT_MAX)},
        {"claiming-int-max.tif", hostile::tiffClaiming(INT_MAX, INT_MAX)},
        {"claiming-int-max.bmp", hostile::bitmapClaiming(INT_MAX, INT_MAX)},
        {"scan-each-16000-first-4000-bytes.jpg", written([](QIODevice &out) { return hostile::writeJpeg(out, 16000, 16000, 3, true); }).left(4000)},
        {"cmyk-scan-each-2000.jpg", written([](QIODevice &out) { return hostile::writeJpeg(out, 2000, 2000, 4, true); })},
        {"grey-12000x9000.jpg", written([](QIODevice &out) { return hostile::writeJpeg(out, 12000, 9000, 1, false); })},
        {"comments-100000.jpg", hostile::withComments(small, 100'000)},
        {"palette-12000x9000.png", written([](QIODevice &out) { return hostile::writePng(out, 12000, 9000, 3, 8, false); })},
        {"grey-12000x9000.png", written([](QIODevice &out) { return hostile::writePng(out, 12000, 9000, 0, 8, false); })},
        {"interlaced-palette-9000.png", written([](QIODevice &out) { return hostile::writePng(out, 9000, 9000, 3, 8, true); })},
        {"grey-a4-1200dpi.png", written([](QIODevice &out) { return hostile::writePng(out, 9921, 14031, 0, 8, false); })},
        {"grey-strip-1x83886335.png", written([](QIODevice &out) { return hostile::writePng(out, 1, 0x050000ff, 0, 8, false); })},
    };
    for (const auto &[name, bytes] : seeds)
        ok &= !bytes.isEmpty() && writeSeed(folder, name, bytes);
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    startFuzzingApplication(&argc, &argv);
    const QString root = QString::fromLocal8Bit(argv[1]);
    const GraphicList graphics = everyKind();
    bool ok = true;

    ok &= writeSeed(root + QStringLiteral("/design"), QStringLiteral("empty.zkse"),
                    DesignFile::data(DesignFileContents()));
    ok &= writeSeed(root + QStringLiteral("/design"), QStringLiteral("rich.zkse"), DesignFile::data(design(graphics)));
    // The reader takes binary property lists too; a small one mutates quickly.
    ok &= writeSeed(root + QStringLiteral("/design"), QStringLiteral("small.bplist"),
                    platform::propertyListData(DesignFile::rootArray(design(graphics.mid(1, 1))),
                                               platform::PropertyListFormat::Binary));

    ok &= writeSeed(root + QStringLiteral("/design"), QStringLiteral("shared-archive.bplist"), sharedArchiveDesign());
    ok &= writeSeed(root + QStringLiteral("/design"), QStringLiteral("damaged.zkse"), damagedDesign(graphics));
    ok &= writeSeed(root + QStringLiteral("/archive"), QStringLiteral("self-holding-list.bplist"), selfHoldingArchive());
    ok &= writeSeed(root + QStringLiteral("/pasteboard"), QStringLiteral("self-holding-list.bplist"),
                    platform::propertyListData(QVariantList{selfHoldingArchive()}, platform::PropertyListFormat::Binary));

    for (const SKTGraphicPtr &g : graphics) {
        const QByteArray binary = g->archivedData();
        ok &= writeSeed(root + QStringLiteral("/archive"), g->className() + QStringLiteral(".bplist"), binary);
        ok &= writeSeed(root + QStringLiteral("/archive"), g->className() + QStringLiteral(".xml"), asXml(binary));
    }
    ok &= writeSeed(root + QStringLiteral("/archive"), QStringLiteral("colour.bplist"),
                    platform::KeyedArchiver::archivedDataWithRootValue(archiveObject(QColor(10, 20, 30, 40))));
    ok &= writeSeed(root + QStringLiteral("/archive"), QStringLiteral("font.bplist"),
                    platform::KeyedArchiver::archivedDataWithRootValue(
                        archiveObject(QFont(QStringLiteral("Liberation Sans"), 12))));

    ok &= writeSeed(root + QStringLiteral("/pasteboard"), QStringLiteral("every-kind.bplist"),
                    SKTGraphic::pasteboardDataWithGraphics(graphics));
    ok &= writeSeed(root + QStringLiteral("/pasteboard"), QStringLiteral("one.bplist"),
                    SKTGraphic::pasteboardDataWithGraphics(graphics.mid(0, 1)));
    // Every symbology with a value it takes, with the window's defaults and with sizes of INT_MAX.
    for (int symbology = 0; symbology < 22; ++symbology)
        for (const int hostile : {0, INT_MAX})
            ok &= writeSeed(root + QStringLiteral("/barcode"), QStringLiteral("symbology-%1-%2.bin").arg(symbology).arg(hostile),
                            barcodeSeed(symbology, symbology >= 19, hostile, "0123456789012"));
    ok &= writePictureSeeds(root + QStringLiteral("/picture"));
    return ok ? 0 : 1;
}
