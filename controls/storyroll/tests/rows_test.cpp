// What the list shows: the rows of a channel, a subchannel or a category, their cells, the
// placeholder row, and the filters.
#include "storyroll_test_support.h"

namespace storyroll_tests {
namespace {

using testing::ElementsAre;
using testing::UnorderedElementsAre;

class StoryrollRows : public StoryrollTest {};

std::vector<DWORD> Stories(const std::vector<HostedStoryroll::Row>& rows) {
  std::vector<DWORD> stories;
  for (const auto& row : rows) stories.push_back(row.story);
  return stories;
}

TEST_F(StoryrollRows, ChannelRowsCarryTheirCellsFlagsAndRecords) {
  HostedStoryroll roll;
  ASSERT_TRUE(roll.SetChannel(30));
  auto rows = roll.Rows();
  ASSERT_EQ(5u, rows.size());
  EXPECT_EQ(5, roll.GetLong("NumStories"));
  // Sorted by the Received column, descending: the newest first.
  EXPECT_THAT(Stories(rows), ElementsAre(3005, 3004, 3003, 3002, 3001));
  const auto& driver = rows[4];
  EXPECT_EQ(30u, driver.channel);
  EXPECT_EQ("Display driver", driver.headline);
  EXPECT_TRUE(driver.headline_flags & 0x10) << "unread rows are bold";
  // Alerted, attachment, signed.
  EXPECT_THAT(driver.images, ElementsAre(3, -1, 5));
  EXPECT_EQ("New display driver", driver.summary);
  EXPECT_TRUE(driver.summary_flags & 0x100) << "summaries are hidden unless embedded";
  const auto& bios = rows[3];
  EXPECT_FALSE(bios.headline_flags & 0x10) << "read rows are plain";
  // The first row is selected after a refresh; ContentChanged told the page.
  EXPECT_EQ(0, roll.GetLong("SelectedStoryIndex"));
  EXPECT_THAT(roll.Events(), testing::Contains("3"));
}

TEST_F(StoryrollRows, AttachmentsOfTheClientItselfDoNotCount) {
  HostedStoryroll roll;
  roll.SetChannel(30);
  std::map<DWORD, int> attachment;
  for (const auto& row : roll.Rows()) attachment[row.story] = row.images.at(1);
  EXPECT_EQ(-1, attachment[3001]) << "no attachment";
  EXPECT_EQ(-1, attachment[3002]) << "zr_tsr123.htm is the client's";
  EXPECT_EQ(1, attachment[3003]) << "ZR_TSRabc.txt does not count, manual.pdf does";
  EXPECT_EQ(1, attachment[3004]) << "zr_ts.txt is no client file";
  EXPECT_EQ(-1, attachment[3005]) << "zr_tsr itself is longer than five characters";
}

TEST_F(StoryrollRows, EmbeddedSummariesShowForUnreadStoriesOnly) {
  HostedStoryroll roll;
  roll.SetChannel(30);
  roll.PutBool("EmbeddedSummaries", true);
  for (const auto& row : roll.Rows()) {
    const bool read = row.story == 3002;
    EXPECT_EQ(read, (row.summary_flags & 0x100) != 0) << row.story;
  }
}

TEST_F(StoryrollRows, AnEmptyListShowsOnePlaceholderRow) {
  HostedStoryroll roll;
  ASSERT_TRUE(roll.SetChannel(34));
  auto rows = roll.Rows();
  ASSERT_EQ(1u, rows.size());
  EXPECT_EQ("No content at this time.", rows[0].headline);
  EXPECT_TRUE(rows[0].headline_flags & 0x10);
  EXPECT_EQ(0u, rows[0].channel);
  EXPECT_EQ(0u, rows[0].story);
  EXPECT_EQ(0, roll.GetLong("NumStories"));
  EXPECT_EQ(-1, roll.GetLong("SelectedStoryIndex"));
  // An unknown channel, and a filter that leaves nothing, look the same.
  roll.SetChannel(999);
  EXPECT_THAT(roll.Headlines(), ElementsAre("No content at this time."));
  roll.Call("SetSubChannel", {Long(30), Text("Nothing")});
  EXPECT_THAT(roll.Headlines(), ElementsAre("No content at this time."));
  EXPECT_EQ(-1, roll.GetLong("SelectedStoryIndex"));
}

TEST_F(StoryrollRows, SubChannelsMatchWholeLevels) {
  HostedStoryroll roll;
  roll.Call("SetSubChannel", {Long(30), Text("News")});
  EXPECT_THAT(Stories(roll.Rows()), UnorderedElementsAre(3001, 3002)) << "News and News/Local, not Newsletter";
  roll.Call("SetSubChannel", {Long(30), Text("A//B")});
  EXPECT_THAT(Stories(roll.Rows()), ElementsAre(3004)) << "the double slash is part of the name";
  roll.Call("SetSubChannel", {Long(30), Text("A&slash;B")});
  EXPECT_THAT(Stories(roll.Rows()), ElementsAre(3004)) << "as the model names the subchannel";
  roll.Call("SetSubChannel", {Long(30), Text("A")});
  EXPECT_THAT(Stories(roll.Rows()), ElementsAre(3005)) << "A/B is under A, A//B is not";
}

TEST_F(StoryrollRows, CategoriesMatchTheirBeginningInAnyCase) {
  HostedStoryroll roll;
  roll.Call("SetCategory", {Text("sp")});
  EXPECT_THAT(Stories(roll.Rows()), UnorderedElementsAre(3101, 3201, 3301)) << "sport, SP and Spring";
  roll.Call("SetCategory", {Text("Supp")});
  EXPECT_THAT(Stories(roll.Rows()), UnorderedElementsAre(3001, 3002, 3003, 3004, 3005));
}

TEST_F(StoryrollRows, UnreadOnlyKeepsAStoryReadMeanwhileUntilTheNextRefresh) {
  HostedStoryroll roll;
  roll.SetChannel(30);
  roll.PutBool("UnreadItemsOnly", true);
  EXPECT_THAT(Stories(roll.Rows()), UnorderedElementsAre(3001, 3003, 3004, 3005));
  Check(client()->ChangeStories(30, comsupport::Bstr(R"([{"id": 3003, "attributes": {"Read": 1}}])").get(), 1, 0));
  ASSERT_TRUE(PumpUntil([&] {
    for (const auto& row : roll.Rows()) {
      if (row.story == 3003) return (row.headline_flags & 0x10) == 0;
    }
    return false;
  })) << "the row turned plain in place";
  EXPECT_THAT(Stories(roll.Rows()), UnorderedElementsAre(3001, 3003, 3004, 3005));
  roll.SetChannel(30);
  EXPECT_THAT(Stories(roll.Rows()), UnorderedElementsAre(3001, 3004, 3005));
}

TEST_F(StoryrollRows, ColumnSwitchesTakeEffectOnlyWhenTheWindowIsMade) {
  HostedStoryroll roll(standin::Initialization::FromParams({{"AlertColumn", "0"}, {"SignedColumn", "0"}}));
  roll.SetChannel(30);
  auto rows = roll.Rows();
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(1u, rows[0].images.size()) << "the attachment column alone";
  roll.PutBool("AlertColumn", true);
  roll.SetChannel(30);
  EXPECT_EQ(1u, roll.Rows()[0].images.size()) << "changed after creation: no effect";
  EXPECT_TRUE(roll.GetBool("AlertColumn"));
}

TEST_F(StoryrollRows, AlertRowsAreListedWithTheirAlertName) {
  HostedStoryroll roll;
  roll.SetChannel(static_cast<long>(kAlerts));
  EXPECT_THAT(roll.Headlines(), ElementsAre("Driver alert"));
  roll.Call("SetSubChannel", {Long(static_cast<long>(kAlerts)), Text("Updates")});
  EXPECT_THAT(roll.Headlines(), ElementsAre("Driver alert")) << "Updates/Driver is under Updates";
}

TEST_F(StoryrollRows, MovingThroughTheList) {
  HostedStoryroll roll;
  roll.SetChannel(30);
  EXPECT_EQ(0, roll.GetLong("SelectedStoryIndex"));
  EXPECT_FALSE(roll.Call("PreviousStory").get()->boolVal);
  EXPECT_TRUE(roll.Call("NextStory").get()->boolVal);
  EXPECT_EQ(1, roll.GetLong("SelectedStoryIndex"));
  roll.Put("SelectedStoryIndex", Long(4));
  EXPECT_FALSE(roll.Call("NextStory").get()->boolVal);
  EXPECT_TRUE(roll.Call("PreviousStory").get()->boolVal);
  EXPECT_EQ(3, roll.GetLong("SelectedStoryIndex"));
  roll.Put("SelectedStoryIndex", Long(-1));
  EXPECT_EQ(5u, roll.Selected().size()) << "-1 selects every row";
  VARIANT result;
  ::VariantInit(&result);
  EXPECT_NE(S_OK, roll.TryCall("NumStories", DISPATCH_PROPERTYPUT, {Long(3)}, &result));
}

TEST_F(StoryrollRows, StoryUrlsComeFromTheStoryAndMarkTheVessikAccessed) {
  HostedStoryroll roll;
  roll.SetChannel(30);
  ClearJournal();
  comsupport::Variant url = roll.Call("GetStoryURL", {Long(30), Long(3001)});
  ASSERT_EQ(VT_BSTR, url.type());
  EXPECT_EQ("http://kelvane.example/3001", comsupport::Bstr(url.get()->bstrVal).Ansi());
  EXPECT_TRUE(JournalHas("7001")) << testing::PrintToString(Journal());
  url = roll.Call("GetStoryURL", {Long(30), Long(3002)});
  EXPECT_EQ("", comsupport::Bstr(url.get()->bstrVal).Ansi()) << "no URL";
  url = roll.Call("GetStoryURL", {Long(30), Long(9999)});
  EXPECT_EQ("", comsupport::Bstr(url.get()->bstrVal).Ansi()) << "no story";
}

}  // namespace
}  // namespace storyroll_tests
