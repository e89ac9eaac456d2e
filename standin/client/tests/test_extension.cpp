// A client extension for the stand-in's tests: on Start it connects back to the client and
// registers for the shutdown; it writes what happens to the file named by
// HALVERN_TEST_EXTENSION_LOG.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "comsupport/inproc_server.h"
#include "comsupport/com_ptr.h"
#include "comsupport/dispatch_impl.h"
#include "zorvane.h"

namespace {

// {6A1D4B70-2C1E-4F55-9E0B-7D3A12C4E801}
const CLSID kClsidTestExtension = {0x6A1D4B70, 0x2C1E, 0x4F55, {0x9E, 0x0B, 0x7D, 0x3A, 0x12, 0xC4, 0xE8, 0x01}};

void Log(const std::string& line) {
  char path[MAX_PATH];
  DWORD length = ::GetEnvironmentVariableA("HALVERN_TEST_EXTENSION_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  if (FILE* file = std::fopen(path, "ab")) {
    std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
  }
}

class TestExtension : public comsupport::ComObject<comsupport::DispatchImpl<IClientExt, &LIBID_ZorvaneLib>,
                                                   comsupport::DispatchImpl<IAppNotificationHandler, &LIBID_ZorvaneLib>> {
 public:
  STDMETHODIMP Start() override {
    comsupport::ComPtr<IUnknown> unknown;
    HRESULT hr = ::CoCreateInstance(CLSID_Zorvane, nullptr, CLSCTX_ALL, IID_IUnknown, unknown.put_void());
    if (SUCCEEDED(hr)) application_ = unknown.As<IZorvane>(&hr);
    comsupport::ComPtr<IZorvaneChannelCollection> channels;
    long count = -1;
    if (SUCCEEDED(hr)) hr = application_->get_Channels(channels.put());
    if (SUCCEEDED(hr)) hr = channels->get_Count(&count);
    if (SUCCEEDED(hr)) {
      hr = application_->RegisterNotificationHandler(ZORVANE_EVENT_SHUTDOWN,
                                                     static_cast<IAppNotificationHandler*>(this), &handle_);
    }
    Log("start " + std::to_string(hr) + " channels " + std::to_string(count));
    return E_FAIL;  // as extensions commonly answer; the client must not mind
  }
  STDMETHODIMP OnShutdown() override {
    HRESULT hr = application_ ? application_->RevokeNotificationHandler(handle_) : E_UNEXPECTED;
    application_.reset();
    Log("shutdown " + std::to_string(hr));
    return S_OK;
  }

  static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    return comsupport::CreateAggregatable<TestExtension>(outer, iid, out);
  }

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IClientExt) return static_cast<IClientExt*>(this);
    if (iid == IID_IAppNotificationHandler) return static_cast<IAppNotificationHandler*>(this);
    return nullptr;
  }

 private:
  comsupport::ComPtr<IZorvane> application_;
  long handle_ = 0;
};

}  // namespace

const comsupport::InprocServer& comsupport::ThisServer() {
  // Registered by the tests themselves: no script and no library of its own.
  static const InprocServer server = [] {
    InprocServer described;
    described.classes = {{&kClsidTestExtension, &TestExtension::CreateInstance}};
    described.registry_script = 0;
    return described;
  }();
  return server;
}
