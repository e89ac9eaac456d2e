// Mode-1 command round trips (calling thread -> library thread -> calling thread) against a
// bare post-message-and-wait ping-pong between the same two threads, in the same run; and
// ZREnumerateChannels over 1,000 channels of the stand-in client.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "command.h"
#include "comsupport/com_ptr.h"
#include "comsupport/unique_handle.h"
#include "library_state.h"
#include "ravlin/ravlin.h"
#include "testing/bench_support.h"
#include "testing/standin_client.h"

namespace {

using testing_support::PrintFigure;
using testing_support::PrintRatio;
using testing_support::Seconds;

constexpr int kRoundTrips = 3000;
constexpr int kChannels = 1000;
constexpr int kRounds = 5;

std::string ManyChannels() {
  std::string json = "{\"channels\": [";
  for (int i = 1; i <= kChannels; ++i) {
    json += (i > 1 ? "," : "") + std::string("{\"id\": ") + std::to_string(i) + ", \"name\": \"Channel " +
            std::to_string(i) + "\", \"categories\": [\"News\", \"Bench\"], \"flags\": 4}";
  }
  return json + "]}";
}

// The bare ping-pong: the library thread's window, subclassed for one private message that
// sets the event it carries. Both ends do what any mode-1 command must: the same library thread
// loop takes the message, and the caller waits as a careful caller has to, dispatching its own
// messages meanwhile (MsgWaitForMultipleObjectsEx, as the library does). What it leaves out is
// the library's own work: the record, its named event, the executor.
UINT ping_message = 0;
WNDPROC library_procedure = nullptr;

LRESULT CALLBACK PingProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == ping_message) {
    ::SetEvent(reinterpret_cast<HANDLE>(lparam));
    return 0;
  }
  return ::CallWindowProcA(library_procedure, window, message, wparam, lparam);
}

void WaitDispatching(HANDLE event) {
  while (::MsgWaitForMultipleObjectsEx(1, &event, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0) {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }
}

double BarePingPongsPerSecond(HWND window) {
  ping_message = ::RegisterWindowMessageA("RAVLIN_BENCH_PING");
  library_procedure = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PingProcedure)));
  comsupport::UniqueHandle pong(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
  double began = Seconds();
  for (int i = 0; i < kRoundTrips; ++i) {
    ::PostMessageA(window, ping_message, 0, reinterpret_cast<LPARAM>(pong.get()));
    WaitDispatching(pong.get());
  }
  double elapsed = Seconds() - began;
  ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(library_procedure));
  return kRoundTrips / elapsed;
}

// What the command's protocol itself costs in the calling thread: its event, named after the
// command, created and closed once per command.
double NamedEventMicroseconds() {
  char name[32];
  double began = Seconds();
  for (int i = 0; i < kRoundTrips; ++i) {
    std::snprintf(name, sizeof name, "RAVLIN_BENCH%d%08x", i, static_cast<unsigned>(::GetCurrentProcessId()));
    comsupport::UniqueHandle event(::CreateEventA(nullptr, FALSE, FALSE, name));
  }
  return (Seconds() - began) / kRoundTrips * 1e6;
}

double CommandRoundTripsPerSecond() {
  double began = Seconds();
  for (int i = 0; i < kRoundTrips; ++i) {
    // An opcode that names no operation: the record goes there and back, nothing else runs.
    RavlinCommand command = ravlin::MakeCommand(0);
    ravlin::ExecuteCommand(command, ravlin::kOnLibraryThread);
  }
  return kRoundTrips / (Seconds() - began);
}

}  // namespace

int main() {
  testing_support::PrepareBenchmarkProcess();
  if (FAILED(::OleInitialize(nullptr))) return 2;
  int result = 0;
  try {
    testing_support::StandinClient standin(ManyChannels());
    if (RavlinInitialize(1) != 1) {
      std::fprintf(stderr, "the library did not start\n");
      return 3;
    }
    HWND window = ravlin::State().window;
    double best_commands = 0, best_bare = 0;
    for (int round = 0; round < kRounds; ++round) {
      best_commands = std::max(best_commands, CommandRoundTripsPerSecond());
      best_bare = std::max(best_bare, BarePingPongsPerSecond(window));
    }
    PrintFigure("ravlin_mode1", best_commands, "per_s", 0);
    PrintFigure("ravlin_bare_ping_pong", best_bare, "per_s", 0);
    PrintRatio("ravlin_mode1", best_commands / best_bare);
    PrintFigure("ravlin_mode1_per_command", 1e6 / best_commands, "us");
    PrintFigure("ravlin_bare_ping_pong_per_trip", 1e6 / best_bare, "us");
    PrintFigure("ravlin_mode1_named_event", NamedEventMicroseconds(), "us");

    // The cost of one plain cross-process call, to read the enumeration's figure against.
    comsupport::ComPtr<IZorvane4> application = standin.Application();
    double best_call = 1e9;
    for (int round = 0; round < kRounds; ++round) {
      double began = Seconds();
      for (int i = 0; i < kChannels; ++i) {
        BSTR name = nullptr;
        application->get_Name(&name);
        ::SysFreeString(name);
      }
      best_call = std::min(best_call, (Seconds() - began) / kChannels);
    }
    PrintFigure("ravlin_client_call", best_call * 1000, "ms", 3);

    // Where the enumeration's time goes: walking the enumerator alone, then with the query for
    // IZorvaneChannel4_2 that every channel needs.
    for (int with_query = 0; with_query < 2; ++with_query) {
      double began = Seconds();
      comsupport::ComPtr<IZorvaneChannelCollection> channels;
      comsupport::ComPtr<IUnknown> unknown;
      if (SUCCEEDED(application->get_Channels(channels.put())) && SUCCEEDED(channels->get__NewEnum(unknown.put()))) {
        comsupport::ComPtr<IEnumVARIANT> each = unknown.As<IEnumVARIANT>();
        VARIANT items[32];
        ULONG fetched = 0;
        while (each && SUCCEEDED(each->Next(32, items, &fetched)) && fetched > 0) {
          for (ULONG i = 0; i < fetched; ++i) {
            if (with_query && items[i].vt == VT_DISPATCH) {
              comsupport::ComPtr<IZorvaneChannel4_2> channel =
                  comsupport::ComPtr<IDispatch>(items[i].pdispVal).As<IZorvaneChannel4_2>();
            }
            ::VariantClear(&items[i]);
          }
          if (fetched < 32) break;
        }
      }
      PrintFigure(with_query ? "ravlin_enumerate_walk_and_query" : "ravlin_enumerate_walk", (Seconds() - began) * 1000, "ms");
    }

    double best_enumeration = 1e9;
    long count = 0;
    for (int round = 0; round < kRounds; ++round) {
      double began = Seconds();
      ICHANNELINFOLIST* list = ZREnumerateChannels();
      double elapsed = Seconds() - began;
      if (!list) {
        std::fprintf(stderr, "ZREnumerateChannels gave no list\n");
        result = 4;
        break;
      }
      count = list->GetCount();
      list->Release();
      best_enumeration = std::min(best_enumeration, elapsed);
    }
    if (result == 0) {
      PrintFigure("ravlin_enumerate_channels", count, "channels", 0);
      PrintFigure("ravlin_enumerate_1000_channels", best_enumeration * 1000, "ms");
      double per_channel = best_enumeration / std::max(count, 1L);
      PrintFigure("ravlin_enumerate_per_channel", per_channel * 1000, "ms", 3);
      PrintFigure("ravlin_enumerate_per_channel_in_calls", per_channel / best_call, "calls");
    }
    RavlinDeinitialize();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench failed: %s\n", error.what());
    result = 5;
  }
  ::OleUninitialize();
  return result;
}
