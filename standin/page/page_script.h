// The page's script: JScript run through the engine's IActiveScript with the page's named
// items (the OBJECT tag's control, "document", "host"), the security manager served through
// the site, and errors written to the page's output.
#pragma once

#include <windows.h>
#include <activscp.h>

#include <functional>
#include <map>
#include <string>

#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"
#include "host_security.h"

namespace standin {

class PageScriptSite : public comsupport::ComObject<IActiveScriptSite, IActiveScriptSiteWindow, IServiceProvider> {
 public:
  PageScriptSite(HWND window, IServiceProvider* services, std::function<void(const std::string&)> write)
      : window_(window), services_(services), write_(std::move(write)) {}

  // item: its object; info: its type information, may be null.
  void AddItem(const std::wstring& name, IUnknown* item, ITypeInfo* info);

  STDMETHODIMP GetLCID(LCID* lcid) override;
  STDMETHODIMP GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) override;
  STDMETHODIMP GetDocVersionString(BSTR* version) override;
  STDMETHODIMP OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
  STDMETHODIMP OnStateChange(SCRIPTSTATE) override { return S_OK; }
  STDMETHODIMP OnScriptError(IActiveScriptError* error) override;
  STDMETHODIMP OnEnterScript() override { return S_OK; }
  STDMETHODIMP OnLeaveScript() override { return S_OK; }
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** out) override;

  int errors() const { return errors_; }

 protected:
  void* FindInterface(REFIID iid) override;

 private:
  struct Item {
    comsupport::ComPtr<IUnknown> object;
    comsupport::ComPtr<ITypeInfo> info;
  };
  HWND window_;
  IServiceProvider* services_;
  std::function<void(const std::string&)> write_;
  std::map<std::wstring, Item> items_;
  int errors_ = 0;
};

// Parses and runs text in engine, connected (so "function obj::Event()" handlers are bound).
HRESULT RunScript(IActiveScript* engine, const std::wstring& text);

}  // namespace standin
