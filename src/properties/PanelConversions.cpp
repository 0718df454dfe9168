#include "properties/PanelConversions.h"

#include "platform/XmlCharacters.h"

#include <QHash>

#include <array>

namespace PanelConversions {

namespace {

const std::array<QString, 5> kOutlineCodes = {QStringLiteral("S"), QStringLiteral("DA"), QStringLiteral("DO"),
                                              QStringLiteral("DD"), QStringLiteral("DDD")};

QString fontDisplayName(const QFont &font)
{
    QString name = font.family();
    if (font.bold())
        name += QStringLiteral(" Bold");
    if (font.italic())
        name += QStringLiteral(" Italic");
    return name;
}

} // namespace

QString outlineCodeForIndex(int index)
{
    if (index < 0 || index >= static_cast<int>(kOutlineCodes.size()))
        return QString();
    return kOutlineCodes[static_cast<size_t>(index)];
}

int outlineIndexForCode(const QString &code)
{
    for (size_t i = 0; i < kOutlineCodes.size(); ++i)
        if (kOutlineCodes[i] == code)
            return static_cast<int>(i);
    return -1;
}

QString fontLabel(const QFont &font)
{
    return QStringLiteral("%1 ( %2 )").arg(fontDisplayName(font), QString::number(font.pointSizeF(), 'f', 2));
}

QString shapePropertiesName(const QString &code)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("R"), QStringLiteral("Rectangle Properties")},
        {QStringLiteral("C"), QStringLiteral("Ellipse Properties")},
        {QStringLiteral("RR"), QStringLiteral("Rounded Rectangle Properties")},
        {QStringLiteral("T"), QStringLiteral("Triangle Properties")},
        {QStringLiteral("D"), QStringLiteral("Diamond Properties")},
        {QStringLiteral("S"), QStringLiteral("Star Properties")},
        {QStringLiteral("DS"), QStringLiteral("Double Star Properties")},
        {QStringLiteral("P"), QStringLiteral("Polygon Properties")}};
    return names.value(code);
}

QString cardShapeCode(int cardShape)
{
    if (cardShape == 0)
        return QStringLiteral("R");
    if (cardShape == 1)
        return QStringLiteral("RR");
    return QStringLiteral("E");
}

QString cleanedEditorText(const QString &text)
{
    QString cleaned = XmlCharacters::replaced(text);
    cleaned.remove(QLatin1String(kTextPlaceholder));
    if (cleaned.size() > kTextLimit) {
        qsizetype keep = kTextLimit;
        if (cleaned.at(keep - 1).isHighSurrogate() && cleaned.at(keep).isLowSurrogate())
            --keep;
        cleaned.truncate(keep);
    }
    return cleaned;
}

} // namespace PanelConversions
