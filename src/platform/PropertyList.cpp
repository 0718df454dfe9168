#include "platform/PropertyList.h"

#include "platform/PropertyListForms.h"
#include "platform/XmlCharacters.h"

namespace platform {

namespace {

// The XML form gives back every character of a text but these: NUL, at which the library's texts
// end, and U+FFFE, U+FFFF and an unpaired surrogate, which no XML document holds (UTF-8 has no
// unpaired surrogate at all). A text holding one is refused rather than written changed. Other
// control characters go in as they are and the reader takes them back; a carriage return goes in as
// a reference, which a parser does not make a line feed.
qsizetype uncarriedAt(QStringView text)
{
    return XmlCharacters::firstUncarried(text, XmlCharacters::Controls::Carried);
}

} // namespace

namespace plistforms {

QString hasNoPlistForm(const QVariant &value)
{
    return QStringLiteral("a value of type %1 has no property-list form").arg(QString::fromLatin1(value.typeName()));
}

QString uncarriedInXml(QStringView text)
{
    if (const qsizetype i = uncarriedAt(text); i >= 0) {
        const char16_t c = text[i].unicode();
        const QString character = c == 0 ? QStringLiteral("NUL")
                                         : QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
        const QString shown = XmlCharacters::replaced(text.first(std::min<qsizetype>(text.size(), 40)).toString());
        return QStringLiteral("the text \"%1%2\" holds %3, a character an XML property list cannot carry")
            .arg(shown, text.size() > 40 ? QStringLiteral("\u2026") : QString(),
                 QChar::isSurrogate(c) ? QStringLiteral("an unpaired surrogate (%1)").arg(character) : character);
    }
    return {};
}

} // namespace plistforms

using namespace plistforms;

bool xmlFormCarries(QStringView text)
{
    return uncarriedAt(text) < 0;
}

QByteArray propertyListData(const QVariant &root, PropertyListFormat format, QString *error,
                            const PropertyListProgress &progress)
{
    QString reason;
    QByteArray data;
    if (format == PropertyListFormat::Binary) {
        data = binaryData(root, reason);
        if (data.isEmpty()) {
            if (error)
                *error = reason;
            return {};
        }
        return data;
    }
    if (std::optional<QByteArray> xml = xmlData(root, progress, reason))
        return *xml;
    if (!reason.isEmpty()) {
        if (error)
            *error = reason;
        return {};
    }
    return libraryXmlData(root, error);
}

std::optional<QVariant> propertyListFromData(const QByteArray &data, QString *error, PropertyListFormat *format,
                                             const PropertyListProgress &progress)
{
    QString reason;
    std::optional<QVariant> value;
    const bool binary = data.startsWith("bplist");
    if (data.size() > kPropertyListMaxBytes)
        reason = QStringLiteral("property list too large");
    else if (!binary)
        value = fromXml(data, progress, reason);
    else if (const std::optional<BinaryPropertyList> list = BinaryPropertyList::read(data, &reason))
        value = list->variant(list->top());
    if (!value) {
        if (error)
            *error = reason;
        return std::nullopt;
    }
    if (format)
        *format = binary ? PropertyListFormat::Binary : PropertyListFormat::Xml;
    return value;
}

} // namespace platform
