#include "datasource/DataSourceType.h"

#include "document/SKTText.h"

#include <gtest/gtest.h>

// The stored codes, the list items and the types go through one table: every type comes back from
// its code, its name and an object.
TEST(DataSourceType, EveryTypeComesBackFromItsCodeNameAndObject)
{
    const struct {
        DataSourceType type;
        int code;
        const char *name;
    } rows[] = {{DataSourceType::Typed, 0, "Manual"}, {DataSourceType::Series, 1, "Series"},
                {DataSourceType::Excel, 2, "Excel"}};
    ASSERT_EQ(std::size(rows), static_cast<size_t>(kDataSourceTypeCount));
    SKTText object;
    for (const auto &row : rows) {
        EXPECT_EQ(dataSourceTypeName(row.type), QLatin1String(row.name));
        EXPECT_EQ(dataSourceTypeNamed(QLatin1String(row.name)), row.type);
        EXPECT_EQ(dataSourceTypeOfCode(row.code), row.type);
        EXPECT_EQ(dataSourceTypeNames(true).at(row.code), QLatin1String(row.name)) << "lists hold names at codes";
        setDataSourceType(object, row.type);
        EXPECT_EQ(object.binding.data_source_type, row.code);
        EXPECT_EQ(dataSourceTypeOf(object), row.type);
    }
    EXPECT_EQ(dataSourceTypeNames(false), (QStringList{QStringLiteral("Manual"), QStringLiteral("Series")}));
    for (int unknown : {-1, kDataSourceTypeCount})
        EXPECT_EQ(dataSourceTypeOfCode(unknown), std::nullopt);
    EXPECT_EQ(dataSourceTypeNamed(QStringLiteral("Typed")), std::nullopt);
}
