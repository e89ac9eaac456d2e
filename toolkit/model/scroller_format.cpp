#include "scroller_format.h"

#include <cstdlib>
#include <cstring>

#include "vinnet/service.h"

namespace vinnet {

namespace {

int NumberOf(const CString& text) { return std::atoi(text.c_str()); }

}  // namespace

ScrollerFormat ParseScrollerFormat(const CString& text) {
  std::vector<CString> pieces;
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(',', start);
    pieces.push_back(text.substr(start, comma == CString::npos ? CString::npos : comma - start));
    if (comma == CString::npos) break;
    start = comma + 1;
  }
  ScrollerFormat format;
  format.mode = NumberOf(pieces[0]);
  for (size_t i = 1; i < pieces.size(); i += 2) {
    ScrollerPair pair;
    pair.field_template = pieces[i];
    if (i + 1 < pieces.size()) pair.number = NumberOf(pieces[i + 1]);
    format.pairs.push_back(pair);
  }
  return format;
}

CString TrimBlanks(const CString& text) {
  const char* blanks = " \t\r\n";
  size_t first = text.find_first_not_of(blanks);
  if (first == CString::npos) return CString();
  size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

CString ExpandTemplate(const char* field_template, const FieldLookup& field) {
  CString result;
  if (!field_template) return result;
  const CString text = field_template;
  size_t at = 0;
  for (;;) {
    size_t open = text.find('%', at);
    if (open == CString::npos) {
      result += text.substr(at);
      break;
    }
    result += text.substr(at, open - at);
    size_t close = text.find('%', open + 1);
    if (close == CString::npos) break;  // an unmatched "%": the rest is dropped
    CString value;
    if (field(text.substr(open + 1, close - open - 1), value)) result += TrimBlanks(value);
    at = close + 1;
  }
  return result;
}

}  // namespace vinnet

int CService::TranslateFormatToScrollerField(const char* format, CString& scroller) {
  scroller.clear();
  if (!format || _strnicmp(format, "table", 5) != 0) return 0;
  scroller = "7,%Title%,1";
  return 1;
}
