// The document a page's controls find through their site's container: it answers only its
// address (IHTMLDocument2::get_URL) and the container's own calls.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>

#include "comsupport/com_object.h"
#include "html_document_stub.h"
#include "script_guids.h"

namespace standin {

class PageDocument : public comsupport::ComObject<IOleContainer, HtmlDocumentStub> {
 public:
  explicit PageDocument(std::wstring url) : url_(std::move(url)) {}

  STDMETHODIMP get_URL(BSTR* url) override {
    if (!url) return E_POINTER;
    *url = ::SysAllocString(url_.c_str());
    return S_OK;
  }
  STDMETHODIMP ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP EnumObjects(DWORD, IEnumUnknown** objects) override {
    if (objects) *objects = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP LockContainer(BOOL) override { return S_OK; }

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IOleContainer || iid == IID_IParseDisplayName) {
      return static_cast<IOleContainer*>(this);
    }
    if (iid == kIidHtmlDocument2 || iid == IID_IDispatch) return static_cast<IHTMLDocument2*>(this);
    return nullptr;
  }

 private:
  std::wstring url_;
};

}  // namespace standin
