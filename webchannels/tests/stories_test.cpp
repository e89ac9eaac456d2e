// Story objects and collections as page scripts use them, against one stand-in client for the
// whole program: values by title, added columns, the package's file access, replication and
// properties dialog, playing, the All and Stories collections, state columns written through
// the table reaching the client, and the time conversions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chanbind_test_support.h"
#include "testing/dialog_driver.h"
#include "testing/process.h"
#include "testing/registry.h"
#include "testing/temp_dir.h"

namespace {

using namespace chanbind_test;
using comsupport::Bstr;
using comsupport::ComPtr;
using comsupport::Variant;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr char kAttachmentClass[] = "HalvernChanbindAttachment";

// Rows sorted by "Story Time": 1 Display driver (7:101, package 5001, replicable, one
// attachment), 2 BIOS notes (7:102, package 5002 of an older client), 3 Audio pack (7:103, no
// package), 4 Morning (12:101), 5 Noon (12:202).
std::string Fixture(const std::string& attachment) {
  std::string escaped;
  for (char c : attachment) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return R"({
  "channels": [
    { "id": 7, "name": "Kelvane", "replicationSource": true,
      "stories": [
        { "id": 101, "title": "Display driver", "vessik": 5001,
          "fields": { "Story Time": 100, "VESSIK_ID": 5001, "VESSIK_REPLICABLE": 1, "HAS_ATTACHMENTS": 1,
                      "ATTACHMENT_URL_1": ")" + escaped + R"(" },
          "attributes": { "READ": 0, "KEEP": 0 } },
        { "id": 102, "title": "BIOS notes", "vessik": 5002,
          "fields": { "Story Time": 200, "VESSIK_ID": 5002, "VESSIK_REPLICABLE": 0 }, "attributes": { "READ": 1 } },
        { "id": 103, "title": "Audio pack", "fields": { "Story Time": 300 },
          "attributes": { "READ": 0 } } ] },
    { "id": 12, "name": "News Desk",
      "stories": [
        { "id": 101, "title": "Morning", "fields": { "Story Time": 400, "TEXT": "a" },
          "attributes": { "READ": 0, "STORY_LOCAL": 0 } },
        { "id": 202, "title": "Noon", "fields": { "Story Time": 500, "TEXT": "b" }, "attributes": { "READ": 1 } } ] }
  ],
  "vessiks": [
    { "id": 5001, "channel": 7, "name": "Driver pack", "replicable": true },
    { "id": 5002, "channel": 7, "name": "Notes pack", "extras": false }
  ]
})";
}

class StoryTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new testing_support::TempDir();
    attachment_ = *folder_ / "readme.zat";
    testing_support::WriteFile(attachment_, "attachment");
    // The shell opens the test type with the recording program.
    testing_support::WriteString(HKEY_CLASSES_ROOT, ".zat", "", kAttachmentClass);
    testing_support::WriteString(HKEY_CLASSES_ROOT, std::string(kAttachmentClass) + "\\shell\\open\\command", "",
                                 testing_support::Quote(testing_support::BuildOutput("chanbind_attachment_opener.exe")) +
                                     " \"%1\"");
    page_ = new ChanbindSession(Fixture(attachment_));
    page_->events()->Handle(0, [] {
      if (reject_next_) {
        reject_next_ = false;
        page_->Put("returnValue", Number(0));
      }
    });
  }
  static void TearDownTestSuite() {
    delete page_;
    page_ = nullptr;
    testing_support::DeleteTree(HKEY_CLASSES_ROOT, ".zat");
    testing_support::DeleteTree(HKEY_CLASSES_ROOT, kAttachmentClass);
    delete folder_;
    folder_ = nullptr;
  }
  // Every case starts from a freshly read table and an empty journal.
  void SetUp() override {
    ASSERT_EQ(S_OK, page_->Put("Sort", Text("Story Time")).hr);
    ASSERT_EQ(S_OK, page_->Call("Reset", {Bool(true)}).hr);
    ASSERT_EQ(5, page_->Get("length").Number());
    page_->standin().ClearJournal();
  }
  void TearDown() override { page_->client()->ClearFailures(); }

  static ComPtr<IChanbindStory> Story(long record) {
    ComPtr<IChanbindStory> story;
    CallResult result = page_->Get("Story", {Number(record)});
    if (result.value.type() == VT_DISPATCH && result.value.get()->pdispVal) {
      result.value.get()->pdispVal->QueryInterface(IID_IChanbindStory, story.put_void());
    }
    return story;
  }
  static std::string ValueOf(IChanbindStory* story, const char* title) {
    Variant value;
    story->get_Value(*Text(title).get(), value.put());
    std::string text;
    value.ToText(text);
    return text;
  }
  static std::string Journal() { return page_->standin().Journal(); }
  static long ColumnOf(const char* title) { return page_->Get("Column", {Text(title)}).Number(); }
  static Variant Cell(long row, const char* title) {
    Variant value;
    page_->provider()->getVariant(row, ColumnOf(title), OSPFORMAT_RAW, value.put());
    return value;
  }
  static long CountOf(IUnknown* enumerable) {
    ComPtr<IEnumVARIANT> items;
    if (!enumerable || FAILED(enumerable->QueryInterface(IID_IEnumVARIANT, items.put_void()))) return -1;
    long count = 0;
    Variant item;
    while (items->Next(1, item.put(), nullptr) == S_OK) ++count;
    return count;
  }

  static testing_support::TempDir* folder_;
  static std::string attachment_;
  static ChanbindSession* page_;
  static bool reject_next_;
};

testing_support::TempDir* StoryTest::folder_ = nullptr;
std::string StoryTest::attachment_;
ChanbindSession* StoryTest::page_ = nullptr;
bool StoryTest::reject_next_ = false;

TEST_F(StoryTest, ValuesAreTheTableCellsAndRecordsAreCheckedAgainstTheRows) {
  ComPtr<IChanbindStory> first = Story(1);
  ASSERT_TRUE(first);
  EXPECT_EQ(page_->Table({"Title"}).substr(0, 15), "Display driver\n");
  EXPECT_EQ("Display driver", ValueOf(first.get(), "Title"));
  Variant by_number;
  EXPECT_EQ(S_OK, first->get_Value(*Number(ColumnOf("Title")).get(), by_number.put()));
  EXPECT_EQ(VT_BSTR, by_number.type());

  Variant unknown;
  EXPECT_EQ(S_FALSE, first->get_Value(*Text("NO SUCH").get(), unknown.put()));
  EXPECT_EQ(VT_EMPTY, unknown.type());
  VARIANT_BOOL exists = VARIANT_FALSE;
  EXPECT_EQ(S_OK, first->get_Exists(*Text("VESSIK_ID").get(), &exists));
  EXPECT_EQ(S_FALSE, first->get_Exists(*Text("TEXT").get(), &exists)) << "TEXT needs a non-empty string";
  EXPECT_EQ(S_FALSE, first->get_Exists(*Number(999).get(), &exists));

  for (long record : {0L, 6L, -1L}) {
    const CallResult outside = page_->Get("Story", {Number(record)});
    EXPECT_EQ(E_INVALIDARG, outside.hr) << record;
    EXPECT_EQ("Index is out of bounds", outside.error) << record;
  }
}

TEST_F(StoryTest, AddMakesAColumnThatOtherRowsShowEmpty) {
  ComPtr<IChanbindStory> second = Story(2);
  ASSERT_EQ(S_OK, second->Add(*Text("NOTE").get(), *Text("checked").get(), *Variant().get()));
  EXPECT_GT(ColumnOf("NOTE"), 0);
  EXPECT_EQ("Display driver|\nBIOS notes|checked\nAudio pack|\nMorning|\nNoon|\n", page_->Table({"Title", "NOTE"}));
  EXPECT_EQ(S_OK, second->put_Value(*Number(ColumnOf("NOTE")).get(), *Text("again").get()));
  EXPECT_EQ("again", ValueOf(Story(2).get(), "NOTE"));

  long columns = page_->Get("Column", {Text("NOTE")}).Number();
  EXPECT_EQ(E_INVALIDARG, second->Add(*Number(columns + 1).get(), *Text("x").get(), *Variant().get()));
  EXPECT_EQ(E_INVALIDARG, second->Add(*Number(-1).get(), *Text("x").get(), *Variant().get()));
  EXPECT_EQ(E_INVALIDARG, second->Add(*Text("KIND").get(), *Text("x").get(), *Number(7).get()));
  EXPECT_EQ(E_INVALIDARG, second->Add(*Text("").get(), *Text("x").get(), *Variant().get()));
  EXPECT_EQ(0, ColumnOf("KIND")) << "a refused Add registers no column";
}

TEST_F(StoryTest, AccessOpensThePackageFilesThroughTheExtendedPackage) {
  EXPECT_EQ(S_FALSE, Story(3)->Access(*Number(0).get(), *Number(5).get())) << "no package";
  EXPECT_EQ(S_FALSE, Story(2)->Access(*Number(0).get(), *Number(5).get())) << "an older client's package";
  EXPECT_THAT(Journal(), Not(HasSubstr(".Access(")));

  EXPECT_EQ(S_OK, Story(1)->Access(*Number(FILE_ACCESS_ASYNC).get(), *Number(15).get()));
  EXPECT_THAT(Journal(), HasSubstr("Vessik[5001].Access(4, 15)"));

  page_->client()->FailMember(Bstr("Vessik.Access").get(), STG_E_MEDIUMFULL, 1);
  EXPECT_EQ(STG_E_MEDIUMFULL, Story(1)->Access(*Number(0).get(), *Number(1).get())) << "the client's failure comes back";
}

TEST_F(StoryTest, ReplicateNeedsAReplicablePackage) {
  EXPECT_EQ(E_NOTIMPL, Story(2)->Replicate());
  EXPECT_EQ(E_NOTIMPL, Story(3)->Replicate()) << "no VESSIK_REPLICABLE at all";
  EXPECT_THAT(Journal(), Not(HasSubstr("Replicat")));

  EXPECT_EQ(S_OK, Story(1)->Replicate());
  const std::string journal = Journal();
  EXPECT_THAT(journal, HasSubstr("Channel[7].get_ReplicationSource()"));
  EXPECT_THAT(journal, HasSubstr("ReplicatorClass.CreateInstance()"));
  EXPECT_THAT(journal, HasSubstr("Replication.Attach("));
  EXPECT_THAT(journal, HasSubstr(", 0)"));
  EXPECT_THAT(journal, HasSubstr("Replication.Replicate("));
}

TEST_F(StoryTest, PropertiesRunsTheClientDialogOnAnotherThreadOnceAtATime) {
  EXPECT_EQ(S_FALSE, Story(3)->Properties()) << "no package";
  // The call returns while the dialog is open: it waits on a thread of its own.
  ASSERT_EQ(S_OK, Story(1)->Properties());
  auto dialog = testing_support::WaitForDialog("Driver pack Properties", 20000);
  ASSERT_TRUE(dialog) << Journal();
  EXPECT_EQ(S_FALSE, Story(1)->Properties()) << "a second request while it is open";
  const std::string journal = Journal();
  EXPECT_EQ(journal.find("ShowPropertiesDialog"), journal.rfind("ShowPropertiesDialog")) << "shown once";
  ASSERT_TRUE(dialog->Press("OK"));
  ASSERT_TRUE(dialog->WaitClosed(10000));

  // Once the thread has finished the dialog can be opened again.
  HRESULT again = S_FALSE;
  page_->WaitFor([&] { return (again = Story(1)->Properties()) == S_OK; }, 10000);
  ASSERT_EQ(S_OK, again);
  auto second = testing_support::WaitForDialog("Driver pack Properties", 20000);
  ASSERT_TRUE(second);
  second->Press("OK");
  EXPECT_TRUE(second->WaitClosed(10000));
}

TEST_F(StoryTest, PlayOpensAnAttachmentThroughTheShellOrAsksTheClient) {
  // The attachment is of no safe type and its channel trusts no files: the user is asked, by
  // Play and by a script reading the path, and "No" lets neither have it.
  HRESULT hr = E_FAIL;
  WarningSeen refused = AnsweringSecurityWarning("No", {}, [&] { hr = Story(1)->Play(*Number(1).get()); });
  EXPECT_TRUE(refused.dialog);
  EXPECT_EQ(S_FALSE, hr);
  Variant path;
  WarningSeen hidden = AnsweringSecurityWarning("No", {}, [&] {
    Story(1)->get_Value(*Text("ATTACHMENT_URL_1").get(), path.put());
  });
  EXPECT_TRUE(hidden.dialog);
  EXPECT_EQ(VT_BOOL, path.type());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((attachment_ + ".opened").c_str())) << "nothing was opened";

  WarningSeen allowed = AnsweringSecurityWarning("Yes", {}, [&] { hr = Story(1)->Play(*Number(1).get()); });
  EXPECT_TRUE(allowed.dialog);
  ASSERT_EQ(S_OK, hr);
  EXPECT_TRUE(testing_support::WaitForFile(attachment_ + ".opened", 20000)) << "the registered program was started";
  EXPECT_THAT(Journal(), Not(HasSubstr(".Play(")));

  // A missing attachment opens nothing (an empty name would open the current folder).
  EXPECT_EQ(E_INVALIDARG, Story(1)->Play(*Number(2).get()));
  EXPECT_EQ(E_INVALIDARG, Story(3)->Play(*Number(1).get()));

  Variant missing;
  missing.put()->vt = VT_ERROR;
  missing.get()->scode = DISP_E_PARAMNOTFOUND;
  EXPECT_EQ(S_OK, Story(3)->Play(*missing.get()));
  EXPECT_THAT(Journal(), HasSubstr("Story[7:103].Play("));
  EXPECT_THAT(Journal(), HasSubstr(", 0)")) << "STORY_PLAY_NONE";

  page_->client()->FailMember(Bstr("Story.Play").get(), E_ACCESSDENIED, 1);
  EXPECT_EQ(E_ACCESSDENIED, Story(3)->Play(*missing.get()));
}

TEST_F(StoryTest, AllHoldsEveryStoryReadAndStoriesTheFilteredRows) {
  reject_next_ = true;  // the filter rejects the row it is asked about
  ASSERT_EQ(S_OK, page_->Call("FilterRows", {Number(5), Number(1)}).hr);
  ASSERT_EQ(4, page_->Get("length").Number());

  ComPtr<IChanbindStoryCollection> all, stories;
  ASSERT_EQ(S_OK, page_->chanbind()->get_All(all.put()));
  ASSERT_EQ(S_OK, page_->chanbind()->get_Stories(stories.put()));
  long count = 0;
  all->get_Count(&count);
  EXPECT_EQ(5, count);
  stories->get_length(&count);
  EXPECT_EQ(4, count);

  ComPtr<IUnknown> enumerator;
  ASSERT_EQ(S_OK, all->get__NewEnum(enumerator.put()));
  EXPECT_EQ(5, CountOf(enumerator.get()));
  ASSERT_EQ(S_OK, stories->get__NewEnum(enumerator.put()));
  EXPECT_EQ(4, CountOf(enumerator.get()));
  ASSERT_EQ(S_OK, page_->chanbind()->get__NewEnum(enumerator.put()));
  EXPECT_EQ(4, CountOf(enumerator.get())) << "the control enumerates the filtered stories";

  // Without a channel the first monitored channel (7) is meant; story ids repeat across channels.
  ComPtr<IChanbindStory> story;
  Variant none;
  ASSERT_EQ(S_OK, stories->get_Item(101, *none.get(), story.put()));
  EXPECT_EQ("Display driver", ValueOf(story.get(), "Title"));
  ASSERT_EQ(S_OK, stories->get_Item(101, *Number(12).get(), story.put()));
  EXPECT_EQ("Morning", ValueOf(story.get(), "Title"));
  ASSERT_EQ(S_OK, stories->get_Item(101, *Text("12").get(), story.put()));
  EXPECT_EQ("Morning", ValueOf(story.get(), "Title"));
  EXPECT_EQ(S_FALSE, stories->get_Item(202, *none.get(), story.put())) << "202 is not in channel 7";
  EXPECT_FALSE(story);
  EXPECT_EQ(S_FALSE, stories->get_Item(202, *Number(12).get(), story.put())) << "filtered out";
  ASSERT_EQ(S_OK, all->get_Item(202, *Number(12).get(), story.put()));
  EXPECT_EQ("Noon", ValueOf(story.get(), "Title"));
  EXPECT_EQ(S_FALSE, all->get_Item(999, *none.get(), story.put()));

  // Scripts call Item as a method, with or without the channel.
  ComPtr<IDispatch> script;
  stories->QueryInterface(IID_IDispatch, script.put_void());
  Variant arguments[2] = {Number(12), Number(101)};
  DISPPARAMS params = {reinterpret_cast<VARIANT*>(arguments), nullptr, 2, 0};
  Variant found;
  ASSERT_EQ(S_OK, script->Invoke(0, IID_NULL, 0, DISPATCH_METHOD, &params, found.put(), nullptr, nullptr));
  ASSERT_EQ(VT_DISPATCH, found.type());
}

TEST_F(StoryTest, CollectionsNeedAStoryList) {
  ComPtr<IClassFactory> factory = ChanbindFactory();
  ComPtr<IChanbind3> fresh;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IChanbind3, fresh.put_void()));
  ComPtr<IChanbindStoryCollection> collection;
  EXPECT_EQ(E_PENDING, fresh->get_All(collection.put()));
  EXPECT_EQ(E_PENDING, fresh->get_Stories(collection.put()));
  ComPtr<IUnknown> enumerator;
  EXPECT_EQ(E_PENDING, fresh->get__NewEnum(enumerator.put()));
  ComPtr<IChanbindStory> story;
  EXPECT_EQ(E_PENDING, fresh->get_Story(1, story.put()));
}

TEST_F(StoryTest, StateColumnsWrittenThroughTheTableReachTheClient) {
  auto listener = ComPtr<standin::BindingRecorder>::Attach(new standin::BindingRecorder());
  page_->provider()->addOLEDBSimpleProviderListener(listener.get());
  // The consumer reads the title and the unread mark of row 4.
  ASSERT_EQ(VT_BSTR, Cell(4, "Title").type());
  ASSERT_EQ(VARIANT_TRUE, Cell(4, "UNREAD").get()->boolVal);
  const long title = ColumnOf("Title"), unread = ColumnOf("UNREAD"), read = ColumnOf("READ");

  ASSERT_EQ(S_OK, page_->provider()->setVariant(4, read, OSPFORMAT_RAW, *Bool(true).get()));
  EXPECT_THAT(Journal(), HasSubstr("Story[12:101].MarkAsRead()"));
  EXPECT_EQ(VARIANT_FALSE, Cell(4, "UNREAD").get()->boolVal) << "UNREAD follows READ";
  // The client's own change notice may add more once it is delivered; the write's come first.
  ASSERT_GE(listener->journal.size(), 4u);
  EXPECT_THAT(std::vector<std::string>(listener->journal.begin(), listener->journal.begin() + 4),
              ::testing::ElementsAre("aboutToChangeCell 4 " + std::to_string(title),
                                     "aboutToChangeCell 4 " + std::to_string(unread),
                                     "cellChanged 4 " + std::to_string(title), "cellChanged 4 " + std::to_string(unread)));

  page_->standin().ClearJournal();
  ASSERT_EQ(S_OK, page_->provider()->setVariant(4, unread, OSPFORMAT_RAW, *Text("True").get()));
  EXPECT_THAT(Journal(), HasSubstr("Story[12:101].MarkAsUnread()"));
  EXPECT_EQ(VARIANT_FALSE, Cell(4, "READ").get()->boolVal);

  ASSERT_EQ(S_OK, page_->provider()->setVariant(4, ColumnOf("STORY_LOCAL"), OSPFORMAT_RAW, *Bool(true).get()));
  EXPECT_THAT(Journal(), HasSubstr("Story[12:101].Download()"));

  const std::string icon_before = [&] { std::string t; Cell(1, "ICON").ToText(t); return t; }();
  ASSERT_EQ(S_OK, page_->provider()->setVariant(1, ColumnOf("KEEP"), OSPFORMAT_RAW, *Bool(true).get()));
  EXPECT_THAT(Journal(), HasSubstr("Vessik[5001].put_KeepMode(-2147483647)"));
  std::string icon_after;
  Cell(1, "ICON").ToText(icon_after);
  EXPECT_NE(icon_before, icon_after) << "the icon shows the kept story";
  ASSERT_EQ(S_OK, page_->provider()->setVariant(1, ColumnOf("KEEP"), OSPFORMAT_RAW, *Bool(false).get()));
  EXPECT_THAT(Journal(), HasSubstr("Vessik[5001].put_KeepMode(-2147483648)"));

  // A refused change and a value that is no boolean change nothing and notify nothing.
  page_->WaitFor([] { return false; }, 300);  // the client's change notices of the writes above
  listener->journal.clear();
  page_->standin().ClearJournal();
  page_->client()->FailMember(Bstr("Story.MarkAsRead").get(), E_ACCESSDENIED, 1);
  EXPECT_EQ(E_ACCESSDENIED, page_->provider()->setVariant(4, read, OSPFORMAT_RAW, *Bool(true).get()));
  EXPECT_EQ(VARIANT_TRUE, Cell(4, "UNREAD").get()->boolVal);
  EXPECT_EQ(DISP_E_TYPEMISMATCH, page_->provider()->setVariant(4, read, OSPFORMAT_RAW, *Text("banana").get()));
  EXPECT_THAT(Journal(), Not(HasSubstr("MarkAsUnread")));
  EXPECT_TRUE(listener->journal.empty()) << ::testing::PrintToString(listener->journal);
  page_->provider()->removeOLEDBSimpleProviderListener(listener.get());
}

TEST_F(StoryTest, TimesConvertThroughLocalTime) {
  // 1 January 1970 00:00 UTC as the local clock shows it.
  SYSTEMTIME epoch = {1970, 1, 4, 1, 0, 0, 0, 0}, local{};
  ASSERT_TRUE(::SystemTimeToTzSpecificLocalTime(nullptr, &epoch, &local));
  double expected = 0;
  ASSERT_TRUE(::SystemTimeToVariantTime(&local, &expected));
  const CallResult date = page_->Get("TimeToDate", {Number(0)});
  ASSERT_EQ(S_OK, date.hr);
  ASSERT_EQ(VT_DATE, date.value.type());
  EXPECT_DOUBLE_EQ(expected, date.value.get()->date);

  const CallResult later = page_->Get("TimeToDate", {Number(1234567890)});
  ASSERT_EQ(S_OK, later.hr);
  EXPECT_EQ(1234567890, page_->Get("DateToTime", {later.value}).Number());
  EXPECT_EQ(E_FAIL, page_->Get("TimeToDate", {Number(-1)}).hr) << "before the epoch local time cannot say";
}

// A page's script, run by the page stand-in against the same client: the collections by
// enumeration and as default members, and values added from the script.
TEST_F(StoryTest, APageScriptReachesStoriesAndCollections) {
  testing_support::RunProgram("regsvr32 /s " + testing_support::Quote(testing_support::BuildOutput("Chanbind.dll")),
                              300000);
  testing_support::WriteFile(*folder_ / "page.js", R"(
chanbind.Sort = "Story Time";
chanbind.Reset(true);
var first = chanbind.Story(1);
document.writeln(first.Value("Title") + " " + first.Exists("VESSIK_ID") + " " + first.Exists("TEXT"));
var titles = [];
for (var e = new Enumerator(chanbind.Stories); !e.atEnd(); e.moveNext()) titles.push(e.item().Value("Title"));
document.writeln(titles.join(","));
document.writeln(chanbind.All.length + " " + chanbind.Stories.Item(101).Value("Title") + " " +
                 chanbind.All.Item(101, 12).Value("Title") + " " + chanbind.Stories.Item(999));
chanbind.Story(2).Add("NOTE", "set");
chanbind.Story(3).Add("NOTE", "added", 1);
document.writeln((chanbind.Column("NOTE") > 0) + " " + chanbind.Story(2).Value("NOTE") + " " +
                 chanbind.Story(3).Value("NOTE") + " " + chanbind.Story(1).Exists("NOTE"));
try { chanbind.Story(1).Add(99, "x"); } catch (x) { document.writeln("add " + (x.number >>> 0).toString(16)); }
)");
  const std::string out = *folder_ / "out.txt";
  const DWORD code = testing_support::RunProgram(
      testing_support::Quote(testing_support::BuildOutput("page_standin.exe")) + " /script " +
          testing_support::Quote(*folder_ / "page.js") + " /out " + testing_support::Quote(out),
      120000);
  EXPECT_EQ(0u, code);
  EXPECT_EQ(
      "Display driver true false\n"
      "Display driver,BIOS notes,Audio pack,Morning,Noon\n"
      "5 Display driver Morning null\n"
      "true set added false\n"
      "add 80070057\n",
      testing_support::FileExists(out) ? testing_support::ReadFile(out) : "(no output)");
}

}  // namespace
