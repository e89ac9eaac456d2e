// Changes in the client reach the rows without the page asking: stories added, changed and
// deleted, channels updated (coalesced) and deleted.
#include "storyroll_test_support.h"

namespace storyroll_tests {
namespace {

using testing::Contains;
using testing::ElementsAre;

constexpr long kContentChanged = 0x10000000;

class StoryrollLive : public StoryrollTest {
 protected:
  static void AddStory(long id, const char* title) {
    const std::string story = std::string(R"([{"id": )") + std::to_string(id) + R"(, "title": ")" + title +
                              R"(", "fields": {"Story Time": 990000000}, "attributes": {"Read": 0}}])";
    Check(client()->AddStories(30, comsupport::Bstr(story).get(), 0));
  }
  static void ContentChanged() { Check(client()->ChangeChannel(30, comsupport::Bstr("{}").get(), kContentChanged)); }

  static long Count(const std::vector<std::string>& events, const std::string& event) {
    return static_cast<long>(std::count(events.begin(), events.end(), event));
  }
};

TEST_F(StoryrollLive, StoriesDeletedInTheClientLeaveTheList) {
  HostedStoryroll roll;
  roll.SetChannel(30);
  roll.Put("SelectedStoryIndex", Long(4));
  roll.ClearEvents();
  Check(client()->DeleteStories(30, comsupport::Bstr("[3001, 3002]").get(), 0));
  ASSERT_TRUE(PumpUntil([&] { return roll.GetLong("NumStories") == 3; }));
  EXPECT_THAT(roll.Events(), Contains("3")) << "ContentChanged";
  EXPECT_EQ(std::vector<int>{2}, roll.Selected()) << "the selection moves to the new last row";

  Check(client()->DeleteStories(30, comsupport::Bstr("[3003, 3004, 3005]").get(), 0));
  ASSERT_TRUE(PumpUntil([&] { return roll.Headlines() == std::vector<std::string>{"No content at this time."}; }));
  EXPECT_EQ(0, roll.GetLong("NumStories"));
}

TEST_F(StoryrollLive, AStoryAddedAndChangedAppearsInPlace) {
  HostedStoryroll roll;
  roll.SetChannel(30);
  AddStory(3006, "Fresh firmware");
  ContentChanged();
  ASSERT_TRUE(PumpUntil([&] { return roll.GetLong("NumStories") == 6; }, 9000)) << "within the update delay";
  EXPECT_EQ("Fresh firmware", roll.Headlines()[0]) << "the newest first";
  EXPECT_EQ(1, roll.GetLong("SelectedStoryIndex")) << "the same story stays selected, one row down";

  Check(client()->ChangeStories(30, comsupport::Bstr(R"([{"id": 3006, "attributes": {"Read": 1}}])").get(), 1, 0));
  ASSERT_TRUE(PumpUntil([&] { return (roll.Rows()[0].headline_flags & 0x10) == 0; })) << "read: no longer bold";
}

TEST_F(StoryrollLive, ChannelUpdatesCloseTogetherRefreshOnce) {
  HostedStoryroll roll;
  roll.SetChannel(30);
  roll.ClearEvents();
  for (int update = 0; update < 4; ++update) {
    AddStory(3100 + update, "Update");
    ContentChanged();
    Pump(400);
  }
  const DWORD third = ::GetTickCount() - 800;
  ASSERT_TRUE(PumpUntil([&] { return Count(roll.Events(), "3") > 0; }, 9000));
  EXPECT_LE(::GetTickCount() - third, 6500u) << "at most five seconds after the third";
  EXPECT_EQ(9, roll.GetLong("NumStories"));
  Pump(6000);
  EXPECT_EQ(1, Count(roll.Events(), "3")) << "one refresh for four updates";
}

TEST_F(StoryrollLive, ADeletedChannelEmptiesTheList) {
  HostedStoryroll roll;
  roll.SetChannel(31);
  Check(client()->DeleteChannel(31));
  ASSERT_TRUE(PumpUntil([&] { return roll.Headlines() == std::vector<std::string>{"No content at this time."}; }));
}

}  // namespace
}  // namespace storyroll_tests
