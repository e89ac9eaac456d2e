#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "comsupport/boundary.h"
#include "vinnet/helpers.h"

namespace {

// Calls add for every non-empty piece of text between delimiters; the number of pieces.
template <class Add>
int Split(const char* text, const char* delimiters, Add add) {
  if (!text) return 0;
  const char* separators = delimiters ? delimiters : "";
  int count = 0;
  while (*text) {
    const size_t length = std::strcspn(text, separators);
    if (length > 0) {
      add(CString(text, length));
      ++count;
    }
    text += length;
    if (*text) ++text;
  }
  return count;
}

void SortedIds(CString& ids) {
  CStringArray pieces;
  ParseDelimitedString(ids.c_str(), ",", pieces);
  std::stable_sort(pieces.begin(), pieces.end(), [](const CString& a, const CString& b) {
    return std::strtoul(a.c_str(), nullptr, 10) < std::strtoul(b.c_str(), nullptr, 10);
  });
  CString sorted;
  for (const CString& piece : pieces) sorted += (sorted.empty() ? "" : ",") + piece;
  ids = sorted;
}

}  // namespace

int IsOneOf(DWORD value, const CDWordArray& values) {
  return std::find(values.begin(), values.end(), value) != values.end() ? 1 : 0;
}

int ParseDelimitedString(const char* text, const char* delimiters, CStringArray& pieces) {
  return comsupport::Boundary("ParseDelimitedString", 0, [&] {
    pieces.RemoveAll();
    return Split(text, delimiters, [&](const CString& piece) { pieces.Add(piece); });
  });
}

int ParseDelimitedString(const char* text, const char* delimiters, CMapStringToOb& pieces) {
  return comsupport::Boundary("ParseDelimitedString", 0, [&] {
    return Split(text, delimiters, [&](const CString& piece) { pieces.SetAt(piece, nullptr); });
  });
}

// Left as it was when memory runs out.
void SortServices(CString& ids) {
  comsupport::Boundary("SortServices", 0, [&] {
    SortedIds(ids);
    return 1;
  });
}
