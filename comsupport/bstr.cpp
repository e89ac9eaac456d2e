#include "comsupport/bstr.h"

namespace comsupport {

std::wstring ToWide(const std::string& text) {
  if (text.empty()) return std::wstring();
  int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  return wide;
}

std::string ToAnsi(const wchar_t* text, int length) {
  if (!text || length == 0) return std::string();
  if (length < 0) length = static_cast<int>(wcslen(text));
  int bytes = ::WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text, length, &ansi[0], bytes, nullptr, nullptr);
  return ansi;
}

Bstr::Bstr(const std::string& ansi) {
  std::wstring wide = ToWide(ansi);
  bstr_ = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

bool Variant::ToText(std::string& text) const {
  text.clear();
  if (value_.vt == VT_EMPTY) return true;
  VARIANT converted;
  ::VariantInit(&converted);
  if (FAILED(::VariantChangeType(&converted, const_cast<VARIANT*>(&value_), 0, VT_BSTR))) return false;
  text = ToAnsi(converted.bstrVal, static_cast<int>(::SysStringLen(converted.bstrVal)));
  ::VariantClear(&converted);
  return true;
}

}  // namespace comsupport
