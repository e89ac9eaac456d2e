// The property page of a control module: one empty page titled "General". The objects it is
// given are kept until the page goes (hosts do not always hand them back).
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"

namespace controls {

class PropertyPageBase : public comsupport::ComObject<IPropertyPage> {
 public:
  STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
  STDMETHODIMP Activate(HWND parent, LPCRECT position, BOOL modal) override;
  STDMETHODIMP Deactivate() override;
  STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
  STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
  STDMETHODIMP Show(UINT command) override;
  STDMETHODIMP Move(LPCRECT position) override;
  STDMETHODIMP IsPageDirty() override { return S_FALSE; }
  STDMETHODIMP Apply() override { return S_OK; }
  STDMETHODIMP Help(LPCOLESTR) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }

  HWND window() const { return window_; }
  size_t object_count() const { return objects_.size(); }

 protected:
  PropertyPageBase() = default;
  ~PropertyPageBase() override;
  void* FindInterface(REFIID iid) override;

 private:
  comsupport::ComPtr<IPropertyPageSite> site_;
  std::vector<comsupport::ComPtr<IUnknown>> objects_;
  HWND window_ = nullptr;
};

}  // namespace controls
