#include "platform/PropertyList.h"

#include "platform/PropertyListForms.h"
#include "platform/XmlCharacters.h"

namespace platform {

namespace plistforms {

QString hasNoPlistForm(const QVariant &value)
{
    return QStringLiteral("a value of type %1 has no property-list form").arg(QString::fromLatin1(value.typeName()));
}

// The XML form is written as XML 1.0, which any reader takes: a text holding a character it cannot
// carry (NUL, another C0 control but tab, line feed and carriage return, U+FFFE, U+FFFF or an
// unpaired surrogate) is refused rather than written changed or left for no other reader to open.
// A carriage return goes in as a reference, which a parser does not make a line feed.
QString uncarriedInXml(QStringView text)
{
    if (const qsizetype i = XmlCharacters::firstUncarried(text); i >= 0) {
        const QString shown = XmlCharacters::replaced(text.first(std::min<qsizetype>(text.size(), 40)).toString());
        return QStringLiteral("the text \"%1%2\" holds %3, a character an XML property list cannot carry")
            .arg(shown, text.size() > 40 ? QStringLiteral("\u2026") : QString(), XmlCharacters::nameOf(text, i));
    }
    return {};
}

} // namespace plistforms

using namespace plistforms;

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
