// The base of every stand-in COM object: reference counting, error information, type
// information for IDispatch, and Call, which journals a member, applies an injected failure,
// holds the client's lock while the member runs and turns exceptions into HRESULTs.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "client.h"
#include "comsupport/bstr.h"
#include "comsupport/com_object.h"
#include "comsupport/dispatch_impl.h"

namespace standin {

// A member's failure with its cause, for the caller's IErrorInfo.
class Failure : public std::runtime_error {
 public:
  Failure(HRESULT hr, const std::string& text) : std::runtime_error(text), hr_(hr) {}
  HRESULT hr() const { return hr_; }

 private:
  HRESULT hr_;
};

// Sets the thread's error information and returns hr.
HRESULT ReportError(HRESULT hr, const IID& iid, const std::string& text);

template <class Interface, class... Others>
class StandinObject
    : public comsupport::ComObject<comsupport::DispatchImpl<Interface>, Others..., ISupportErrorInfo> {
 public:
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID) override { return S_OK; }

 protected:
  StandinObject(Client& client, std::string kind, std::string identity)
      : client_(client), kind_(std::move(kind)), identity_(std::move(identity)) {}

  HRESULT LoadTypeLibrary(ITypeLib** library) override { return client_.ClientTypeLibrary(library); }

  void* FindInterface(REFIID iid) override {
    if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return FindOwn(iid);
  }
  // The interfaces of the object (IID_IUnknown and IID_IDispatch included).
  virtual void* FindOwn(REFIID iid) = 0;

  template <class Body>
  HRESULT Call(const char* member, const std::string& arguments, Body body) {
    HRESULT hr = S_OK;
    try {
      comsupport::CriticalSectionGuard guard(client_.lock());
      hr = client_.journal().Enter(kind_, identity_, member, arguments);
      if (FAILED(hr)) return ReportError(hr, __uuidof(Interface), "injected failure of " + kind_ + "." + member);
      hr = body();
    } catch (const Failure& failure) {
      return ReportError(failure.hr(), __uuidof(Interface), failure.what());
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (const std::exception& error) {
      return ReportError(E_FAIL, __uuidof(Interface), error.what());
    }
    client_.ScheduleDelivery();
    return hr;
  }

  Client& client_;
  std::string kind_;
  std::string identity_;
};

// Hands a new object's creation reference to *out.
template <class Object, class Interface, class... Args>
HRESULT NewObject(Interface** out, Args&&... args) {
  *out = new Object(std::forward<Args>(args)...);
  return S_OK;
}

// Out-parameter helpers: each checks the pointer (E_POINTER as a Failure).
template <class T>
T* Out(T* pointer) {
  if (!pointer) throw Failure(E_POINTER, "null out-parameter");
  return pointer;
}
inline HRESULT PutText(BSTR* out, const std::string& text) {
  *Out(out) = comsupport::Bstr(text).Detach();
  return S_OK;
}
inline HRESULT PutLong(long* out, long value) {
  *Out(out) = value;
  return S_OK;
}
inline HRESULT PutBool(VARIANT_BOOL* out, bool value) {
  *Out(out) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}
inline HRESULT PutVariant(VARIANT* out, const comsupport::Variant& value) {
  ::VariantInit(Out(out));
  return ::VariantCopy(out, const_cast<VARIANT*>(value.get()));
}
inline HRESULT PutValue(BSTR* out, const std::string& text) { return PutText(out, text); }
inline HRESULT PutValue(long* out, long value) { return PutLong(out, value); }
inline HRESULT PutValue(VARIANT_BOOL* out, bool value) { return PutBool(out, value); }
inline std::string TextOf(BSTR text) {
  return text ? comsupport::ToAnsi(text, static_cast<int>(::SysStringLen(text))) : std::string();
}

// A 32-bit number from an index VARIANT (VT_I4 and what converts to it); nullopt for text.
bool IndexNumber(const VARIANT& index, long* number);
// The text of an index VARIANT, throwing E_INVALIDARG when it is none.
std::string IndexText(const VARIANT& index);

}  // namespace standin
