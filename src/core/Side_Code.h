#pragma once

#include <QString>

#include <optional>

// The side strings passed between the design window, data binding and output.
enum class Side_Code { Front, Back, Both, Count };

// "F", "B" or "BOTH".
QString Side_Code_Name(Side_Code side);
// The side a string names; none for any other string.
std::optional<Side_Code> Side_Code_Named(const QString &name);
