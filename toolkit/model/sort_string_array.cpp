#include "vinnet/sort_string_array.h"

#include <algorithm>
#include <cstring>

#include "comsupport/boundary.h"

void SortStringArray(CStringArray& texts) {
  comsupport::Boundary("SortStringArray", 0, [&] {
    std::stable_sort(texts.begin(), texts.end(), [](const CString& left, const CString& right) {
      int order = _stricmp(left.c_str(), right.c_str());
      return order != 0 ? order < 0 : left < right;
    });
    return 0;
  });
}
