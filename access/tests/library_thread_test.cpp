// Commands on the library thread (mode 1): a dialog runs there while the calling thread keeps
// dispatching its own messages; callers on several threads at once each get their own
// command's end; a record posted by anyone has its named event set; a command after the thread
// has ended fails within a bounded time; the keep-alive notices a client that died; ZRShutdown
// ends the client.
#include "operations_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "comsupport/unique_handle.h"

namespace {

using ravlin_tests::BoxPresser;
using ravlin_tests::LibraryWindow;
using ravlin_tests::OperationsTest;
using ravlin_tests::Recorder;
using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;

class LibraryThreadCommands : public OperationsTest {};

constexpr DWORD kNoSuchOpcode = 0xFFFF;

// A window of the test's thread that counts the timer messages it receives.
class TickingWindow {
 public:
  TickingWindow() {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = Procedure;
    window_class.hInstance = ::GetModuleHandleA(nullptr);
    window_class.lpszClassName = "RavlinTestTicker";
    ::RegisterClassA(&window_class);
    window_ = ::CreateWindowExA(0, window_class.lpszClassName, "ticker", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                nullptr, window_class.hInstance, nullptr);
    if (window_) ::SetTimer(window_, 1, 50, nullptr);
  }
  ~TickingWindow() {
    if (window_) ::DestroyWindow(window_);
  }
  HWND window() const { return window_; }
  static long ticks() { return ticks_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_TIMER) ::InterlockedIncrement(&ticks_);
    return ::DefWindowProcA(window, message, wparam, lparam);
  }
  HWND window_ = nullptr;
  static inline volatile LONG ticks_ = 0;
};

// Waits until the ticker has counted some more ticks: the test's thread is dispatching.
void WaitForTicks(long count) {
  long first = TickingWindow::ticks();
  for (int i = 0; i < 100 && TickingWindow::ticks() - first < count; ++i) ::Sleep(50);
}

TEST_F(LibraryThreadCommands, AQuestionRunsOnTheLibraryThreadWhileTheCallerDispatches) {
  TickingWindow ticker;
  ASSERT_TRUE(ticker.window());
  long ticks_seen = 0;
  // Channel 9 did not come from the directory: the user is asked before it is deleted.
  BoxPresser presser("Zorvane", "Yes", [&] {
    long before = TickingWindow::ticks();
    WaitForTicks(3);
    ticks_seen = TickingWindow::ticks() - before;
  });
  EXPECT_EQ(1, ZRUnsubscribeToSubscribedChannel(ticker.window(), 9));
  BoxPresser::Seen seen = presser.Join();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ("Unsubscribe from 'News'?", seen.contents.message);
  EXPECT_EQ(testing_support::DialogIcon::Question, seen.contents.icon);
  EXPECT_THAT(seen.contents.buttons, ElementsAre("Yes", "No"));
  EXPECT_EQ(::GetWindowThreadProcessId(LibraryWindow(), nullptr), seen.thread);
  EXPECT_NE(::GetCurrentThreadId(), seen.thread);
  EXPECT_EQ(ticker.window(), seen.owner);
  EXPECT_GE(ticks_seen, 3);
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Channels()", "Channels.get_Item(9)", "Channel[9].get_DirectoryEntry()",
                                     "Channel[9].get_Name()", "Channel[9].Delete()"));
}

TEST_F(LibraryThreadCommands, CommandsComeBackAsSoonAsTheyHaveRun) {
  // A wake-up missed by the waiting thread would cost a 10-second slice each time.
  DWORD began = ::GetTickCount();
  for (int i = 0; i < 20; ++i) ASSERT_EQ(1, ZRGlobalOptions(nullptr));
  EXPECT_LT(::GetTickCount() - began, 8000u);
}

TEST_F(LibraryThreadCommands, CommandsOfSeveralThreadsAtOnceEachComeBackAfterTheirOwnHasRun) {
  // A caller woken by another caller's command would come back with the result still 0.
  constexpr int kThreads = 4, kEach = 10;
  std::atomic<int> succeeded{0};
  std::vector<std::thread> callers;
  for (int t = 0; t < kThreads; ++t) {
    callers.emplace_back([&succeeded, t] {
      HWND parent = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1000 + t));
      for (int i = 0; i < kEach; ++i) succeeded += ZRGlobalOptions(parent);
    });
  }
  for (std::thread& caller : callers) caller.join();
  EXPECT_EQ(kThreads * kEach, succeeded.load());
  std::vector<std::string> journal = Journal();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(kEach, std::count(journal.begin(), journal.end(), "Setup.ShowSetupDialog(" + std::to_string(0x1000 + t) + ")"))
        << "parent " << t;
  }
}

TEST_F(LibraryThreadCommands, ARecordPostedByAnyoneElseHasTheEventItNamesSet) {
  // Not a command of this library's own callers: the executor finds the event by its name.
  char name[32];
  std::snprintf(name, sizeof name, "RAVLIN_TEST%08x", static_cast<unsigned>(::GetCurrentProcessId()));
  comsupport::UniqueHandle event(::CreateEventA(nullptr, FALSE, FALSE, name));
  ASSERT_TRUE(event);
  RavlinCommand record = {};
  record.opcode = kNoSuchOpcode;
  record.result = 7;
  std::strcpy(record.event_name, name);
  ASSERT_TRUE(::PostMessageA(LibraryWindow(), ::RegisterWindowMessageA("RAVLIN_SUBSCRIBE"), 0,
                             reinterpret_cast<LPARAM>(&record)));
  ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(event.get(), 10000));
  EXPECT_EQ(0, record.result);
}

TEST_F(LibraryThreadCommands, AQuitMessageOfTheCallerStaysQueued) {
  ::PostQuitMessage(3);
  EXPECT_EQ(1, ZRGlobalOptions(nullptr));
  MSG message;
  ASSERT_TRUE(::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(3, static_cast<int>(message.wParam));
}

TEST_F(LibraryThreadCommands, AnsweringNoDeletesNothing) {
  BoxPresser presser("Zorvane", "No");
  EXPECT_EQ(0, ZRUnsubscribeToSubscribedChannel(nullptr, 9));
  ASSERT_TRUE(presser.Join().found);
  EXPECT_THAT(Journal(), Not(Contains("Channel[9].Delete()")));
}

TEST_F(LibraryThreadCommands, ANameHoldingFormatCharactersIsShownAsItIs) {
  ChangeChannel(9, R"({"name": "100% %s %d"})");
  BoxPresser presser("Zorvane", "No");
  ZRUnsubscribeToSubscribedChannel(nullptr, 9);
  BoxPresser::Seen seen = presser.Join();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ("Unsubscribe from '100% %s %d'?", seen.contents.message);
}

// Each of these has its own client and start: the client is killed or shut down.
TEST(LibraryThreadEnd, KeepAliveNoticesAClientThatNoLongerAnswersAndLaterCommandsFailInTime) {
  ravlin_tests::ClearNotes();
  ravlin_tests::PinnedStandin standin(ravlin_tests::ExampleFixture());
  ravlin_tests::StartedLibrary library;
  ASSERT_TRUE(library.started());
  ASSERT_EQ(1, ZRRegisterNotificationCallback(ZRNOTIFY_CLIENT_SHUTDOWN, ravlin_tests::RecordingCallback(Recorder::First)));
  // The keep-alive reads the client's name; a client that still runs but fails it counts as
  // gone (a killed one: client_death_test.cpp).
  testing_support::StandinClient::Check(
      standin.control()->FailMember(comsupport::Bstr(std::string("Application.get_Name")).get(),
                                    static_cast<HRESULT>(0x800706BA), 0),
      "failing the client's name");
  EXPECT_THAT(ravlin_tests::WaitForNotes(Recorder::First, 1, 40000), ElementsAre("CLIENT_SHUTDOWN"));
  EXPECT_TRUE(ravlin_tests::WaitForNoLibraryWindow(10000));
  DWORD began = ::GetTickCount();
  EXPECT_EQ(0, ZRGlobalOptions(nullptr));
  int approved = 1;
  EXPECT_EQ(0, ZRAuthenticateVessik(nullptr, 7, 5001, &approved));
  EXPECT_EQ(0, approved);
  EXPECT_LT(::GetTickCount() - began, 2000u);
  // Still started: another start is refused, the library has no client.
  EXPECT_EQ(0, RavlinInitialize(1));
}

TEST(LibraryThreadEnd, AfterTheKeepAliveEndedTheThreadANewStartHearsTheClientAgain) {
  ravlin_tests::ClearNotes();
  ravlin_tests::PinnedStandin standin(ravlin_tests::ExampleFixture());
  ASSERT_EQ(1, RavlinInitialize(1));
  ASSERT_EQ(1, ZRRegisterNotificationCallback(ZRNOTIFY_CLIENT_SHUTDOWN, ravlin_tests::RecordingCallback(Recorder::First)));
  const comsupport::Bstr name_member(std::string("Application.get_Name"));
  testing_support::StandinClient::Check(
      standin.control()->FailMember(name_member.get(), static_cast<HRESULT>(0x800706BA), 0), "failing the name");
  EXPECT_THAT(ravlin_tests::WaitForNotes(Recorder::First, 1, 40000), ElementsAre("CLIENT_SHUTDOWN"));
  ASSERT_TRUE(ravlin_tests::WaitForNoLibraryWindow(10000));
  // No library thread to receive them: refused, and nothing is left for the next start.
  EXPECT_EQ(0, ZRRegisterNotificationCallback(0xFFFFFFFF, ravlin_tests::RecordingCallback(Recorder::Second)));
  RavlinDeinitialize();

  testing_support::StandinClient::Check(standin.control()->ClearFailures(), "clearing the failures");
  ASSERT_EQ(1, RavlinInitialize(1));
  ASSERT_EQ(1, ZRRegisterNotificationCallback(0xFFFFFFFF, ravlin_tests::RecordingCallback(Recorder::Second)));
  testing_support::StandinClient::Check(standin.control()->DeleteChannel(9), "deleting a channel");
  EXPECT_THAT(ravlin_tests::WaitForNotes(Recorder::Second, 1), ElementsAre("CHANNEL_DELETED id=9"));
  RavlinDeinitialize();
}

TEST(LibraryThreadEnd, ShutdownAsksTheClientToEnd) {
  ravlin_tests::ClearNotes();
  ravlin_tests::PinnedStandin standin(ravlin_tests::ExampleFixture());
  ravlin_tests::StartedLibrary library;
  ASSERT_TRUE(library.started());
  ASSERT_EQ(1, ZRRegisterNotificationCallback(ZRNOTIFY_CLIENT_SHUTDOWN, ravlin_tests::RecordingCallback(Recorder::First)));
  EXPECT_EQ(1, ZRShutdown());
  EXPECT_TRUE(standin.process().Wait(20000));
  EXPECT_THAT(ravlin_tests::WaitForNotes(Recorder::First, 1), Contains("CLIENT_SHUTDOWN"));
  EXPECT_EQ(0, ZRShutdown());
}

}  // namespace
