#include "notifier.h"

#include <algorithm>
#include <cstdio>

namespace standin {

namespace {

const IID& InterfaceOf(Source source) {
  switch (source) {
    case Source::Application: return IID_IAppNotificationHandler;
    case Source::Setup: return IID_ISetupNotificationHandler;
    case Source::Channels: return IID_IChannelNotificationHandler;
    case Source::AllStories: return IID_IStoryNotificationHandler;
    case Source::Directory: return IID_IDirectoryNotificationHandler;
    case Source::AllVessiks: return IID_IVessikNotificationHandler;
  }
  return IID_NULL;
}

}  // namespace

const char* SourceName(Source source) {
  switch (source) {
    case Source::Application: return "application";
    case Source::Setup: return "setup";
    case Source::Channels: return "channels";
    case Source::AllStories: return "stories";
    case Source::Directory: return "directory";
    case Source::AllVessiks: return "vessiks";
  }
  return "?";
}

HRESULT Notifier::Register(Source source, long mask, IUnknown* handler, long* handle) {
  if (!handle) return E_POINTER;
  *handle = 0;
  if (!handler) return E_INVALIDARG;
  comsupport::ComPtr<IDispatch> callback;
  HRESULT hr = handler->QueryInterface(InterfaceOf(source), callback.put_void());
  if (FAILED(hr)) return hr;
  *handle = next_handle_++;
  handlers_.push_back(Handler{source, *handle, mask, callback});
  return S_OK;
}

HRESULT Notifier::Revoke(Source source, long handle) {
  auto found = std::find_if(handlers_.begin(), handlers_.end(), [&](const Handler& handler) {
    return handler.source == source && handler.handle == handle;
  });
  if (found == handlers_.end()) return E_INVALIDARG;
  handlers_.erase(found);
  return S_OK;
}

std::string Notifier::Lines() const {
  std::string text;
  for (const Handler& handler : handlers_) {
    char line[64];
    std::snprintf(line, sizeof line, "%s %ld 0x%08lX\n", SourceName(handler.source), handler.handle,
                  static_cast<unsigned long>(handler.mask));
    text += line;
  }
  return text;
}

void Notifier::Queue(Source source, long events, Delivery delivery) {
  for (const Handler& handler : handlers_) {
    if (handler.source != source) continue;
    if (events != 0 && (handler.mask & events) == 0) continue;
    comsupport::ComPtr<IDispatch> callback = handler.callback;
    const char* name = SourceName(source);
    queued_.push_back([callback, delivery, name] {
      // A handler that fails or has gone away does not stop the others.
      HRESULT hr = delivery(callback.get());
      if (FAILED(hr)) {
        char line[96];
        std::snprintf(line, sizeof line, "stand-in: a %s handler failed with 0x%08lX\n", name,
                      static_cast<unsigned long>(hr));
        ::OutputDebugStringA(line);
      }
    });
  }
}

std::vector<std::function<void()>> Notifier::TakeQueued() {
  std::vector<std::function<void()>> taken;
  taken.swap(queued_);
  return taken;
}

}  // namespace standin
