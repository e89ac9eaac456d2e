// One notification handler registered with one of the client's event sources (the
// application, setup, channel, story, Vessik or directory collections), which all answer
//   RegisterNotificationHandler(LONG events, IUnknown* handler, LONG* handle)
//   RevokeNotificationHandler(LONG handle)
// The registration remembers its handle and, when asked to, the source; it revokes itself
// when it goes, so an owner lists its registrations in the reverse of the order in which they
// must be revoked, or revokes them explicitly in that order.
#pragma once

#include <windows.h>

#include <utility>

#include "comsupport/com_ptr.h"

namespace comsupport {

template <class Source>
class HandlerRegistration {
 public:
  static constexpr LONG kNoHandle = -1;

  HandlerRegistration() = default;
  ~HandlerRegistration() { Revoke(); }
  HandlerRegistration(const HandlerRegistration&) = delete;
  HandlerRegistration& operator=(const HandlerRegistration&) = delete;

  // Registers handler for events. With keep_source the source is held until revoked (and used
  // then); without it the owner names the source when it revokes. The source's HRESULT.
  HRESULT Register(Source* source, LONG events, IUnknown* handler, bool keep_source = true) {
    Revoke();
    if (!source) return E_POINTER;
    LONG handle = kNoHandle;
    HRESULT hr = source->RegisterNotificationHandler(events, handler, &handle);
    if (FAILED(hr)) return hr;
    handle_ = handle;
    if (keep_source) source_ = ComPtr<Source>(source);
    return hr;
  }

  // Through the source held: S_FALSE when there was nothing to revoke. The registration is
  // forgotten whatever the source answers (it may have gone with the client).
  HRESULT Revoke() { return RevokeThrough(source_.get()); }
  // Through a source obtained anew from the client.
  HRESULT RevokeThrough(Source* source) {
    if (handle_ == kNoHandle) {
      source_.reset();
      return S_FALSE;
    }
    const LONG handle = std::exchange(handle_, kNoHandle);
    ComPtr<Source> held = std::move(source_);
    return source ? source->RevokeNotificationHandler(handle) : E_POINTER;
  }
  // Lets the registration go without a call (the client is known to be gone).
  void Forget() {
    handle_ = kNoHandle;
    source_.reset();
  }

  bool registered() const { return handle_ != kNoHandle; }
  LONG handle() const { return handle_; }
  Source* source() const { return source_.get(); }

 private:
  ComPtr<Source> source_;
  LONG handle_ = kNoHandle;
};

}  // namespace comsupport
