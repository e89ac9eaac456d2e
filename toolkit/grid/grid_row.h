// One grid row, stored as its list entry's data and owned by the grid: the cells of its first
// line, its summary and the caller's 32-bit value.
#pragma once

#include <windows.h>

#include <vector>

#include "qm/collections.h"

namespace vinnet::grid {

struct GridCell {
  CString text;
  int number = 0;  // an image index in image cells
  DWORD flags = 0;
};

struct GridRow {
  std::vector<GridCell> cells;
  CString summary;
  DWORD summary_flags = 0;
  DWORD data = 0;

  // The cell of column, made empty when the row has none yet.
  GridCell& Cell(int column) {
    if (static_cast<size_t>(column) >= cells.size()) cells.resize(static_cast<size_t>(column) + 1);
    return cells[static_cast<size_t>(column)];
  }
  // Null when the row has no cell there.
  const GridCell* FindCell(int column) const {
    return column >= 0 && static_cast<size_t>(column) < cells.size() ? &cells[static_cast<size_t>(column)] : nullptr;
  }
  // Keeps cells under their titles when a column is inserted before them.
  void InsertColumn(int column) {
    if (static_cast<size_t>(column) < cells.size()) cells.insert(cells.begin() + column, GridCell());
  }
};

}  // namespace vinnet::grid
