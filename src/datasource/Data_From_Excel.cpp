#include "datasource/Data_From_Excel.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "platform/XmlCharacters.h"

#include <QSet>

#include <algorithm>

const QString Data_From_Excel::kRowNumberTitle = QStringLiteral("#");

Data_From_Excel *Data_From_Excel::defaultInstance()
{
    // Lives for the whole run, like the window it stands for; App().reset() empties it.
    static Data_From_Excel *const instance = [] {
        auto *made = new Data_From_Excel;
        App().addSubsystemReset([made] { made->reset(); });
        return made;
    }();
    return instance;
}

QString Data_From_Excel::columnKey(int column)
{
    return column == 0 ? QStringLiteral("Extension") : QStringLiteral("Column%1").arg(column);
}

void Data_From_Excel::reset()
{
    ListData.clear();
    m_boundTitles.clear();
    titlesChanged();
    rowsChanged.notify();
}

void Data_From_Excel::appendRow(const QVariantMap &row)
{
    ListData.append(row);
    rowsChanged.notify();
}

std::optional<QVariantMap> Data_From_Excel::makeRow(const QStringList &values, int count, qsizetype number)
{
    if (count > values.size()) {
        Show_NSLog_Message(
            QStringLiteral("An Excel row has %1 cells where %2 are bound.").arg(values.size()).arg(count));
        return std::nullopt;
    }
    QVariantMap row;
    row.insert(columnKey(0), QString::number(number));
    for (int i = 0; i < count; ++i)
        row.insert(columnKey(i + 1), Trim_Str(values.at(i)));
    return row;
}

void Data_From_Excel::Create_List_By_Array(const QStringList &values, int count)
{
    if (std::optional<QVariantMap> row = makeRow(values, count, ListData.size() + 1))
        appendRow(*row);
}

void Data_From_Excel::bind(const QStringList &boundTitles, const QList<QStringList> &rows)
{
    QList<QVariantMap> bound;
    bound.reserve(rows.size());
    for (const QStringList &values : rows)
        if (std::optional<QVariantMap> row = makeRow(values, int(boundTitles.size()), bound.size() + 1))
            bound << std::move(*row);
    m_boundTitles = boundTitles;
    titlesChanged();
    setListData(bound);
}

void Data_From_Excel::Create_Value_List(const QString &text)
{
    const QString trimmed = XmlCharacters::replaced(Trim_Str(text));
    if (trimmed.isEmpty())
        return;
    appendRow(QVariantMap{{columnKey(0), trimmed}});
}

QVariant Data_From_Excel::value(const QString &key, int row) const
{
    return row >= 0 && row < ListData.size() ? ListData.at(row).value(key) : QVariant();
}

void Data_From_Excel::setValue(const QVariant &value, const QString &key, int row)
{
    if (row < 0 || row >= ListData.size()) {
        Show_NSLog_Message(QStringLiteral("Invalid parameter not satisfying: %1")
                               .arg(QStringLiteral("pRowIndex >= 0 && pRowIndex < [ListData count]")));
        return;
    }
    // The rows hold text only, which the design file stores as strings.
    ListData[row].insert(key, XmlCharacters::replaced(value.toString()));
}

QString Data_From_Excel::Get_First_Value_Of_Excel_Binding(int column) const
{
    if (ListData.isEmpty() || column < 0)
        return {};
    return ListData.first().value(columnKey(column)).toString();
}

QStringList Data_From_Excel::columnTitles() const
{
    return QStringList{kRowNumberTitle} + m_boundTitles;
}

void Data_From_Excel::setColumnTitles(const QStringList &titles)
{
    if (titles.isEmpty())
        return;
    m_boundTitles = titles.mid(1);
    titlesChanged();
}

void Data_From_Excel::titlesChanged()
{
    m_places.clear();
    columnsChanged.notify();
}

int Data_From_Excel::columnTitled(const QString &title) const
{
    if (m_places.isEmpty()) { // never empty once made: the row-number column has its title
        m_places.reserve(m_boundTitles.size() + 1);
        for (int column = 0; column <= m_boundTitles.size(); ++column) {
            const QString &named = column == 0 ? kRowNumberTitle : m_boundTitles.at(column - 1);
            if (const auto place = m_places.find(named); place != m_places.end())
                *place = -1;
            else
                m_places.insert(named, column);
        }
    }
    return m_places.value(title, -1);
}

void Data_From_Excel::findColumn(DataBinding &binding, const QHash<int, int> &moves) const
{
    if (!binding.isExcel())
        return;
    const auto titleOf = [this](int column) -> std::optional<QString> {
        if (column == 0)
            return kRowNumberTitle;
        if (column > 0 && column <= m_boundTitles.size())
            return m_boundTitles.at(column - 1);
        return std::nullopt;
    };
    if (const auto move = moves.constFind(binding.excel_col_indx); move != moves.constEnd()) {
        binding.excel_col_indx = *move;
        if (const std::optional<QString> title = titleOf(*move))
            binding.excel_col_title = *title;
        return;
    }
    const std::optional<QString> here = titleOf(binding.excel_col_indx);
    if (binding.excel_col_title.isEmpty()) {
        if (here)
            binding.excel_col_title = *here;
        return;
    }
    if (here != binding.excel_col_title)
        binding.excel_col_indx = columnTitled(binding.excel_col_title);
}

QList<Data_From_Excel::BoundField> Data_From_Excel::boundFields()
{
    QList<BoundField> listed, fields;
    listBoundFields.notify(listed);
    QSet<std::pair<QString, int>> seen;
    seen.reserve(listed.size());
    for (const BoundField &field : listed)
        if (!seen.contains({field.name, field.column})) {
            seen.insert({field.name, field.column});
            fields << field;
        }
    return fields;
}

void Data_From_Excel::setListData(const QList<QVariantMap> &rows)
{
    ListData = rows;
    rowsChanged.notify();
}
