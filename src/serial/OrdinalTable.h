#pragma once
// Tables whose row n belongs to the enumeration value of ordinal n, so that a row is found by
// its index. Each such table states its order in a static_assert beside it.

#include <cstddef>

namespace quorvel::serial {

// Whether every row's `value` has the ordinal of the row's index.
template <typename Row, std::size_t Size> constexpr bool InOrdinalOrder(const Row (&table)[Size]) {
    for (std::size_t index = 0; index < Size; ++index)
        if (static_cast<std::size_t>(table[index].value) != index) return false;
    return true;
}

// The row of `value`; null for a value outside the table.
template <typename Row, std::size_t Size, typename Value>
constexpr const Row* RowOf(const Row (&table)[Size], Value value) {
    const auto index = static_cast<std::size_t>(value);
    return index < Size ? &table[index] : nullptr;
}

} // namespace quorvel::serial
