#include "comsupport/error_info.h"

#include <oleauto.h>

#include "comsupport/bstr.h"
#include "comsupport/com_ptr.h"
#include "comsupport/this_module.h"

namespace comsupport {

HRESULT ReportError(HRESULT hr, REFIID iid, const std::string& description, const std::string& source) {
  ComPtr<ICreateErrorInfo> creator;
  if (FAILED(::CreateErrorInfo(creator.put()))) return hr;
  // Each part is best effort: a caller still gets hr when one cannot be set.
  creator->SetGUID(iid);
  creator->SetDescription(const_cast<LPOLESTR>(ToWide(description).c_str()));
  if (!source.empty()) creator->SetSource(const_cast<LPOLESTR>(ToWide(source).c_str()));
  ComPtr<IErrorInfo> info = creator.As<IErrorInfo>();
  if (info) ::SetErrorInfo(0, info.get());
  return hr;
}

HRESULT ReportError(HRESULT hr, REFIID iid, UINT string_id, const std::string& source) {
  std::string description = LoadResourceString(string_id);
  if (description.empty()) description = "Error " + std::to_string(string_id);
  return ReportError(hr, iid, description, source);
}

std::string LoadResourceString(UINT string_id, HMODULE module) {
  // Longer texts are cut; the error texts of a string table are short.
  char buffer[4096];
  int length = ::LoadStringA(module ? module : ThisModule(), string_id, buffer, sizeof buffer);
  return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}

HRESULT ErrorInfoSupported(REFIID iid, std::initializer_list<const IID*> supported) {
  for (const IID* one : supported) {
    if (IsEqualIID(iid, *one)) return S_OK;
  }
  return S_FALSE;
}

}  // namespace comsupport
