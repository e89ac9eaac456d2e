// The page's security manager as IE serves it to the script engine and controls: every
// ActiveX action and every object's safety confirmation is allowed (the page is trusted to
// create what it names), and each is journaled.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include <string>
#include <vector>

#include "comsupport/com_object.h"
#include "script_guids.h"

namespace standin {

class HostSecurityManager : public comsupport::ComObject<IInternetHostSecurityManager, IServiceProvider> {
 public:
  STDMETHODIMP GetSecurityId(BYTE* id, DWORD* size, DWORD_PTR) override {
    static const char kId[] = "file:page\0\0\0\0";
    if (!id || !size || *size < sizeof kId) return E_INVALIDARG;
    memcpy(id, kId, sizeof kId);
    *size = sizeof kId;
    return S_OK;
  }
  STDMETHODIMP ProcessUrlAction(DWORD action, BYTE* policy, DWORD policy_size, BYTE*, DWORD, DWORD, DWORD) override {
    journal.push_back("ProcessUrlAction " + std::to_string(action));
    if (policy && policy_size >= sizeof(DWORD)) *reinterpret_cast<DWORD*>(policy) = URLPOLICY_ALLOW;
    return S_OK;
  }
  STDMETHODIMP QueryCustomPolicy(REFGUID key, BYTE** policy, DWORD* policy_size, BYTE*, DWORD, DWORD) override {
    if (!policy || !policy_size) return E_POINTER;
    *policy = nullptr;
    *policy_size = 0;
    if (key != kGuidConfirmObjectSafety) return INET_E_DEFAULT_ACTION;
    journal.push_back("QueryCustomPolicy confirm object safety");
    auto* answer = static_cast<DWORD*>(::CoTaskMemAlloc(sizeof(DWORD)));
    if (!answer) return E_OUTOFMEMORY;
    *answer = URLPOLICY_ALLOW;
    *policy = reinterpret_cast<BYTE*>(answer);
    *policy_size = sizeof(DWORD);
    return S_OK;
  }
  // IServiceProvider: the manager is its own service.
  STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (service != kIidHostSecurityManager) return E_NOINTERFACE;
    return QueryInterface(iid, out);
  }

  std::vector<std::string> journal;

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == kIidHostSecurityManager) return static_cast<IInternetHostSecurityManager*>(this);
    if (iid == IID_IServiceProvider) return static_cast<IServiceProvider*>(this);
    return nullptr;
  }
};

}  // namespace standin
