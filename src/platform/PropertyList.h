#pragma once

#include <QByteArray>
#include <QHash>
#include <QMetaType>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>
#include <vector>

namespace platform {

// A reference from one object of a keyed archive to another, by index into its object table.
struct PlistUid {
    quint64 value = 0;
    bool operator==(const PlistUid &) const = default;
};

enum class PropertyListFormat { Binary, Xml };

// Told now and then how far a long read or write has come, `done` of `total`, on the thread that
// does it; the last word of a read or write that succeeds has `done` equal to `total`.
using PropertyListProgress = std::function<void(qsizetype done, qsizetype total)>;

// Property lists as QVariant trees: QVariantMap (dictionary), QVariantList (array), QString,
// QByteArray (data), bool, integers (read back as qint64), double, QDateTime and PlistUid.
// Anything else cannot be written and makes the whole write fail.
// The XML form is XML 1.0 and writes only what it reads back: a text holding a character XML cannot
// carry (see XmlCharacters) fails the write, naming the character; a carriage return is written as a
// reference.
// The XML form tells `progress` as the root's elements and their own elements are written.
QByteArray propertyListData(const QVariant &root, PropertyListFormat format, QString *error = nullptr,
                            const PropertyListProgress &progress = {});

// A binary property list read in place: checked whole as propertyListFromData checks it, then
// each object's kind and where its contents lie, so that a reader takes the values it wants
// without making a tree of all of them. Objects are named by their references (top() the root).
// A dictionary {CF$UID: n} is the reference n, as propertyListFromData reads it.
class BinaryPropertyList {
public:
    enum class Kind : quint8 { None, Boolean, Integer, Real, Date, Data, Text, Uid, Array, Dictionary };

    static std::optional<BinaryPropertyList> read(const QByteArray &data, QString *error = nullptr);

    quint64 top() const { return m_top; }
    Kind kind(quint64 ref) const { return node(ref).kind; }
    // Integer (its bits), Boolean (0 or 1), Uid; Real and Date are real().
    quint64 bits(quint64 ref) const { return node(ref).bits; }
    double real(quint64 ref) const;
    // Elements of an array, pairs of a dictionary, characters of a text, bytes of a data.
    quint64 count(quint64 ref) const { return node(ref).count; }
    quint64 element(quint64 ref, quint64 i) const { return refAt(node(ref).at, i); }
    quint64 key(quint64 ref, quint64 i) const { return refAt(node(ref).at, i); }
    quint64 value(quint64 ref, quint64 i) const { return refAt(node(ref).at, node(ref).count + i); }
    // A text compared with another as QString compares them.
    int compareText(quint64 ref, QStringView text) const;
    int compareTexts(quint64 a, quint64 b) const;
    QString text(quint64 ref) const;
    QByteArray data(quint64 ref) const;
    // Any object as propertyListFromData gives it.
    QVariant variant(quint64 ref) const;

private:
    struct Node {
        Kind kind = Kind::None;
        bool utf16 = false;
        qsizetype at = 0; // contents, or the references of a collection
        quint64 count = 0;
        quint64 bits = 0;
    };
    friend class BinaryListReader;
    const Node &node(quint64 ref) const;
    quint64 refAt(qsizetype at, quint64 i) const;

    QByteArray m_data;
    int m_refSize = 1;
    quint64 m_top = 0;
    std::vector<Node> m_nodes;        // by reference while the list has few objects
    QHash<quint64, Node> m_sparse;    // by reference otherwise
};

// The XML form as the library writes it, carriage returns as references; propertyListData writes the same bytes, faster, for
// the values a design file holds.
QByteArray libraryXmlData(const QVariant &root, QString *error = nullptr);

// Reads either form. Data from outside is untrusted: a malformed list, one nested deeper than the
// limit or larger than the limit gives nothing and a reason. A UID that XML brought back as the
// dictionary {CF$UID: n} becomes a PlistUid again.
// Lists that earlier writers put control characters or U+FFFE and U+FFFF into as they are, which
// no XML reader takes, are read all the same: the controls as they were, the two as U+FFFD.
// The XML form tells `progress` as its passes over the text go on.
std::optional<QVariant> propertyListFromData(const QByteArray &data, QString *error = nullptr,
                                             PropertyListFormat *format = nullptr,
                                             const PropertyListProgress &progress = {});

// The binary form built object by object, in the order a writer meets them: each text once, data
// shared in memory once, every other object as often as it is added. Collections are reserved
// before their elements are added and given their references after. The object added first is the
// root. The same calls give the same bytes.
class BinaryPropertyListBuilder {
public:
    quint64 text(const QString &text);
    quint64 data(const QByteArray &bytes);
    quint64 integer(qint64 value);
    quint64 unsignedInteger(quint64 value);
    quint64 real(double value);
    quint64 date(double secondsSinceReference);
    quint64 boolean(bool value);
    quint64 uid(quint64 value);
    quint64 reserve();
    void setArray(quint64 index, const quint64 *refs, qsizetype count);
    // Keys' references first, then the values' in the same order.
    void setDictionary(quint64 index, const quint64 *refs, qsizetype pairs);
    QByteArray bytes() const;

private:
    enum class Kind : quint8 { Text, Data, Signed, Unsigned, Real, Date, Boolean, Uid, Array, Dictionary };
    struct Object {
        Kind kind;
        quint64 bits = 0; // the number's bits, or where the refs begin
        quint64 count = 0; // refs of a collection
        QString text;
        QByteArray data;
    };
    quint64 add(Kind kind, quint64 bits = 0, const QString &text = {}, const QByteArray &data = {});

    std::vector<Object> m_objects;
    std::vector<quint64> m_refs;
    // The texts written, by a hash of their characters: open addressing, each slot an object's
    // index + 1 (0 for none), kept at most half full.
    std::vector<quint32> m_texts;
    qsizetype m_textCount = 0;
    QHash<std::pair<const char *, qsizetype>, quint64> m_data; // by address and size
};

// Base64 as QByteArray::fromBase64 reads it, a character outside the alphabet ('=' and white space
// among them) passed over, but four characters at a time wherever four of the alphabet follow.
// `plain` tells whether the text held nothing but the alphabet, '=' and white space.
QByteArray fromBase64(QByteArrayView text, bool *plain = nullptr);

constexpr int kPropertyListMaxDepth = 64;
constexpr qsizetype kPropertyListMaxBytes = 512 * 1024 * 1024;

} // namespace platform

Q_DECLARE_METATYPE(platform::PlistUid)
