// The client's notifications as the page hears them: each event with its arguments, the Events
// bits, handlers revoked by AutoUpdate FALSE, the client's shutdown, and completion of the
// ready state announced only after the call that completed it.
#include <gtest/gtest.h>

#include "chanbind_test_support.h"
#include "testing/scripting.h"

namespace {

using namespace chanbind_test;
using comsupport::Bstr;

constexpr long kAllEventBits = 2 | 8 | 16 | 32 | 64 | 128 | 256;

size_t HandlerLines(ChanbindSession& page) {
  Bstr lines;
  page.client()->get_Handlers(lines.put());
  const std::string text = lines.Ansi();
  size_t count = 0;
  for (char c : text) count += c == '\n';
  return count;
}

TEST(ClientEvents, EachNotificationReachesItsHandlerAndEventsAccumulate) {
  ChanbindSession page;
  ASSERT_EQ(S_OK, page.Put("ChannelId", Number(12)).hr);
  ASSERT_EQ(S_OK, page.Call("Reset").hr);
  ASSERT_EQ(3, page.Get("Count").Number());
  ASSERT_EQ(S_OK, page.Put("Events", Number(0)).hr);
  auto control = page.client();

  ASSERT_EQ(S_OK, control->ChangeSettings(Bstr(std::string(R"({"autoplay": false})")).get(), 4));
  ASSERT_TRUE(page.WaitFor([&] { return !page.EventsOf(8).empty(); }));
  EXPECT_EQ("8 4", page.EventsOf(8).front());

  ASSERT_EQ(S_OK, control->AddChannel(Bstr(std::string(R"({"id": 40, "name": "Added"})")).get()));
  ASSERT_TRUE(page.WaitFor([&] { return !page.EventsOf(2).empty(); }));
  ASSERT_EQ(S_OK, control->ChangeChannel(12, Bstr(std::string(R"({"name": "Desk"})")).get(), 1));
  ASSERT_TRUE(page.WaitFor([&] { return !page.EventsOf(3).empty(); }));
  EXPECT_NE(std::string::npos, page.EventsOf(3).front().find(" 1")) << page.EventsOf(3).front();

  ASSERT_EQ(S_OK, control->AddStories(12, Bstr(std::string(R"([{"id": 204, "title": "Night", "fields": {"TEXT": "e"}}])")).get(), 0));
  ASSERT_TRUE(page.WaitFor([&] { return !page.EventsOf(5).empty(); }));
  EXPECT_EQ("5 4", page.EventsOf(5).front()) << "the new row is the fourth";
  EXPECT_EQ(4, page.Get("Count").Number());

  ASSERT_EQ(S_OK, control->ChangeStories(12, Bstr(std::string(R"([{"id": 202, "title": "Lunch"}])")).get(), 1, 0));
  ASSERT_TRUE(page.WaitFor([&] { return !page.EventsOf(6).empty(); }));
  EXPECT_EQ("6 2 1", page.EventsOf(6).front());

  ASSERT_EQ(S_OK, control->DeleteStories(12, Bstr(std::string("[201]")).get(), 0));
  ASSERT_TRUE(page.WaitFor([&] { return !page.EventsOf(7).empty(); }));
  EXPECT_NE(std::string::npos, page.EventsOf(7).front().find(" 1")) << page.EventsOf(7).front();
  EXPECT_EQ(3, page.Get("Count").Number());

  ASSERT_EQ(S_OK, control->DeleteChannel(20));
  ASSERT_TRUE(page.WaitFor([&] { return !page.EventsOf(4).empty(); }));
  EXPECT_EQ("4 20", page.EventsOf(4).front());

  EXPECT_EQ(kAllEventBits, page.Get("Events").Number() & kAllEventBits);
  ASSERT_EQ(S_OK, page.Put("Events", Number(12345)).hr) << "any write clears";
  EXPECT_EQ(0, page.Get("Events").Number());
}

TEST(ClientEvents, AutoUpdateFalseRevokesTheHandlers) {
  ChanbindSession page;
  ASSERT_EQ(S_OK, page.Put("ChannelId", Number(12)).hr);
  ASSERT_EQ(S_OK, page.Call("Reset").hr);
  EXPECT_EQ(4u, HandlerLines(page));
  ASSERT_EQ(S_OK, page.Put("AutoUpdate", Bool(false)).hr);
  EXPECT_EQ(0u, HandlerLines(page));
  ASSERT_EQ(S_OK, page.client()->AddStories(12, Bstr(std::string(R"([{"id": 205, "title": "Late"}])")).get(), 0));
  testing_support::PumpMessages(500);
  EXPECT_TRUE(page.EventsOf(5).empty());
  EXPECT_EQ(3, page.Get("Count").Number()) << "no rows change";
  ASSERT_EQ(S_OK, page.Put("AutoUpdate", Bool(true)).hr);
  EXPECT_EQ(4u, HandlerLines(page));
  ASSERT_EQ(S_OK, page.Put("StoryEventMask", Number(1)).hr);
  EXPECT_EQ(4u, HandlerLines(page)) << "a new mask registers again";
}

TEST(ClientEvents, ReadyStateCompleteOnlyAfterTheCallReturned) {
  ChanbindSession page;
  bool in_call = false;
  std::vector<std::string> seen;
  page.events()->Handle(DISPID_READYSTATECHANGE, [&] {
    seen.push_back(std::string(in_call ? "inside " : "after ") + page.events()->journal().back());
  });
  in_call = true;
  ASSERT_EQ(S_OK, page.Call("Reset").hr);
  in_call = false;
  EXPECT_EQ(4, page.Get("ReadyState").Number());
  ASSERT_TRUE(page.WaitFor([&] { return !seen.empty() && seen.back() == "after -609 4"; }));
  for (const auto& line : seen) EXPECT_EQ(std::string::npos, line.find("inside -609 4")) << line;
  bool changed = false;
  for (const auto& line : page.events()->journal()) changed = changed || line == "changed -525";
  EXPECT_TRUE(changed);
}

TEST(ClientEvents, DeletingTheLastMonitoredChannelInvalidatesTheTable) {
  ChanbindSession page;
  auto listener = page.Bind("12");
  ASSERT_EQ(-1, page.Get("Valid").Number());
  page.events()->ClearJournal();
  listener->journal.clear();
  ASSERT_EQ(S_OK, page.client()->DeleteChannel(12));
  ASSERT_TRUE(page.WaitFor([&] { return !page.EventsOf(4).empty(); }));
  page.WaitFor([] { return false; }, 200);
  EXPECT_EQ(0, page.Get("Count").Number());
  EXPECT_EQ(3u, listener->journal.size() / 2) << "each row's deletion told";
  EXPECT_EQ(0, page.Get("Valid").Number());
  EXPECT_EQ(4, page.Get("ReadyState").Number());
  bool valid_notice = false;
  for (const auto& line : page.events()->journal()) valid_notice = valid_notice || line == "changed -524";
  EXPECT_TRUE(valid_notice);
  EXPECT_EQ(32, page.Get("Events").Number() & 32);
}

// Last: the client it ends leaves its class object behind for a while.
TEST(ClientEvents, ShutdownIsRaisedInTheClientsCall) {
  ChanbindSession page;
  ASSERT_EQ(3, page.Get("ChannelCount").Number());
  ASSERT_EQ(S_OK, page.client()->Quit());
  ASSERT_TRUE(page.WaitFor([&] { return !page.EventsOf(9).empty(); }));
  EXPECT_EQ(4, page.Get("Events").Number() & 4);
}

}  // namespace
