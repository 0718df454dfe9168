#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class SKTGraphic;

// Where an object takes its value from: typed into the object, a series, or a column of the bound
// Excel sheet. Files keep the code (an object's `data_source_type`); the data-source lists show the
// names at the positions of the codes.
enum class DataSourceType : int { Typed = 0, Series = 1, Excel = 2 };

inline constexpr int kDataSourceTypeCount = 3;

// "Manual", "Series", "Excel".
QString dataSourceTypeName(DataSourceType type);
// The type of a list item's text; nothing for another text.
std::optional<DataSourceType> dataSourceTypeNamed(const QString &name);
// The type of a stored code; nothing for a code no type has.
std::optional<DataSourceType> dataSourceTypeOfCode(int code);
// The items of a data-source list in code order; Excel only while a sheet is bound.
QStringList dataSourceTypeNames(bool withExcel);

// An object's binding as its code says (nothing for an unknown code), and the code set from one.
std::optional<DataSourceType> dataSourceTypeOf(const SKTGraphic &graphic);
void setDataSourceType(SKTGraphic &graphic, DataSourceType type);
