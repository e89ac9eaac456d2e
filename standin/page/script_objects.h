// What a page's script sees besides its own code: small objects whose members are C++
// functions ("document.write"), and the wrapper IE puts around an OBJECT tag's control, which
// forwards calls to the control and binds "function obj::Event()" handlers to its events.
#pragma once

#include <windows.h>
#include <activscp.h>
#include <ocidl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "comsupport/bstr.h"
#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"

namespace standin {

// A member gets the call's arguments in declaration order and may set *result.
using ScriptMember = std::function<HRESULT(const std::vector<comsupport::Variant>& arguments, VARIANT* result)>;

class ScriptObject : public comsupport::ComObject<IDispatch> {
 public:
  void Add(const std::wstring& name, ScriptMember member);

  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                      UINT*) override;

 protected:
  void* FindInterface(REFIID iid) override;

 private:
  std::vector<std::wstring> names_;
  std::vector<ScriptMember> members_;
};

// Calls a bound script function for each event of the control's default source.
class EventRouter : public comsupport::ComObject<IDispatch> {
 public:
  explicit EventRouter(REFIID source) : source_(source) {}
  void Bind(DISPID event, IDispatch* function) { handlers_[event] = comsupport::ComPtr<IDispatch>(function); }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                      UINT*) override;

 protected:
  void* FindInterface(REFIID iid) override;

 private:
  IID source_;
  std::map<DISPID, comsupport::ComPtr<IDispatch>> handlers_;
};

class ObjectWrapper : public comsupport::ComObject<IDispatch, IBindEventHandler> {
 public:
  explicit ObjectWrapper(IUnknown* control);
  // Unadvises the event router.
  void Disconnect();

  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argument_error) override;
  STDMETHODIMP BindHandler(LPCOLESTR event, IDispatch* function) override;

 protected:
  void* FindInterface(REFIID iid) override;

 private:
  HRESULT Connect();

  comsupport::ComPtr<IDispatch> control_;
  comsupport::ComPtr<ITypeInfo> source_info_;
  IID source_ = IID_NULL;
  comsupport::ComPtr<EventRouter> router_;
  comsupport::ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
};

}  // namespace standin
