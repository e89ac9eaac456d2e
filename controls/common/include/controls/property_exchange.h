// The versioned property exchange of the controls: one DoPropExchange walks the properties in
// order and the exchange either loads or saves each, from a property bag (names, PARAM texts
// converted) or a stream (the values in order, no names). A value missing from a bag keeps
// its default; a stream must hold every value its version promises.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

namespace controls {

class PropertyExchange {
 public:
  virtual ~PropertyExchange() = default;
  bool loading() const { return loading_; }

  // Saving writes current; loading gives the stored version, current when the store names none.
  virtual HRESULT Version(DWORD current, DWORD* version) = 0;
  virtual HRESULT Long(const char* name, long& value, long default_value) = 0;
  virtual HRESULT Bool(const char* name, VARIANT_BOOL& value, VARIANT_BOOL default_value) = 0;
  virtual HRESULT Text(const char* name, std::string& value, const std::string& default_value) = 0;
  HRESULT Color(const char* name, OLE_COLOR& value, OLE_COLOR default_value);

 protected:
  explicit PropertyExchange(bool loading) : loading_(loading) {}

 private:
  bool loading_;
};

class BagExchange : public PropertyExchange {
 public:
  BagExchange(IPropertyBag* bag, IErrorLog* log, bool loading) : PropertyExchange(loading), bag_(bag), log_(log) {}
  HRESULT Version(DWORD current, DWORD* version) override;
  HRESULT Long(const char* name, long& value, long default_value) override;
  HRESULT Bool(const char* name, VARIANT_BOOL& value, VARIANT_BOOL default_value) override;
  HRESULT Text(const char* name, std::string& value, const std::string& default_value) override;

 private:
  // The stored value converted to type; false (value untouched) when missing or unconvertible.
  bool ReadAs(const char* name, VARTYPE type, VARIANT* value);
  HRESULT Write(const char* name, VARIANT* value);

  IPropertyBag* bag_;
  IErrorLog* log_;
};

class StreamExchange : public PropertyExchange {
 public:
  StreamExchange(IStream* stream, bool loading) : PropertyExchange(loading), stream_(stream) {}
  HRESULT Version(DWORD current, DWORD* version) override;
  HRESULT Long(const char* name, long& value, long default_value) override;
  HRESULT Bool(const char* name, VARIANT_BOOL& value, VARIANT_BOOL default_value) override;
  HRESULT Text(const char* name, std::string& value, const std::string& default_value) override;

  // Longer texts are refused when loading: a damaged stream must not allocate without bound.
  static constexpr DWORD kMaxText = 0x10000;

 private:
  HRESULT Dword(DWORD& value);
  HRESULT Bytes(void* data, ULONG size);

  IStream* stream_;
};

}  // namespace controls
