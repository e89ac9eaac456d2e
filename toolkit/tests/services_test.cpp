// The model filled from the client: the channel list in the client's order, the alerts channel,
// records that make no service, a client without a channel list, adding and deleting channels,
// and the one model of the process.
#include "model_fixture.h"

#include <atomic>
#include <thread>

#include "comsupport/bstr.h"
#include "ravlin_containers/channel_info_record.h"

namespace vinnet_tests {
namespace {

using testing::ElementsAre;

std::vector<DWORD> ServiceIds(CServices& services) {
  std::vector<DWORD> ids;
  for (int index = 0; index < services.GetNoServices(); ++index) ids.push_back(services.GetService(index)->GetServiceID());
  return ids;
}

TEST_F(ModelTest, RefreshListsChannelsInTheClientsOrderWithTheirRecords) {
  CServices services;
  ASSERT_EQ(1, services.Refresh());
  // The channel without a name makes no service; the alerts channel stays outside the list.
  EXPECT_THAT(ServiceIds(services), ElementsAre(9u, 7u, 20u, 21u));
  EXPECT_EQ(nullptr, services.GetService(4));
  EXPECT_EQ(nullptr, services.GetService(-1));
  EXPECT_EQ(0u, services.GetHistoryTime());

  CService& news = *services.GetServiceByID(9);
  EXPECT_EQ("News", news.GetDisplayName());
  CString category;
  EXPECT_EQ(1, news.GetCategory(category, 0));
  EXPECT_EQ("News;World", category);
  EXPECT_EQ(1, news.GetCategory(category, 2));
  EXPECT_EQ("World", category);
  EXPECT_EQ(0, news.GetCategory(category, 3));
  EXPECT_EQ(309u, news.GetDirectoryEntryId());
  EXPECT_EQ("C:\\logos\\news.bmp", news.GetLogoBitmapFile());
  EXPECT_EQ(1, news.IsEnabled());
  EXPECT_EQ(1, news.IsFiltered());
  EXPECT_EQ(1, news.IsSecure());
  EXPECT_EQ(0, news.IsHomeServer());
  EXPECT_EQ(1, news.IsSuperChannel());
  EXPECT_EQ(1, news.ContainsSubChannels());
  EXPECT_EQ(4, news.GetNumUnreadStories());
  // The record's total is 0 as the access library builds it.
  EXPECT_EQ(0, news.GetNumStories());
  // Not loaded yet.
  EXPECT_EQ(0, news.IsDataLoaded());
  EXPECT_EQ(0, news.GetNoStories());
  EXPECT_EQ(-1, news.GetStoryIndex(901));

  CService& kelvane = *services.GetServiceByID(7);
  EXPECT_EQ(0, kelvane.IsEnabled());
  EXPECT_EQ(0, kelvane.IsSuperChannel());
  EXPECT_EQ(1, kelvane.IsHomeServer());
  EXPECT_EQ(0, kelvane.ContainsSubChannels());

  EXPECT_EQ(&kelvane, services.GetServiceByName("Kelvane"));
  EXPECT_EQ(nullptr, services.GetServiceByName("kelvane"));
  EXPECT_EQ(nullptr, services.GetServiceByName(nullptr));
  EXPECT_EQ(&kelvane, services.GetServiceByDirectoryEntryId(307));
  // Channel 20 has no directory entry.
  EXPECT_EQ(nullptr, services.GetServiceByDirectoryEntryId(0));
  EXPECT_EQ(&news, services.GetServiceByStoryID("9:901"));
  EXPECT_EQ(nullptr, services.GetServiceByStoryID("x"));
  EXPECT_EQ(nullptr, services.GetServiceByID(12));
}

TEST_F(ModelTest, AlertsChannelIsMadeOutsideTheListAndInitialisedFromItsRecord) {
  CServices services;
  ASSERT_EQ(1, services.Refresh());
  CService* alerts = services.GetMessages();
  ASSERT_NE(nullptr, alerts);
  EXPECT_EQ(VINNET_ALERTS_CHANNEL_ID, alerts->GetServiceID());
  EXPECT_EQ(alerts, services.GetServiceByID(VINNET_ALERTS_CHANNEL_ID));
  // Its record names it, and its category is its name.
  EXPECT_EQ("Alert Center", alerts->GetDisplayName());
  CString category;
  alerts->GetCategory(category, 0);
  EXPECT_EQ("Alert Center", category);

  ASSERT_EQ(1, alerts->LoadChannelData());
  // Counted from the stories themselves: "Read" 0 or missing is unread.
  EXPECT_EQ(3, alerts->GetNumStories());
  EXPECT_EQ(2, alerts->GetNumUnreadStories());
}

TEST_F(ModelTest, AlertsChannelWithoutARecordKeepsItsOwnName) {
  // The stand-in names the channel by its id as a signed number.
  Fail("Channel[-33554463].EnumProperties");
  CServices services;
  ASSERT_EQ(1, services.Refresh());
  ASSERT_NE(nullptr, services.GetMessages());
  EXPECT_EQ("Alerts", services.GetMessages()->GetDisplayName());
  EXPECT_EQ(0, services.GetMessages()->IsInitialized());
}

TEST_F(ModelTest, WithoutAChannelListRefreshLeavesTheModelEmpty) {
  CServices services;
  ASSERT_EQ(1, services.Refresh());
  Fail("Application.get_Channels");
  EXPECT_EQ(0, services.Refresh());
  EXPECT_EQ(0, services.GetNoServices());
  EXPECT_EQ(nullptr, services.GetMessages());
  EXPECT_EQ(0, services.IsInitialized());
  // Initialize refreshes again after a failed refresh.
  Check(control()->ClearFailures());
  EXPECT_EQ(1, services.Initialize(0));
  EXPECT_EQ(4, services.GetNoServices());
}

TEST_F(ModelTest, InitializeWithTheSameParameterDoesNotRefreshAgain) {
  CServices services;
  ASSERT_EQ(1, services.Initialize(5));
  Check(control()->AddChannel(comsupport::Bstr(L"{\"id\": 40, \"name\": \"Late\"}").get()));
  EXPECT_EQ(1, services.Initialize(5));
  EXPECT_EQ(4, services.GetNoServices());
  EXPECT_EQ(1, services.Initialize(6));
  EXPECT_EQ(5, services.GetNoServices());
}

TEST_F(ModelTest, RecordWithoutANameInitialisesNoService) {
  ravlin::ChannelInfoValues values;
  values.channel_id = 33;
  ICHANNELINFO* info = ravlin::CreateChannelInfo(values);
  ASSERT_NE(nullptr, info);
  CService service(33, "Named before", 0, nullptr);
  EXPECT_EQ(0, service.Initialize(info));
  EXPECT_EQ(0, service.Initialize(nullptr));
  info->Release();
}

TEST_F(ModelTest, AddChannelAddsAKnownChannelOnce) {
  CServices services;
  ASSERT_EQ(1, services.Refresh());
  Check(control()->AddChannel(comsupport::Bstr(L"{\"id\": 40, \"name\": \"Films\", \"directoryEntry\": 340}").get()));
  EXPECT_EQ(0, services.AddChannel(0, "Nothing"));
  EXPECT_EQ(0, services.AddChannel(41, "Unknown to the client"));
  EXPECT_EQ(1, services.AddChannel(40, "Films"));
  EXPECT_EQ(0, services.AddChannel(40, "Films"));
  EXPECT_EQ(0, services.AddChannel(9, "News"));
  EXPECT_THAT(ServiceIds(services), ElementsAre(9u, 7u, 20u, 21u, 40u));
  EXPECT_EQ(340u, services.GetServiceByID(40)->GetDirectoryEntryId());

  EXPECT_EQ(0, services.DeleteChannel(0));
  EXPECT_EQ(1, services.DeleteChannel(7));
  EXPECT_EQ(0, services.DeleteChannel(7));
  // The alerts channel is not in the list.
  EXPECT_EQ(0, services.DeleteChannel(VINNET_ALERTS_CHANNEL_ID));
  EXPECT_THAT(ServiceIds(services), ElementsAre(9u, 20u, 21u, 40u));
  services.DeleteService("News");
  EXPECT_EQ(4, services.GetNoServices());
  services.RemoveAll();
  EXPECT_EQ(0, services.GetNoServices());
  EXPECT_EQ(nullptr, services.GetMessages());
}

TEST_F(ModelTest, PreloadLoadsOnlyListedChannelsWithoutData) {
  CServices services;
  ASSERT_EQ(1, services.Refresh());
  CStringArray ids;
  ids.Add("9");
  ids.Add("21");
  ids.Add("999");
  ids.Add("not a number");
  services.PreloadServices(ids);
  EXPECT_EQ(1, services.GetServiceByID(9)->IsDataLoaded());
  EXPECT_EQ(1, services.GetServiceByID(21)->IsDataLoaded());
  EXPECT_EQ(0, services.GetServiceByID(7)->IsDataLoaded());
  EXPECT_EQ(6, services.GetServiceByID(9)->GetNoStories());
  Check(control()->ClearJournal());
  services.PreloadServices(ids);
  EXPECT_THAT(ravlin_tests::JournalLines(*standin_), testing::IsEmpty());
}

TEST_F(ModelTest, FailedReadKeepsThePreviousData) {
  LoadedModel model;
  CService& news = model.Channel(9);
  Fail("Channel[9].EnumStoryData");
  EXPECT_EQ(0, news.LoadChannelData());
  EXPECT_EQ(6, news.GetNoStories());
}

TEST_F(ModelTest, GetCServicesLendsOneModelUntilItIsDestroyed) {
  CServices* first = GetCServices();
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(4, first->GetNoServices());
  // The lock is recursive: the same thread may borrow again.
  CServices* again = GetCServices();
  EXPECT_EQ(first, again);
  ReleaseCServices(again);
  ReleaseCServices(first);
  // An unpaired release leaves nothing.
  ReleaseCServices(first);
  ReleaseCServices(nullptr);

  // Another thread waits while this one holds the model.
  CServices* held = GetCServices();
  std::atomic<bool> borrowed{false};
  std::thread other([&] {
    ReleaseCServices(GetCServices());
    borrowed = true;
  });
  ::Sleep(200);
  EXPECT_FALSE(borrowed);
  ReleaseCServices(held);
  other.join();
  EXPECT_TRUE(borrowed);
  DestroyCServices();
  DestroyCServices();
}

TEST_F(ModelTest, ParseStoryIdReadsWhatItCan) {
  DWORD channel = 1, story = 1;
  EXPECT_EQ(1, CService::ParseStoryID("12:345", channel, story));
  EXPECT_EQ(12u, channel);
  EXPECT_EQ(345u, story);
  EXPECT_EQ(1, CService::ParseStoryID("4261412833:7", channel, story));
  EXPECT_EQ(VINNET_ALERTS_CHANNEL_ID, channel);
  EXPECT_EQ(1, CService::ParseStoryID("12", channel, story));
  EXPECT_EQ(12u, channel);
  EXPECT_EQ(0u, story);
  EXPECT_EQ(0, CService::ParseStoryID(":5", channel, story));
  EXPECT_EQ(0, CService::ParseStoryID("", channel, story));
  EXPECT_EQ(0, CService::ParseStoryID(nullptr, channel, story));
  EXPECT_EQ(0u, channel);
  EXPECT_EQ("4261412833:501", GetStoryID(VINNET_ALERTS_CHANNEL_ID, 501));
}

}  // namespace
}  // namespace vinnet_tests
