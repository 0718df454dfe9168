#include "document/DesignFile.h"

#include "core/ImageCategories.h"
#include "core/PathHelpers.h"
#include "core/StringHelpers.h"
#include "document/ArchiveValues.h"
#include "document/ControlTags.h"
#include "document/SKTImage.h"
#include "document/SKTDocument.h"
#include "platform/ConcurrentFor.h"
#include "platform/KeyedArchiver.h"
#include "platform/PictureHeader.h"
#include "platform/PictureReading.h"
#include "platform/PropertyList.h"
#include "platform/RegularFile.h"
#include "platform/SafeFileWriter.h"
#include "platform/XmlCharacters.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace DesignFile {

const QString Signature = QStringLiteral("ZOLTMACKEEPSAKEDESIGN");

namespace {

QString flag(bool value)
{
    return value ? QStringLiteral("Y") : QStringLiteral("N");
}

QByteArray archive(const QVariant &value)
{
    return platform::KeyedArchiver::archivedDataWithRootValue(value);
}

// A side keeps its background picture's path only while its fill style is the picture.
QString writtenBackgroundPath(const Card_Property &card)
{
    return card.Card_fill_style() == QLatin1String("I") ? card.Card_BG_Image_Path() : QString(QLatin1String(""));
}

// The 28 card-face elements of one side, in file order.
void appendCard(QVariantList &root, const Card_Property &card)
{
    root << flag(card.Card_border_chk()) << archive(archiveObject(card.Card_bordr_clr()))
         << QString::number(card.Card_bor_Stepper()) << card.Card_border_style() << flag(card.Card_fill_chk())
         << card.Card_fill_style() << archive(archiveObject(card.Card_fill_clr()))
         << archive(archiveObject(card.Card_fill_Grd_1_clr())) << archive(archiveObject(card.Card_fill_Grd_2_clr()))
         << QString::number(card.Card_grad_Stepper()) << card.Card_hatch_style()
         << archive(archiveObject(card.Card_hatch_bk_clr())) << formatTwoDecimals(card.Card_alpha_Stepper())
         << card.Card_Side() << card.Card_Side_Name() << card.Card_Shape() << card.Card_Name()
         << platform::stringFromPoint(card.Card_Location()) << platform::stringFromSize(card.Card_Size())
         << card.Card_Preset() << card.Card_Category() << card.Card_Sub_Category()
         << QString::number(card.Card_Cat_index()) << card.Card_Create_Mode()
         << writtenBackgroundPath(card) << card.Card_BG_Image_Layout()
         << archive(archiveObject(card.Card_Content_clr())) << archive(archiveObject(card.Card_Content_font()));
}

} // namespace

DesignFileContents contentsOf(const DesignSnapshot &snapshot)
{
    DesignFileContents c;
    c.Front_card_Prop = snapshot.front.face;
    c.Back_card_Prop = snapshot.back.face;
    c.Invite_Frame_Pic_IMG = snapshot.mainPhotoPath;
    c.Main_Photo_image = snapshot.mainPhoto;
    c.Main_Photo_bytes = snapshot.mainPhotoBytes;
    c.Main_Photo_undecoded = snapshot.mainPhotoUndecoded;
    const Image_Effect_Settings &e = snapshot.mainPhotoEffects;
    c.IMG_invert_clr = e.invrtclr;
    c.IMG_gray_Scale = e.grayscale;
    c.IMG_Sepia = e.sepia;
    c.IMG_trnsp_val = e.tranprency;
    c.IMG_hue_val = e.hue;
    c.IMG_sat_val = e.sat;
    c.IMG_brt_val = e.brt;
    c.IMG_con_val = e.con;
    c.IMG_srp_val = e.sharpness;
    c.IMG_ev_val = e.exposure;
    c.IMG_blr_val = e.blur;
    c.IMG_rotate_image = snapshot.mainPhotoRotation;
    c.frontGraphics = snapshot.front.graphics;
    c.backGraphics = snapshot.back.graphics;
    return c;
}

namespace {

// Work on the objects of a design goes in steps of this many, with word of progress between steps.
constexpr qsizetype kProgressStep = 512;

// Runs body(i) for [0, count) side by side, a step at a time, telling `progress` after each step
// (on the calling thread, while no other thread works on the objects).
void inSteps(qsizetype count, qsizetype &done, qsizetype total, const Progress &progress,
             const std::function<void(qsizetype)> &body)
{
    for (qsizetype first = 0; first < count; first += kProgressStep) {
        const qsizetype n = std::min(kProgressStep, count - first);
        platform::concurrentFor(n, [&](qsizetype i) { body(first + i); });
        done += n;
        if (progress)
            progress(done, total);
    }
}

void appendGraphics(QVariantList &root, const GraphicList &graphics, qsizetype &done, qsizetype total,
                    const Progress &progress)
{
    root << QString::number(static_cast<qulonglong>(graphics.size()));
    // Each archive stands alone, so they are made side by side.
    QList<QByteArray> archives(graphics.size());
    inSteps(graphics.size(), done, total, progress, [&](qsizetype i) { archives[i] = graphics.at(i)->archivedData(); });
    for (QByteArray &archive : archives)
        root << std::move(archive);
}

struct Corrupt {
    QString reason;
};

// A text of the file as the design takes it. A list in the binary form, or one an earlier writer put
// control characters into, holds what XML cannot carry: kept, it would make the design one that
// cannot be saved.
QString kept(const QString &text)
{
    return XmlCharacters::replaced(text);
}

// Reads the root array strictly by position; any element of the wrong kind throws.
class Cursor {
public:
    Cursor(QVariantList elements, qint64 maxPixels) : m_elements(std::move(elements))
    {
        // One archive per object: the pictures of the whole design share one pixel budget.
        m_limits.sharedImagePixels = std::make_shared<std::atomic<qint64>>(maxPixels);
    }

    qsizetype remaining() const { return m_elements.size() - m_index; }
    qint64 pixelsLeft() const { return m_limits.sharedImagePixels->load(); }

    QString text()
    {
        const QVariant &value = next();
        if (value.metaType() != QMetaType::fromType<QString>())
            fail(QStringLiteral("is not text"));
        return kept(value.toString());
    }
    bool flag() { return text() == QLatin1String("Y"); }
    int integer() { return leadingInt(text()); }
    float real() { return leadingFloat(text()); }
    QPointF point() { return platform::pointFromString(text()); }
    QSizeF size() { return platform::sizeFromString(text()); }

    qint64 count(qsizetype atMost)
    {
        const qint64 n = leadingInt64(text());
        if (n < 0 || n > atMost)
            fail(QStringLiteral("counts more objects than the file holds"));
        return n;
    }

    // An archive whose root is a value of type T, or nil.
    // A picture with the bytes it was read from in `stored`, or nothing with its data in `undecoded`
    // when the file holds one that cannot be read.
    QImage picture(QVariant &undecoded, StoredPictureBytes &stored)
    {
        const QVariant root = archiveRoot();
        if (root.metaType() == QMetaType::fromType<platform::UndecodedPicture>()) {
            undecoded = root;
            return {};
        }
        if (root.isValid() && root.metaType() != QMetaType::fromType<QImage>())
            fail(QStringLiteral("holds the wrong kind of object"));
        const QImage picture = objectFromArchive<QImage>(root);
        if (!picture.isNull())
            if (const QByteArray bytes = platform::KeyedUnarchiver::pictureData(m_elements.at(m_index - 1).toByteArray());
                !bytes.isEmpty())
                stored = StoredPictureBytes::of(bytes);
        return picture;
    }

    template <typename T>
    T object()
    {
        const QVariant root = archiveRoot();
        if (root.isValid() && root.metaType() != QMetaType::fromType<T>() &&
            !(std::is_same_v<T, QFont> && root.metaType() == QMetaType::fromType<platform::ArchivedFont>()))
            fail(QStringLiteral("holds the wrong kind of object"));
        return objectFromArchive<T>(root);
    }

    // The next `count` elements, which must be graphic archives; read side by side.
    GraphicList graphics(qint64 count, qsizetype &done, qsizetype total, const Progress &progress)
    {
        const qsizetype first = m_index;
        for (qint64 i = 0; i < count; ++i)
            if (next().metaType() != QMetaType::fromType<QByteArray>())
                fail(QStringLiteral("is not an archive"));
        // A file may name one archive many times (a binary list shares its objects): each is
        // read once and copied for the other places, so the work stays in proportion to the file.
        QList<qsizetype> original(count);
        QHash<const char *, qsizetype> firstOfData;
        for (qint64 i = 0; i < count; ++i) {
            const QByteArray data = m_elements.at(first + i).toByteArray();
            original[i] = data.isEmpty() ? i : firstOfData.value(data.constData(), i);
            if (original.at(i) == i && !data.isEmpty())
                firstOfData.insert(data.constData(), i);
        }
        GraphicList graphics(count);
        inSteps(count, done, total, progress, [&](qsizetype i) {
            if (original.at(i) == i)
                graphics[i] = SKTGraphic::graphicWithArchivedData(m_elements.at(first + i).toByteArray(), m_limits);
        });
        for (qint64 i = 0; i < count; ++i)
            if (original.at(i) != i && graphics.at(original.at(i)))
                graphics[i] = graphics.at(original.at(i))->fullCopy();
        for (qint64 i = 0; i < count; ++i)
            if (!graphics.at(i)) {
                m_index = first + i + 1;
                fail(QStringLiteral("is not an object of a design"));
            }
        return graphics;
    }

    QStringList titles()
    {
        const QVariant &value = next();
        if (value.metaType() != QMetaType::fromType<QVariantList>())
            fail(QStringLiteral("is not a list of titles"));
        QStringList titles;
        for (const QVariant &title : value.toList()) {
            if (title.metaType() != QMetaType::fromType<QString>())
                fail(QStringLiteral("holds a title that is not text"));
            titles << kept(title.toString());
        }
        return titles;
    }

    QList<QVariantMap> rows()
    {
        const QVariant &value = next();
        if (value.metaType() != QMetaType::fromType<QVariantList>())
            fail(QStringLiteral("is not a list of rows"));
        QList<QVariantMap> rows;
        for (const QVariant &row : value.toList()) {
            if (row.metaType() != QMetaType::fromType<QVariantMap>())
                fail(QStringLiteral("holds a row that is not a dictionary"));
            QVariantMap cells = row.toMap();
            bool carried = true;
            for (auto cell = cells.cbegin(); cell != cells.cend(); ++cell) {
                if (cell->metaType() != QMetaType::fromType<QString>())
                    fail(QStringLiteral("holds a cell that is not text"));
                carried = carried && XmlCharacters::isXmlText(cell.key()) && XmlCharacters::isXmlText(cell->toString());
            }
            if (!carried) {
                QVariantMap keptCells;
                for (auto cell = cells.cbegin(); cell != cells.cend(); ++cell)
                    keptCells.insert(kept(cell.key()), kept(cell->toString()));
                cells = keptCells;
            }
            rows << cells;
        }
        return rows;
    }

    [[noreturn]] void fail(const QString &what) const
    {
        throw Corrupt{QStringLiteral("element %1 %2").arg(m_index - 1).arg(what)};
    }

private:
    const QVariant &next()
    {
        if (m_index >= m_elements.size())
            throw Corrupt{QStringLiteral("the file ends at element %1").arg(m_index)};
        return m_elements.at(m_index++);
    }

    QVariant archiveRoot()
    {
        const QVariant &value = next();
        if (value.metaType() != QMetaType::fromType<QByteArray>())
            fail(QStringLiteral("is not an archive"));
        QString why;
        const std::optional<QVariant> root = platform::KeyedUnarchiver::rootValue(value.toByteArray(), &why, m_limits);
        if (!root)
            fail(QStringLiteral("is not a readable archive (%1)").arg(why));
        return *root;
    }

    QVariantList m_elements;
    qsizetype m_index = 0;
    platform::KeyedArchiveLimits m_limits;
};

Card_Property readCard(Cursor &in)
{
    Card_Property card;
    card.setCard_border_chk(in.flag());
    card.setCard_bordr_clr(in.object<QColor>());
    card.setCard_bor_Stepper(in.integer());
    card.setCard_border_style(in.text());
    card.setCard_fill_chk(in.flag());
    card.setCard_fill_style(in.text());
    card.setCard_fill_clr(in.object<QColor>());
    card.setCard_fill_Grd_1_clr(in.object<QColor>());
    card.setCard_fill_Grd_2_clr(in.object<QColor>());
    card.setCard_grad_Stepper(in.integer());
    card.setCard_hatch_style(in.text());
    card.setCard_hatch_bk_clr(in.object<QColor>());
    card.setCard_alpha_Stepper(in.real());
    card.setCard_Side(in.text());
    card.setCard_Side_Name(in.text());
    card.setCard_Shape(in.text());
    card.setCard_Name(in.text());
    card.setCard_Location(in.point());
    card.setCard_Size(in.size());
    card.setCard_Preset(in.text());
    card.setCard_Category(in.text());
    card.setCard_Sub_Category(in.text());
    card.setCard_Cat_index(in.integer());
    card.setCard_Create_Mode(in.text());
    card.setCard_BG_Image_Path(in.text());
    card.setCard_BG_Image_Layout(in.text());
    card.setCard_Content_clr(in.object<QColor>());
    card.setCard_Content_font(in.object<QFont>());
    return card;
}

} // namespace

void dropUnusedBackgroundPath(Card_Property &card)
{
    if (card.Card_fill_style() != QLatin1String("I"))
        card.setCard_BG_Image_Path(QStringLiteral(""));
}

bool nameResourcePictures(DesignFileContents &c, const QString &resources, const QString &shipped, QString *error)
{
    QStringList elsewhere;
    const auto named = [&](const QString &path) {
        if (path.isEmpty())
            return path;
        const QString name = Resource_Relative_Path(path, resources);
        if (name.isEmpty() || !platform::isRegularFile(Resource_File_Of_Name(name, shipped))) {
            if (!elsewhere.contains(path))
                elsewhere << path;
            return path;
        }
        return name;
    };
    for (Card_Property *card : {&c.Front_card_Prop, &c.Back_card_Prop})
        card->setCard_BG_Image_Path(named(card->Card_BG_Image_Path()));
    c.Invite_Frame_Pic_IMG = named(c.Invite_Frame_Pic_IMG);
    c.Excel_Source_Path = named(c.Excel_Source_Path);
    for (const GraphicList *side : {&c.frontGraphics, &c.backGraphics})
        for (const SKTGraphicPtr &graphic : *side)
            graphic->Set_Control_File_path(named(graphic->FilePath()));
    if (!elsewhere.isEmpty() && error)
        *error = QStringLiteral("These files are not among the program's resources:\n") + messageList(elsewhere);
    return elsewhere.isEmpty();
}

namespace {

// The main photo as the file keeps it: the bytes made for it when there are some, which waits for an
// encoding still running; one the file held but could not read, as it came.
QVariant mainPhoto(const DesignFileContents &c)
{
    if (c.Main_Photo_image.isNull())
        return c.Main_Photo_undecoded;
    if (const QByteArray bytes = c.Main_Photo_bytes.bytes(); !bytes.isEmpty())
        return QVariant::fromValue(platform::EncodedPicture{c.Main_Photo_image, bytes});
    return archiveObject(c.Main_Photo_image);
}

} // namespace

QVariantList rootArray(const DesignFileContents &c, const Progress &progress)
{
    QVariantList root;
    root << Signature;
    appendCard(root, c.Front_card_Prop);
    appendCard(root, c.Back_card_Prop);
    root << c.Invite_Frame_Pic_IMG << archive(mainPhoto(c)) << flag(c.IMG_invert_clr) << flag(c.IMG_gray_Scale)
         << flag(c.IMG_Sepia);
    for (float value : {c.IMG_trnsp_val, c.IMG_hue_val, c.IMG_sat_val, c.IMG_brt_val, c.IMG_con_val, c.IMG_srp_val,
                        c.IMG_ev_val, c.IMG_blr_val, c.IMG_rotate_image})
        root << formatEffect(value);
    root << flag(c.Excel_Binding_Use) << c.Excel_Source_Path << c.excelColumnTitles;
    QVariantList rows;
    for (const QVariantMap &row : c.excelRows)
        rows << row;
    root << QVariant(rows);
    qsizetype done = 0;
    const qsizetype total = c.frontGraphics.size() + c.backGraphics.size();
    appendGraphics(root, c.frontGraphics, done, total, progress);
    appendGraphics(root, c.backGraphics, done, total, progress);
    return root;
}

QByteArray data(const DesignFileContents &contents, const Progress &progress, QString *error)
{
    return platform::propertyListData(rootArray(contents, progress), platform::PropertyListFormat::Xml, error, progress);
}

QSizeF usableCardSize(const QSizeF &size, const QSizeF &unusable)
{
    const auto clamp = [](double value, double fallback) {
        if (!std::isfinite(value) || value < 0.0 || (value == 0.0 && fallback > 0.0))
            return fallback;
        return value == 0.0 ? value : std::clamp(value, kMinCardPoints, kMaxCardPoints);
    };
    return {clamp(size.width(), unusable.width()), clamp(size.height(), unusable.height())};
}

std::optional<DesignFileContents> read(const QByteArray &bytes, QString *error, qsizetype maxBytes,
                                       const Progress &progress, qint64 maxPixels)
{
    const auto refuse = [&](const QString &reason) -> std::optional<DesignFileContents> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (bytes.size() > maxBytes)
        return refuse(QStringLiteral("too large: %1 bytes, more than the %2 a design may have").arg(bytes.size()).arg(maxBytes));
    QString reason;
    const std::optional<QVariant> list = platform::propertyListFromData(bytes, &reason, nullptr, progress);
    if (!list)
        return refuse(reason);
    if (list->metaType() != QMetaType::fromType<QVariantList>() || list->toList().value(0) != Signature)
        return refuse(QStringLiteral("not a design file"));
    try {
        Cursor in(list->toList(), maxPixels);
        in.text();
        DesignFileContents c;
        c.Front_card_Prop = readCard(in);
        c.Back_card_Prop = readCard(in);
        // The canvases show the front's size, so it is one they can show; the back's stays unset
        // when it was.
        c.Front_card_Prop.setCard_Size(usableCardSize(c.Front_card_Prop.Card_Size(), SKTDocument::defaultCanvasSize));
        c.Back_card_Prop.setCard_Size(usableCardSize(c.Back_card_Prop.Card_Size(), QSizeF(0, 0)));
        c.Invite_Frame_Pic_IMG = in.text();
        c.Main_Photo_image = in.picture(c.Main_Photo_undecoded, c.Main_Photo_bytes);
        c.IMG_invert_clr = in.flag();
        c.IMG_gray_Scale = in.flag();
        c.IMG_Sepia = in.flag();
        for (float *value : {&c.IMG_trnsp_val, &c.IMG_hue_val, &c.IMG_sat_val, &c.IMG_brt_val, &c.IMG_con_val,
                             &c.IMG_srp_val, &c.IMG_ev_val, &c.IMG_blr_val, &c.IMG_rotate_image})
            *value = in.real();
        c.Excel_Binding_Use = in.flag();
        c.Excel_Source_Path = in.text();
        c.excelColumnTitles = in.titles();
        c.excelRows = in.rows();
        // The back's count follows the front's objects, so the front may use all but one element.
        const qint64 front = in.count(in.remaining() - 2);
        if (front > kMaxDesignObjects)
            return refuse(tooManyObjectsReason(front));
        qsizetype done = 0;
        // Both sides' objects and the back's count are what remains, unless elements follow them.
        const qsizetype total = in.remaining() - 1;
        c.frontGraphics = in.graphics(front, done, total, progress);
        const qint64 back = in.count(in.remaining() - 1);
        if (front + back > kMaxDesignObjects)
            return refuse(tooManyObjectsReason(front + back));
        c.backGraphics = in.graphics(back, done, std::max(total, done + back), progress);
        c.picturePixelsLeft = std::max<qint64>(0, in.pixelsLeft());
        return c;
    } catch (const Corrupt &corrupt) {
        if (error)
            *error = corrupt.reason;
        return std::nullopt;
    }
}

namespace {

// A scan of a file for its pictures stops weighing past this many steps (bytes looked at a second
// time, segments, blocks and directory entries walked): a file that takes more goes to a worker.
constexpr qint64 stepsAllowed(qsizetype bytes)
{
    return bytes + 64 * 1024;
}

// What a picture signature whose header does not parse weighs: the reader still tries it, and a
// file of little but such signatures is no small one.
constexpr qint64 kUnweighedPictureWork = 4096;

// Every picture in `data` found by its signature: an archive holds a picture's bytes as they are,
// and so does an archive within one. Each picture is weighed from its header alone and the scan goes
// on past that header, so that what a header holds (an EXIF thumbnail, comments that look like
// pictures) is not weighed again. Adds to `pixels` and `steps`; false once the scan took more
// steps than allowed.
bool weighPictures(QByteArrayView data, qint64 &pixels, qint64 &steps, qint64 allowed)
{
    const auto *bytes = reinterpret_cast<const uchar *>(data.data());
    for (qsizetype at = 0; at < data.size(); ++at) {
        if (!platform::mayBeginPicture(bytes + at, data.size() - at))
            continue;
        const platform::PictureHeader header = platform::pictureHeader(data.sliced(at), &steps, allowed);
        // Most bytes a signature may begin with begin none: only a whole signature weighs.
        if (header.status == platform::PictureHeader::None && header.format.isEmpty())
            continue;
        if (header.status == platform::PictureHeader::Known) {
            pixels += platform::picturePixelsRead(header.size);
            at += std::max<qsizetype>(header.headerLength, 1) - 1;
        } else {
            // Its size cannot be told without decoding it: as much as a picture may have.
            pixels += header.status == platform::PictureHeader::Unknown ? platform::kMostPicturePixels
                                                                        : kUnweighedPictureWork;
        }
        if (steps > allowed || pixels >= kMaxDesignPixels)
            return steps <= allowed;
    }
    return true;
}

// Where `tag` next begins in `file` at or after `from`, or -1: the rarest byte is sought first.
qsizetype nextTag(QByteArrayView file, QByteArrayView tag, qsizetype from)
{
    const char *begin = file.data(), *end = begin + file.size();
    for (const char *at = begin + from; at < end;) {
        const auto *found = static_cast<const char *>(std::memchr(at, '<', size_t(end - at)));
        if (!found)
            return -1;
        if (QByteArrayView(found, end - found).startsWith(tag))
            return found - begin;
        at = found + 1;
    }
    return -1;
}

} // namespace

Work workOfFile(QByteArrayView file)
{
    Work work{file.size(), 0};
    qint64 steps = 0;
    const qint64 allowed = stepsAllowed(file.size());
    bool weighed = true;
    if (file.startsWith("bplist")) {
        weighed = weighPictures(file, work.pixels, steps, allowed);
    } else {
        // A list in text holds its archives in base64 between data tags; only those are decoded.
        const QByteArrayView open("<data>"), close("</data>");
        for (qsizetype from = nextTag(file, open, 0); weighed && from >= 0 && work.pixels < kMaxDesignPixels;
             from = nextTag(file, open, from)) {
            from += open.size();
            qsizetype to = nextTag(file, close, from);
            if (to < 0)
                to = file.size();
            weighed = weighPictures(platform::fromBase64(file.sliced(from, to - from)), work.pixels, steps, allowed);
            from = to;
        }
    }
    // A file that cannot be weighed in proportion to its size is as much work as a design may be.
    if (!weighed)
        work.pixels = kMaxDesignPixels;
    // The reader decodes no more than a design may hold.
    work.pixels = std::min(work.pixels, kMaxDesignPixels);
    work.steps = steps;
    return work;
}

qint64 sheetBytes(const QList<QVariantMap> &rows)
{
    qint64 cells = 0;
    for (const QVariantMap &row : rows)
        cells += row.size();
    return cells * 64;
}

QList<NamedPicture> namedPictures(DesignFileContents &c)
{
    QList<NamedPicture> files;
    QHash<QString, qsizetype> byPath; // the path as the file gave it, to its place in `files`
    const auto named = [&](const QString &path) -> NamedPicture & {
        auto at = byPath.constFind(path);
        if (at == byPath.constEnd()) {
            at = byPath.insert(path, files.size());
            files << NamedPicture{Relocated_Resource_Path(path), {}, {}};
        }
        return files[*at];
    };
    for (const GraphicList *side : {&c.frontGraphics, &c.backGraphics})
        for (const SKTGraphicPtr &graphic : *side) {
            if (graphic->kind() != SKTGraphic::Kind::Image)
                continue;
            auto &picture = static_cast<SKTImage &>(*graphic);
            NamedPicture &file = named(picture._file_path);
            picture._file_path = file.path;
            if (!isMainPhoto(picture))
                file.objects << &picture;
        }
    for (Card_Property *card : {&c.Front_card_Prop, &c.Back_card_Prop}) {
        if (card->Card_BG_Image_Path().isEmpty())
            continue;
        NamedPicture &file = named(card->Card_BG_Image_Path());
        card->setCard_BG_Image_Path(file.path);
        if (card->Card_fill_chk() && card->Card_fill_style() == QLatin1String("I"))
            file.backgrounds << card;
    }
    files.removeIf([](const NamedPicture &file) { return file.objects.isEmpty() && file.backgrounds.isEmpty(); });
    return files;
}

namespace {

// A picture's header is weighed in at most these steps (and a file's in a few pieces of it), or it
// is weighed as a picture of unknown size: a weighing costs well under a millisecond whatever the
// file holds. What follows the header (a JPEG's markers past its first scan, a PNG's chunks past its
// first data) is its reading's to walk, on the thread that reads it.
constexpr qint64 kNamedHeaderSteps = 64 * 1024;

qint64 headerPixels(const platform::PictureHeader &header)
{
    if (header.status == platform::PictureHeader::Known)
        return platform::picturePixelsRead(header.size);
    // A format weighed here whose header is broken is refused at once; any other may be anything.
    if (header.status == platform::PictureHeader::None && !header.format.isEmpty())
        return kUnweighedPictureWork;
    return platform::kMostPicturePixels;
}

} // namespace

qint64 namedPicturePixels(const QList<NamedPicture> &pictures, qint64 enough)
{
    qint64 pixels = 0;
    qsizetype weighed = 0;
    for (const NamedPicture &named : pictures) {
        if (pixels >= enough)
            break;
        const QString path = standardizedPath(named.path);
        if (!platform::isRegularFile(path))
            continue;
        if (++weighed > kMostNamedPicturesWeighed)
            return kMaxDesignPixels;
        QFile file(path);
        qint64 steps = 0;
        if (file.open(QIODevice::ReadOnly))
            pixels += headerPixels(platform::pictureHeader(file, &steps, kNamedHeaderSteps));
    }
    return std::min(pixels, kMaxDesignPixels);
}

Work workOfPicture(QByteArrayView bytes)
{
    qint64 steps = 0;
    return {bytes.size(), headerPixels(platform::pictureHeader(bytes, &steps, kNamedHeaderSteps))};
}

Work workOfPictureFile(const QString &path)
{
    const QString file = standardizedPath(path);
    QFile device(file);
    if (!platform::isRegularFile(file) || !device.open(QIODevice::ReadOnly))
        return {};
    qint64 steps = 0;
    return {device.size(), headerPixels(platform::pictureHeader(device, &steps, kNamedHeaderSteps))};
}

Work workOf(const DesignFileContents &c)
{
    Work work;
    // The main photo is encoded by the save unless its bytes are at hand.
    if (c.Main_Photo_bytes.isReady())
        work.bytes += c.Main_Photo_bytes.bytes().size();
    else
        work.pixels = qint64(c.Main_Photo_image.width()) * c.Main_Photo_image.height();
    for (const GraphicList *side : {&c.frontGraphics, &c.backGraphics})
        for (const SKTGraphicPtr &graphic : *side)
            work.pixels += graphic->picturePixels();
    // An object of a mixed design takes about 5.5 KB of file.
    work.bytes += qint64(c.frontGraphics.size() + c.backGraphics.size()) * 5600 + sheetBytes(c.excelRows);
    return work;
}

bool write(const QString &path, const DesignFileContents &contents, QString *error, qsizetype maxBytes,
           const Progress &progress)
{
    // Refused before the design is gathered, which may take a while for a large one.
    if (const QString problem = platform::targetProblem(path); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    // A design the reader would refuse is not written either.
    if (const qint64 count = contents.frontGraphics.size() + contents.backGraphics.size(); count > kMaxDesignObjects) {
        if (error)
            *error = tooManyObjectsReason(count);
        return false;
    }
    // A path is not changed to fit: it would name another file.
    for (const QString &path : {writtenBackgroundPath(contents.Front_card_Prop),
                                writtenBackgroundPath(contents.Back_card_Prop), contents.Invite_Frame_Pic_IMG,
                                contents.Excel_Source_Path})
        if (const qsizetype at = XmlCharacters::firstUncarried(path); at >= 0) {
            if (error)
                *error = QStringLiteral("The path \"%1\" holds %2, a character a design file cannot hold: rename the "
                                        "file or choose another.")
                             .arg(XmlCharacters::replaced(path), XmlCharacters::nameOf(path, at));
            return false;
        }
    QString reason;
    const QByteArray bytes = data(contents, progress, &reason);
    // What could not be opened again is not written: the previous file stays.
    if (bytes.size() > maxBytes) {
        if (error)
            *error = QStringLiteral("The design is too large to be saved: %1 MB, more than the %2 MB a design may have.")
                         .arg(double(bytes.size()) / (1024 * 1024), 0, 'f', 1)
                         .arg(double(maxBytes) / (1024 * 1024), 0, 'f', 1);
        return false;
    }
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("Part of it cannot be kept in a design file: %1.").arg(reason);
        return false;
    }
    return platform::writeFileSafely(path, bytes, error);
}

QString formatTwoDecimals(float value)
{
    return QString::asprintf("%0.2f", static_cast<double>(value));
}

QString formatEffect(float value)
{
    // The shortest decimal that reads back as the same float: a whole number as before, and a
    // fraction kept, so that the photo is drawn again as it was set. A reader that takes the
    // leading number reads either.
    if (!std::isfinite(value))
        return QStringLiteral("0");
    std::array<char, 32> text{};
    const std::to_chars_result end = std::to_chars(text.data(), text.data() + text.size(), value);
    return QString::fromLatin1(text.data(), end.ptr - text.data());
}

qint64 leadingInt64(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?\\d+"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0;
    bool ok = false;
    const qint64 value = match.captured().trimmed().toLongLong(&ok);
    if (ok)
        return value;
    return match.captured().trimmed().startsWith(QLatin1Char('-')) ? std::numeric_limits<qint64>::min()
                                                                   : std::numeric_limits<qint64>::max();
}

int leadingInt(const QString &text)
{
    return static_cast<int>(std::clamp<qint64>(leadingInt64(text), INT_MIN, INT_MAX));
}

namespace {

QString leadingNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][-+]?\\d+)?"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured().trimmed() : QString();
}

} // namespace

double leadingDouble(const QString &text)
{
    const QString number = leadingNumber(text);
    return number.isEmpty() ? 0.0 : number.toDouble();
}

float leadingFloat(const QString &text)
{
    // Read as a float itself: by way of a double, a float's shortest form could round to its neighbour.
    QByteArray number = leadingNumber(text).toLatin1();
    if (number.startsWith('+'))
        number.remove(0, 1);
    float value = 0.0f;
    const std::from_chars_result end = std::from_chars(number.constData(), number.constData() + number.size(), value);
    if (end.ec == std::errc::result_out_of_range) {
        const double wide = number.toDouble();
        constexpr float largest = std::numeric_limits<float>::max();
        return std::abs(wide) < 1.0 ? 0.0f : wide > 0 ? largest : -largest;
    }
    return end.ec == std::errc() ? value : 0.0f;
}

} // namespace DesignFile
