#include "script_objects.h"

#include "comsupport/boundary.h"
#include "script_guids.h"

namespace standin {

using comsupport::ComPtr;
using comsupport::Variant;

void ScriptObject::Add(const std::wstring& name, ScriptMember member) {
  names_.push_back(name);
  members_.push_back(std::move(member));
}

STDMETHODIMP ScriptObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP ScriptObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ScriptObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids || count == 0) return E_INVALIDARG;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  for (size_t i = 0; i < names_.size(); ++i) {
    if (_wcsicmp(names_[i].c_str(), names[0]) == 0) {
      ids[0] = static_cast<DISPID>(i + 1);
      return S_OK;
    }
  }
  return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP ScriptObject::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                  UINT*) {
  if (id < 1 || static_cast<size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
  return comsupport::ComBoundary("ScriptObject::Invoke", [&] {
    std::vector<Variant> arguments;
    for (UINT i = params ? params->cArgs : 0; i > 0; --i) {
      Variant argument;
      ::VariantCopyInd(argument.get(), &params->rgvarg[i - 1]);
      arguments.push_back(argument);
    }
    Variant ignored;
    return members_[id - 1](arguments, result ? result : ignored.get());
  });
}

void* ScriptObject::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch) return static_cast<IDispatch*>(this);
  return nullptr;
}

STDMETHODIMP EventRouter::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
STDMETHODIMP EventRouter::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}
STDMETHODIMP EventRouter::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP EventRouter::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                 UINT*) {
  auto found = handlers_.find(id);
  if (found == handlers_.end()) return S_OK;
  ComPtr<IDispatch> function = found->second;
  DISPPARAMS none{};
  EXCEPINFO exception{};
  function->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_METHOD, params ? params : &none, result, &exception, nullptr);
  ::SysFreeString(exception.bstrSource);
  ::SysFreeString(exception.bstrDescription);
  ::SysFreeString(exception.bstrHelpFile);
  return S_OK;
}

void* EventRouter::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == source_) return static_cast<IDispatch*>(this);
  return nullptr;
}

ObjectWrapper::ObjectWrapper(IUnknown* control) {
  control->QueryInterface(IID_IDispatch, control_.put_void());
}

void ObjectWrapper::Disconnect() {
  if (point_ && cookie_) point_->Unadvise(cookie_);
  point_.reset();
  cookie_ = 0;
  router_.reset();
}

HRESULT ObjectWrapper::Connect() {
  if (router_) return S_OK;
  ComPtr<IProvideClassInfo2> class_info;
  HRESULT hr = control_->QueryInterface(IID_IProvideClassInfo2, class_info.put_void());
  if (FAILED(hr)) return hr;
  hr = class_info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source_);
  if (FAILED(hr)) return hr;
  ComPtr<ITypeInfo> coclass;
  hr = class_info->GetClassInfo(coclass.put());
  if (FAILED(hr)) return hr;
  ComPtr<ITypeLib> library;
  UINT index = 0;
  hr = coclass->GetContainingTypeLib(library.put(), &index);
  if (FAILED(hr)) return hr;
  hr = library->GetTypeInfoOfGuid(source_, source_info_.put());
  if (FAILED(hr)) return hr;
  ComPtr<IConnectionPointContainer> container;
  hr = control_->QueryInterface(IID_IConnectionPointContainer, container.put_void());
  if (FAILED(hr)) return hr;
  hr = container->FindConnectionPoint(source_, point_.put());
  if (FAILED(hr)) return hr;
  router_ = ComPtr<EventRouter>::Attach(new EventRouter(source_));
  return point_->Advise(static_cast<IDispatch*>(router_.get()), &cookie_);
}

STDMETHODIMP ObjectWrapper::BindHandler(LPCOLESTR event, IDispatch* function) {
  if (!event || !function) return E_POINTER;
  HRESULT hr = Connect();
  if (FAILED(hr)) return hr;
  LPOLESTR names[] = {const_cast<LPOLESTR>(event)};
  DISPID id = DISPID_UNKNOWN;
  hr = source_info_->GetIDsOfNames(names, 1, &id);
  if (FAILED(hr)) return hr;
  router_->Bind(id, function);
  return S_OK;
}

STDMETHODIMP ObjectWrapper::GetTypeInfoCount(UINT* count) { return control_->GetTypeInfoCount(count); }
STDMETHODIMP ObjectWrapper::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) {
  return control_->GetTypeInfo(index, lcid, info);
}
STDMETHODIMP ObjectWrapper::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) {
  return control_->GetIDsOfNames(iid, names, count, lcid, ids);
}
STDMETHODIMP ObjectWrapper::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argument_error) {
  return control_->Invoke(id, iid, lcid, flags, params, result, exception, argument_error);
}

void* ObjectWrapper::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch) return static_cast<IDispatch*>(this);
  if (iid == kIidBindEventHandler) return static_cast<IBindEventHandler*>(this);
  return nullptr;
}

}  // namespace standin
