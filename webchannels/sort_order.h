// A sort expression ("Title;-Story Time") and the comparison of table values under it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

namespace chanbind {

struct SortKey {
  std::wstring column;
  bool ascending = true;
};

// Keys separated by ";"; white space before a key and after its sign is skipped; "+" or "-"
// gives the direction (ascending by default). Empty keys are left out.
std::vector<SortKey> ParseSortExpression(const std::wstring& expression);

// <0, 0, >0. An empty value sorts first; a value of the column's type (column_type) before
// values of other types; numbers and dates numerically, texts by wide comparison, booleans
// FALSE before TRUE; other types compare equal.
int CompareValues(const VARIANT& left, const VARIANT& right, VARTYPE column_type, bool case_sensitive);

}  // namespace chanbind
