#pragma once

#include <array>
#include <cstddef>

// An enumeration's names table has one row per enumerator, in the enumerators' order, each row
// holding its enumerator as `id`, and the enumeration ends with `Count`. A static_assert of this
// check keeps table and enumeration in step, so a row is found by its enumerator's value.
template <typename Enum, typename Row, std::size_t N>
constexpr bool Names_Table_In_Step(const std::array<Row, N> &rows)
{
    if (N != static_cast<std::size_t>(Enum::Count))
        return false;
    for (std::size_t i = 0; i < N; ++i)
        if (static_cast<std::size_t>(rows[i].id) != i)
            return false;
    return true;
}
