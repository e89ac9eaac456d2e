// The client dies under the running library: the keep-alive tells the callbacks, the library
// thread ends, and later commands, on either side, fail without hanging. The stand-in is killed
// for real, so this program runs in a prefix of its own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ravlin_test_support.h"

namespace {

using ravlin_tests::Recorder;
using testing::ElementsAre;

TEST(ClientDeath, TheKeepAliveNoticesAKilledClientAndLaterCommandsFailInTime) {
  ravlin_tests::ClearNotes();
  ravlin_tests::PinnedStandin standin(ravlin_tests::ExampleFixture());
  ravlin_tests::StartedLibrary library;
  ASSERT_TRUE(library.started());
  ASSERT_EQ(1, ZRRegisterNotificationCallback(ZRNOTIFY_CLIENT_SHUTDOWN, ravlin_tests::RecordingCallback(Recorder::First)));
  // This thread gets its own client pointer before the client goes.
  int enabled = 0;
  ASSERT_EQ(1, ZRGetDownloadEnabled(&enabled));

  standin.process().Terminate();
  ASSERT_TRUE(standin.process().Wait(0));
  EXPECT_THAT(ravlin_tests::WaitForNotes(Recorder::First, 1, 40000), ElementsAre("CLIENT_SHUTDOWN"));
  EXPECT_TRUE(ravlin_tests::WaitForNoLibraryWindow(10000));

  DWORD began = ::GetTickCount();
  EXPECT_EQ(0, ZRGetDownloadEnabled(&enabled));   // this thread's pointer, to a dead server
  EXPECT_EQ(0, ZRGlobalOptions(nullptr));          // mode 1, and no library thread
  int approved = 1;
  EXPECT_EQ(0, ZRAuthenticateVessik(nullptr, 7, 5001, &approved));
  EXPECT_EQ(0, approved);
  EXPECT_LT(::GetTickCount() - began, 10000u);
  standin.Unpin();
}

}  // namespace
