// Designs whose saved bytes are fixed: however the file is made, these designs give these bytes.

#include "document/DesignFile.h"
#include "document/SKTGraphicKinds.h"

#include "fixtures/StoredPictures.h"
#include "fixtures/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

const QStringList kKinds{"Shape_Control", "SKTLine", "SKTText", "SKTImage", "SKTSignature", "SKTBarcode"};

// A graphic of the kind with every stored field moved off its default, differently for each seed.
SKTGraphicPtr withEveryFieldSet(const QString &className, int seed)
{
    using Type = platform::MemoryKeyedArchive::Type;
    SKTGraphicPtr g = SKTGraphic::graphicWithClassName(className);
    platform::MemoryKeyedArchive defaults, changed;
    g->encodeWithCoder(defaults);
    int n = seed;
    for (const auto &e : defaults.entries()) {
        ++n;
        switch (e.type) {
        case Type::Bool: changed.encodeBool(e.key, !e.value.toBool()); break;
        case Type::Int: changed.encodeInt(e.key, e.value.toInt() + 1 + n % 3); break;
        case Type::Float:
        case Type::Double: changed.encodeFloat(e.key, e.value.toFloat() + 0.37f * float(n)); break;
        case Type::Rect: changed.encodeRect(e.key, QRectF(n, -n * 1.5, 40.25, 30.0 / 7)); break;
        default: {
            QVariant value;
            if (e.key.endsWith(QLatin1String("_font")) || e.key.endsWith(QLatin1String("_font_val")))
                value = QFont(QStringLiteral("Liberation Sans"), 8 + n % 9);
            else if (e.value.metaType() == QMetaType::fromType<QString>() || !e.value.isValid())
                value = QStringLiteral("%1 <&> \u00e9\u4e2d %2").arg(e.key).arg(n);
            if (e.value.metaType() == QMetaType::fromType<QColor>())
                value = QColor::fromRgbF(n % 7 / 7.0f, 0.3f, 1.0f / float(n), 0.5f);
            changed.encodeObject(e.key, value);
        }
        }
    }
    g->initWithCoder(changed);
    g->Text_contents().string = QStringLiteral("text \u00fc %1\nsecond line").arg(seed);
    QImage picture(5 + seed % 4, 3, QImage::Format_ARGB32);
    picture.fill(QColor(seed * 30 % 256, 90, 160, 200));
    g->Set_Barcode_image(className == QLatin1String("SKTBarcode") ? picture : QImage());
    if (seed % 2)
        g->m_undecodedPictures.insert(QStringLiteral("_barcode_image"),
                                      {QByteArray("not a picture \0 at all", 22), QStringLiteral("{4, 3}")});
    return g;
}

DesignFileContents designOfEveryField()
{
    DesignFileContents c;
    for (Card_Property *card : {&c.Front_card_Prop, &c.Back_card_Prop}) {
        card->setCard_fill_style(QStringLiteral("I"));
        card->setCard_BG_Image_Path(QStringLiteral("/pictures/a & b <c>.png"));
        card->setCard_Name(QStringLiteral("Gr\u00fc\u00dfe \U0001F389 \"quoted\" 'single'\ttab"));
        card->setCard_fill_Grd_2_clr(QColor(12, 34, 56, 128));
        card->setCard_Location(QPointF(12.5, -3.25));
        card->setCard_Size(QSizeF(243.7, 154.1));
    }
    c.Main_Photo_image = QImage(6, 4, QImage::Format_RGB32);
    c.Main_Photo_image.fill(Qt::green);
    c.IMG_hue_val = 1.7f;
    c.Excel_Binding_Use = true;
    c.Excel_Source_Path = QStringLiteral("/data/guests.xlsx");
    c.excelColumnTitles = {QStringLiteral("#"), QStringLiteral("Name & City")};
    c.excelRows = {{{"Extension", QStringLiteral("1")}, {"Column1", QStringLiteral("Ann <Oslo>")}}};
    for (const QString &kind : kKinds) {
        c.frontGraphics << withEveryFieldSet(kind, int(c.frontGraphics.size()) * 13);
        c.backGraphics << SKTGraphic::graphicWithClassName(kind) << withEveryFieldSet(kind, 7);
        // Not the test's temporary resources, which change from run to run.
        c.backGraphics.at(c.backGraphics.size() - 2)->_file_path = QStringLiteral("/pictures/none.png");
    }
    return c;
}

QString sha256(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

} // namespace

TEST(DesignBytes, StayWhatTheyWere)
{
    AppFixture app;
    QList<std::pair<QString, QByteArray>> made{{QStringLiteral("every field"), DesignFile::data(designOfEveryField())},
                                               {QStringLiteral("pasteboard"), SKTGraphic::pasteboardDataWithGraphics(
                                                                                  designOfEveryField().frontGraphics)}};
    // Read back and written again, they give what reading gives today.
    const std::optional<DesignFileContents> reread = DesignFile::read(made.at(0).second);
    const std::optional<GraphicList> pasted = SKTGraphic::graphicsWithPasteboardData(made.at(1).second);
    ASSERT_TRUE(reread && pasted);
    made.append({QStringLiteral("every field, read"), DesignFile::data(*reread)});
    made.append({QStringLiteral("pasteboard, read"), SKTGraphic::pasteboardDataWithGraphics(*pasted)});
    // The shipped templates, read and written again.
    const QDir templates(sourceTestsPath() + QStringLiteral("../resources/Templates"));
    for (const QString &name : templates.entryList({QStringLiteral("*.zkse")}, QDir::Files, QDir::Name)) {
        QFile file(templates.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const std::optional<DesignFileContents> design = DesignFile::read(file.readAll());
        ASSERT_TRUE(design) << name.toStdString();
        made.append({name, DesignFile::data(*design)});
    }
    const QMap<QString, QString> expected{
        {QStringLiteral("every field"), QStringLiteral("15f02928cfb271b5639c1ede500b33ffffc897032c80aedc37f30fbbd71758c1")},
        {QStringLiteral("pasteboard"), QStringLiteral("4ed8663c4aa344fb7ffda04244909b4b9c7a01483b297f78a72aef3295bdfe05")},
        {QStringLiteral("every field, read"), QStringLiteral("8fdb80ad9cd888bac647f0c89e7a408d9c149d0156e5d6f384aa6c185a73ba11")},
        {QStringLiteral("pasteboard, read"), QStringLiteral("3f45e63f6ef35c62c7abc9151338523c7ca340308f2eaa45c7f92c7ef7e0bc71")},
        {QStringLiteral("Birthday Balloons.zkse"), QStringLiteral("6b85f23f595bc5c63a6c1a3562347f5e97893ed5bb4a28bc6e9d7c8282baba71")},
        {QStringLiteral("Blank Business Card.zkse"), QStringLiteral("9391d479922d31558baa5fef82e93d4ceb08ab12d77d2c2e8c206409ac98d9bd")},
        {QStringLiteral("Blank Greeting Card.zkse"), QStringLiteral("e9fc75a545549e7e1944e6b794cb1b6fc5e2b48268848ea1c9713a63e7400f68")},
        {QStringLiteral("Blank Invitation.zkse"), QStringLiteral("8382a4cf792fab3006c3924f31ca4ea0940de0778669377fb3aa04cd3ae9ba98")},
        {QStringLiteral("Evening Under the Stars.zkse"), QStringLiteral("eb9abb212571974f81bf8e5e9e46dc8cb253f22a8704c2672fe325f768817b4c")},
        {QStringLiteral("Garden Party.zkse"), QStringLiteral("50cd1afabbf2e41276d05dec2254e0918f9bb649d4cb16dd85d034eb5f049c83")},
    };
    ASSERT_EQ(made.size(), 10);
    for (const auto &[name, bytes] : made)
        EXPECT_EQ(sha256(bytes).toStdString(), expected.value(name).toStdString()) << name.toStdString();
}
