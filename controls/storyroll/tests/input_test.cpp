// The list driven as a user drives it: real clicks and keys, the real popup menu and message
// box, each action's call reaching the client (or the mail system).
#include <atomic>
#include <future>

#include "storyroll_test_support.h"
#include "testing/dialog_driver.h"
#include "testing/standin_mail.h"
#include "user_input.h"

namespace storyroll_tests {
namespace {

using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;

// Rows of channel 30, newest first.
constexpr int kShortRow = 0;    // 3005
constexpr int kLetterRow = 2;   // 3003
constexpr int kDriverRow = 4;   // 3001, carrying Vessik 7001

class StoryrollInput : public StoryrollTest {
 protected:
  static void SetUpTestSuite() {
    StoryrollTest::SetUpTestSuite();
    // Mail is looked for once per process: it must be set up before the first control asks.
    char previous[16] = "";
    had_mail_setting_ = ::GetProfileStringA("MAIL", "MAPI", "", previous, sizeof(previous)) > 0;
    previous_mail_setting_ = previous;
    ::WriteProfileStringA("MAIL", "MAPI", "1");
  }
  static void TearDownTestSuite() {
    ::WriteProfileStringA("MAIL", "MAPI", had_mail_setting_ ? previous_mail_setting_.c_str() : nullptr);
    StoryrollTest::TearDownTestSuite();
  }

  // A channel-30 list, in front, with row selected by a click.
  void Open(HostedStoryroll& roll, int row) {
    roll.SetChannel(30);
    BringToFront(roll.window());
    Pump(50);
    ClickRow(roll.list(), row);
    ASSERT_TRUE(PumpUntil([&] { return roll.Selected() == std::vector<int>{row}; })) << "row " << row << " selected";
    // Past the double-click time: the test's next click is a click of its own.
    Pump(::GetDoubleClickTime() + 100);
    roll.ClearEvents();
    ClearJournal();
  }

  // Right-clicks row and answers the menu with key; the items it had.
  std::vector<MenuItem> Menu(HostedStoryroll& roll, int row, WORD key) {
    MenuAnswer answer(key);
    ClickRow(roll.list(), row, true);
    PumpUntil([&] { return answer.seen(); }, 5000);
    Pump(100);
    return answer.Items();
  }

  static bool had_mail_setting_;
  static std::string previous_mail_setting_;
};

bool StoryrollInput::had_mail_setting_ = false;
std::string StoryrollInput::previous_mail_setting_;

TEST_F(StoryrollInput, AClickTellsThePageAfterAMoment) {
  HostedStoryroll roll;
  Open(roll, kLetterRow);
  ClickRow(roll.list(), kDriverRow);
  const DWORD clicked = ::GetTickCount();
  ASSERT_TRUE(PumpUntil([&] { return !roll.Events().empty() && roll.Events().back().rfind("1 ", 0) == 0; }));
  EXPECT_GE(::GetTickCount() - clicked, 90u) << "the click timer runs first";
  EXPECT_THAT(roll.Events(), Contains("6 30 3001")) << "selection changed";
  EXPECT_THAT(roll.Events(), Contains("2 30 3001 "));
  EXPECT_THAT(roll.Events(), Contains("4 30 3001")) << "story clicked";
  EXPECT_EQ("1 30 3001 ", roll.Events().back());
}

TEST_F(StoryrollInput, ADoubleClickOpensTheFullStory) {
  HostedStoryroll roll;
  Open(roll, kDriverRow);
  ClickRow(roll.list(), kDriverRow, false, true);
  ASSERT_TRUE(PumpUntil([&] { return JournalHas("PlayStory") || JournalHas("Play"); }))
      << testing::PrintToString(Journal());
  Pump(300);
  EXPECT_THAT(roll.Events(), Contains("5 30 3001"));
  EXPECT_THAT(roll.Events(), Contains("7 30 3001")) << "it has a link: BeforeFullStory";
  EXPECT_THAT(roll.Events(), Not(Contains("4 30 3001"))) << "the double click ends the click timer";
}

TEST_F(StoryrollInput, TheMenuOffersWhatTheStoryAllows) {
  testing_support::StandinMail mail;
  HostedStoryroll roll;
  Open(roll, kDriverRow);
  auto items = Menu(roll, kDriverRow, VK_ESCAPE);
  EXPECT_THAT(Texts(items), ElementsAre("&Place Files...", "-", "Send To &Mail Recipient...", "&Play", "&Full Story",
                                        "-", "Mark as &Read", "Mark as &Unread", "-", "&Delete", "&Keep",
                                        "Down&load Full Story", "Proper&ties..."));
  EXPECT_THAT(EnabledTexts(items), ElementsAre("&Place Files...", "Send To &Mail Recipient...", "&Play", "&Full Story",
                                               "Mark as &Read", "&Delete", "&Keep", "Down&load Full Story",
                                               "Proper&ties..."));

  // A headline of a channel without packages: no placing, playing, keeping or properties.
  roll.SetChannel(31);
  Pump(50);
  items = Menu(roll, 0, VK_ESCAPE);
  EXPECT_THAT(Texts(items), ElementsAre("Send To &Mail Recipient...", "&Play", "&Full Story", "-", "Mark as &Read",
                                        "Mark as &Unread", "-", "&Delete", "&Keep", "Down&load Full Story",
                                        "Proper&ties..."));
  EXPECT_THAT(EnabledTexts(items), ElementsAre("Send To &Mail Recipient...", "Mark as &Read", "&Delete"));
}

TEST_F(StoryrollInput, MenuCommandsReachTheClientAndTheMailSystem) {
  testing_support::StandinMail mail;
  HostedStoryroll roll;
  Open(roll, kDriverRow);
  Menu(roll, kDriverRow, 'P');  // &Place Files...
  EXPECT_TRUE(PumpUntil([&] { return JournalHas("7001"); })) << testing::PrintToString(Journal());
  const std::vector<std::string> placed = Journal();

  ClearJournal();
  Menu(roll, kDriverRow, 'R');  // Mark as &Read
  EXPECT_TRUE(PumpUntil([&] { return JournalHas("3001"); })) << testing::PrintToString(Journal());

  ClearJournal();
  Menu(roll, kDriverRow, 'K');  // &Keep
  EXPECT_TRUE(PumpUntil([&] { return JournalHas("Keep"); })) << testing::PrintToString(Journal());

  Menu(roll, kDriverRow, 'M');  // Send To &Mail Recipient...
  ASSERT_TRUE(PumpUntil([&] { return !mail.Messages().empty(); }));
  EXPECT_EQ("Display driver", mail.Messages()[0].subject);
}

TEST_F(StoryrollInput, CancelInBeforePlayStoryStopsThePlay) {
  HostedStoryroll roll;
  Open(roll, kDriverRow);
  std::vector<bool> cancel_seen;
  roll.container().events()->Handle(8, [&] {
    cancel_seen.push_back(roll.GetBool("Cancel"));
    roll.PutBool("Cancel", true);
  });
  Menu(roll, kDriverRow, 'P');  // the first P: Place Files
  ClearJournal();
  ::SendMessageA(roll.window(), WM_COMMAND, 32824, 0);  // &Play, as the menu sends it
  Pump(300);
  EXPECT_THAT(roll.Events(), Contains("8 30 3001"));
  EXPECT_FALSE(JournalHas("Play")) << testing::PrintToString(Journal());
  ::SendMessageA(roll.window(), WM_COMMAND, 32824, 0);
  Pump(100);
  EXPECT_THAT(cancel_seen, ElementsAre(false, false)) << "reset before each event";

  roll.container().events()->Handle(8, nullptr);
  ::SendMessageA(roll.window(), WM_COMMAND, 32824, 0);
  EXPECT_TRUE(PumpUntil([&] { return JournalHas("Play"); })) << testing::PrintToString(Journal());
}

TEST_F(StoryrollInput, TheDeleteKeyAsksFirst) {
  HostedStoryroll roll;
  Open(roll, kLetterRow);
  auto no = std::async(std::launch::async, [] {
    return testing_support::AnswerDialog("Delete Confirmation", "No", 10000);
  });
  PressKey(VK_DELETE);
  PumpUntil([&] { return no.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; });
  auto answered = no.get();
  ASSERT_TRUE(answered);
  EXPECT_EQ("Are you sure you want to delete the selected item(s) permanently?", answered->contents.message);
  Pump(200);
  EXPECT_FALSE(JournalHas("Delete")) << testing::PrintToString(Journal());
  EXPECT_EQ(5, roll.GetLong("NumStories"));

  // Back to the list, as a user would after the box.
  ClickRow(roll.list(), kLetterRow);
  Pump(200);
  auto yes = std::async(std::launch::async, [] {
    return testing_support::AnswerDialog("Delete Confirmation", "Yes", 10000);
  });
  PressKey(VK_DELETE);
  PumpUntil([&] { return yes.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; });
  ASSERT_TRUE(yes.get());
  ASSERT_TRUE(PumpUntil([&] { return roll.GetLong("NumStories") == 4; })) << testing::PrintToString(Journal());
  EXPECT_TRUE(JournalHas("3003"));
  EXPECT_EQ(std::vector<int>{kLetterRow}, roll.Selected()) << "the next row takes the place";
}

TEST_F(StoryrollInput, ControlASelectsEveryRow) {
  HostedStoryroll roll;
  Open(roll, kShortRow);
  PressKey('A', {VK_CONTROL});
  EXPECT_TRUE(PumpUntil([&] { return roll.Selected().size() == 5; }));
  EXPECT_EQ(0, roll.GetLong("SelectedStoryIndex"));
}

TEST_F(StoryrollInput, NoMenuOverThePlaceholderRow) {
  HostedStoryroll roll;
  roll.SetChannel(34);
  BringToFront(roll.window());
  Pump(50);
  MenuAnswer answer(VK_ESCAPE);
  ClickRow(roll.list(), 0, true);
  Pump(1500);
  EXPECT_FALSE(answer.seen());
}

}  // namespace
}  // namespace storyroll_tests
