#include "page_script.h"

#include <objsafe.h>

#include "comsupport/bstr.h"
#include "script_guids.h"

namespace standin {

void PageScriptSite::AddItem(const std::wstring& name, IUnknown* item, ITypeInfo* info) {
  items_[name] = Item{comsupport::ComPtr<IUnknown>(item), comsupport::ComPtr<ITypeInfo>(info)};
}

STDMETHODIMP PageScriptSite::GetLCID(LCID* lcid) {
  if (!lcid) return E_POINTER;
  *lcid = ::GetUserDefaultLCID();
  return S_OK;
}

STDMETHODIMP PageScriptSite::GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) {
  if (item) *item = nullptr;
  if (info) *info = nullptr;
  auto found = items_.find(name ? name : L"");
  if (found == items_.end()) return TYPE_E_ELEMENTNOTFOUND;
  if ((mask & SCRIPTINFO_IUNKNOWN) && item) {
    *item = found->second.object.get();
    (*item)->AddRef();
  }
  if ((mask & SCRIPTINFO_ITYPEINFO) && info && found->second.info) {
    *info = found->second.info.get();
    (*info)->AddRef();
  }
  return S_OK;
}

STDMETHODIMP PageScriptSite::GetDocVersionString(BSTR* version) {
  if (version) *version = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP PageScriptSite::OnScriptError(IActiveScriptError* error) {
  ++errors_;
  EXCEPINFO exception{};
  DWORD context = 0;
  ULONG line = 0;
  LONG column = 0;
  if (error) {
    error->GetExceptionInfo(&exception);
    error->GetSourcePosition(&context, &line, &column);
  }
  if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
  std::string text = "script error at line " + std::to_string(line + 1) + ": ";
  text += exception.bstrDescription ? comsupport::ToAnsi(exception.bstrDescription) : "(no description)";
  text += " (" + comsupport::HresultText(exception.scode) + ")\n";
  write_(text);
  ::SysFreeString(exception.bstrSource);
  ::SysFreeString(exception.bstrDescription);
  ::SysFreeString(exception.bstrHelpFile);
  return S_OK;
}

STDMETHODIMP PageScriptSite::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_;
  return S_OK;
}

STDMETHODIMP PageScriptSite::QueryService(REFGUID service, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return services_ ? services_->QueryService(service, iid, out) : E_NOINTERFACE;
}

void* PageScriptSite::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IActiveScriptSite) return static_cast<IActiveScriptSite*>(this);
  if (iid == IID_IActiveScriptSiteWindow) return static_cast<IActiveScriptSiteWindow*>(this);
  if (iid == IID_IServiceProvider) return static_cast<IServiceProvider*>(this);
  return nullptr;
}

HRESULT RunScript(IActiveScript* engine, const std::wstring& text) {
  comsupport::ComPtr<IActiveScriptParse32> parse;
  HRESULT hr = engine->QueryInterface(kIidActiveScriptParse32, parse.put_void());
  if (FAILED(hr)) return hr;
  EXCEPINFO exception{};
  hr = parse->ParseScriptText(text.c_str(), nullptr, nullptr, nullptr, 0, 0, SCRIPTTEXT_ISVISIBLE, nullptr, &exception);
  ::SysFreeString(exception.bstrSource);
  ::SysFreeString(exception.bstrDescription);
  ::SysFreeString(exception.bstrHelpFile);
  if (FAILED(hr)) return hr;
  return engine->SetScriptState(SCRIPTSTATE_CONNECTED);
}

}  // namespace standin
