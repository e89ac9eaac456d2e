#include "display_format.h"

#include <mutex>

#include "chanbind.h"
#include "chanbind_resources.h"
#include "comsupport/bstr.h"
#include "resource_module.h"
#include "script_errors.h"

namespace chanbind {
namespace {

std::wstring Span(const wchar_t* span_class, const std::wstring& inner) {
  return L"<SPAN CLASS=" + std::wstring(span_class) + L">" + inner + L"</SPAN>";
}

bool IsSizeColumn(const std::wstring& title) {
  static const std::wstring kTail = L"_SIZE";
  return title.size() > 5 && title.compare(title.size() - kTail.size(), kTail.size(), kTail) == 0;
}

std::wstring Word(UINT id, const wchar_t* fallback) {
  const std::string text = ResourceString(id);
  return text.empty() ? std::wstring(fallback) : comsupport::ToWide(text);
}

}  // namespace

const DisplayWords& ResourceDisplayWords() {
  static std::once_flag once;
  static DisplayWords words;
  std::call_once(once, [] {
    const std::wstring yes_no = Word(IDS_YES_NO, L"Yes,No");
    const size_t comma = yes_no.find(L',');
    words.yes = yes_no.substr(0, comma);
    words.no = comma == std::wstring::npos ? std::wstring() : yes_no.substr(comma + 1);
    words.bytes = Word(IDS_UNIT_BYTES, L"Bytes");
    words.kilobytes = Word(IDS_UNIT_KB, L"KB");
    words.megabytes = Word(IDS_UNIT_MB, L"MB");
  });
  return words;
}

std::wstring SizeText(long size, const DisplayWords& words) {
  if (size < 2048) return std::to_wstring(size) + L" " + words.bytes;
  long quotient = size / 1024;
  if (quotient < 2048) return std::to_wstring(quotient) + L" " + words.kilobytes;
  quotient /= 1024;
  return std::to_wstring(quotient) + L" " + words.megabytes;
}

std::wstring DisplayText(const VARIANT& value, const std::wstring& title, long embellish, const RowMarks& marks,
                         const DisplayWords& words) {
  std::wstring text;
  if (value.vt == VT_I4) {
    text = (embellish & EMBELLISH_SIZE) && IsSizeColumn(title) ? SizeText(value.lVal, words)
                                                               : std::to_wstring(value.lVal);
  } else if (value.vt == VT_BOOL) {
    text = value.boolVal ? words.yes : words.no;
  } else if (value.vt == VT_BSTR) {
    text = value.bstrVal ? std::wstring(value.bstrVal, ::SysStringLen(value.bstrVal)) : std::wstring();
  } else if (value.vt != VT_EMPTY && value.vt != VT_NULL) {
    comsupport::Variant converted;
    if (FAILED(::VariantChangeType(converted.get(), const_cast<VARIANT*>(&value), 0, VT_BSTR)) ||
        converted.type() != VT_BSTR) {
      Raise(IDS_INTERNAL_ERROR);
    }
    BSTR bstr = converted.get()->bstrVal;
    text = bstr ? std::wstring(bstr, ::SysStringLen(bstr)) : std::wstring();
  }
  if (text.empty() || embellish == 0) return text;
  // Each class wraps what the ones before it made.
  if ((embellish & EMBELLISH_READ) && marks.unread) text = Span(L"newstory", text);
  if ((embellish & EMBELLISH_ALERT) && marks.alerted) text = Span(L"alertedstory", text);
  if ((embellish & EMBELLISH_LOCAL) && marks.local) text = Span(L"localstory", text);
  if ((embellish & EMBELLISH_URL) && marks.has_url) text = Span(L"storyhasurl", text);
  return text;
}

}  // namespace chanbind
