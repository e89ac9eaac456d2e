// One call through a control's dispinterface: what was asked (get, put, method), its
// arguments converted to the types the member declares, and its result.
//
//   case kDispidNumStories:
//     if (!call.IsGet()) return DISP_E_MEMBERNOTFOUND;
//     return call.Return(NumStories());
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include <string>

namespace controls {

class DispatchCall {
 public:
  DispatchCall(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, UINT* argument_error)
      : id_(id), flags_(flags), params_(params), result_(result), argument_error_(argument_error) {}

  DISPID id() const { return id_; }
  bool IsGet() const { return (flags_ & DISPATCH_PROPERTYGET) != 0 && ArgumentCount() == 0; }
  bool IsPut() const { return (flags_ & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }
  bool IsMethod() const { return (flags_ & DISPATCH_METHOD) != 0; }
  UINT ArgumentCount() const { return params_ ? params_->cArgs : 0; }

  // Positional argument index (0 the first the member declares); DISP_E_BADPARAMCOUNT when
  // missing, DISP_E_TYPEMISMATCH when it cannot be converted.
  HRESULT Argument(UINT index, long* value);
  HRESULT Argument(UINT index, bool* value);
  HRESULT Argument(UINT index, std::string* value);
  // The value given to a property put.
  HRESULT PutValue(long* value) { return Argument(0, value); }
  HRESULT PutValue(bool* value) { return Argument(0, value); }
  // Exactly count arguments, else DISP_E_BADPARAMCOUNT.
  HRESULT Expect(UINT count) const { return ArgumentCount() == count ? S_OK : DISP_E_BADPARAMCOUNT; }

  HRESULT Return(long value);
  HRESULT ReturnBool(bool value);
  HRESULT Return(const std::string& value);
  HRESULT ReturnNothing() { return S_OK; }

 private:
  HRESULT Converted(UINT index, VARTYPE type, VARIANT* value);

  DISPID id_;
  WORD flags_;
  DISPPARAMS* params_;
  VARIANT* result_;
  UINT* argument_error_;
};

}  // namespace controls
