#include "platform/PrintInfo.h"

#include <QMarginsF>
#include <QPageSize>

#include <cmath>
#include <optional>

namespace platform {

namespace {

constexpr double kLargestPaper = 14400.0; // points: the largest PDF page

bool isPlainValue(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::QString:
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

std::optional<double> number(const QVariantMap &map, const char *key)
{
    const QVariant value = map.value(QLatin1String(key));
    const int type = value.metaType().id();
    if (type != QMetaType::Double && type != QMetaType::LongLong && type != QMetaType::Int)
        return std::nullopt;
    const double result = value.toDouble();
    return std::isfinite(result) ? std::optional<double>(result) : std::nullopt;
}

} // namespace

QPageLayout PrintInfo::defaultPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(72, 72, 72, 72),
                       QPageLayout::Point);
}

QVariantMap PrintInfo::propertyList() const
{
    const QSizeF paper = pageLayout.pageSize().size(QPageSize::Point);
    const QMarginsF margins = pageLayout.margins(QPageLayout::Point);
    QVariantMap settings;
    for (auto it = dictionary.cbegin(); it != dictionary.cend(); ++it)
        if (isPlainValue(it.value()))
            settings.insert(it.key(), it.value());
    return {
        {QStringLiteral("paperWidth"), paper.width()},
        {QStringLiteral("paperHeight"), paper.height()},
        {QStringLiteral("orientation"), pageLayout.orientation() == QPageLayout::Landscape ? QStringLiteral("landscape")
                                                                                          : QStringLiteral("portrait")},
        {QStringLiteral("leftMargin"), margins.left()},
        {QStringLiteral("topMargin"), margins.top()},
        {QStringLiteral("rightMargin"), margins.right()},
        {QStringLiteral("bottomMargin"), margins.bottom()},
        {QStringLiteral("dictionary"), settings},
    };
}

PrintInfo PrintInfo::fromPropertyList(const QVariant &list)
{
    PrintInfo info;
    if (list.metaType() != QMetaType::fromType<QVariantMap>())
        return info;
    const QVariantMap map = list.toMap();

    const QVariantMap settings = map.value(QStringLiteral("dictionary")).toMap();
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        if (isPlainValue(it.value()))
            info.dictionary.insert(it.key(), it.value());

    const auto width = number(map, "paperWidth");
    const auto height = number(map, "paperHeight");
    if (!width || !height || !(*width > 0.0 && *width <= kLargestPaper) || !(*height > 0.0 && *height <= kLargestPaper))
        return info;
    QMarginsF margins;
    for (const auto &[key, setter] : {std::pair{"leftMargin", &QMarginsF::setLeft}, std::pair{"topMargin", &QMarginsF::setTop},
                                      std::pair{"rightMargin", &QMarginsF::setRight},
                                      std::pair{"bottomMargin", &QMarginsF::setBottom}}) {
        const auto margin = number(map, key);
        if (!margin || *margin < 0.0)
            return info;
        (margins.*setter)(*margin);
    }
    const QPageLayout::Orientation orientation =
        map.value(QStringLiteral("orientation")).toString() == QLatin1String("landscape") ? QPageLayout::Landscape
                                                                                          : QPageLayout::Portrait;
    // A standard paper is known by its size, so it keeps its name.
    const QPageSize paper(QSizeF(*width, *height), QPageSize::Point, QString(), QPageSize::FuzzyMatch);
    QPageLayout layout(paper, orientation, QMarginsF(), QPageLayout::Point);
    const QSizeF page = layout.fullRect(QPageLayout::Point).size();
    if (!paper.isValid() || margins.left() + margins.right() >= page.width() ||
        margins.top() + margins.bottom() >= page.height() || !layout.setMargins(margins))
        return info;
    info.pageLayout = layout;
    return info;
}

} // namespace platform
