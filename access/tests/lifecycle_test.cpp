// Starting and stopping the library: counted starts, the library thread's end, a start after
// a full stop, a start without a client, and the client's shutdown.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "comsupport/bstr.h"
#include "ravlin_test_support.h"
#include "testing/machine_state.h"
#include "testing/registry.h"

namespace {

using comsupport::Bstr;
using ravlin_tests::JournalLines;
using ravlin_tests::LibraryWindow;
using ravlin_tests::Recorder;
using ravlin_tests::TakeNotes;
using ravlin_tests::WaitForNotes;
using testing::Contains;
using testing::ElementsAre;
using testing::IsEmpty;
using testing_support::StandinClient;

constexpr char kClientClassKey[] = "CLSID\\{53FCF358-5323-11D0-A864-0000B43699FC}";

std::string Handlers(const StandinClient& standin) {
  Bstr lines;
  StandinClient::Check(standin.control()->get_Handlers(lines.put()), "reading the handlers");
  return lines.Ansi();
}

bool AskRestrictions() {
  unsigned long restrictions = 99;
  return ZRGetWorkgroupRestrictions(&restrictions) == 1 && restrictions == 0;
}

TEST(Lifecycle, TwoStartsAndOneStopKeepItRunningTheSecondStopEndsIt) {
  ravlin_tests::PinnedStandin standin(ravlin_tests::ExampleFixture());
  ASSERT_EQ(1, RavlinInitialize(1));
  ASSERT_EQ(1, RavlinInitialize(1));
  HWND window = LibraryWindow();
  ASSERT_TRUE(window);
  EXPECT_FALSE(::IsWindowVisible(window));
  EXPECT_NE(::GetCurrentThreadId(), ::GetWindowThreadProcessId(window, nullptr));
  EXPECT_EQ(0x02CF0000u, static_cast<DWORD>(::GetWindowLongA(window, GWL_STYLE)) & 0x02CF0000u);
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(::GetModuleHandleA("Ravlin.dll")), ::GetWindowLongPtrA(window, GWLP_HINSTANCE));
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(::GetStockObject(BLACK_BRUSH)), ::GetClassLongPtrA(window, GCLP_HBRBACKGROUND));
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW))),
            ::GetClassLongPtrA(window, GCLP_HCURSOR));

  RavlinDeinitialize();
  EXPECT_EQ(window, LibraryWindow());
  EXPECT_TRUE(AskRestrictions());
  standin.ClearJournal();
  EXPECT_EQ(1, ZRGlobalOptions(nullptr));
  EXPECT_THAT(JournalLines(standin), ElementsAre("Application.get_Setup()", "Setup.ShowSetupDialog(0)"));

  DWORD began = ::GetTickCount();
  RavlinDeinitialize();
  EXPECT_LT(::GetTickCount() - began, 30000u);
  EXPECT_FALSE(LibraryWindow());
  // The sink's registrations went with the thread.
  EXPECT_EQ("", Handlers(standin));
  EXPECT_EQ(0, ZRGlobalOptions(nullptr));
}

// The revocations of the library thread's end, in its order, by their objects.
std::vector<std::string> Revocations(const StandinClient& standin) {
  std::vector<std::string> objects;
  for (const std::string& line : JournalLines(standin)) {
    size_t at = line.find(".RevokeNotificationHandler(");
    if (at != std::string::npos) objects.push_back(line.substr(0, at));
  }
  return objects;
}

TEST(Lifecycle, TheEndRevokesEveryRegistrationInOrder) {
  ravlin_tests::PinnedStandin standin(ravlin_tests::ExampleFixture());
  ASSERT_EQ(1, RavlinInitialize(1));
  standin.ClearJournal();
  RavlinDeinitialize();
  EXPECT_THAT(Revocations(standin), ElementsAre("Channels", "AllStories", "Entries", "Setup", "Application"));
}

TEST(Lifecycle, ASourceThatCannotBeHadIsSkipped) {
  ravlin_tests::PinnedStandin standin(ravlin_tests::ExampleFixture());
  for (const char* member : {"Application.get_Channels", "Directory.get_Entries"})
    StandinClient::Check(standin.control()->FailMember(Bstr(std::string(member)).get(), E_FAIL, 0), member);
  ASSERT_EQ(1, RavlinInitialize(1));
  std::vector<std::string> sources;
  std::istringstream lines(Handlers(standin));
  for (std::string line; std::getline(lines, line);) sources.push_back(line.substr(0, line.find(' ')));
  EXPECT_THAT(sources, testing::UnorderedElementsAre("application", "stories", "setup"));
  // The skipped ones are not revoked either.
  standin.ClearJournal();
  RavlinDeinitialize();
  EXPECT_THAT(Revocations(standin), ElementsAre("AllStories", "Setup", "Application"));
}

TEST(Lifecycle, NoCallbackCanBeRegisteredOutsideAStart) {
  ravlin_tests::PinnedStandin standin(ravlin_tests::ExampleFixture());
  EXPECT_EQ(0, ZRRegisterNotificationCallback(0xFFFFFFFF, ravlin_tests::RecordingCallback(Recorder::First)));
  EXPECT_EQ("", Handlers(standin));
  // The start that follows registers its own sink with the client.
  ASSERT_EQ(1, RavlinInitialize(1));
  EXPECT_NE("", Handlers(standin));
  ravlin_tests::ClearNotes();
  ASSERT_EQ(1, ZRRegisterNotificationCallback(0xFFFFFFFF, ravlin_tests::RecordingCallback(Recorder::First)));
  StandinClient::Check(standin.control()->DeleteChannel(9), "deleting a channel");
  EXPECT_THAT(WaitForNotes(Recorder::First, 1), ElementsAre("CHANNEL_DELETED id=9"));
  RavlinDeinitialize();
}

TEST(Lifecycle, AStopLeavesTheApartmentOfAThreadTheLibraryDidNotOpen) {
  ravlin_tests::PinnedStandin standin(ravlin_tests::ExampleFixture());
  ASSERT_EQ(1, RavlinInitialize(1));
  // Another thread calls the client: the library opens that thread's apartment.
  bool asked = false;
  std::thread worker([&] { asked = AskRestrictions(); });
  worker.join();
  EXPECT_TRUE(asked);
  // This thread never called the client through the library: its apartment stays open.
  RavlinDeinitialize();
  EXPECT_NE("", standin.Journal());
  comsupport::ComPtr<IZorvane4> application = standin.Application();
  EXPECT_TRUE(application);
}

TEST(Lifecycle, AStartAfterAFullStopWorksAgain) {
  ravlin_tests::PinnedStandin standin(ravlin_tests::ExampleFixture());
  ASSERT_EQ(1, RavlinInitialize(1));
  RavlinDeinitialize();
  ASSERT_TRUE(ravlin_tests::WaitForNoLibraryWindow(5000));
  // One stop too many changes nothing.
  RavlinDeinitialize();

  ASSERT_EQ(1, RavlinInitialize(1));
  EXPECT_TRUE(LibraryWindow());
  EXPECT_NE("", Handlers(standin));
  EXPECT_TRUE(AskRestrictions());
  ravlin_tests::ClearNotes();
  ASSERT_EQ(1, ZRRegisterNotificationCallback(0xFFFFFFFF, ravlin_tests::RecordingCallback(Recorder::First)));
  StandinClient::Check(standin.control()->DeleteChannel(9), "deleting a channel");
  EXPECT_THAT(WaitForNotes(Recorder::First, 1), ElementsAre("CHANNEL_DELETED id=9"));
  RavlinDeinitialize();
  EXPECT_FALSE(LibraryWindow());
}

TEST(Lifecycle, WithoutAClientTheStartFailsAtOnceAndALaterStartWorks) {
  {
    testing_support::RegistryRestore restore(HKEY_CLASSES_ROOT, kClientClassKey);
    testing_support::DeleteTree(HKEY_CLASSES_ROOT, kClientClassKey);
    DWORD began = ::GetTickCount();
    EXPECT_EQ(0, RavlinInitialize(1));
    EXPECT_LT(::GetTickCount() - began, 20000u);
    EXPECT_TRUE(ravlin_tests::WaitForNoLibraryWindow(5000));
    EXPECT_EQ(0, ZRGlobalOptions(nullptr));
  }
  ravlin_tests::PinnedStandin standin(ravlin_tests::ExampleFixture());
  ASSERT_EQ(1, RavlinInitialize(1));
  EXPECT_TRUE(AskRestrictions());
  RavlinDeinitialize();
}

TEST(Lifecycle, ClientShutdownIsToldAndLaterShutdownCallbacksAreToldAtOnce) {
  ravlin_tests::ClearNotes();
  {
    ravlin_tests::PinnedStandin standin(ravlin_tests::ExampleFixture());
    ASSERT_EQ(1, RavlinInitialize(1));
    ASSERT_EQ(1, ZRRegisterNotificationCallback(0xFFFFFFFF, ravlin_tests::RecordingCallback(Recorder::First)));
    ASSERT_TRUE(standin.Stop());
    EXPECT_THAT(WaitForNotes(Recorder::First, 1), Contains("CLIENT_SHUTDOWN"));

    DWORD began = ::GetTickCount();
    EXPECT_FALSE(AskRestrictions());
    EXPECT_EQ(0, ZRGlobalOptions(nullptr));
    EXPECT_LT(::GetTickCount() - began, 2000u);

    // Told at once, on this thread, and not registered.
    EXPECT_EQ(0, ZRRegisterNotificationCallback(ZRNOTIFY_CLIENT_SHUTDOWN, ravlin_tests::RecordingCallback(Recorder::Second)));
    EXPECT_THAT(TakeNotes(Recorder::Second), ElementsAre("CLIENT_SHUTDOWN"));
    EXPECT_EQ(0, ZRUnRegisterNotificationCallback(ravlin_tests::RecordingCallback(Recorder::Second)));
    // A wider mask is not told at once.
    ZRRegisterNotificationCallback(ZRNOTIFY_CLIENT_SHUTDOWN | ZRNOTIFY_CHANNEL_ADDED,
                                   ravlin_tests::RecordingCallback(Recorder::Third));
    EXPECT_THAT(TakeNotes(Recorder::Third), IsEmpty());
    RavlinDeinitialize();
  }
  // A new start clears the client's departure.
  ravlin_tests::PinnedStandin standin(ravlin_tests::ExampleFixture());
  ASSERT_EQ(1, RavlinInitialize(1));
  EXPECT_TRUE(AskRestrictions());
  RavlinDeinitialize();
}

}  // namespace
