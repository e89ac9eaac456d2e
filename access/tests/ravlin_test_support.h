// Shared by Ravlin's tests: the stand-in with the example fixture, a started library, the
// client calls journal without the keep-alive's lines, and callbacks that write down every
// notification they receive as a line of text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ravlin/ravlin.h"
#include "comsupport/com_ptr.h"
#include "testing/standin_client.h"

namespace ravlin_tests {

std::string ExampleFixture();

// The stand-in, with one object of each of its interfaces held for as long as it runs.
//
// Wine's COM server can deadlock when a client's release takes the last stub of an
// interface away right after a call on that interface (its RPC interface is unregistered
// with a wait that can miss the call's end, and the server's apartment then waits for ever).
// With one stub per interface held here the registrations never drop to zero.
class PinnedStandin : public testing_support::StandinClient {
 public:
  explicit PinnedStandin(const std::string& fixture_json);
  ~PinnedStandin();
  // Lets the pins go; call when no other thread calls the client (the library stopped).
  void Unpin() { pins_.clear(); }

 private:
  std::vector<comsupport::ComPtr<IUnknown>> pins_;
};

// The journal's lines, without "Application.get_Name()" (the library thread's keep-alive).
std::vector<std::string> JournalLines(const testing_support::StandinClient& standin);

// One RavlinInitialize, and its RavlinDeinitialize when it goes.
class StartedLibrary {
 public:
  StartedLibrary() : started_(RavlinInitialize(1)) {}
  ~StartedLibrary() {
    if (started_) RavlinDeinitialize();
  }
  StartedLibrary(const StartedLibrary&) = delete;
  StartedLibrary& operator=(const StartedLibrary&) = delete;
  bool started() const { return started_ != 0; }

 private:
  int started_;
};

// The library thread's hidden window, or null when none exists.
HWND LibraryWindow();
// Waits until the hidden window is gone; false after timeout_ms.
bool WaitForNoLibraryWindow(DWORD timeout_ms);

// "STORY_READ id=7 story=1001", "CHANNEL_ADDED id=12 name=\"Sport\"", "STORIES_DELETED id=7
// list=[1,2]": the kind's name, then each argument that is not 0 (name whenever it is not null).
std::string NotificationText(ZRNOTIFICATION_TYPES kind, const char* name, DWORD id, const char* text2, DWORD vessik,
                             DWORD story, DWORD list);

// What the recording callbacks received, in order. Each callback writes into its own list;
// the lists are shared by every thread (callbacks run on the library thread).
enum class Recorder { First, Second, Third };
std::vector<std::string> TakeNotes(Recorder recorder);
void ClearNotes();
// Which recorder was called, in the order of the calls, over all recorders (taken).
std::vector<Recorder> TakeCallOrder();
// Waits until the recorder holds at least count notes; returns them (taken).
std::vector<std::string> WaitForNotes(Recorder recorder, size_t count, DWORD timeout_ms = 10000);

ZRNOTIFICATION_CALLBACK RecordingCallback(Recorder recorder);
// Raises a structured exception after writing its note into the first recorder's list.
ZRNOTIFICATION_CALLBACK FaultingCallback();

}  // namespace ravlin_tests
