#include "controls/property_page_base.h"

#include "comsupport/this_module.h"

namespace controls {

namespace {

constexpr SIZE kPageSize = {250, 62};  // dialog units, the usual size of a control's page

INT_PTR CALLBACK PageProcedure(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

PropertyPageBase::~PropertyPageBase() {
  if (window_) ::DestroyWindow(window_);
}

void* PropertyPageBase::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IPropertyPage) return static_cast<IPropertyPage*>(this);
  return nullptr;
}

STDMETHODIMP PropertyPageBase::SetPageSite(IPropertyPageSite* site) {
  site_ = comsupport::ComPtr<IPropertyPageSite>(site);
  return S_OK;
}

STDMETHODIMP PropertyPageBase::Activate(HWND parent, LPCRECT position, BOOL) {
  if (!position) return E_POINTER;
  if (window_) return E_UNEXPECTED;
  // An empty child dialog, made in memory: the page has no controls of its own.
  struct {
    DLGTEMPLATE header;
    WORD menu, window_class, title;
  } page = {};
  page.header.style = WS_CHILD | DS_CONTROL | WS_CLIPSIBLINGS;
  page.header.cx = static_cast<short>(kPageSize.cx);
  page.header.cy = static_cast<short>(kPageSize.cy);
  window_ = ::CreateDialogIndirectParamA(comsupport::ThisModule(), &page.header, parent, &PageProcedure, 0);
  if (!window_) return HRESULT_FROM_WIN32(::GetLastError());
  return Move(position);
}

STDMETHODIMP PropertyPageBase::Deactivate() {
  if (window_) ::DestroyWindow(window_);
  window_ = nullptr;
  return S_OK;
}

STDMETHODIMP PropertyPageBase::GetPageInfo(PROPPAGEINFO* info) {
  if (!info) return E_POINTER;
  static const wchar_t kTitle[] = L"General";
  info->cb = sizeof(*info);
  info->pszTitle = static_cast<LPOLESTR>(::CoTaskMemAlloc(sizeof(kTitle)));
  if (!info->pszTitle) return E_OUTOFMEMORY;
  ::memcpy(info->pszTitle, kTitle, sizeof(kTitle));
  // Pixels for the dialog units of the page, as the dialog manager would measure them.
  RECT size = {0, 0, kPageSize.cx, kPageSize.cy};
  const LONG units = ::GetDialogBaseUnits();
  size.right = ::MulDiv(size.right, LOWORD(units), 4);
  size.bottom = ::MulDiv(size.bottom, HIWORD(units), 8);
  info->size = {size.right, size.bottom};
  info->pszDocString = nullptr;
  info->pszHelpFile = nullptr;
  info->dwHelpContext = 0;
  return S_OK;
}

STDMETHODIMP PropertyPageBase::SetObjects(ULONG count, IUnknown** objects) {
  if (count && !objects) return E_POINTER;
  objects_.clear();
  for (ULONG i = 0; i < count; ++i) objects_.emplace_back(objects[i]);
  return S_OK;
}

STDMETHODIMP PropertyPageBase::Show(UINT command) {
  if (!window_) return E_UNEXPECTED;
  ::ShowWindow(window_, command);
  return S_OK;
}

STDMETHODIMP PropertyPageBase::Move(LPCRECT position) {
  if (!position) return E_POINTER;
  if (!window_) return E_UNEXPECTED;
  ::MoveWindow(window_, position->left, position->top, position->right - position->left,
               position->bottom - position->top, TRUE);
  return S_OK;
}

}  // namespace controls
