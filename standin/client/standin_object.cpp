#include "standin_object.h"

#include "comsupport/error_info.h"

namespace standin {

HRESULT ReportError(HRESULT hr, const IID& iid, const std::string& text) {
  return comsupport::ReportError(hr, iid, text, "Zorvane");
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
