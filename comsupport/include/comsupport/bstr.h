// BSTR and VARIANT owners, and the ANSI <-> UTF-16 conversions used at COM boundaries.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace comsupport {

// Text in the system's ANSI code page to UTF-16 and back.
std::wstring ToWide(const std::string& text);
std::string ToAnsi(const wchar_t* text, int length = -1);
inline std::string ToAnsi(const std::wstring& text) {
  return ToAnsi(text.c_str(), static_cast<int>(text.size()));
}

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const wchar_t* text) : bstr_(::SysAllocString(text)) {}
  explicit Bstr(const std::string& ansi);
  Bstr(const Bstr& other)
      : bstr_(other.bstr_ ? ::SysAllocStringLen(other.bstr_, other.Length()) : nullptr) {}
  Bstr(Bstr&& other) noexcept : bstr_(std::exchange(other.bstr_, nullptr)) {}
  Bstr& operator=(Bstr other) noexcept {
    std::swap(bstr_, other.bstr_);
    return *this;
  }
  ~Bstr() { ::SysFreeString(bstr_); }

  static Bstr Attach(BSTR bstr) {
    Bstr result;
    result.bstr_ = bstr;
    return result;
  }
  BSTR Detach() { return std::exchange(bstr_, nullptr); }
  BSTR get() const { return bstr_; }
  BSTR* put() {
    ::SysFreeString(std::exchange(bstr_, nullptr));
    return &bstr_;
  }
  UINT Length() const { return ::SysStringLen(bstr_); }
  std::string Ansi() const { return bstr_ ? ToAnsi(bstr_, static_cast<int>(Length())) : std::string(); }

 private:
  BSTR bstr_ = nullptr;
};

class Variant {
 public:
  Variant() { ::VariantInit(&value_); }
  explicit Variant(long number) : Variant() {
    value_.vt = VT_I4;
    value_.lVal = number;
  }
  explicit Variant(const std::string& ansi) : Variant() {
    value_.vt = VT_BSTR;
    value_.bstrVal = Bstr(ansi).Detach();
  }
  explicit Variant(const wchar_t* text) : Variant() {
    value_.vt = VT_BSTR;
    value_.bstrVal = ::SysAllocString(text);
  }
  Variant(const Variant& other) : Variant() { ::VariantCopy(&value_, const_cast<VARIANT*>(&other.value_)); }
  Variant& operator=(const Variant& other) {
    if (this != &other) ::VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
    return *this;
  }
  ~Variant() { ::VariantClear(&value_); }

  VARIANT* get() { return &value_; }
  const VARIANT* get() const { return &value_; }
  VARIANT* put() {
    ::VariantClear(&value_);
    return &value_;
  }
  VARTYPE type() const { return value_.vt; }
  VARIANT Detach() {
    VARIANT out = value_;
    ::VariantInit(&value_);
    return out;
  }
  // The value converted to text, empty for VT_EMPTY; false when it cannot be converted.
  bool ToText(std::string& text) const;

 private:
  VARIANT value_;
};

}  // namespace comsupport
