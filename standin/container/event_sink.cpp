#include "standin/event_sink.h"

#include "comsupport/boundary.h"
#include "comsupport/bstr.h"

namespace standin {

namespace {

std::string ArgumentText(VARIANT* argument) {
  comsupport::Variant value;
  if (FAILED(::VariantCopyInd(value.get(), argument))) return "?";
  if (value.type() == VT_EMPTY) return "(empty)";
  if (value.type() == VT_DISPATCH || value.type() == VT_UNKNOWN) return "(object)";
  comsupport::Variant text;
  if (FAILED(::VariantChangeType(text.get(), value.get(), VARIANT_ALPHABOOL, VT_BSTR))) return "?";
  return comsupport::Bstr(text.get()->bstrVal).Ansi();
}

}  // namespace

STDMETHODIMP EventSink::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                               UINT*) {
  return comsupport::ComBoundary("EventSink::Invoke", [&]() -> HRESULT {
    if (result) ::VariantInit(result);
    std::string line = std::to_string(id);
    auto answer = answers_.find(id);
    // rgvarg holds the arguments last first.
    for (UINT i = params ? params->cArgs : 0; i-- > 0;) {
      VARIANT* argument = &params->rgvarg[i];
      if (answer != answers_.end() && argument->vt == (VT_BYREF | VT_BOOL) && argument->pboolVal) {
        *argument->pboolVal = answer->second ? VARIANT_TRUE : VARIANT_FALSE;
      }
      line += " " + ArgumentText(argument);
    }
    journal_.push_back(line);
    auto handler = handlers_.find(id);
    if (handler != handlers_.end() && handler->second) handler->second();
    return S_OK;
  });
}

STDMETHODIMP EventSink::OnChanged(DISPID id) {
  return comsupport::ComBoundary("EventSink::OnChanged", [&] { journal_.push_back("changed " + std::to_string(id)); });
}

STDMETHODIMP EventSink::OnRequestEdit(DISPID) { return S_OK; }

void* EventSink::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_) return static_cast<IDispatch*>(this);
  if (iid == IID_IPropertyNotifySink) return static_cast<IPropertyNotifySink*>(this);
  return nullptr;
}

}  // namespace standin
