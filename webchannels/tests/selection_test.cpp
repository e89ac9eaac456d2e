// Choosing the monitored channels from script: all, by id, by category, included and excluded,
// the same choice twice, the errors scripts see, and the access gate on the client object.
#include <gtest/gtest.h>

#include "chanbind_test_support.h"
#include "testing/scripting.h"

namespace {

using namespace chanbind_test;
using comsupport::Variant;

std::string NameOf(const CallResult& channel) {
  if (channel.value.type() != VT_DISPATCH) return "(no channel)";
  Variant name;
  testing_support::InvokeByName(channel.value.get()->pdispVal, "Name", DISPATCH_PROPERTYGET, {}, name.put());
  std::string text;
  name.ToText(text);
  return text;
}

size_t Count(const std::string& journal, const std::string& what) {
  size_t count = 0;
  for (size_t at = journal.find(what); at != std::string::npos; at = journal.find(what, at + 1)) ++count;
  return count;
}

TEST(ChannelSelection, AllByIdAndByCategory) {
  ChanbindSession page;
  EXPECT_EQ(3, page.Get("ChannelCount").Number());
  EXPECT_EQ("Kelvane", NameOf(page.Get("Channel", {Number(0)})));
  EXPECT_EQ("Sports", NameOf(page.Get("Channel", {Number(2)})));

  EXPECT_EQ(S_OK, page.Put("ChannelId", Text("12")).hr);
  CallResult id = page.Get("ChannelId");
  EXPECT_EQ(VT_I4, id.value.type()) << "a digit string reads back as a number";
  EXPECT_EQ(12, id.Number());
  EXPECT_EQ(1, page.Get("ChannelCount").Number());
  EXPECT_EQ("News Desk", NameOf(page.Get("Channel")));

  EXPECT_EQ(S_OK, page.Put("ChannelId", Variant()).hr);
  EXPECT_EQ(S_OK, page.Put("Category", Text("News")).hr);
  EXPECT_EQ(2, page.Get("ChannelCount").Number()) << "categories compare without case";
  EXPECT_EQ("News Desk", NameOf(page.Get("Channel", {Number(0)})));
  EXPECT_EQ("Sports", NameOf(page.Get("Channel", {Number(1)})));
}

TEST(ChannelSelection, TheSameValueAgainIsSFalseAndReadsNothing) {
  ChanbindSession page;
  ASSERT_EQ(S_OK, page.Put("ChannelId", Number(12)).hr);
  ASSERT_EQ(S_OK, page.Call("Reset", {Bool(true)}).hr);
  ASSERT_EQ(3, page.Get("Count").Number());
  page.standin().ClearJournal();
  EXPECT_EQ(S_FALSE, page.chanbind()->put_ChannelId(*Text("12").get()));
  EXPECT_EQ(0u, Count(page.standin().Journal(), "EnumStoryData")) << page.standin().Journal();
  EXPECT_EQ(3, page.Get("Count").Number()) << "the table stays";
  EXPECT_EQ(S_OK, page.Put("ChannelId", Number(7)).hr);
  EXPECT_EQ(0, page.Get("Count").Number()) << "a new selection drops the rows until the next Reset";
}

TEST(ChannelSelection, IncludeAndExcludeChangeTheMonitorOnce) {
  ChanbindSession page;
  ASSERT_EQ(S_OK, page.Put("ChannelId", Number(12)).hr);
  ASSERT_EQ(S_OK, page.Call("Reset").hr);
  EXPECT_EQ(S_OK, page.Call("IncludeChannel", {Number(20)}).hr);
  EXPECT_EQ(2, page.Get("ChannelCount").Number());
  EXPECT_EQ(0, page.Get("Count").Number()) << "the rows are dropped";
  EXPECT_EQ(S_FALSE, page.chanbind()->IncludeChannel(20));
  EXPECT_EQ(S_FALSE, page.chanbind()->IncludeChannel(999)) << "an unknown channel changes nothing";
  EXPECT_EQ(S_OK, page.Call("ExcludeChannel", {Number(12)}).hr);
  EXPECT_EQ(S_FALSE, page.chanbind()->ExcludeChannel(12));
  EXPECT_EQ("Sports", NameOf(page.Get("Channel", {Number(0)})));
}

TEST(ChannelSelection, ErrorsReachTheScriptWithTheirTexts) {
  ChanbindSession page;
  CallResult below = page.Get("Channel", {Number(-1)});
  EXPECT_EQ(E_INVALIDARG, below.hr);
  EXPECT_EQ("Index is out of bounds", below.error);
  EXPECT_EQ(E_INVALIDARG, page.Get("Channel", {Number(3)}).hr);
  CallResult no_list = page.Get("Column", {Text("Title")});
  EXPECT_EQ(E_PENDING, no_list.hr);
  EXPECT_EQ("Story collection not initialized", no_list.error);
  ASSERT_EQ(S_OK, page.Call("Reset").hr);
  CallResult unknown = page.Call("Find", {Text("NO SUCH COLUMN"), Text("x")});
  EXPECT_EQ(E_INVALIDARG, unknown.hr);
  EXPECT_EQ("Invalid column title", unknown.error);
  EXPECT_EQ(1, page.Get("Column", {Text("Title")}).Number());
  long absent = 5;
  EXPECT_EQ(S_FALSE, page.chanbind()->get_Column(comsupport::Bstr(std::string("nothing")).get(), &absent));
  EXPECT_EQ(0, absent);
}

TEST(ChannelSelection, AnUntrustedChannelIsRefusedWhenSafeForScripting) {
  ChanbindSession page(kFixture, 3);
  CallResult refused = page.Put("ChannelId", Number(12));
  EXPECT_EQ(E_ACCESSDENIED, refused.hr);
  EXPECT_EQ("Requested channel is not secure", refused.error);
  CallResult no_monitor = page.Get("Channels");
  EXPECT_EQ(E_PENDING, no_monitor.hr);
  EXPECT_EQ("Channel collection not initialized", no_monitor.error);
  EXPECT_EQ(S_OK, page.Put("ChannelId", Number(7)).hr) << "channel 7 trusts pages by its low security mode";
  EXPECT_EQ(1, page.Get("ChannelCount").Number());
}

TEST(AccessGate, OpenWithoutSafetyBits) {
  ChanbindSession page;
  CallResult client = page.Get("Zorvane");
  ASSERT_EQ(S_OK, client.hr);
  EXPECT_EQ(VT_DISPATCH, client.value.type());
  EXPECT_EQ(S_OK, page.Get("CreateObject", {Text("zorvane")}).hr) << "the allow-list ignores case";
  CallResult other = page.Get("CreateObject", {Text("Scripting.FileSystemObject")});
  EXPECT_EQ(E_ACCESSDENIED, other.hr);
  EXPECT_EQ("Security settings prevents access", other.error);
}

TEST(AccessGate, ClosedWithSafetyBitsUntilEveryChannelIsTrusted) {
  ChanbindSession page(kFixture, 1);
  CallResult client = page.Get("Zorvane");
  EXPECT_EQ(E_ACCESSDENIED, client.hr) << "channels 12 and 20 do not trust the page";
  EXPECT_EQ("Security settings prevents access", client.error);
  EXPECT_EQ(E_ACCESSDENIED, page.Get("CreateObject", {Text("Zorvane")}).hr);
  ASSERT_EQ(S_OK, page.Put("ChannelId", Number(7)).hr);
  EXPECT_EQ(S_OK, page.Get("Zorvane").hr);
}

// Each dialog opens on a thread of its own with the client interface marshaled there: the
// call returns at once and the client hears the dialog's call.
TEST(ClientDialogs, SetupDialogsOpenOnWorkerThreads) {
  ChanbindSession page;
  ASSERT_EQ(S_OK, page.Call("GlobalSetup").hr);
  ASSERT_EQ(S_OK, page.Call("AlertSetup").hr);
  ASSERT_EQ(S_OK, page.Call("FilterSetup").hr);
  ASSERT_EQ(S_OK, page.Call("QuickSetup").hr);
  ASSERT_EQ(S_OK, page.Call("Customize", {Number(1)}).hr);
  ASSERT_EQ(S_OK, page.Call("Setup").hr);
  EXPECT_EQ(E_INVALIDARG, page.Call("Setup", {Number(3)}).hr);
  const char* expected[] = {"ShowSetupDialog", "ShowAlertSetupDialog", "ShowFilterSetupDialog", "QuickSetupDialog",
                            "Channel[12].ShowCustomizeDialog", "Channel[7].ShowPropertiesDialog"};
  for (const char* call : expected) {
    EXPECT_TRUE(page.WaitFor([&] { return page.standin().Journal().find(call) != std::string::npos; }))
        << call << " in\n" << page.standin().Journal();
  }
}

}  // namespace
