#include "core/Side_Code.h"

#include "core/NamesTable.h"

namespace {

struct Side_Code_Row {
    Side_Code id;
    const char *name;
};

constexpr std::array kSideCodes{
    Side_Code_Row{Side_Code::Front, "F"},
    Side_Code_Row{Side_Code::Back, "B"},
    Side_Code_Row{Side_Code::Both, "BOTH"},
};
static_assert(Names_Table_In_Step<Side_Code>(kSideCodes));

} // namespace

QString Side_Code_Name(Side_Code side)
{
    return QLatin1String(kSideCodes.at(static_cast<std::size_t>(side)).name);
}

std::optional<Side_Code> Side_Code_Named(const QString &name)
{
    for (const Side_Code_Row &row : kSideCodes)
        if (name == QLatin1String(row.name))
            return row.id;
    return std::nullopt;
}
