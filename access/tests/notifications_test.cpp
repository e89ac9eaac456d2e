// From the client's events (raised by the stand-in) to the notifications the registered
// callbacks receive: every row of the table, the masks, and callbacks that misbehave.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "comsupport/bstr.h"
#include "ravlin_test_support.h"

namespace {

using comsupport::Bstr;
using ravlin_tests::Recorder;
using ravlin_tests::TakeNotes;
using ravlin_tests::WaitForNotes;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::UnorderedElementsAre;
using testing_support::StandinClient;

constexpr unsigned long kAll = 0xFFFFFFFF;

class Notifications : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library_.started());
    ravlin_tests::ClearNotes();
  }
  void TearDown() override {
    for (Recorder recorder : {Recorder::First, Recorder::Second, Recorder::Third})
      ZRUnRegisterNotificationCallback(ravlin_tests::RecordingCallback(recorder));
    ZRUnRegisterNotificationCallback(ravlin_tests::FaultingCallback());
  }
  IZorvaneStandinControl* control() { return standin_.control(); }
  void Check(HRESULT hr) { StandinClient::Check(hr, "the stand-in's control call"); }
  void Register(Recorder recorder, unsigned long mask = kAll) {
    ASSERT_EQ(1, ZRRegisterNotificationCallback(mask, ravlin_tests::RecordingCallback(recorder)));
  }
  // An event that always raises one notification, to show that nothing else came before it.
  void RaiseMarker() { Check(control()->DeleteEntry(301)); }
  const std::string kMarker = "DIRECTORY_ENTRY_DELETED id=301";

  ravlin_tests::PinnedStandin standin_{ravlin_tests::ExampleFixture()};
  ravlin_tests::StartedLibrary library_;
};

TEST_F(Notifications, SinkIsRegisteredWithEachSourceAndItsMask) {
  Bstr handlers;
  Check(control()->get_Handlers(handlers.put()));
  std::vector<std::string> lines;
  std::istringstream text(handlers.Ansi());
  for (std::string line; std::getline(text, line);) lines.push_back(line.substr(0, line.find(' ')) + line.substr(line.rfind(' ')));
  EXPECT_THAT(lines, UnorderedElementsAre("application 0x00000001", "channels 0x14411305", "stories 0x0000001F",
                                          "directory 0x1FFFFFFF", "setup 0x02000008"));
}

TEST_F(Notifications, ChannelAddedCarriesNameAndIdAndDeletedTheId) {
  Register(Recorder::First);
  Check(control()->AddChannel(Bstr(L"{\"id\": 12, \"name\": \"Sport\"}").get()));
  Check(control()->DeleteChannel(12));
  EXPECT_THAT(WaitForNotes(Recorder::First, 2),
              ElementsAre("CHANNEL_ADDED id=12 name=\"Sport\"", "CHANNEL_DELETED id=12"));
}

TEST_F(Notifications, ChannelChangedRaisesEveryMatchingRowInTableOrder) {
  Register(Recorder::First);
  // Every bit the sink asked for, on a channel whose flags say it is to be deleted.
  Check(control()->ChangeChannel(7, Bstr(L"{\"flags\": 1028}").get(), 0x14411305));
  EXPECT_THAT(WaitForNotes(Recorder::First, 9),
              ElementsAre("CHANNEL_DELETED id=7", "CHANNEL_STATE_CHANGED id=7 name=\"\"",
                          "CHANNEL_ACTIVE_CHANGED id=7 name=\"\"", "CHANNEL_LOGO_CHANGED id=7 name=\"\"",
                          "CHANNEL_CATEGORY_CHANGED id=7 name=\"\"", "CHANNEL_NAME_CHANGED id=7 name=\"\"",
                          "CHANNEL_CONTENT_CHANGED id=7 name=\"\"", "CHANNEL_FLAGS_CHANGED id=7 name=\"\"",
                          "STORY_COUNTER_CHANGED id=7 name=\"\""));
}

TEST_F(Notifications, ChannelChangedRowsByTheirOwnBits) {
  Register(Recorder::First);
  // To be deleted, but the channel's flags do not say so: nothing.
  Check(control()->ChangeChannel(7, Bstr(L"{}").get(), 0x1000));
  Check(control()->ChangeChannel(7, Bstr(L"{}").get(), 0x100));
  Check(control()->ChangeChannel(7, Bstr(L"{}").get(), 0x400000));
  Check(control()->ChangeChannel(9, Bstr(L"{}").get(), 0x200 | 0x1));
  EXPECT_THAT(WaitForNotes(Recorder::First, 5),
              ElementsAre("CHANNEL_STATE_CHANGED id=7 name=\"\"", "CHANNEL_STATE_CHANGED id=7 name=\"\"",
                          "CHANNEL_FLAGS_CHANGED id=7 name=\"\"", "CHANNEL_NAME_CHANGED id=9 name=\"\"",
                          "STORY_COUNTER_CHANGED id=9 name=\"\""));
}

TEST_F(Notifications, StoriesAddedRaiseOneNotificationPerStory) {
  Register(Recorder::First);
  Check(control()->AddStories(7, Bstr(L"[{\"id\": 1101}, {\"id\": 1102}]").get(), 1));
  Check(control()->AddStories(9, Bstr(L"[{\"id\": 2101}]").get(), 0));
  EXPECT_THAT(WaitForNotes(Recorder::First, 3),
              ElementsAre("STORIES_ADDED id=7 story=1101", "STORIES_ADDED id=7 story=1102",
                          "STORIES_ADDED id=9 story=2101"));
}

TEST_F(Notifications, StoriesDeletedPassASingleIdOrOneList) {
  Register(Recorder::First);
  Check(control()->DeleteStories(7, Bstr(L"[1001]").get(), 0));
  EXPECT_THAT(WaitForNotes(Recorder::First, 1), ElementsAre("STORIES_DELETED id=7 story=1001"));
  Check(control()->AddStories(7, Bstr(L"[{\"id\": 1101}, {\"id\": 1102}, {\"id\": 1103}]").get(), 1));
  WaitForNotes(Recorder::First, 3);
  Check(control()->DeleteStories(7, Bstr(L"[1101, 1102]").get(), 1));
  // By reference, the same.
  Check(control()->DeleteStories(7, Bstr(L"[1103]").get(), 2));
  EXPECT_THAT(WaitForNotes(Recorder::First, 2),
              ElementsAre("STORIES_DELETED id=7 list=[1101,1102]", "STORIES_DELETED id=7 list=[1103]"));
}

TEST_F(Notifications, StoryIdsOfAnotherFormRaiseNothing) {
  Register(Recorder::First);
  // An array of VARIANTs is not an array of 4-byte ids.
  Check(control()->DeleteStories(7, Bstr(L"[1001, 1002]").get(), 3));
  Check(control()->ChangeStories(9, Bstr(L"[{\"id\": 2001}]").get(), 0x1, 3));
  RaiseMarker();
  EXPECT_THAT(WaitForNotes(Recorder::First, 1), ElementsAre(kMarker));
}

TEST_F(Notifications, StoriesChangedRaiseOneKindPerBitInOrder) {
  Register(Recorder::First);
  Check(control()->ChangeStories(7, Bstr(L"[{\"id\": 1001}]").get(), 0x5, 0));
  EXPECT_THAT(WaitForNotes(Recorder::First, 2),
              ElementsAre("STORY_READ id=7 story=1001", "STORY_DOWNLOADED id=7 story=1001"));
  Check(control()->ChangeStories(7, Bstr(L"[{\"id\": 1001}, {\"id\": 1002}]").get(), 0x1F, 2));
  EXPECT_THAT(WaitForNotes(Recorder::First, 5),
              ElementsAre("STORY_READ id=7 list=[1001,1002]", "STORY_UNREAD id=7 list=[1001,1002]",
                          "STORY_DOWNLOADED id=7 list=[1001,1002]", "STORY_KEPT id=7 list=[1001,1002]",
                          "STORY_UNKEPT id=7 list=[1001,1002]"));
}

TEST_F(Notifications, StoriesChangedWithAllBitsRaiseNothing) {
  Register(Recorder::First);
  Check(control()->ChangeStories(7, Bstr(L"[{\"id\": 1001}]").get(), 0x1FFFFFFF, 0));
  RaiseMarker();
  EXPECT_THAT(WaitForNotes(Recorder::First, 1), ElementsAre(kMarker));
}

TEST_F(Notifications, DirectoryEntriesAddedChangedAndDeleted) {
  Register(Recorder::First);
  Check(control()->AddEntry(Bstr(L"{\"id\": 303, \"name\": \"Films\"}").get()));
  Check(control()->ChangeEntry(302, Bstr(L"{}").get(), 0x4000000));
  Check(control()->ChangeEntry(302, Bstr(L"{}").get(), 0x8000000));
  // Subscribed together with another bit is a plain change.
  Check(control()->ChangeEntry(302, Bstr(L"{}").get(), 0x4000001));
  Check(control()->DeleteEntry(303));
  EXPECT_THAT(WaitForNotes(Recorder::First, 5),
              ElementsAre("DIRECTORY_ENTRY_ADDED id=303", "DIRECTORY_ENTRY_SUBSCRIBED id=302",
                          "DIRECTORY_ENTRY_UNSUBSCRIBED id=302", "DIRECTORY_ENTRY_CHANGED id=302",
                          "DIRECTORY_ENTRY_DELETED id=303"));
}

TEST_F(Notifications, SetupChangedOnlyForExactlyOneDownloadBit) {
  Register(Recorder::First);
  Check(control()->ChangeSettings(Bstr(L"{}").get(), 0x8));
  Check(control()->ChangeSettings(Bstr(L"{}").get(), 0x2000000));
  Check(control()->ChangeSettings(Bstr(L"{}").get(), 0x2000008));
  RaiseMarker();
  EXPECT_THAT(WaitForNotes(Recorder::First, 3),
              ElementsAre("DOWNLOAD_ENABLED_CHANGED", "DOWNLOAD_ENABLED_CHANGED", kMarker));
}

TEST_F(Notifications, CallbacksHearOnlyKindsOfTheirMask) {
  Register(Recorder::First, ZRNOTIFY_STORY_READ | ZRNOTIFY_DIRECTORY_ENTRY_DELETED);
  Register(Recorder::Second, ZRNOTIFY_STORY_DOWNLOADED);
  Check(control()->ChangeStories(7, Bstr(L"[{\"id\": 1001}]").get(), 0x5, 0));
  RaiseMarker();
  EXPECT_THAT(WaitForNotes(Recorder::First, 2), ElementsAre("STORY_READ id=7 story=1001", kMarker));
  EXPECT_THAT(TakeNotes(Recorder::Second), ElementsAre("STORY_DOWNLOADED id=7 story=1001"));
}

TEST_F(Notifications, RegisteringTwiceIsRefusedAndCallsOnce) {
  Register(Recorder::First);
  EXPECT_EQ(0, ZRRegisterNotificationCallback(kAll, ravlin_tests::RecordingCallback(Recorder::First)));
  RaiseMarker();
  EXPECT_THAT(WaitForNotes(Recorder::First, 1), ElementsAre(kMarker));
  ::Sleep(200);
  EXPECT_THAT(TakeNotes(Recorder::First), IsEmpty());

  EXPECT_EQ(1, ZRUnRegisterNotificationCallback(ravlin_tests::RecordingCallback(Recorder::First)));
  EXPECT_EQ(0, ZRUnRegisterNotificationCallback(ravlin_tests::RecordingCallback(Recorder::First)));
  EXPECT_EQ(0, ZRRegisterNotificationCallback(kAll, nullptr));
}

TEST_F(Notifications, CallbacksAreCalledInRegistrationOrder) {
  Register(Recorder::Third);
  Register(Recorder::First);
  Register(Recorder::Second);
  RaiseMarker();
  WaitForNotes(Recorder::Second, 1);
  EXPECT_THAT(ravlin_tests::TakeCallOrder(), ElementsAre(Recorder::Third, Recorder::First, Recorder::Second));
}

// Calls the library again from inside its notification, on the library thread: reads a channel
// record, then unregisters itself.
std::vector<std::string> reentered;
void Reentering(ZRNOTIFICATION_TYPES, const char*, DWORD, const char*, DWORD, DWORD, DWORD) {
  ICHANNELINFO* info = ZRGetChannelInfo(7);
  reentered.push_back(info ? info->GetName() : "none");
  if (info) info->Release();
  reentered.push_back(ZRUnRegisterNotificationCallback(Reentering) ? "unregistered" : "still registered");
}

TEST_F(Notifications, ACallbackMayCallTheLibraryAgain) {
  reentered.clear();
  ASSERT_EQ(1, ZRRegisterNotificationCallback(ZRNOTIFY_DIRECTORY_ENTRY_DELETED, Reentering));
  Register(Recorder::First);
  RaiseMarker();
  EXPECT_THAT(WaitForNotes(Recorder::First, 1), ElementsAre(kMarker));
  Check(control()->DeleteEntry(302));
  EXPECT_THAT(WaitForNotes(Recorder::First, 1), ElementsAre("DIRECTORY_ENTRY_DELETED id=302"));
  EXPECT_THAT(reentered, ElementsAre("Kelvane", "unregistered"));
}

TEST_F(Notifications, AFaultingCallbackDoesNotStopTheNext) {
  ASSERT_EQ(1, ZRRegisterNotificationCallback(kAll, ravlin_tests::FaultingCallback()));
  Register(Recorder::Second);
  Check(control()->DeleteChannel(9));
  EXPECT_THAT(WaitForNotes(Recorder::Second, 1), ElementsAre("CHANNEL_DELETED id=9"));
  EXPECT_THAT(TakeNotes(Recorder::First), ElementsAre("CHANNEL_DELETED id=9"));
  // The library thread lives on and tells both again.
  RaiseMarker();
  EXPECT_THAT(WaitForNotes(Recorder::Second, 1), ElementsAre(kMarker));
  EXPECT_THAT(TakeNotes(Recorder::First), ElementsAre(kMarker));
}

}  // namespace
