#include "call_journal.h"

#include <cstdio>

#include "comsupport/bstr.h"
#include "json_value.h"

namespace standin {

HRESULT CallJournal::Enter(const std::string& kind, const std::string& identity, const char* member,
                           const std::string& arguments) {
  std::string object = identity.empty() ? kind : kind + "[" + identity + "]";
  lines_.push_back(object + "." + member + "(" + arguments + ")");
  HRESULT hr = Injected(object + "." + member);
  if (hr == S_OK && !identity.empty()) hr = Injected(kind + "." + member);
  return hr;
}

HRESULT CallJournal::Injected(const std::string& key) {
  auto found = failures_.find(key);
  if (found == failures_.end()) return S_OK;
  HRESULT hr = found->second.hr;
  if (found->second.left > 0 && --found->second.left == 0) failures_.erase(found);
  return hr;
}

std::string CallJournal::Lines() const {
  std::string text;
  for (const std::string& line : lines_) text += line + "\n";
  return text;
}

void CallJournal::Fail(const std::string& member, HRESULT hr, long times) {
  failures_[member] = Failure{hr, times < 0 ? 0 : times};
}

std::string ArgumentText(long value) { return std::to_string(value); }

std::string ArgumentText(short value) { return value ? "true" : "false"; }

std::string ArgumentText(const wchar_t* value) {
  if (!value) return "null";
  return "\"" + comsupport::ToAnsi(value, static_cast<int>(::SysStringLen(const_cast<BSTR>(value)))) + "\"";
}

std::string ArgumentText(const IUnknown* value) { return value ? "object" : "null"; }

std::string ArgumentText(const VARIANT& value) {
  VARTYPE type = value.vt;
  if (type & VT_ARRAY) {
    std::string text = type & VT_BYREF ? "&[" : "[";
    try {
      bool first = true;
      for (const comsupport::Variant& element : ElementsOf(value)) {
        text += (first ? "" : ",") + ArgumentText(*element.get());
        first = false;
      }
    } catch (const std::invalid_argument&) {
      return "array";
    }
    return text + "]";
  }
  if (type == (VT_BYREF | VT_VARIANT)) return "&" + ArgumentText(*value.pvarVal);
  switch (type) {
    case VT_EMPTY: return "empty";
    case VT_NULL: return "null";
    case VT_BSTR: return ArgumentText(static_cast<const wchar_t*>(value.bstrVal));
    case VT_BOOL: return value.boolVal ? "true" : "false";
    case VT_UNKNOWN: return ArgumentText(value.punkVal);
    case VT_DISPATCH: return ArgumentText(static_cast<IUnknown*>(value.pdispVal));
    default: break;
  }
  comsupport::Variant copy;
  std::string text;
  if (FAILED(::VariantCopyInd(copy.get(), const_cast<VARIANT*>(&value))) || !copy.ToText(text)) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "vt%u", static_cast<unsigned>(type));
    return buffer;
  }
  return text;
}

}  // namespace standin
