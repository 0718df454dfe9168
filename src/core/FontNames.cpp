#include "core/FontNames.h"

#include <QRegularExpression>

namespace {

// "TimesNewRoman" -> "Times New Roman"
QString splitCamelCase(const QString &word)
{
    QString out;
    for (int i = 0; i < word.size(); ++i) {
        const QChar c = word.at(i);
        if (i > 0 && c.isUpper() && word.at(i - 1).isLower())
            out += QLatin1Char(' ');
        out += c;
    }
    return out;
}

} // namespace

QFont Font_With_Name(const QString &postScriptName, double pointSize)
{
    QString family = postScriptName;
    QString style;
    const int dash = postScriptName.indexOf(QLatin1Char('-'));
    if (dash > 0) {
        family = postScriptName.left(dash);
        style = postScriptName.mid(dash + 1);
    }
    // Vendor suffixes of PostScript names are not part of the family.
    static const QRegularExpression suffix(QStringLiteral("(PSMT|PS|MT)$"));
    if (!family.contains(QLatin1Char(' ')))
        family = splitCamelCase(family.remove(suffix));
    style.remove(suffix);

    QFont font(family);
    font.setPointSizeF(pointSize > 0 ? pointSize : 12.0);
    font.setBold(style.contains(QLatin1String("Bold"), Qt::CaseInsensitive));
    font.setItalic(style.contains(QLatin1String("Italic"), Qt::CaseInsensitive)
                   || style.contains(QLatin1String("Oblique"), Qt::CaseInsensitive));
    return font;
}

QString Font_PostScript_Name(const QFont &font)
{
    QString family = font.family();
    family.remove(QLatin1Char(' '));
    const bool bold = font.bold();
    const bool italic = font.italic();
    const bool times = family == QLatin1String("TimesNewRoman");
    const bool mtFamily = times || family == QLatin1String("Arial") || family == QLatin1String("CourierNew");
    QString style;
    if (bold)
        style += QLatin1String("Bold");
    if (italic)
        style += QLatin1String("Italic");
    if (mtFamily) {
        const QString base = times || family == QLatin1String("CourierNew") ? family + QLatin1String("PS") : family;
        return style.isEmpty() ? base + QLatin1String("MT") : base + QLatin1Char('-') + style + QLatin1String("MT");
    }
    return style.isEmpty() ? family : family + QLatin1Char('-') + style;
}
