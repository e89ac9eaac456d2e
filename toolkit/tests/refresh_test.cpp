// From the client's changes to the subscribers: a stand-in event, the access library's
// callback, the refresh window's private message, the model's change on the window's thread,
// and the refresh message sent to windows of another thread, from the last subscriber to the
// first.
#include "model_fixture.h"

#include <thread>

#include "comsupport/bstr.h"
#include "comsupport/unique_handle.h"
#include "subscriber_windows.h"

namespace vinnet_tests {
namespace {

using comsupport::Bstr;
using testing::ElementsAre;
using testing::IsEmpty;

constexpr long kAlerts = static_cast<long>(VINNET_ALERTS_CHANNEL_ID);
const std::string kAlertsText = std::to_string(VINNET_ALERTS_CHANNEL_ID);

class Refresh : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    ASSERT_EQ(1, Vinnet_Initialize());
    windows_ = std::make_unique<SubscriberWindows>(std::vector<std::string>{"A", "B"});
    CServicesSubscribeNotifications(windows_->Window("A"));
    CServicesSubscribeNotifications(windows_->Window("B"));
  }
  void TearDown() override {
    CServicesUnsubscribeNotifications(windows_->Window("A"));
    CServicesUnsubscribeNotifications(windows_->Window("B"));
    Vinnet_Uninitialize();
    windows_.reset();
  }

  void ChangeChannel(long id, const wchar_t* json, long events) { Check(control()->ChangeChannel(id, Bstr(json).get(), events)); }
  void ChangeStories(long id, const wchar_t* json, long events, long id_form = 0) {
    Check(control()->ChangeStories(id, Bstr(json).get(), events, id_form));
  }
  // Runs a check on the borrowed model.
  template <class Body>
  void WithModel(Body body) {
    CServices* model = GetCServices();
    ASSERT_NE(nullptr, model);
    body(*model);
    ReleaseCServices(model);
  }
  void Preload(std::initializer_list<const char*> ids) {
    CStringArray texts;
    for (const char* id : ids) texts.Add(id);
    WithModel([&](CServices& model) { model.PreloadServices(texts); });
  }
  // -1 when the story has no such attribute.
  long StoryAttribute(DWORD channel_id, DWORD story_id, const char* name) {
    long value = -1;
    WithModel([&](CServices& model) {
      if (!model.GetStoryAttribute(GetStoryID(channel_id, story_id).c_str(), name, value)) value = -1;
    });
    return value;
  }
  // The state change of a channel that the client raises, as a marker that nothing came before it.
  void RaiseMarker() { ChangeChannel(21, L"{}", 0x100); }
  const std::vector<std::string> kMarker = {"B CHANNEL_STATUS_CHANGED 21 0", "A CHANNEL_STATUS_CHANGED 21 0"};

  std::unique_ptr<SubscriberWindows> windows_;
};

TEST_F(Refresh, ContentChangeReloadsTheChannelAndTellsTheLastSubscriberFirst) {
  Preload({"9"});
  Check(control()->AddStories(9, Bstr(L"[{\"id\": 907, \"title\": \"Fresh\"}]").get(), 0));
  ChangeChannel(9, L"{\"name\": \"World News\"}", 0x10000000);
  EXPECT_THAT(windows_->Wait(2), ElementsAre("B CHANNEL_UPDATED 9 0", "A CHANNEL_UPDATED 9 0"));
  WithModel([](CServices& model) {
    CService* news = model.GetServiceByID(9);
    EXPECT_EQ("World News", news->GetDisplayName());
    EXPECT_EQ(7, news->GetNoStories());
    EXPECT_EQ(6, news->GetStoryIndex(907));
  });
}

TEST_F(Refresh, ChannelChangesReReadTheRecord) {
  ChangeChannel(9, L"{\"logoFile\": \"C:\\\\logos\\\\new.bmp\"}", 0x4000000);
  ChangeChannel(9, L"{\"categories\": [\"Papers\"]}", 0x10000);
  ChangeChannel(7, L"{\"name\": \"Kelvane Updates\"}", 0x1);
  EXPECT_THAT(windows_->Wait(6),
              ElementsAre("B CHANNEL_ATTRIBUTE_CHANGED 9 0", "A CHANNEL_ATTRIBUTE_CHANGED 9 0",
                          "B CHANNEL_ATTRIBUTE_CHANGED 9 0", "A CHANNEL_ATTRIBUTE_CHANGED 9 0",
                          "B CHANNEL_ATTRIBUTE_CHANGED 7 0", "A CHANNEL_ATTRIBUTE_CHANGED 7 0"));
  ChangeChannel(9, L"{\"active\": false}", 0x4);
  ChangeChannel(20, L"{\"flags\": 1048576}", 0x400000);
  ChangeChannel(21, L"{}", 0x200);
  EXPECT_THAT(windows_->Wait(8),
              ElementsAre("B CHANNEL_ACTIVE_STATE_CHANGED 9 0", "A CHANNEL_ACTIVE_STATE_CHANGED 9 0",
                          // The flags bit is also a state change, raised first.
                          "B CHANNEL_STATUS_CHANGED 20 0", "A CHANNEL_STATUS_CHANGED 20 0",
                          "B CHANNEL_FLAGS_CHANGED 20 0", "A CHANNEL_FLAGS_CHANGED 20 0",
                          "B CHANNEL_COUNTER_CHANGED 21 0", "A CHANNEL_COUNTER_CHANGED 21 0"));
  WithModel([](CServices& model) {
    CService& news = *model.GetServiceByID(9);
    EXPECT_EQ("C:\\logos\\new.bmp", news.GetLogoBitmapFile());
    CString category;
    news.GetCategory(category, 0);
    EXPECT_EQ("Papers", category);
    EXPECT_EQ(0, news.IsEnabled());
    EXPECT_EQ("Kelvane Updates", model.GetServiceByID(7)->GetDisplayName());
    EXPECT_EQ(1, model.GetServiceByID(20)->ContainsSubChannels());
  });
}

TEST_F(Refresh, ChangesOfAChannelOutsideTheModelSendNothing) {
  std::string fixture = ModelFixture();
  const std::string nameless = "{ \"id\": 12, \"name\": \"\" }";
  fixture.replace(fixture.find(nameless), nameless.size(), "{ \"id\": 12, \"name\": \"Hidden\" }");
  Check(control()->LoadFixture(Bstr(fixture).get()));
  // Channel 12 exists for the client now, not in the model.
  ChangeChannel(12, L"{}", 0x10000000 | 0x100 | 0x1);
  RaiseMarker();
  EXPECT_THAT(windows_->Wait(2), testing::ContainerEq(kMarker));
}

TEST_F(Refresh, ChannelAddedAndDeletedCarryTheDirectoryEntry) {
  Check(control()->AddChannel(Bstr(L"{\"id\": 40, \"name\": \"Films\", \"directoryEntry\": 340}").get()));
  EXPECT_THAT(windows_->Wait(2), ElementsAre("B CHANNEL_ADDED 40 340", "A CHANNEL_ADDED 40 340"));
  WithModel([](CServices& model) {
    ASSERT_EQ(5, model.GetNoServices());
    EXPECT_EQ(40u, model.GetService(4)->GetServiceID());
    EXPECT_EQ("Films", model.GetService(4)->GetDisplayName());
  });
  Check(control()->DeleteChannel(40));
  EXPECT_THAT(windows_->Wait(2), ElementsAre("B CHANNEL_DELETED 40 340", "A CHANNEL_DELETED 40 340"));
  WithModel([](CServices& model) { EXPECT_EQ(nullptr, model.GetServiceByID(40)); });
  // A channel the model never had is not deleted again.
  Check(control()->DeleteChannel(12));
  RaiseMarker();
  EXPECT_THAT(windows_->Wait(2), testing::ContainerEq(kMarker));
}

TEST_F(Refresh, ChannelAddedThatTheModelHasSendsNothing) {
  std::string with_films = ModelFixture();
  with_films.insert(with_films.find("\"channels\": [") + 13, "{ \"id\": 40, \"name\": \"Films\" },");
  Check(control()->LoadFixture(Bstr(with_films).get()));
  WithModel([](CServices& model) { ASSERT_EQ(1, model.AddChannel(40, "Films")); });
  Check(control()->LoadFixture(Bstr(ModelFixture()).get()));
  Check(control()->AddChannel(Bstr(L"{\"id\": 40, \"name\": \"Films\"}").get()));
  RaiseMarker();
  EXPECT_THAT(windows_->Wait(2), testing::ContainerEq(kMarker));
  WithModel([](CServices& model) { EXPECT_EQ(5, model.GetNoServices()); });
}

TEST_F(Refresh, StoriesReadUnreadKeptAndUnkeptChangeTheModelsAttributes) {
  Preload({"9"});
  ChangeStories(9, L"[{\"id\": 901}, {\"id\": 906}]", 0x1, 1);
  EXPECT_THAT(windows_->Wait(2), ElementsAre("B STORIES_ATTRIBUTE_CHANGED 9 [901,906]",
                                             "A STORIES_ATTRIBUTE_CHANGED 9 [901,906]"));
  EXPECT_EQ(1, StoryAttribute(9, 901, "Read"));
  EXPECT_EQ(1, StoryAttribute(9, 906, "Read"));
  ChangeStories(9, L"[{\"id\": 902}]", 0x2);
  ChangeStories(9, L"[{\"id\": 903}]", 0x8);
  EXPECT_THAT(windows_->Wait(4), ElementsAre("B STORIES_ATTRIBUTE_CHANGED 9 [902]", "A STORIES_ATTRIBUTE_CHANGED 9 [902]",
                                             "B STORIES_ATTRIBUTE_CHANGED 9 [903]", "A STORIES_ATTRIBUTE_CHANGED 9 [903]"));
  EXPECT_EQ(0, StoryAttribute(9, 902, "Read"));
  EXPECT_EQ(1, StoryAttribute(9, 903, "Keep"));
  ChangeStories(9, L"[{\"id\": 903}]", 0x10);
  windows_->Wait(2);
  EXPECT_EQ(0, StoryAttribute(9, 903, "Keep"));
}

TEST_F(Refresh, DeletedStoriesLeaveTheModelAndTheListGoesOut) {
  Preload({"9"});
  Check(control()->DeleteStories(9, Bstr(L"[901, 902]").get(), 1));
  Check(control()->DeleteStories(9, Bstr(L"[904]").get(), 0));
  EXPECT_THAT(windows_->Wait(4), ElementsAre("B STORIES_DELETED 9 [901,902]", "A STORIES_DELETED 9 [901,902]",
                                             "B STORIES_DELETED 9 [904]", "A STORIES_DELETED 9 [904]"));
  WithModel([](CServices& model) {
    CService& news = *model.GetServiceByID(9);
    EXPECT_EQ(3, news.GetNoStories());
    EXPECT_EQ(-1, news.GetStoryIndex(901));
    EXPECT_EQ(-1, news.GetStoryIndex(904));
  });
}

TEST_F(Refresh, DownloadedAlertMarksItsTarget) {
  Preload({"9", kAlertsText.c_str()});
  ChangeStories(kAlerts, L"[{\"id\": 501}]", 0x4);
  EXPECT_THAT(windows_->Wait(4),
              ElementsAre("B STORIES_ATTRIBUTE_CHANGED " + kAlertsText + " [501]",
                          "A STORIES_ATTRIBUTE_CHANGED " + kAlertsText + " [501]",
                          "B STORIES_ATTRIBUTE_CHANGED 9 [901]", "A STORIES_ATTRIBUTE_CHANGED 9 [901]"));
  EXPECT_EQ(1, StoryAttribute(VINNET_ALERTS_CHANNEL_ID, 501, "Story Local"));
  EXPECT_EQ(1, StoryAttribute(9, 901, "Story Local"));
}

TEST_F(Refresh, DownloadedAlertedStoryMarksItsAlerts) {
  Preload({"9", kAlertsText.c_str()});
  ChangeStories(9, L"[{\"id\": 902}, {\"id\": 903}]", 0x4, 1);
  // 903 is not "Alerted": the alert that points at it stays as it was.
  EXPECT_THAT(windows_->Wait(6),
              ElementsAre("B STORIES_ATTRIBUTE_CHANGED 9 [902]", "A STORIES_ATTRIBUTE_CHANGED 9 [902]",
                          "B STORIES_ATTRIBUTE_CHANGED " + kAlertsText + " [502]",
                          "A STORIES_ATTRIBUTE_CHANGED " + kAlertsText + " [502]",
                          "B STORIES_ATTRIBUTE_CHANGED 9 [903]", "A STORIES_ATTRIBUTE_CHANGED 9 [903]"));
  EXPECT_EQ(1, StoryAttribute(VINNET_ALERTS_CHANNEL_ID, 502, "Story Local"));
  EXPECT_EQ(-1, StoryAttribute(VINNET_ALERTS_CHANNEL_ID, 503, "Story Local"));
  // A story the model does not hold is not sent.
  ChangeStories(20, L"[{\"id\": 1}]", 0x4);
  RaiseMarker();
  EXPECT_THAT(windows_->Wait(2), testing::ContainerEq(kMarker));
}

TEST_F(Refresh, WindowSubscribedTwiceReceivesTwiceUntilUnsubscribed) {
  CServicesSubscribeNotifications(windows_->Window("A"));
  // Not a window: never subscribed.
  CServicesSubscribeNotifications(reinterpret_cast<HWND>(0x1234));
  RaiseMarker();
  EXPECT_THAT(windows_->Wait(3), ElementsAre("A CHANNEL_STATUS_CHANGED 21 0", "B CHANNEL_STATUS_CHANGED 21 0",
                                             "A CHANNEL_STATUS_CHANGED 21 0"));
  CServicesUnsubscribeNotifications(windows_->Window("A"));
  RaiseMarker();
  EXPECT_THAT(windows_->Wait(2), ElementsAre("B CHANNEL_STATUS_CHANGED 21 0"));
}

TEST_F(Refresh, DestroyedSubscriberDoesNotStopTheOthers) {
  windows_->Destroy("B");
  RaiseMarker();
  EXPECT_THAT(windows_->Wait(1), ElementsAre("A CHANNEL_STATUS_CHANGED 21 0"));
}

TEST_F(Refresh, LastUninitializeEndsTheWindowAndTheCallbacks) {
  HWND window = ::FindWindowA("QM_SERVICE_REFRESH_HANDLER_WINDOW", nullptr);
  ASSERT_NE(nullptr, window);
  RECT place{};
  ::GetWindowRect(window, &place);
  EXPECT_EQ(-100, place.left);
  EXPECT_EQ(-100, place.top);
  EXPECT_EQ(1, place.right - place.left);
  EXPECT_EQ(nullptr, ::GetParent(window));
  // A second user makes no second window.
  EXPECT_EQ(2, Vinnet_Initialize());
  Vinnet_Uninitialize();
  EXPECT_EQ(window, ::FindWindowA("QM_SERVICE_REFRESH_HANDLER_WINDOW", nullptr));

  Vinnet_Uninitialize();
  EXPECT_EQ(nullptr, ::FindWindowA("QM_SERVICE_REFRESH_HANDLER_WINDOW", nullptr));
  RaiseMarker();
  EXPECT_THAT(windows_->Wait(1, 1000), IsEmpty());
  // The fixture's own uninitialize finds nothing left to end.
  ASSERT_EQ(1, Vinnet_Initialize());
}

}  // namespace
}  // namespace vinnet_tests

namespace vinnet_tests {
namespace {

// The window lives on the thread of the first Vinnet_Initialize; the last Vinnet_Uninitialize
// may come from another thread.
TEST_F(ModelTest, RefreshWindowWorksOnItsOwnThreadAndEndsFromAnother) {
  SubscriberWindows windows({"A"});
  CServicesSubscribeNotifications(windows.Window("A"));
  comsupport::UniqueHandle ready(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  DWORD owner_id = 0;
  std::thread owner([&] {
    owner_id = ::GetCurrentThreadId();
    Vinnet_Initialize();
    ::SetEvent(ready.get());
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) ::DispatchMessageA(&message);
  });
  ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(ready.get(), 60000));
  HWND window = ::FindWindowA("QM_SERVICE_REFRESH_HANDLER_WINDOW", nullptr);
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(owner_id, ::GetWindowThreadProcessId(window, nullptr));

  Check(control()->ChangeChannel(21, comsupport::Bstr(L"{}").get(), 0x100));
  EXPECT_THAT(windows.Wait(1), ElementsAre("A CHANNEL_STATUS_CHANGED 21 0"));

  Vinnet_Uninitialize();
  EXPECT_EQ(nullptr, ::FindWindowA("QM_SERVICE_REFRESH_HANDLER_WINDOW", nullptr));
  Check(control()->ChangeChannel(21, comsupport::Bstr(L"{}").get(), 0x100));
  EXPECT_THAT(windows.Wait(1, 1000), IsEmpty());
  ::PostThreadMessageA(owner_id, WM_QUIT, 0, 0);
  owner.join();
  CServicesUnsubscribeNotifications(windows.Window("A"));
}

}  // namespace
}  // namespace vinnet_tests
