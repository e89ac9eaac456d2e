#include "sort_order.h"

#include <cwctype>

namespace chanbind {

std::vector<SortKey> ParseSortExpression(const std::wstring& expression) {
  std::vector<SortKey> keys;
  size_t position = 0;
  while (position <= expression.size()) {
    size_t end = expression.find(L';', position);
    if (end == std::wstring::npos) end = expression.size();
    size_t start = position;
    while (start < end && std::iswspace(expression[start])) ++start;
    SortKey key;
    if (start < end && (expression[start] == L'+' || expression[start] == L'-')) {
      key.ascending = expression[start] == L'+';
      ++start;
      while (start < end && std::iswspace(expression[start])) ++start;
    }
    key.column = expression.substr(start, end - start);
    if (!key.column.empty()) keys.push_back(key);
    position = end + 1;
  }
  return keys;
}

namespace {

bool IsEmpty(const VARIANT& value) { return value.vt == VT_EMPTY || value.vt == VT_NULL; }

template <class T>
int Order(T left, T right) {
  return left < right ? -1 : (right < left ? 1 : 0);
}

}  // namespace

int CompareValues(const VARIANT& left, const VARIANT& right, VARTYPE column_type, bool case_sensitive) {
  const bool left_empty = IsEmpty(left), right_empty = IsEmpty(right);
  if (left_empty || right_empty) return Order(!left_empty, !right_empty);
  if (left.vt != right.vt) {
    if (left.vt == column_type) return -1;
    if (right.vt == column_type) return 1;
    return 0;
  }
  switch (left.vt) {
    case VT_I4:
      return Order(left.lVal, right.lVal);
    case VT_R8:
      return Order(left.dblVal, right.dblVal);
    case VT_DATE:
      return Order(left.date, right.date);
    case VT_BSTR: {
      const wchar_t* a = left.bstrVal ? left.bstrVal : L"";
      const wchar_t* b = right.bstrVal ? right.bstrVal : L"";
      const int result = case_sensitive ? wcscmp(a, b) : _wcsicmp(a, b);
      return Order(result, 0);
    }
    case VT_BOOL:
      return Order(left.boolVal != VARIANT_FALSE, right.boolVal != VARIANT_FALSE);
    default:
      return 0;
  }
}

}  // namespace chanbind
