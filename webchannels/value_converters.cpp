#include "value_converters.h"

#include <time.h>

#include <cwctype>
#include <cwchar>

#include "comsupport/bstr.h"

namespace chanbind {
namespace {

bool EndsWith(const std::wstring& text, const wchar_t* tail) {
  const std::wstring end(tail);
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}
bool StartsWith(const std::wstring& text, const wchar_t* head) { return text.rfind(head, 0) == 0; }
bool Contains(const std::wstring& text, const wchar_t* part) { return text.find(part) != std::wstring::npos; }

bool StartsWithNoCase(const std::wstring& text, const wchar_t* head) {
  const size_t length = wcslen(head);
  return text.size() >= length && _wcsnicmp(text.c_str(), head, length) == 0;
}

}  // namespace

std::wstring NormaliseUrl(std::wstring value) {
  if (!value.empty() && value.front() == L'"') value.erase(0, 1);
  if (!value.empty() && value.back() == L'"') value.pop_back();
  if (value.empty()) return value;
  std::wstring url;
  if (value.size() >= 2 && std::iswalpha(value[0]) && value[1] == L':') {
    url = L"file:///" + value;
  } else if (value.rfind(L"\\\\", 0) == 0) {
    url = L"file:" + value;  // a UNC path names a file, not a web server
  } else if (value[0] == L'/') {
    url = L"file:/" + value;
  } else if (StartsWithNoCase(value, L"file:") && (value.size() < 8 || value[7] != L'/')) {
    const size_t start = value.find_first_not_of(L"/\\", 5);
    url = L"file:///" + (start == std::wstring::npos ? std::wstring() : value.substr(start));
  } else if (value.find(L':') == std::wstring::npos) {
    url = L"http://" + value;
  } else {
    url = value;
  }
  std::wstring out;
  for (wchar_t c : url) {
    if (c == L'\\') {
      out += L'/';
    } else if (std::iswspace(c)) {
      // Two digits always: "%9" before a hex letter would read as another character.
      wchar_t escaped[8];
      swprintf(escaped, 8, L"%%%02x", static_cast<unsigned>(c));
      out += escaped;
    } else {
      out += c;
    }
  }
  return out;
}

Converter ConverterForTitle(const std::wstring& title) {
  // Fixed registrations first: they win over what the name rules would say.
  if (title == L"MESSAGE_LIFESPAN" || title == L"SUBSCRIBED") return Converter::kNumeric;
  if (title == L"READ" || title == L"KEEP" || title == L"STORY_LOCAL") return Converter::kBoolean;
  const size_t length = title.size();
  if (length <= 2) return Converter::kNone;
  if (length == 3) return title == L"URL" ? Converter::kUrl : Converter::kNone;
  if (length <= 5) {
    if (EndsWith(title, L"_ID")) return Converter::kNumeric;
    if (EndsWith(title, L"ED")) return Converter::kBoolean;
    if (Contains(title, L"URL")) return Converter::kUrl;
    return Converter::kNone;
  }
  if (EndsWith(title, L"_SIZE") || EndsWith(title, L"_TYPE")) return Converter::kNumeric;
  if (EndsWith(title, L"_TIME")) return Converter::kTime;
  if (EndsWith(title, L"ABLE")) return Converter::kBoolean;
  if (StartsWith(title, L"HAS_")) return Converter::kBoolean;
  if (EndsWith(title, L"_ID")) return Converter::kNumeric;
  if (EndsWith(title, L"ED")) return Converter::kBoolean;
  if (Contains(title, L"URL")) return Converter::kUrl;
  return Converter::kNone;
}

bool TimeToDate(long time, DATE* date) {
  const time_t instant = static_cast<time_t>(time);
  struct tm local {};
  if (localtime_s(&local, &instant) != 0) return false;
  SYSTEMTIME system{};
  system.wYear = static_cast<WORD>(local.tm_year + 1900);
  system.wMonth = static_cast<WORD>(local.tm_mon + 1);
  system.wDay = static_cast<WORD>(local.tm_mday);
  system.wHour = static_cast<WORD>(local.tm_hour);
  system.wMinute = static_cast<WORD>(local.tm_min);
  system.wSecond = static_cast<WORD>(local.tm_sec);
  double converted = 0;
  if (!::SystemTimeToVariantTime(&system, &converted)) return false;
  *date = converted;
  return true;
}

bool DateToTime(DATE date, long* time) {
  SYSTEMTIME system{};
  if (!::VariantTimeToSystemTime(date, &system)) return false;
  struct tm local {};
  local.tm_year = system.wYear - 1900;
  local.tm_mon = system.wMonth - 1;
  local.tm_mday = system.wDay;
  local.tm_hour = system.wHour;
  local.tm_min = system.wMinute;
  local.tm_sec = system.wSecond;
  local.tm_isdst = -1;
  const time_t result = mktime(&local);
  if (result == static_cast<time_t>(-1) || result > 0x7FFFFFFF || result < 0) return false;
  *time = static_cast<long>(result);
  return true;
}

void ConvertValue(Converter converter, const VARIANT& value, VARIANT* out) {
  ::VariantClear(out);
  VARIANT& source = const_cast<VARIANT&>(value);
  switch (converter) {
    case Converter::kNumeric:
      if (value.vt == VT_BSTR && ::SysStringLen(value.bstrVal) == 0) {
        out->vt = VT_I4;
        out->lVal = 0;
        return;
      }
      if (FAILED(::VariantChangeType(out, &source, 0, VT_I4))) ::VariantClear(out);
      return;
    case Converter::kBoolean: {
      if (value.vt == VT_EMPTY || value.vt == VT_NULL) return;
      VARIANT number;
      ::VariantInit(&number);
      if (FAILED(::VariantChangeType(&number, &source, 0, VT_I4))) return;
      out->vt = VT_BOOL;
      out->boolVal = number.lVal != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      return;
    }
    case Converter::kTime: {
      if (value.vt == VT_EMPTY || value.vt == VT_NULL) return;
      VARIANT number;
      ::VariantInit(&number);
      if (FAILED(::VariantChangeType(&number, &source, 0, VT_I4))) return;
      DATE date = 0;
      if (!TimeToDate(number.lVal, &date)) return;
      out->vt = VT_DATE;
      out->date = date;
      return;
    }
    case Converter::kUrl:
      if (value.vt == VT_BSTR) {
        const std::wstring link = NormaliseUrl(value.bstrVal ? value.bstrVal : L"");
        out->vt = VT_BSTR;
        out->bstrVal = ::SysAllocStringLen(link.data(), static_cast<UINT>(link.size()));
        return;
      }
      ::VariantCopy(out, &source);
      return;
    case Converter::kNone:
      ::VariantCopy(out, &source);
      return;
  }
}

}  // namespace chanbind
