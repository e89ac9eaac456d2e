// Page scripts run by the page stand-in (as IE runs a page with the OBJECT tag) against the
// stand-in client: what the script writes and what the data binding heard.
#include <gtest/gtest.h>

#include "chanbind_test_support.h"
#include "testing/process.h"
#include "testing/temp_dir.h"

namespace {

using namespace chanbind_test;
using namespace testing_support;

class PageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RunProgram("regsvr32 /s " + Quote(BuildOutput("Chanbind.dll")), 300000);
  }
  // Runs script on a page; options are further page_standin arguments.
  std::string RunPage(const std::string& script, const std::string& options = "") {
    WriteFile(folder_ / "page.js", script);
    const DWORD code = RunProgram(Quote(BuildOutput("page_standin.exe")) + " /script " + Quote(folder_ / "page.js") +
                                      " /out " + Quote(folder_ / "out.txt") + " " + options,
                                  120000);
    std::string output = FileExists(folder_ / "out.txt") ? ReadFile(folder_ / "out.txt") : "(no output)";
    if (code != 0) output += "exit " + std::to_string(code) + "\n";
    return output;
  }
  TempDir folder_;
};

TEST_F(PageTest, ChannelSelectionAndErrorsAsScriptExceptions) {
  StandinClient client(kFixture);
  const std::string output = RunPage(R"(
function tryIt(what, f) {
  try { f(); document.writeln(what + " ok"); }
  catch (e) { document.writeln(what + " " + (e.number >>> 0).toString(16) + " " + e.description); }
}
tryIt("column", function () { chanbind.Column("Title"); });
tryIt("news", function () { chanbind.ChannelId = "12"; });
tryIt("channels", function () { chanbind.Channels.Count; });
tryIt("kelvane", function () { chanbind.ChannelId = "7"; });
document.writeln(typeof chanbind.ChannelId + " " + chanbind.ChannelId + " " + chanbind.ChannelCount);
tryIt("below", function () { chanbind.Channel(-1); });
tryIt("beyond", function () { chanbind.Channel(1); });
document.writeln(chanbind.Channel(0).Name);
chanbind.Reset();
tryIt("find", function () { chanbind.Find("NO SUCH", "x"); });
document.writeln("title column " + chanbind.Column("Title") + ", rows " + chanbind.length);
document.writeln("story 1 " + chanbind.Story(1).Value("Title"));
tryIt("story 0", function () { chanbind.Story(0); });
document.writeln("include " + chanbind.IncludeChannel(12) + " " + chanbind.ChannelCount + " rows " + chanbind.Count);
)");
  EXPECT_EQ(
      "column 8000000a Story collection not initialized\n"
      "news 80070005 Requested channel is not secure\n"
      "channels 8000000a Channel collection not initialized\n"
      "kelvane ok\n"
      "number 7 1\n"
      "below 80070057 Index is out of bounds\n"
      "beyond 80070057 Index is out of bounds\n"
      "Kelvane\n"
      "find 80070057 Invalid column title\n"
      "title column 1, rows 3\n"
      "story 1 Display driver\n"
      "story 0 80070057 Index is out of bounds\n"
      "include undefined 2 rows 0\n",
      output);
}

TEST_F(PageTest, EventsReachTheHandlersOfThePage) {
  StandinClient client(kFixture);
  const std::string output = RunPage(R"(
function chanbind::OnNewStory(row) { document.writeln("OnNewStory " + row); }
function chanbind::OnStoryEvent(row, events) { document.writeln("OnStoryEvent " + row + " " + events); }
function chanbind::OnSetupEvent(events) { document.writeln("OnSetupEvent " + events); }
function chanbind::OnDeletedStory(story, row) { document.writeln("OnDeletedStory " + story.Value("Title") + " " + row); }
chanbind.ChannelId = 7;
chanbind.Reset();
chanbind.Events = 0;
var client = host.client;
client.AddStories(7, '[{"id": 104, "title": "Late news"}]', 0);
host.pump(300);
client.ChangeStories(7, '[{"id": 101, "title": "Display driver 2"}]', 1, 0);
host.pump(300);
client.DeleteStories(7, '[102]', 0);
host.pump(300);
client.ChangeSettings('{"autoplay": false}', 4);
host.pump(300);
document.writeln("Events " + chanbind.Events);
chanbind.AutoUpdate = false;
client.AddStories(7, '[{"id": 105, "title": "Unheard"}]', 0);
host.pump(300);
document.writeln("rows " + chanbind.length);
)");
  EXPECT_EQ(
      "OnNewStory 4\n"
      "OnStoryEvent 1 1\n"
      "OnDeletedStory BIOS notes 2\n"
      "OnSetupEvent 4\n"
      "Events 450\n"
      "rows 3\n",
      output);
}

// The OBJECT tag's control is safe for scripting: the client object stays closed to the page
// (no secure-page list admits it yet) while untrusted channels are monitored; a host that sets
// no safety bits gets it. new ActiveXObject goes through the page's security manager.
TEST_F(PageTest, TheAccessGateFromAPage) {
  StandinClient client(kFixture);
  const std::string script = R"(
try { document.writeln("client " + chanbind.Zorvane.Name); }
catch (e) { document.writeln("client " + (e.number >>> 0).toString(16) + " " + e.description); }
try { chanbind.CreateObject("Zorvane"); document.writeln("create ok"); }
catch (e) { document.writeln("create " + e.description); }
var other = new ActiveXObject("Zorvane.Channels.1");
document.writeln("another control sees " + other.ChannelCount + " channels");
)";
  EXPECT_EQ(
      "client 80070005 Security settings prevents access\n"
      "create Security settings prevents access\n"
      "another control sees 3 channels\n",
      RunPage(script));
  EXPECT_EQ(
      "client Zorvane\n"
      "create ok\n"
      "another control sees 3 channels\n",
      RunPage(script, "/unsafe"));
}

// A host that sets no safety bits (the gate is open): a category of untrusted channels binds.
// What a bound element shows follows in brackets: unread stories in the "newstory" class.
TEST_F(PageTest, BoundTableWithFilterAndSort) {
  StandinClient client(kFixture);
  const std::string output = RunPage(R"(
function chanbind::OnFilter(story) {
  chanbind.returnValue = story.Value("Title") == "Noon" ? 0 : 1;
}
host.bind("/News;-Story Time");
host.record();
host.table("Title,Story Time,CHANNEL");
document.writeln("ready " + chanbind.ReadyState + " valid " + chanbind.Valid);
)", "/unsafe");
  EXPECT_EQ(
      "dataMemberChanged (null)\n"
      "Title|Story Time|CHANNEL\n"
      "Evening [<SPAN CLASS=newstory>Evening</SPAN>]|20 [<SPAN CLASS=newstory>20</SPAN>]|"
      "News Desk [<SPAN CLASS=newstory>News Desk</SPAN>]\n"
      "Morning [<SPAN CLASS=newstory>Morning</SPAN>]|10 [<SPAN CLASS=newstory>10</SPAN>]|"
      "News Desk [<SPAN CLASS=newstory>News Desk</SPAN>]\n"
      // Match never had a READ value: unread, as its UNREAD cell says.
      "Match [<SPAN CLASS=newstory>Match</SPAN>]|5 [<SPAN CLASS=newstory>5</SPAN>]|"
      "Sports [<SPAN CLASS=newstory>Sports</SPAN>]\n"
      "ready 4 valid true\n",
      output);
}

TEST_F(PageTest, AsynchronousLoadingInSteps) {
  StandinClient client(BulkFixture(130));
  const std::string output = RunPage(R"(
var seen = 0;
function chanbind::OnFilter(story) { chanbind.returnValue = (++seen % 16 == 0) ? 1 : 0; }
function chanbind::OnReadyStateChange(state) { document.writeln("ready " + state); }
chanbind.Async = true;
host.bind("");
for (var i = 0; i < 200 && chanbind.ReadyState != 4; ++i) host.pump(50);
host.pump(100);
host.record();
document.writeln("rows " + chanbind.length + " seen " + seen);
)");
  EXPECT_EQ(
      "ready 3\n"
      "ready 4\n"
      "dataMemberChanged (null)\n"
      "rowsAvailable 1 4\n"
      "rowsAvailable 5 4\n"
      "transferComplete 0\n"
      "rows 8 seen 130\n",
      output);
}

}  // namespace
