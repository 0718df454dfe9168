#include "datasource/DataSourceType.h"

#include "document/SKTGraphic.h"

#include <iterator>

namespace {

struct Named {
    DataSourceType type;
    const char *name;
};

// The one table of names; everything between types, codes and names goes through it.
constexpr Named kNames[] = {
    {DataSourceType::Typed, "Manual"},
    {DataSourceType::Series, "Series"},
    {DataSourceType::Excel, "Excel"},
};

constexpr bool inCodeOrder()
{
    for (int i = 0; i < static_cast<int>(std::size(kNames)); ++i)
        if (static_cast<int>(kNames[i].type) != i)
            return false;
    return true;
}
static_assert(std::size(kNames) == kDataSourceTypeCount, "a data-source type without a name, or a name too many");
static_assert(inCodeOrder(), "the names must stand at their codes");

} // namespace

QString dataSourceTypeName(DataSourceType type)
{
    return QLatin1String(kNames[static_cast<int>(type)].name);
}

std::optional<DataSourceType> dataSourceTypeNamed(const QString &name)
{
    for (const Named &entry : kNames)
        if (name == QLatin1String(entry.name))
            return entry.type;
    return std::nullopt;
}

std::optional<DataSourceType> dataSourceTypeOfCode(int code)
{
    if (code < 0 || code >= kDataSourceTypeCount)
        return std::nullopt;
    return kNames[code].type;
}

QStringList dataSourceTypeNames(bool withExcel)
{
    QStringList names;
    for (const Named &entry : kNames)
        if (withExcel || entry.type != DataSourceType::Excel)
            names << QLatin1String(entry.name);
    return names;
}

std::optional<DataSourceType> dataSourceTypeOf(const SKTGraphic &graphic)
{
    return dataSourceTypeOfCode(graphic.binding.data_source_type);
}

void setDataSourceType(SKTGraphic &graphic, DataSourceType type)
{
    graphic.Set_Data_source_type(static_cast<int>(type));
}
