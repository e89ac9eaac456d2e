#include "url_fetch.h"

#include <urlmon.h>

#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"

namespace standin {
namespace {

using comsupport::ComPtr;

class FetchCallback : public comsupport::ComObject<IBindStatusCallback> {
 public:
  STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return S_OK; }
  STDMETHODIMP GetPriority(LONG* priority) override {
    if (priority) *priority = THREAD_PRIORITY_NORMAL;
    return S_OK;
  }
  STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
  STDMETHODIMP OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override { return S_OK; }
  STDMETHODIMP OnStopBinding(HRESULT hr, LPCWSTR) override {
    result.hr = hr;
    stopped = true;
    return S_OK;
  }
  STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override {
    if (!flags || !info) return E_POINTER;
    *flags = BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA | BINDF_GETNEWESTVERSION;
    const ULONG size = info->cbSize;
    ZeroMemory(info, size);
    info->cbSize = size;
    info->dwBindVerb = BINDVERB_GET;
    return S_OK;
  }
  STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM* medium) override {
    if (!medium || medium->tymed != TYMED_ISTREAM || !medium->pstm) return S_OK;
    char buffer[4096];
    ULONG read = 0;
    HRESULT hr;
    do {
      read = 0;
      hr = medium->pstm->Read(buffer, sizeof buffer, &read);
      result.data.append(buffer, read);
    } while (SUCCEEDED(hr) && hr != S_FALSE && read > 0);
    return S_OK;
  }
  STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

  FetchResult result;
  bool stopped = false;

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IBindStatusCallback) return static_cast<IBindStatusCallback*>(this);
    return nullptr;
  }
};

}  // namespace

FetchResult FetchUrl(const std::wstring& url, DWORD timeout_ms) {
  auto callback = ComPtr<FetchCallback>::Attach(new FetchCallback());
  ComPtr<IMoniker> moniker;
  FetchResult failed;
  failed.hr = ::CreateURLMonikerEx(nullptr, url.c_str(), moniker.put(), URL_MK_UNIFORM);
  if (FAILED(failed.hr)) return failed;
  ComPtr<IBindCtx> context;
  failed.hr = ::CreateAsyncBindCtx(0, callback.get(), nullptr, context.put());
  if (FAILED(failed.hr)) return failed;
  ComPtr<IUnknown> stream;
  failed.hr = moniker->BindToStorage(context.get(), nullptr, IID_IStream, stream.put_void());
  if (FAILED(failed.hr)) return failed;
  const DWORD start = ::GetTickCount();
  while (!callback->stopped && ::GetTickCount() - start < timeout_ms) {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  if (!callback->stopped) callback->result.hr = HRESULT_FROM_WIN32(ERROR_TIMEOUT);
  ::RevokeBindStatusCallback(context.get(), callback.get());
  return callback->result;
}

}  // namespace standin
