#include "client_pointer.h"

#include "library_state.h"

namespace ravlin {

namespace {

using comsupport::ComPtr;

// CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER
constexpr DWORD kClientContexts = 7;

HRESULT CreateOnce(IZorvane4** client) {
  *client = nullptr;
  ComPtr<IZorvane> first;
  HRESULT hr = ::CoCreateInstance(CLSID_Zorvane, nullptr, kClientContexts, IID_IZorvane, first.put_void());
  if (FAILED(hr)) return hr;
  if (!first) return E_POINTER;
  return first->QueryInterface(IID_IZorvane4, reinterpret_cast<void**>(client));
}

bool RetriedOnLibraryThread(HRESULT hr) {
  return hr == static_cast<HRESULT>(0x80080006) || hr == static_cast<HRESULT>(0x80080005) ||
         hr == static_cast<HRESULT>(0x8000401E) || hr == static_cast<HRESULT>(0x80080008);
}

// Opens the calling thread's apartment once per thread; a thread already in another
// apartment kind keeps it and can still call the client.
void InitialiseCallingThread(LibraryState& state) {
  if (state.thread_marks.Has(kMarkComOpened)) return;
  HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (SUCCEEDED(hr)) {
    state.thread_marks.Set(kMarkComOpened, true);
    state.com_initialised = true;
  }
}

// An entry of the table whose thread has ended and whose id now names another thread. Its
// pointer belonged to an apartment that is gone, so it is dropped without a call on it.
void ForgetEntryOfEndedThread(LibraryState& state, long index) {
  state.thread_ids->RemoveAt(index);
  state.thread_clients->RemoveAt(index);
}

}  // namespace

HRESULT CreateLibraryClient(IZorvane4** client) {
  HRESULT hr = E_FAIL;
  for (int attempt = 1; attempt <= 60; ++attempt) {
    hr = CreateOnce(client);
    if (SUCCEEDED(hr) || !RetriedOnLibraryThread(hr) || attempt == 60) break;
    ::Sleep(1000);
  }
  return hr;
}

ComPtr<IZorvane4> ThreadClient() {
  LibraryState& state = State();
  comsupport::CriticalSectionGuard guard(state.lock);
  DWORD thread = ::GetCurrentThreadId();
  // The library thread uses its own pointer only, even while it has none.
  if (thread == state.library_thread_id) return ComPtr<IZorvane4>(state.library_client);
  long index = 0;
  if (state.thread_ids && state.thread_clients && state.thread_ids->Find(thread, &index)) {
    if (state.thread_marks.Has(kMarkTableEntry))
      return ComPtr<IZorvane4>(reinterpret_cast<IZorvane4*>(state.thread_clients->GetAt(index)));
    ForgetEntryOfEndedThread(state, index);
  }
  InitialiseCallingThread(state);
  ComPtr<IZorvane4> client;
  HRESULT hr = E_FAIL;
  for (int attempt = 1; attempt <= 10; ++attempt) {
    hr = CreateOnce(client.put());
    if (hr != static_cast<HRESULT>(0x80080006) || attempt == 10) break;
    ::Sleep(250);
  }
  if (FAILED(hr) || !client) return ComPtr<IZorvane4>();
  // Outside a start there is no table: the pointer serves this call only.
  if (state.thread_ids && state.thread_clients) {
    if (state.thread_ids->Add(thread)) {
      if (state.thread_clients->Add(reinterpret_cast<DWORD>(client.get()))) {
        client->AddRef();  // the table's reference
        state.thread_marks.Set(kMarkTableEntry, true);
      } else {
        state.thread_ids->RemoveAt(state.thread_ids->GetCount() - 1);
      }
    }
  }
  return client;
}

void ReleaseThreadClients() {
  LibraryState& state = State();
  comsupport::CriticalSectionGuard guard(state.lock);
  if (state.thread_clients) {
    for (long i = 0; i < state.thread_clients->GetCount(); ++i) {
      if (auto* client = reinterpret_cast<IZorvane4*>(state.thread_clients->GetAt(i))) client->Release();
    }
  }
  state.thread_clients.reset();
  state.thread_ids.reset();
}

void UninitialiseCallingThread() {
  LibraryState& state = State();
  {
    comsupport::CriticalSectionGuard guard(state.lock);
    if (!state.com_initialised) return;
    state.com_initialised = false;
    // Only an apartment this library opened is closed here.
    if (!state.thread_marks.Has(kMarkComOpened)) return;
    state.thread_marks.Set(kMarkComOpened, false);
  }
  ::CoUninitialize();
}

}  // namespace ravlin
