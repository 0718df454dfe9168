#include "core/FontNames.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>

#include <cstdlib>
#include <iterator>

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

QString compact(QString name)
{
    return name.remove(QLatin1Char(' '));
}

// The words of a PostScript style for each weight; regular has none.
struct WeightWord {
    const char *word;
    int weight;
};
constexpr WeightWord kWrittenWeights[] = {{"Thin", 100},     {"ExtraLight", 200}, {"Light", 300},
                                          {"Medium", 500},   {"SemiBold", 600},   {"Bold", 700},
                                          {"ExtraBold", 800}, {"Black", 900}};
// Words read in a style, each before any word it contains.
constexpr WeightWord kReadWeights[] = {{"ExtraLight", 200}, {"UltraLight", 200}, {"ExtraBold", 800},
                                       {"UltraBold", 800},  {"SemiBold", 600},   {"DemiBold", 600},
                                       {"Hairline", 100},   {"Thin", 100},       {"Light", 300},
                                       {"Medium", 500},     {"Heavy", 900},      {"Black", 900},
                                       {"Bold", 700},       {"Demi", 600}};
struct StretchWord {
    const char *word;
    int stretch;
};
constexpr StretchWord kStretches[] = {{"UltraCondensed", QFont::UltraCondensed}, {"ExtraCondensed", QFont::ExtraCondensed},
                                      {"SemiCondensed", QFont::SemiCondensed},   {"Condensed", QFont::Condensed},
                                      {"SemiExpanded", QFont::SemiExpanded},     {"ExtraExpanded", QFont::ExtraExpanded},
                                      {"UltraExpanded", QFont::UltraExpanded},   {"Expanded", QFont::Expanded}};

int weightOfStyle(const QString &style)
{
    for (const WeightWord &w : kReadWeights)
        if (style.contains(QLatin1String(w.word), Qt::CaseInsensitive))
            return w.weight;
    return QFont::Normal;
}

int stretchOfStyle(const QString &style)
{
    for (const StretchWord &s : kStretches)
        if (style.contains(QLatin1String(s.word), Qt::CaseInsensitive))
            return s.stretch;
    return QFont::AnyStretch;
}

// The style a font has without a face name: its width, weight and slant in words.
QString styleWords(const QFont &font)
{
    QString words;
    if (font.stretch() != QFont::AnyStretch && font.stretch() != QFont::Unstretched) {
        const auto nearest = std::min_element(std::begin(kStretches), std::end(kStretches), [&](const auto &a, const auto &b) {
            return std::abs(a.stretch - font.stretch()) < std::abs(b.stretch - font.stretch());
        });
        words += QLatin1String(nearest->word);
    }
    // Weights between the named ones go to the nearest; regular takes no word.
    if (std::abs(font.weight() - QFont::Normal) >= 50) {
        const auto nearest = std::min_element(std::begin(kWrittenWeights), std::end(kWrittenWeights), [&](const auto &a, const auto &b) {
            return std::abs(a.weight - font.weight()) < std::abs(b.weight - font.weight());
        });
        words += QLatin1String(nearest->word);
    }
    if (font.style() == QFont::StyleItalic)
        words += QLatin1String("Italic");
    else if (font.style() == QFont::StyleOblique)
        words += QLatin1String("Oblique");
    return words;
}

// The installed family a PostScript family names ("DejaVuSans", "NimbusMonoPS"); empty when none
// is installed, or when there is no font database to ask.
QString installedFamily(const QString &postScriptFamily)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QString();
    static const QHash<QString, QString> families = [] {
        QHash<QString, QString> byName;
        static const QRegularExpression foundry(QStringLiteral("\\s*\\[.*\\]$"));
        for (QString family : QFontDatabase::families())
            byName.insert(compact(family.remove(foundry)).toLower(), family);
        return byName;
    }();
    return families.value(compact(postScriptFamily).toLower());
}

// The face of an installed family whose name is `style` written without blanks; empty when none.
QString installedStyle(const QString &family, const QString &style)
{
    static QMutex mutex;
    static QHash<QString, QStringList> styles;
    const QMutexLocker lock(&mutex);
    auto found = styles.find(family);
    if (found == styles.end())
        found = styles.insert(family, QFontDatabase::styles(family));
    for (const QString &name : *found)
        if (compact(name).compare(style, Qt::CaseInsensitive) == 0)
            return name;
    return QString();
}

// Vendor suffixes of PostScript names, not part of the family or the style.
const QRegularExpression &vendorSuffix()
{
    static const QRegularExpression suffix(QStringLiteral("(PSMT|PS|MT)$"));
    return suffix;
}

bool isMtFamily(const QString &compactFamily)
{
    return compactFamily == QLatin1String("TimesNewRoman") || compactFamily == QLatin1String("Arial") ||
           compactFamily == QLatin1String("CourierNew");
}

// The font a PostScript name names, at `size` points.
QFont fontOfName(const QString &postScriptName, double size)
{
    QString family = postScriptName;
    QString style;
    const int dash = postScriptName.lastIndexOf(QLatin1Char('-'));
    QString installed = installedFamily(postScriptName);
    if (installed.isEmpty() && dash > 0) {
        family = postScriptName.left(dash);
        style = postScriptName.mid(dash + 1);
        installed = installedFamily(family);
    }
    style.remove(vendorSuffix());
    if (installed.isEmpty()) {
        QString bare = family;
        bare.remove(vendorSuffix());
        installed = installedFamily(bare);
        // A family this machine lacks keeps its name, so that the design saves as it came.
        if (installed.isEmpty() && !family.contains(QLatin1Char(' ')))
            family = splitCamelCase(isMtFamily(bare) ? bare : family);
    }
    if (!installed.isEmpty())
        family = installed;

    // An installed face is taken by its name, as the font dialogs take it.
    if (const QString face = installed.isEmpty() || style.isEmpty() ? QString() : installedStyle(installed, style);
        !face.isEmpty()) {
        QFont font = QFontDatabase::font(installed, face, 12);
        font.setPointSizeF(size);
        return font;
    }
    QFont font(family);
    font.setPointSizeF(size);
    font.setWeight(QFont::Weight(weightOfStyle(style)));
    font.setItalic(style.contains(QLatin1String("Italic"), Qt::CaseInsensitive) ||
                   style.contains(QLatin1String("Oblique"), Qt::CaseInsensitive));
    if (const int stretch = stretchOfStyle(style); stretch != QFont::AnyStretch)
        font.setStretch(stretch);
    return font;
}

} // namespace

QFont Font_With_Name(const QString &postScriptName, double pointSize)
{
    // A design names few fonts, each many times: each name is looked up once. A file may name
    // any number, so the names kept are bounded.
    static QMutex mutex;
    static QHash<QString, QFont> fonts;
    const double size = pointSize > 0 ? pointSize : 12.0;
    {
        const QMutexLocker lock(&mutex);
        if (const auto found = fonts.constFind(postScriptName); found != fonts.constEnd()) {
            QFont font = *found;
            font.setPointSizeF(size);
            return font;
        }
    }
    const QFont font = fontOfName(postScriptName, size);
    // Without a font database to ask, the name may read differently once there is one.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        const QMutexLocker lock(&mutex);
        if (fonts.size() >= 256)
            fonts.clear();
        fonts.insert(postScriptName, font);
    }
    return font;
}

QString Font_PostScript_Name(const QFont &font)
{
    const QString family = compact(font.family());
    const QString style = font.styleName().isEmpty() ? styleWords(font) : compact(font.styleName());
    if (isMtFamily(family)) {
        const bool times = family == QLatin1String("TimesNewRoman");
        const QString base = times || family == QLatin1String("CourierNew") ? family + QLatin1String("PS") : family;
        return style.isEmpty() ? base + QLatin1String("MT") : base + QLatin1Char('-') + style + QLatin1String("MT");
    }
    return style.isEmpty() ? family : family + QLatin1Char('-') + style;
}
