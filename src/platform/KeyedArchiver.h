#pragma once

#include "platform/KeyedCoder.h"
#include "platform/PictureReading.h"
#include "platform/PropertyList.h"

#include <QColor>
#include <QImage>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

namespace platform {

// A font as archives record it: PostScript name and size in points (the program maps names to fonts).
struct ArchivedFont {
    QString name;
    double size = 0;
};

// An object of the program's own class nested in an archive: its class chain, most derived first,
// and the fields it writes.
struct EncodableObject {
    QStringList classes;
    std::function<void(KeyedEncoder &)> encodeFields;
};

// A picture an archive holds but that could not be decoded (damaged, of an unknown format, or past
// the archive's pixel budget): its data as it was, so that writing it again loses nothing.
struct UndecodedPicture {
    QByteArray data;
    QString size; // the picture's size in points, as the archive wrote it
};

// A picture with bytes that encode it (the file a camera's photo was read from, or the picture
// encoded once beforehand): archived as those bytes, so that writing it compresses nothing.
struct EncodedPicture {
    QImage picture; // gives the size the archive records
    QByteArray data;
};

class KeyedObjectDecoder;
using KeyedObjectRef = std::shared_ptr<const KeyedObjectDecoder>;

constexpr int kKeyedArchiveMaxDepth = 32;
// Reads of objects by reference, so that references fanning out into an enormous tree end.
constexpr qint64 kKeyedArchiveObjectReads = 100'000;
// The pixels an archive's pictures may hold together (one picture of the most pixels a picture is
// read at); a picture read once the budget is spent reads as nil.
constexpr qint64 kKeyedArchiveImagePixels = kMostPicturePixels;

// What reading one archive may cost: nesting, object reads and decoded pixels. The defaults are
// the program's; whatever exceeds them reads as the empty value of its kind.
struct KeyedArchiveLimits {
    int maxDepth = kKeyedArchiveMaxDepth;
    qint64 objectReads = kKeyedArchiveObjectReads;
    qint64 imagePixels = kKeyedArchiveImagePixels;
    // When set, a pixel budget that every archive read with these limits shares (a design holds
    // one archive per object); each archive's own budget applies as well.
    std::shared_ptr<std::atomic<qint64>> sharedImagePixels = nullptr;
};

// Writes keyed archives in the desktop's keyed-archiver layout ($archiver, $version, $top/root,
// $objects with UIDs, $class dictionaries with $classname/$classes) as a property list.
// encodeObject takes QString, QByteArray, numbers, QColor, ArchivedFont, QImage (an image with one
// bitmap representation holding PNG data), UndecodedPicture (the same, with its data as it came),
// EncodedPicture (the same, with its data),
// QVariantList (NSArray), QVariantMap with string keys (NSDictionary) and EncodableObject; an
// invalid QVariant is nil.
class KeyedArchiver {
public:
    static QByteArray archivedData(const EncodableObject &root,
                                   PropertyListFormat format = PropertyListFormat::Binary);
    // The same as a property-list value, for callers that embed archives in bigger lists.
    static QVariant archivedPropertyList(const EncodableObject &root);
    // An archive whose root is a plain value (a colour, a font, a picture); nil gives a nil root.
    static QByteArray archivedDataWithRootValue(const QVariant &root,
                                                PropertyListFormat format = PropertyListFormat::Binary);
};

// Reads archives written in that layout. Archives are untrusted: every reference is bounds-checked,
// nesting is limited, and what does not fit reads as the empty value of its kind.
class KeyedUnarchiver {
public:
    // The root object of archived data, or null when the data is not a keyed archive.
    static KeyedObjectRef rootObject(const QByteArray &data, QString *error = nullptr,
                                     const KeyedArchiveLimits &limits = {});
    static KeyedObjectRef rootObjectOfPropertyList(const QVariant &archive, QString *error = nullptr,
                                                   const KeyedArchiveLimits &limits = {});
    // The root of any archive as decodeObject would answer it (nil for a nil root); nothing when the
    // data is not a keyed archive.
    static std::optional<QVariant> rootValue(const QByteArray &data, QString *error = nullptr,
                                             const KeyedArchiveLimits &limits = {});
    // The data of a picture archive's one representation, as it is stored (PNG, JPEG, TIFF…); none
    // when the archive holds no picture or several representations, any of which may be the one read.
    static QByteArray pictureData(const QByteArray &data);
};

// One object of an archive. decodeObject answers QString, QByteArray, numbers, QColor, ArchivedFont,
// QImage, QVariantList, QVariantMap, or a KeyedObjectRef for any other class.
class KeyedObjectDecoder : public KeyedDecoder {
public:
    struct Archive;
    KeyedObjectDecoder(std::shared_ptr<const Archive> archive, quint64 object, int depth);

    QStringList classes() const { return m_classes; }
    QString className() const { return m_classes.value(0); }

    bool containsValueForKey(const QString &key) const override;
    bool decodeBool(const QString &key) const override;
    int decodeInt(const QString &key) const override;
    float decodeFloat(const QString &key) const override;
    double decodeDouble(const QString &key) const override;
    QVariant decodeObject(const QString &key) const override;
    QPointF decodePoint(const QString &key) const override;
    QSizeF decodeSize(const QString &key) const override;
    QRectF decodeRect(const QString &key) const override;

private:
    // The objects being resolved on the way to this one, innermost first: a reference back to one
    // of them is a cycle, which reads as nil.
    struct Resolving {
        quint64 index;
        const Resolving *outer;
    };
    QVariant resolved(quint64 value, int depth, const Resolving *resolving = nullptr) const;
    QVariant number(const QString &key) const;
    quint64 field(const QString &key) const;

    std::shared_ptr<const Archive> m_archive;
    quint64 m_object; // its dictionary in the archive's property list
    QStringList m_classes;
    int m_depth;
    bool m_ordered = false; // its keys ascend, so a key is looked up by halves
    mutable bool m_looked = false;
    mutable QString m_lastKey;
    mutable quint64 m_lastField = 0;
};

// The desktop's geometry strings: "{x, y}", "{w, h}", "{{x, y}, {w, h}}".
QString stringFromPoint(const QPointF &point);
QString stringFromSize(const QSizeF &size);
QString stringFromRect(const QRectF &rect);
QPointF pointFromString(const QString &text);
QSizeF sizeFromString(const QString &text);
QRectF rectFromString(const QString &text);

} // namespace platform

Q_DECLARE_METATYPE(platform::ArchivedFont)
Q_DECLARE_METATYPE(platform::UndecodedPicture)
Q_DECLARE_METATYPE(platform::EncodedPicture)
Q_DECLARE_METATYPE(platform::EncodableObject)
Q_DECLARE_METATYPE(platform::KeyedObjectRef)
