#include "comsupport/com_error.h"

#include <cstdio>

#include "comsupport/bstr.h"
#include "comsupport/com_ptr.h"

namespace comsupport {

namespace {

std::string Describe(HRESULT hr, const IID& iid, const std::string& description) {
  std::string text = "COM call on " + GuidText(iid) + " failed with " + HresultText(hr);
  if (!description.empty()) text += ": " + description;
  return text;
}

}  // namespace

ComError::ComError(HRESULT hr, const IID& iid, std::string description)
    : std::runtime_error(Describe(hr, iid, description)),
      hr_(hr),
      iid_(iid),
      description_(std::move(description)) {}

void ThrowIfFailed(HRESULT hr, const IID& iid) {
  if (SUCCEEDED(hr)) return;
  std::string description;
  ComPtr<IErrorInfo> info;
  if (::GetErrorInfo(0, info.put()) == S_OK && info) {
    Bstr text;
    if (SUCCEEDED(info->GetDescription(text.put()))) description = text.Ansi();
  }
  throw ComError(hr, iid, description);
}

std::string HresultText(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

std::string GuidText(const GUID& guid) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                guid.Data4[6], guid.Data4[7]);
  return text;
}

}  // namespace comsupport
