#include "document/DesignFile.h"
#include "document/SKTGraphicKinds.h"
#include "platform/PictureReading.h"
#include "platform/PropertyList.h"
#include "platform/SafeFileWriter.h"

#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"

#include <QBuffer>
#include <QFile>
#include "fixtures/HangGuard.h"
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <limits>
#include <utility>

#include <unistd.h>

namespace {

DesignFileContents richDesign()
{
    DesignFileContents c;
    c.Front_card_Prop.setCard_fill_chk(true);
    c.Front_card_Prop.setCard_fill_style(QStringLiteral("I"));
    c.Front_card_Prop.setCard_BG_Image_Path(QStringLiteral("/pictures/back drop.png"));
    c.Front_card_Prop.setCard_Size(QSizeF(243, 154));
    c.Front_card_Prop.setCard_alpha_Stepper(100);
    c.Front_card_Prop.setCard_fill_Grd_2_clr(QColor(12, 34, 56, 128));
    c.Front_card_Prop.setCard_Content_font(QFont(QStringLiteral("Liberation Serif"), 17));
    c.Back_card_Prop.setCard_fill_style(QStringLiteral("S"));
    c.Back_card_Prop.setCard_BG_Image_Path(QStringLiteral("/pictures/unused.png"));
    c.Back_card_Prop.setCard_Location(QPointF(12.5, 3));
    c.Back_card_Prop.setCard_Shape(QStringLiteral("O"));
    c.Invite_Frame_Pic_IMG = QStringLiteral("/frames/gold.png");
    c.Main_Photo_image = QImage(6, 4, QImage::Format_RGB32);
    c.Main_Photo_image.fill(Qt::green);
    c.IMG_Sepia = true;
    c.IMG_hue_val = 1.7f;
    c.IMG_ev_val = -2.5f;
    c.IMG_rotate_image = 90;
    c.Excel_Binding_Use = true;
    c.Excel_Source_Path = QStringLiteral("/data/guests.xlsx");
    c.excelColumnTitles = {QStringLiteral("#"), QStringLiteral("Name"), QStringLiteral("City")};
    c.excelRows = {{{"Extension", QStringLiteral("1")}, {"Column1", QStringLiteral("Ann")}, {"Column2", QStringLiteral("Oslo")}},
                   {{"Extension", QStringLiteral("2")}, {"Column1", QStringLiteral("Bo")}, {"Column2", QStringLiteral("Rome")}}};
    for (const QString cls : {"Shape_Control", "SKTLine", "SKTText", "SKTImage", "SKTSignature", "SKTBarcode"}) {
        SKTGraphicPtr g = SKTGraphic::graphicWithClassName(cls);
        g->_bounds = QRectF(10 + c.frontGraphics.size() * 20, 5, 40, 30);
        g->control_ID = cls + QStringLiteral("_ID");
        g->Text_Value = QStringLiteral("value of ") + cls;
        c.frontGraphics << g;
    }
    c.backGraphics << SKTGraphic::graphicWithClassName(QStringLiteral("SKTText"))
                   << SKTGraphic::graphicWithClassName(QStringLiteral("Shape_Control"));
    return c;
}

QVariantList elementsOf(const QByteArray &bytes)
{
    return platform::propertyListFromData(bytes)->toList();
}

// The texts of the design file at `path` as Python's own property-list reader (an XML 1.0 parser)
// sees them, an empty string for each element of another kind; none when it does not read the file.
QStringList elementsByPython(const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import json,plistlib,sys\n"
                                 "print(json.dumps([e if isinstance(e,str) else '' for e in plistlib.load(open(sys.argv[1],'rb'))]))"),
                  path});
    python.waitForFinished(30000);
    return QVariant(QJsonDocument::fromJson(python.readAllStandardOutput()).array().toVariantList()).toStringList();
}

QByteArray withElements(const QVariantList &elements)
{
    return platform::propertyListData(elements, platform::PropertyListFormat::Xml);
}

} // namespace

TEST(DesignFile, ADesignComesBackFieldForField)
{
    AppFixture app;
    const DesignFileContents design = richDesign();
    const QByteArray bytes = DesignFile::data(design);
    ASSERT_TRUE(bytes.contains("<plist version=\"1.0\">"));
    ASSERT_EQ(elementsOf(bytes).size(), 77 + 6 + 2);
    // The same design gives the same bytes, however its archives were made side by side.
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(DesignFile::data(design), bytes);

    QString error;
    const std::optional<DesignFileContents> back = DesignFile::read(bytes, &error);
    ASSERT_TRUE(back) << error.toStdString();
    Card_Property expectedBack = design.Back_card_Prop;
    DesignFile::dropUnusedBackgroundPath(expectedBack);
    EXPECT_EQ(back->Back_card_Prop, expectedBack);
    EXPECT_EQ(back->Front_card_Prop.Card_BG_Image_Path(), "/pictures/back drop.png");
    EXPECT_EQ(back->Front_card_Prop.Card_Size(), QSizeF(243, 154));
    EXPECT_EQ(back->Front_card_Prop.Card_fill_Grd_2_clr(), QColor(12, 34, 56, 128));
    EXPECT_EQ(back->Front_card_Prop.Card_Content_font().family(), "Liberation Serif");
    EXPECT_EQ(back->Front_card_Prop.Card_Content_font().pointSizeF(), 17);
    EXPECT_EQ(back->Invite_Frame_Pic_IMG, design.Invite_Frame_Pic_IMG);
    EXPECT_EQ(back->Main_Photo_image.convertToFormat(QImage::Format_RGB32), design.Main_Photo_image);
    EXPECT_TRUE(back->IMG_Sepia);
    EXPECT_FALSE(back->IMG_gray_Scale);
    EXPECT_EQ(back->IMG_hue_val, 1.7f);
    EXPECT_EQ(back->IMG_ev_val, -2.5f);
    EXPECT_EQ(back->IMG_rotate_image, 90.0f);
    EXPECT_EQ(back->IMG_trnsp_val, 100.0f);
    EXPECT_TRUE(back->Excel_Binding_Use);
    EXPECT_EQ(back->Excel_Source_Path, design.Excel_Source_Path);
    EXPECT_EQ(back->excelColumnTitles, design.excelColumnTitles);
    EXPECT_EQ(back->excelRows, design.excelRows);
    ASSERT_EQ(back->frontGraphics.size(), 6);
    ASSERT_EQ(back->backGraphics.size(), 2);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(back->frontGraphics[i]->className(), design.frontGraphics[i]->className());
        const auto fields = [](const SKTGraphicPtr &g) {
            return fieldsOf([&](platform::KeyedEncoder &coder) { g->encodeWithCoder(coder); });
        };
        EXPECT_EQ(fields(back->frontGraphics[i]), fields(design.frontGraphics[i])) << i;
    }
    EXPECT_EQ(back->backGraphics[0]->className(), "SKTText");
}

TEST(DesignFile, ElementsHaveTheirFixedForms)
{
    AppFixture app;
    DesignFileContents empty;
    QVariantList elements = elementsOf(DesignFile::data(empty));
    ASSERT_EQ(elements.size(), 77);
    EXPECT_EQ(elements[0].toString(), "ZOLTMACKEEPSAKEDESIGN");
    EXPECT_EQ(elements[75].toString(), "0");
    EXPECT_EQ(elements[76].toString(), "0");

    elements = elementsOf(DesignFile::data(richDesign()));
    EXPECT_EQ(elements[13].toString(), "100.00");
    EXPECT_EQ(elements[18].toString(), "{0, 0}");
    EXPECT_EQ(elements[19].toString(), "{243, 154}");
    EXPECT_EQ(elements[25].toString(), "/pictures/back drop.png");
    EXPECT_EQ(elements[28 + 18].toString(), "{12.5, 3}");
    EXPECT_EQ(elements[53].toString(), "") << "a solid back keeps no background path";
    EXPECT_EQ(elements[61].toString(), "Y");
    EXPECT_EQ(elements[63].toString(), "1.7");
    EXPECT_EQ(elements[68].toString(), "-2.5");
    EXPECT_EQ(elements[75].toString(), "6");

    Card_Property card;
    card.setCard_fill_style(QStringLiteral("H"));
    card.setCard_BG_Image_Path(QStringLiteral("/x.png"));
    DesignFile::dropUnusedBackgroundPath(card);
    EXPECT_EQ(card.Card_BG_Image_Path(), "");

    EXPECT_EQ(DesignFile::leadingInt(QStringLiteral(" 42abc")), 42);
    EXPECT_EQ(DesignFile::leadingInt(QStringLiteral("abc")), 0);
    EXPECT_EQ(DesignFile::leadingInt(QStringLiteral("99999999999")), INT_MAX);
    EXPECT_EQ(DesignFile::leadingDouble(QStringLiteral("-2.5e1x")), -25.0);
    // Effects keep their fractions; whole numbers are written as files always had them.
    for (const float effect : {0.55f, 1.8f, -0.35f, 4.5f, 100.0f, 1e30f, 0.1f + 0.2f})
        EXPECT_EQ(DesignFile::leadingFloat(DesignFile::formatEffect(effect)), effect) << effect;
    EXPECT_EQ(DesignFile::formatEffect(100.0f), "100");
    EXPECT_EQ(DesignFile::leadingFloat(QStringLiteral("1e99")), std::numeric_limits<float>::max());
}

TEST(DesignFile, UnsoundFilesAreRefusedWhole)
{
    AppFixture app;
    const QVariantList good = elementsOf(DesignFile::data(richDesign()));
    QString error;

    QVariantList bad = good;
    bad[0] = QStringLiteral("ZOLTMACKEEPSAKEDESIGN ");
    EXPECT_FALSE(DesignFile::read(withElements(bad), &error));
    EXPECT_FALSE(DesignFile::read(QByteArray("not a plist at all"), &error));

    // Ends after the workbook rows: the sides and the photo were fine, the counts are missing.
    EXPECT_FALSE(DesignFile::read(withElements(good.mid(0, 75)), &error));
    EXPECT_TRUE(error.contains("75")) << error.toStdString();

    bad = good;
    bad[75] = QStringLiteral("7"); // one more front object than the file holds
    EXPECT_FALSE(DesignFile::read(withElements(bad), &error));
    bad = good;
    bad[76 + 6] = QStringLiteral("3");
    EXPECT_FALSE(DesignFile::read(withElements(bad), &error));
    bad = good;
    bad[75] = QStringLiteral("-1");
    EXPECT_FALSE(DesignFile::read(withElements(bad), &error));

    bad = good;
    bad[3] = qint64(4); // a number where the file keeps text
    EXPECT_FALSE(DesignFile::read(withElements(bad), &error));
    bad = good;
    bad[2] = good[58]; // a picture where a colour belongs
    EXPECT_FALSE(DesignFile::read(withElements(bad), &error));
    bad = good;
    bad[76] = QByteArray("junk");
    EXPECT_FALSE(DesignFile::read(withElements(bad), &error));
    bad = good;
    bad[74] = QVariantList{QVariantMap{{"Column1", QVariantList{}}}};
    EXPECT_FALSE(DesignFile::read(withElements(bad), &error));

    // Elements after the back objects are ignored.
    QVariantList longer = good;
    longer << QStringLiteral("extra");
    EXPECT_TRUE(DesignFile::read(withElements(longer), &error));
}

TEST(DesignFile, WritingReplacesTheFileWholeOrNotAtAll)
{
    AppFixture app;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("card.zkse"));
    QString error;
    ASSERT_TRUE(DesignFile::write(path, richDesign(), &error)) << error.toStdString();
    DesignFile::write(testOutputPath(QStringLiteral("design.zkse")), richDesign());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(DesignFile::read(file.readAll()));
    EXPECT_FALSE(DesignFile::write(dir.filePath(QStringLiteral("missing/card.zkse")), richDesign(), &error));
    EXPECT_FALSE(error.isEmpty());
}

// A text in a bound sheet's row (as an older design hands it over) and in a typed text opens as
// saved, or the save is refused with the reason and the saved file kept. A file in the binary form,
// which holds any text, opens with U+FFFD for what XML cannot carry.
TEST(DesignFile, EveryTextOpensAsSavedOrIsRefusedBeforeTheFileIsTouched)
{
    AppFixture app;
    const QChar r(QChar::ReplacementCharacter);
    const struct {
        QString text;
        const char *refused; // the character the reason names, or nullptr
        QString fromBinary;
    } rows[] = {
        {QStringLiteral("12 High St\r\nLeeds"), nullptr, QStringLiteral("12 High St\r\nLeeds")},
        {QStringLiteral("vt\x0b\x01 \U0001F389"), "U+000B", QStringLiteral("vt\uFFFD\uFFFD \U0001F389")},
        {QStringLiteral("a") + QChar(0) + QStringLiteral("b"), "NUL", QStringLiteral("a") + r + QStringLiteral("b")},
        {QStringLiteral("e") + QChar(0xFFFF), "U+FFFF", QStringLiteral("e") + r},
        {QChar(0xDE00) + QStringLiteral("\x01g"), "U+DE00", QString(r) + r + QStringLiteral("g")},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("card.zkse"));
    ASSERT_TRUE(DesignFile::write(path, richDesign()));
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text.toUtf8().toPercentEncoding().toStdString());
        DesignFileContents design = richDesign();
        design.frontGraphics[2]->Text_contents().string = row.text;
        ASSERT_TRUE(DesignFile::write(path, design)); // the objects' archives carry any text
        EXPECT_EQ(DesignFile::read(fileBytes(path)).value().frontGraphics[2]->Text_contents().string, row.text);

        design.excelRows[1][QStringLiteral("Column2")] = row.text;
        const QByteArray saved = fileBytes(path);
        QString error;
        EXPECT_EQ(DesignFile::write(path, design, &error), !row.refused);
        if (row.refused) {
            EXPECT_TRUE(error.contains(QLatin1String(row.refused)) && fileBytes(path) == saved) << error.toStdString();
        } else {
            EXPECT_EQ(DesignFile::read(fileBytes(path)).value().excelRows, design.excelRows);
        }

        QVariantList elements = elementsOf(saved);
        elements[72] = row.text;
        elements[73] = QStringList{QStringLiteral("#"), row.text};
        elements[74] = QVariantList{QVariantMap{{QStringLiteral("Column1"), row.text}}};
        const auto back = DesignFile::read(platform::propertyListData(elements, platform::PropertyListFormat::Binary));
        ASSERT_TRUE(back);
        EXPECT_EQ(QStringList({back->Excel_Source_Path, back->excelColumnTitles.value(1),
                               back->excelRows.value(0).value(QStringLiteral("Column1")).toString()}),
                  QStringList(3, row.fromBinary));
        ASSERT_TRUE(DesignFile::write(path, *back));
        EXPECT_EQ(elementsByPython(path).value(72), row.fromBinary);
    }
}

// Paths the design names are not changed to fit, which would name other files: a path holding a
// character XML cannot carry is named whole and the design not saved. A background path that is
// not in use is not written, so it stops nothing.
TEST(DesignFile, APathXmlCannotCarryIsNamedAndTheSavedFileKept)
{
    AppFixture app;
    const QString bad = QStringLiteral("/data/gu\x01" "ests.xlsx");
    const struct {
        const char *name;
        std::function<void(DesignFileContents &, const QString &)> set;
        bool refused;
    } rows[] = {
        {"bound workbook", [](DesignFileContents &c, const QString &p) { c.Excel_Source_Path = p; }, true},
        {"main photo", [](DesignFileContents &c, const QString &p) { c.Invite_Frame_Pic_IMG = p; }, true},
        {"front background", [](DesignFileContents &c, const QString &p) { c.Front_card_Prop.setCard_BG_Image_Path(p); }, true},
        {"unused back background", [](DesignFileContents &c, const QString &p) { c.Back_card_Prop.setCard_BG_Image_Path(p); }, false},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("card.zkse"));
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(DesignFile::write(path, richDesign()));
        const QByteArray saved = fileBytes(path);
        DesignFileContents design = richDesign();
        row.set(design, bad);
        QString error;
        EXPECT_EQ(DesignFile::write(path, design, &error), !row.refused);
        if (row.refused)
            EXPECT_TRUE(error.contains(QStringLiteral("\"/data/gu\uFFFDests.xlsx\" holds U+0001")) && fileBytes(path) == saved)
                << error.toStdString();
        else
            EXPECT_EQ(elementsByPython(path).size(), 85);
    }
}

namespace {

int g_failWith = 0;


// Takes part of the first chunk, then fails as a full disk or a broken one does.
ssize_t failingWrite(int fd, const void *data, size_t size)
{
    static bool first = true;
    if (std::exchange(first, false) && size > 1)
        return ::write(fd, data, size / 2);
    first = true;
    errno = g_failWith;
    return -1;
}

} // namespace

TEST(DesignFile, AFailedWriteSaysWhyAndLeavesTheSavedDesign)
{
    AppFixture app;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("card.zkse"));
    ASSERT_TRUE(DesignFile::write(path, DesignFileContents()));
    const QByteArray old = fileBytes(path);
    for (const auto &[code, reason] : {std::pair{ENOSPC, "There is no space left on the disk."},
                                       std::pair{EIO, "Input/output error"}}) {
        g_failWith = code;
        const platform::WriteFunction system = platform::setSafeWriteFunction(&failingWrite);
        QString error;
        EXPECT_FALSE(DesignFile::write(path, richDesign(), &error));
        platform::setSafeWriteFunction(system);
        EXPECT_EQ(error, QLatin1String(reason));
        EXPECT_EQ(fileBytes(path), old);
        EXPECT_TRUE(platform::leftoverTemporaryFiles(path).isEmpty());
    }
}

TEST(DesignFile, ALimitAgreedByWriterAndReaderAndTheReadersOwnReason)
{
    AppFixture app;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("card.zkse"));
    ASSERT_TRUE(DesignFile::write(path, DesignFileContents()));
    const QByteArray before = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    const qsizetype limit = before.size() + 100; // the empty design fits, the rich one does not

    QString error;
    EXPECT_FALSE(DesignFile::write(path, richDesign(), &error, limit));
    EXPECT_TRUE(error.startsWith(QLatin1String("The design is too large to be saved: "))) << error.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before) << "the old file is kept";

    EXPECT_FALSE(DesignFile::read(DesignFile::data(richDesign()), &error, limit));
    EXPECT_TRUE(error.startsWith(QLatin1String("too large"))) << error.toStdString();

    // The reader says what is wrong, not only that it is no design.
    EXPECT_FALSE(DesignFile::read(QByteArray("<?xml version=\"1.0\"?><plist><array><string>x</arra"), &error));
    EXPECT_NE(error, QStringLiteral("not a design file"));
    EXPECT_FALSE(error.isEmpty());
}

TEST(DesignFile, CardSizesTheCanvasesCannotShowAreMadeUsable)
{
    AppFixture app;
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const QSizeF none(-1, -1); // whatever the number text reads as, within the rules
    const struct {
        QSizeF stored, front, back;
    } cases[] = {
        {{300, 200}, {300, 200}, {300, 200}},
        {{1e308, 200}, {14400, 200}, {14400, 200}},
        {{1e-308, 0.5}, {1, 1}, {1, 1}},
        {{-5, 0}, {243, 154}, {0, 0}},
        {{inf, -inf}, none, none},
        {{nan, 50}, none, none},
    };
    for (const auto &c : cases) {
        DesignFileContents design = richDesign();
        design.Front_card_Prop.setCard_Size(c.stored);
        design.Back_card_Prop.setCard_Size(c.stored);
        QString error;
        const std::optional<DesignFileContents> read = DesignFile::read(DesignFile::data(design), &error);
        ASSERT_TRUE(read) << error.toStdString();
        const QSizeF front = read->Front_card_Prop.Card_Size(), back = read->Back_card_Prop.Card_Size();
        if (c.front != none) {
            EXPECT_EQ(front, c.front) << c.stored.width();
            EXPECT_EQ(back, c.back) << c.stored.width();
        }
        EXPECT_TRUE(front.width() > 0 && front.width() <= 14400 && front.height() > 0 && front.height() <= 14400);
        EXPECT_TRUE(back.width() >= 0 && back.width() <= 14400 && back.height() >= 0 && back.height() <= 14400);
        // What is read is what is saved again.
        const std::optional<DesignFileContents> again = DesignFile::read(DesignFile::data(*read));
        ASSERT_TRUE(again);
        EXPECT_EQ(again->Front_card_Prop.Card_Size(), front);
        EXPECT_EQ(again->Back_card_Prop.Card_Size(), back);
    }
}

TEST(DesignFile, OnlyTheTemporaryCopiesOfAnUnfinishedSaveOfTheSameDesignAreCleared)
{
    AppFixture app;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("card.zkse"));
    const QStringList leftovers{path + QStringLiteral(".saving-Ab3xZ9")};
    const QStringList kept{path + QStringLiteral(".backup"), path + QStringLiteral(".saving-Ab3xZ"),
                           path + QStringLiteral(".saving-Ab3xZ9!"), dir.filePath(QStringLiteral("other.zkse.saving-Ab3xZ9")),
                           path + QStringLiteral(".AbC123")};
    for (const QString &name : leftovers + kept) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    ASSERT_TRUE(DesignFile::write(path, richDesign()));
    for (const QString &name : leftovers)
        EXPECT_FALSE(QFileInfo::exists(name)) << name.toStdString();
    for (const QString &name : kept)
        EXPECT_TRUE(QFileInfo::exists(name)) << name.toStdString();
    EXPECT_TRUE(platform::leftoverTemporaryFiles(path).isEmpty()) << "a finished save leaves nothing behind";
}

TEST(DesignFile, AnArchiveNamedManyTimesIsReadOnceAndCopied)
{
    AppFixture app;
    // A binary list whose front objects are all one shared archive, as a hostile file may have.
    QVariantList elements = elementsOf(DesignFile::data(DesignFileContents()));
    auto text = std::make_shared<SKTText>();
    text->Text_contents().string = QStringLiteral("shared");
    text->_bounds = QRectF(3, 4, 50, 20);
    text->_fillColor = QColor(10, 20, 30);
    const QByteArray archive = text->archivedData();
    constexpr int kCopies = DesignFile::kMaxDesignObjects;
    QVariantList withCopies = elements.mid(0, 75);
    withCopies << QString::number(kCopies);
    for (int i = 0; i < kCopies; ++i)
        withCopies << archive; // one data, shared
    withCopies << QStringLiteral("0");
    const QByteArray binary = platform::propertyListData(withCopies, platform::PropertyListFormat::Binary);
    ASSERT_LT(binary.size(), 200 * 1024) << "the data is stored once";

    QString error;
    std::optional<DesignFileContents> read;
    {
        const HangGuard guard(1000);
        read = DesignFile::read(binary, &error);
    }
    ASSERT_TRUE(read) << error.toStdString();
    ASSERT_EQ(read->frontGraphics.size(), kCopies);
    const QStringList expected = fieldsOf([&](platform::KeyedEncoder &coder) { text->encodeWithCoder(coder); });
    for (const int i : {0, 1, kCopies - 1}) {
        const SKTGraphicPtr &g = read->frontGraphics.at(i);
        EXPECT_EQ(fieldsOf([&](platform::KeyedEncoder &coder) { g->encodeWithCoder(coder); }), expected);
    }
    EXPECT_NE(read->frontGraphics.at(0).get(), read->frontGraphics.at(1).get()) << "each its own object";
    read->frontGraphics.at(1)->Text_contents().string = QStringLiteral("changed");
    EXPECT_EQ(read->frontGraphics.at(0)->Text_contents().string, QStringLiteral("shared"));
}

TEST(DesignFile, ThePicturesOfAWholeDesignShareOnePixelBudget)
{
    AppFixture app;
    // Pictures carried by their objects, each of another colour so that no archive repeats.
    DesignFileContents design;
    for (const QColor colour : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)}) {
        QImage picture(100, 100, QImage::Format_RGB32);
        picture.fill(colour);
        design.frontGraphics << std::make_shared<SKTImage>(QPointF(50, 50), picture);
    }
    const QByteArray data = DesignFile::data(design);
    const std::optional<DesignFileContents> read =
        DesignFile::read(data, nullptr, DesignFile::kMaxBytes, {}, 2 * 100 * 100 + 50);
    ASSERT_TRUE(read);
    int decoded = 0, kept = 0;
    for (const SKTGraphicPtr &g : read->frontGraphics) {
        decoded += !static_cast<SKTImage &>(*g)._contents.isNull();
        kept += g->m_undecodedPictures.contains(QStringLiteral("_contents"));
    }
    EXPECT_EQ(decoded, 2);
    EXPECT_EQ(kept, 1) << "the picture past the budget is kept as it came, unread";
    // Saved again, it is the same design.
    const std::optional<DesignFileContents> whole = DesignFile::read(DesignFile::data(*read));
    ASSERT_TRUE(whole);
    for (const SKTGraphicPtr &g : whole->frontGraphics)
        EXPECT_FALSE(static_cast<SKTImage &>(*g)._contents.isNull());
}

TEST(DesignFile, SavingThroughALinkWritesTheFileItNamesAndKeepsItsPermissions)
{
    AppFixture app;
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("real.zkse")), link = dir.filePath(QStringLiteral("link.zkse"));
    ASSERT_TRUE(DesignFile::write(real, DesignFileContents()));
    ASSERT_TRUE(QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(QFile::link(real, link));
    ASSERT_TRUE(DesignFile::write(link, richDesign()));
    EXPECT_TRUE(QFileInfo(link).isSymLink()) << "the link stays a link";
    QFile file(real);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::optional<DesignFileContents> read = DesignFile::read(file.readAll());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->frontGraphics.size(), richDesign().frontGraphics.size()) << "the named file has the new design";
    EXPECT_EQ(QFile::permissions(real) & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
}

// An open is weighed by its pictures' headers, none decoded: the pixels the reader then decodes,
// in every format it reads, whether the file is text or binary.
TEST(DesignFile, AnOpenIsWeighedByThePixelsItsReaderDecodes)
{
    AppFixture app;
    DesignFileContents design;
    design.Main_Photo_image = solidPicture(Qt::red, 30, 20);
    qint64 pixels = 30 * 20;
    const std::pair<const char *, QSize> pictures[] = {{"png", {12, 7}},  {"jpeg", {64, 48}}, {"tiff", {50, 40}},
                                                       {"gif", {1, 1}},   {"bmp", {17, 9}},   {"webp", {40, 30}}};
    for (const auto &[format, size] : pictures) {
        QByteArray bytes; // Qt writes no GIF: the smallest one, by hand
        QBuffer buffer(&bytes);
        if (QByteArrayView(format) == "gif")
            bytes = QByteArray("GIF89a\1\0\1\0\x80\0\0\xff\xff\xff\0\0\0,\0\0\0\0\1\0\1\0\0\2\2D\1\0;", 35);
        else
            ASSERT_TRUE(solidPicture(Qt::blue, size.width(), size.height()).save(&buffer, format)) << format;
        // Carried undecoded, so that the file holds the format itself.
        auto image = std::make_shared<SKTImage>(QPointF(0, 0), QImage());
        image->m_undecodedPictures.insert(QStringLiteral("_contents"), platform::UndecodedPicture{bytes, {}});
        design.frontGraphics << image;
        pixels += qint64(size.width()) * size.height();
    }
    const QByteArray text = DesignFile::data(design);
    const QByteArray binary = platform::propertyListData(elementsOf(text), platform::PropertyListFormat::Binary);
    for (const QByteArray &file : {text, binary}) {
        const std::optional<DesignFileContents> read = DesignFile::read(file);
        ASSERT_TRUE(read);
        ASSERT_EQ(DesignFile::kMaxDesignPixels - read->picturePixelsLeft, pixels) << "every picture was decoded";
        const DesignFile::Work work = DesignFile::workOfFile(file);
        EXPECT_EQ(work.pixels, pixels);
        EXPECT_EQ(work.bytes, file.size());
    }
}

// Files made to slow the estimate: each is weighed in proportion to its size, a picture once (the
// signatures its header holds are not pictures), and one that cannot be weighed so goes to a worker.
TEST(DesignFile, AnOpenIsWeighedInProportionToItsFileWhateverItHolds)
{
    const auto text = [](const QByteArray &data) { return "<plist><array><data>" + data.toBase64() + "</data></array></plist>"; };
    const auto repeated = [](const QByteArray &unit) {
        QByteArray body;
        while (body.size() < 2400 * 1024)
            body += unit;
        return body;
    };
    QByteArray comments("\xff\xd8", 2); // a JPEG of 64 × 48 whose 4,000 comments each begin as a JPEG
    for (int i = 0; i < 4000; ++i)
        comments += QByteArray("\xff\xfe\0\x07\xff\xd8\xff\0\0", 9);
    comments += QByteArray("\xff\xc0\0\x0b\x08\0\x30\0\x40\x01\x01\x11\0\xff\xd9", 15);
    const QByteArray webp("RIFF\x16\0\0\0WEBPVP8 \x0a\0\0\0\0\0\0\x9d\x01\x2a\1\0\1\0", 30);
    const QByteArray bmp = QByteArray("BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\1\0\0\0\1\0\0\0\1\0\x18\0", 30) +
                           QByteArray(24, '\0');
    const qint64 toWorker = -1;
    const struct {
        const char *name;
        QByteArray file;
        qint64 pixels; // or toWorker
    } rows[] = {
        {"comments that begin as pictures", text(comments), 64 * 48},
        {"1x1 WebP headers, one after another", "bplist00" + repeated(webp), repeated(webp).size() / 30},
        {"1x1 bitmap headers in text", text(repeated(bmp)), repeated(bmp).size() / 54},
        {"JPEG signatures that begin no JPEG", "bplist00" + repeated(QByteArray("\xff\xd8\xff", 3)), toWorker},
        {"GIF headers without a frame", text(repeated(QByteArray("GIF89a\1\0\1\0\0\0\0", 13))), toWorker},
        {"TIFF directories of thousands of entries", "bplist00" + repeated(QByteArray("II*\0\x08\0\0\0", 8)), toWorker},
    };
    HangGuard guard(2000);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const DesignFile::Work work = DesignFile::workOfFile(row.file);
        if (row.pixels == toWorker)
            EXPECT_GE(work.weight(), DesignFile::kDirectWork);
        else
            EXPECT_EQ(work.pixels, row.pixels);
    }
}

namespace {

// A photo with noise in it, so that its JPEG is no trivial one; transparent corners when `turned`.
QImage noisyPhoto(bool turned = false)
{
    QImage photo(96, 64, QImage::Format_ARGB32);
    quint32 seed = 12345;
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            const bool corner = turned && x + y < 12;
            photo.setPixel(x, y, qRgba(x * 2, 120 + int(seed >> 28), y * 3, corner ? 0 : 255));
        }
    return photo;
}

QByteArray encodedAs(const QImage &picture, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format, 90);
    return bytes;
}

} // namespace

// The main photo is written as the bytes kept for it: its own file's while it is the file's picture
// (nothing compresses it), else bytes encoded once when it was set, which every save writes again
// and which may still be in the making when the save comes. A design written before, with a PNG,
// opens and keeps that PNG for its next save.
TEST(DesignFile, TheMainPhotoIsWrittenAsTheBytesKeptForIt)
{
    AppFixture app;
    const QByteArray jpeg = encodedAs(noisyPhoto().convertToFormat(QImage::Format_RGB32), "JPEG");
    const QImage fromJpeg = QImage::fromData(jpeg);
    const QImage withEffects = noisyPhoto(true);
    struct Row {
        const char *name;
        QImage photo;
        QByteArray source; // the file it was read from
        bool asRead;
        bool sourceWritten; // the source file's bytes are in the design whole
        int encodings;      // pictures encoded for it, each once
        int tolerance;
    } rows[] = {
        {"a camera's JPEG as read", fromJpeg, jpeg, true, true, 0, 0},
        {"the JPEG with effects", fromJpeg.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_RGB32),
         jpeg, false, false, 1, 6},
        {"a photo with transparent corners", withEffects, jpeg, false, false, 1, 0},
        {"a photo of an earlier save, without bytes", fromJpeg, QByteArray(), false, false, 0, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const int encodedBefore = StoredPictureBytes::encodingsDone();
        DesignFileContents design;
        design.Main_Photo_image = row.photo;
        if (!row.source.isEmpty())
            design.Main_Photo_bytes = StoredPictureBytes::forPicture(row.photo, row.source, row.asRead);
        const QByteArray first = DesignFile::data(design);
        const QByteArray second = DesignFile::data(design);
        EXPECT_EQ(second, first);
        EXPECT_EQ(StoredPictureBytes::encodingsDone() - encodedBefore, row.encodings);
        EXPECT_EQ(elementsOf(first).at(58).toByteArray().contains(jpeg), row.sourceWritten);

        const std::optional<DesignFileContents> back = DesignFile::read(first);
        ASSERT_TRUE(back);
        EXPECT_TRUE(nearPicture(row.photo.convertToFormat(QImage::Format_ARGB32),
                                back->Main_Photo_image.convertToFormat(QImage::Format_ARGB32), row.tolerance));
        // Opened and saved again, the photo is written as the file held it, without a new encoding.
        const int encodedOpen = StoredPictureBytes::encodingsDone();
        EXPECT_EQ(elementsOf(DesignFile::data(*back)).at(58), elementsOf(first).at(58));
        EXPECT_EQ(StoredPictureBytes::encodingsDone(), encodedOpen);
    }
}

// The pictures a design names by path, its objects' and its background's, are weighed from their
// headers, each file once however many name it (an open reads it once for all of them); what cannot
// be weighed cheaply, a file whose header tells nothing or more files than are weighed, goes to a
// worker.
TEST(DesignFile, PicturesNamedByPathAreWeighedFromTheirHeadersEachFileOnce)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const auto written = [&](const QString &name, const QByteArray &bytes) {
        const QString path = folder.filePath(name);
        EXPECT_TRUE(writeFileBytes(path, bytes));
        return path;
    };
    const QString large = written(QStringLiteral("large.png"), pngHeaderOnly(QSize(11500, 11500)));
    const QString a = written(QStringLiteral("a.png"), pngHeaderOnly(QSize(10, 10)));
    const QString b = written(QStringLiteral("b.png"), pngHeaderOnly(QSize(30, 20)));
    const QString notes = written(QStringLiteral("notes.png"), "no picture at all");
    // Qt's writer puts a TIFF's directory after its data, here past the first 64 KiB.
    QByteArray tiff;
    QBuffer tiffBuffer(&tiff);
    ASSERT_TRUE(tiffBuffer.open(QIODevice::WriteOnly) && solidPicture(Qt::red, 200, 120).save(&tiffBuffer, "tiff"));
    ASSERT_GT(tiff.size(), 64 * 1024);
    const QString farDirectory = written(QStringLiteral("far.tif"), tiff);
    QStringList many;
    for (qsizetype i = 0; i <= DesignFile::kMostNamedPicturesWeighed; ++i)
        many << written(QStringLiteral("small-%1.png").arg(i), pngHeaderOnly(QSize(2, 2)));
    const struct {
        const char *what;
        QStringList paths;
        bool mainPhoto;
        QString background; // the front's
        qsizetype files;
        qint64 pixels;
    } rows[] = {
        {"50 objects naming one large file", QStringList(50, large), false, {}, 1,
         platform::picturePixelsRead(QSize(11500, 11500))},
        {"two files named twice each", {a, b, a, b}, false, {}, 2, 100 + 600},
        {"a TIFF whose directory follows its data", {farDirectory}, false, {}, 1, 200 * 120},
        {"a file that is not there", {folder.filePath(QStringLiteral("gone.png"))}, false, {}, 1, 0},
        {"a file whose header tells nothing", {notes}, false, {}, 1, platform::kMostPicturePixels},
        {"more files than are weighed", many, false, {}, many.size(), DesignFile::kMaxDesignPixels},
        {"the main photo's objects", {large, large}, true, {}, 0, 0},
        {"a large background", {}, false, large, 1, platform::picturePixelsRead(QSize(11500, 11500))},
        {"a background objects name too", {a, a}, false, a, 1, 100},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        DesignFileContents contents;
        for (const QString &path : row.paths) {
            auto picture = std::make_shared<SKTImage>();
            picture->_file_path = path;
            if (row.mainPhoto)
                picture->control_ID = QStringLiteral("PARTY_IMAGE");
            contents.frontGraphics << picture;
        }
        contents.Front_card_Prop.setCard_fill_chk(true);
        contents.Front_card_Prop.setCard_fill_style(QStringLiteral("I"));
        contents.Front_card_Prop.setCard_BG_Image_Path(row.background);
        const QList<DesignFile::NamedPicture> named = DesignFile::namedPictures(contents);
        ASSERT_EQ(named.size(), row.files);
        qsizetype objects = 0, backgrounds = 0;
        for (const DesignFile::NamedPicture &file : named) {
            objects += file.objects.size();
            backgrounds += file.backgrounds.size();
        }
        EXPECT_EQ(objects, row.mainPhoto ? 0 : row.paths.size());
        EXPECT_EQ(backgrounds, row.background.isEmpty() ? 0 : 1);
        EXPECT_EQ(DesignFile::namedPicturePixels(named), row.pixels);
    }
}
