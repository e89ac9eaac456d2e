#include "standin_object.h"

namespace standin {

HRESULT ReportError(HRESULT hr, const IID& iid, const std::string& text) {
  comsupport::ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(::CreateErrorInfo(create.put()))) {
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(L"Zorvane"));
    std::wstring wide = comsupport::ToWide(text);
    create->SetDescription(const_cast<LPOLESTR>(wide.c_str()));
    comsupport::ComPtr<IErrorInfo> info = create.As<IErrorInfo>();
    if (info) ::SetErrorInfo(0, info.get());
  }
  return hr;
}

bool IndexNumber(const VARIANT& index, long* number) {
  comsupport::Variant copy;
  if (FAILED(::VariantCopyInd(copy.get(), const_cast<VARIANT*>(&index)))) return false;
  if (copy.type() == VT_BSTR || copy.type() == VT_EMPTY) return false;
  if (FAILED(::VariantChangeType(copy.get(), copy.get(), 0, VT_I4))) return false;
  *number = copy.get()->lVal;
  return true;
}

std::string IndexText(const VARIANT& index) {
  comsupport::Variant copy;
  if (FAILED(::VariantCopyInd(copy.get(), const_cast<VARIANT*>(&index))) || copy.type() != VT_BSTR)
    throw Failure(E_INVALIDARG, "the index is not text");
  return comsupport::ToAnsi(copy.get()->bstrVal, static_cast<int>(::SysStringLen(copy.get()->bstrVal)));
}

}  // namespace standin
