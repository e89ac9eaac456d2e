// The order of rows by one column.
#pragma once

#include <vector>

#include "grid_row.h"

namespace vinnet::grid {

// Negative, zero or positive as row a goes before, with or after row b in ascending order.
// Numeric cells compare by number, others by text without case; a row without the cell counts
// as an empty text. In a column that mixes the two, numeric cells come first, so that the
// order stays the same whichever pair is compared.
int CompareRows(const GridRow& a, const GridRow& b, int column);

// Stable: rows that compare equal keep their order.
void SortRows(std::vector<GridRow*>& rows, int column, bool ascending);

}  // namespace vinnet::grid
