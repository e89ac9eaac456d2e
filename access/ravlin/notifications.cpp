#include "notifications.h"

#include <vector>

#include "client_pointer.h"
#include "comsupport/boundary.h"
#include "guarded_call.h"
#include "library_state.h"
#include "notification_sink.h"

namespace ravlin {

namespace {

using comsupport::CriticalSectionGuard;

int InitializeHandlers() {
  LibraryState& state = State();
  CriticalSectionGuard guard(state.lock);
  if (state.handlers_registered) return 1;
  // The client calls the sink on the thread that registered it; only the library thread
  // dispatches for it and revokes it again. Without that thread there is no home for one.
  if (state.library_thread_id == 0) return 0;
  NotificationSink* sink = NotificationSink::Create();
  if (!sink) return 0;
  state.callbacks.reset(new DATA_LIST(16));
  state.callback_masks.reset(new DATA_LIST(16));
  if (state.sink) state.sink->Release();
  state.sink = sink;  // the creation reference is the state's
  comsupport::ComPtr<IZorvane4> client = ThreadClient();
  if (client) sink->Register(client.get());
  state.handlers_registered = true;
  return 1;
}

int RegisterCallback(unsigned long mask, ZRNOTIFICATION_CALLBACK callback) {
  if (!callback) return 0;
  if (mask == ZRNOTIFY_CLIENT_SHUTDOWN && ClientGone()) {
    GuardedCall(callback, CallbackArguments{ZRNOTIFY_CLIENT_SHUTDOWN, nullptr, 0, nullptr, 0, 0, 0});
    return 0;
  }
  if (InitializeHandlers() != 1) return 0;
  LibraryState& state = State();
  CriticalSectionGuard guard(state.lock);
  if (!state.callbacks || !state.callback_masks) return 0;
  DWORD address = reinterpret_cast<DWORD>(callback);
  if (state.callbacks->Find(address)) return 0;
  if (!state.callbacks->Add(address)) return 0;
  if (!state.callback_masks->Add(mask)) {
    state.callbacks->RemoveAt(state.callbacks->GetCount() - 1);
    return 0;
  }
  return 1;
}

int UnregisterCallback(ZRNOTIFICATION_CALLBACK callback) {
  LibraryState& state = State();
  CriticalSectionGuard guard(state.lock);
  long index = 0;
  if (!state.callbacks || !state.callback_masks ||
      !state.callbacks->Find(reinterpret_cast<DWORD>(callback), &index))
    return 0;
  state.callbacks->RemoveAt(index);
  state.callback_masks->RemoveAt(index);
  return 1;
}

}  // namespace

void RaiseNotification(ZRNOTIFICATION_TYPES kind, const char* name, DWORD id, DWORD vessik_id, DWORD story_id,
                       const DATA_LIST* list) {
  LibraryState& state = State();
  CriticalSectionGuard guard(state.lock);
  if (!state.callbacks || !state.callback_masks) return;
  // Copies: a callback may unregister itself (or others) while the walk goes on.
  std::vector<DWORD> callbacks, masks;
  long count = state.callbacks->GetCount();
  for (long i = 0; i < count; ++i) {
    callbacks.push_back(state.callbacks->GetAt(i));
    masks.push_back(state.callback_masks->GetAt(i));
  }
  CallbackArguments arguments{kind, name, id, nullptr, vessik_id, story_id, reinterpret_cast<DWORD>(list)};
  for (size_t i = 0; i < callbacks.size(); ++i) {
    if (!(masks[i] & kind)) continue;
    if (!GuardedCall(reinterpret_cast<ZRNOTIFICATION_CALLBACK>(callbacks[i]), arguments)) {
      ::OutputDebugStringA("Ravlin: a notification callback raised an exception; it was ignored\n");
    }
  }
}

void DestroyNotificationHandlers() {
  LibraryState& state = State();
  CriticalSectionGuard guard(state.lock);
  if (!state.sink) return;
  state.sink->RevokeAll();
  state.callbacks.reset();
  state.callback_masks.reset();
  state.sink->Release();
  state.sink = nullptr;
  state.handlers_registered = false;
}

}  // namespace ravlin

extern "C" int ZRInitializeNotificationHandlers() {
  return comsupport::Boundary("Ravlin", 0, [&] { return ravlin::InitializeHandlers(); });
}

extern "C" int ZRRegisterNotificationCallback(unsigned long mask, ZRNOTIFICATION_CALLBACK callback) {
  return comsupport::Boundary("Ravlin", 0, [&] { return ravlin::RegisterCallback(mask, callback); });
}

extern "C" int ZRUnRegisterNotificationCallback(ZRNOTIFICATION_CALLBACK callback) {
  return comsupport::Boundary("Ravlin", 0, [&] { return ravlin::UnregisterCallback(callback); });
}
