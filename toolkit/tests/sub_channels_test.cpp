// Stories grouped by their category paths, and the date texts of stories and channels.
#include "model_fixture.h"

#include "vinnet/date_text.h"
#include "vinnet/sort_string_array.h"
#include "vinnet/story_bucket.h"

namespace vinnet_tests {
namespace {

using testing::ElementsAre;

std::vector<CString> Texts(const CStringArray& array) { return std::vector<CString>(array.begin(), array.end()); }
std::vector<DWORD> Numbers(const CDWordArray& array) { return std::vector<DWORD>(array.begin(), array.end()); }

TEST_F(ModelTest, SubChannelsAreTheDistinctCategoryPathsSorted) {
  LoadedModel model;
  CStringArray sub_channels;
  sub_channels.Add("left over");
  EXPECT_EQ(4, model.Channel(9).GetSubChannels(sub_channels));
  // "//" stands for a slash inside a level; empty categories make no sub-channel.
  EXPECT_THAT(Texts(sub_channels), ElementsAre("AC&slash;DC/Live", "Sport", "world", "World/Europe"));
  EXPECT_EQ(0, model.Channel(7).GetSubChannels(sub_channels));
  EXPECT_TRUE(sub_channels.IsEmpty());
}

TEST_F(ModelTest, AlertSubChannelsEndWithTheAlertName) {
  LoadedModel model;
  CService& alerts = *model.get().GetMessages();
  CStringArray sub_channels;
  EXPECT_EQ(3, alerts.GetSubChannels(sub_channels));
  EXPECT_THAT(Texts(sub_channels), ElementsAre("Bios", "Net&slash;Work", "Updates/Driver"));
  EXPECT_EQ(1, alerts.ContainsSubChannels());

  // "Alert Name" counts in the alerts channel only.
  CService& news = model.Channel(9);
  ASSERT_EQ(1, news.SetStoryAttribute(model.Index(9, 905), "Alert Name", "Ignored"));
  news.GetSubChannels(sub_channels);
  EXPECT_EQ(4, sub_channels.GetSize());
}

TEST_F(ModelTest, AlertsChannelWithoutCategoriesHasNoSubChannels) {
  LoadedModel model;
  CService& alerts = *model.get().GetMessages();
  for (long index = 0; index < alerts.GetNoStories(); ++index) {
    alerts.SetStoryAttribute(index, "Category", "");
    alerts.SetStoryAttribute(index, "Alert Name", "");
  }
  EXPECT_EQ(0, alerts.ContainsSubChannels());
}

TEST_F(ModelTest, SubChannelCountsByExactName) {
  LoadedModel model;
  CStringArray names;
  for (const char* name : {"World/Europe", "Sport", "world", "Nothing", "AC&slash;DC/Live"}) names.Add(name);
  CDWordArray unread, total;
  unread.Add(77);
  model.Channel(9).GetSubChannelsCount(names, unread, total);
  EXPECT_THAT(Numbers(total), ElementsAre(2u, 1u, 1u, 0u, 1u));
  // "Read" 0 or missing is unread.
  EXPECT_THAT(Numbers(unread), ElementsAre(1u, 1u, 1u, 0u, 0u));

  CStringArray alert_names;
  alert_names.Add("Updates/Driver");
  alert_names.Add("Bios");
  model.get().GetMessages()->GetSubChannelsCount(alert_names, unread, total);
  EXPECT_THAT(Numbers(total), ElementsAre(1u, 1u));
  EXPECT_THAT(Numbers(unread), ElementsAre(1u, 0u));
}

TEST_F(ModelTest, SortStringArrayIgnoresCaseFirst) {
  CStringArray texts;
  for (const char* text : {"beta", "Alpha", "alpha", "Gamma", "", "B"}) texts.Add(text);
  SortStringArray(texts);
  EXPECT_THAT(Texts(texts), ElementsAre("", "Alpha", "alpha", "B", "beta", "Gamma"));
}

TEST_F(ModelTest, DatesInShortAndLongFormInAFixedZone) {
  FixedTimeZone zone("UTC0");
  EXPECT_EQ("Jan 1 - 12:00 am", ShortDateTimeText(946684800));
  EXPECT_EQ("January 1, 2000 - 12:00 AM", LongDateTimeText(946684800));
  EXPECT_EQ("Jan 1 - 12:00 pm", ShortDateTimeText(946728000));
  EXPECT_EQ("June 3 - 2:40 am", ShortDateTimeText(960000000));
  EXPECT_EQ("Sept 9 - 1:46 am", ShortDateTimeText(1000000000));
  EXPECT_EQ("September 9, 2001 - 1:46 AM", LongDateTimeText(1000000000));
  EXPECT_EQ("July 4 - 1:05 pm", ShortDateTimeText(1215176700));
  EXPECT_EQ("December 31, 1999 - 11:59 PM", LongDateTimeText(946684799));
}

TEST_F(ModelTest, DatesFollowTheLocalZone) {
  FixedTimeZone zone("EST5");
  EXPECT_EQ("Sept 8 - 8:46 pm", ShortDateTimeText(1000000000));
  EXPECT_EQ("September 8, 2001 - 8:46 PM", LongDateTimeText(1000000000));
}

TEST_F(ModelTest, StoryAndChannelDates) {
  FixedTimeZone zone("UTC0");
  LoadedModel model;
  CService& kelvane = model.Channel(7);
  CString text;
  ASSERT_EQ(1, kelvane.GetStoryUpdatedTime(model.Index(7, 1001), text));
  EXPECT_EQ("Jan 1 - 12:00 am", text);
  ASSERT_EQ(1, kelvane.GetStoryUpdatedTime(model.Index(7, 1002), text));
  EXPECT_EQ("Jan 1 - 12:00 pm", text);
  long time = -1;
  ASSERT_EQ(1, kelvane.GetStoryUpdatedTime(model.Index(7, 1003), time));
  EXPECT_EQ(960000000, time);
  EXPECT_EQ(0, kelvane.GetStoryUpdatedTime(model.Index(7, 1004), time));
  EXPECT_EQ(0, time);
  EXPECT_EQ(0, kelvane.GetStoryUpdatedTime(model.Index(7, 1004), text));
  EXPECT_EQ("", text);

  EXPECT_EQ("Sept 9 - 1:46 am", model.Channel(9).GetLastUpdatedDateTime());
  ASSERT_EQ(1, model.Channel(9).GetServiceDateData(text));
  EXPECT_EQ("September 9, 2001 - 1:46 AM", text);
  EXPECT_EQ("", kelvane.GetLastUpdatedDateTime());
  EXPECT_EQ(0, kelvane.GetServiceDateData(text));
}

TEST_F(ModelTest, StoryBucketGroupsByKeyInArrivalOrder) {
  CStoryBucket bucket;
  EXPECT_EQ(1, bucket.AddStory(9, 901));
  EXPECT_EQ(1, bucket.AddStory(7, 1001));
  EXPECT_EQ(1, bucket.AddStory(9, 902));
  for (DWORD story = 0; story < 20; ++story) bucket.AddStory(VINNET_ALERTS_CHANNEL_ID, story);
  ASSERT_EQ(3, bucket.GetNumStoryLists());
  DWORD key = 0;
  DATA_LIST* list = nullptr;
  ASSERT_EQ(1, bucket.GetStoryList(0, key, list));
  EXPECT_EQ(9u, key);
  ASSERT_EQ(2, list->GetCount());
  EXPECT_EQ(902u, list->GetAt(1));
  ASSERT_EQ(1, bucket.GetStoryList(2, key, list));
  EXPECT_EQ(VINNET_ALERTS_CHANNEL_ID, key);
  EXPECT_EQ(20, list->GetCount());
  EXPECT_EQ(16, list->GetGrowthStep());
  EXPECT_EQ(0, bucket.GetStoryList(3, key, list));
  EXPECT_EQ(nullptr, list);
  EXPECT_EQ(0u, key);
}

}  // namespace
}  // namespace vinnet_tests
