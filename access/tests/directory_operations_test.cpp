// The channel directory: subscribing, look-ups between entries and channels, and the list of
// directory entries.
#include <algorithm>

#include "operations_fixture.h"

namespace {

using ravlin_tests::OperationsTest;
using testing::Contains;
using testing::ElementsAre;

class DirectoryOperations : public OperationsTest {};

std::vector<std::string> EntryPath(const std::string& id) {
  return {"Application.get_ChannelDirectory()", "Directory.get_Entries()", "Entries.get_Item(" + id + ")"};
}

std::vector<std::string> Then(std::vector<std::string> lines, const std::vector<std::string>& more) {
  lines.insert(lines.end(), more.begin(), more.end());
  return lines;
}

// Without the calls the notification sink makes on a channel it is told of.
std::vector<std::string> WithoutSinkCalls(std::vector<std::string> lines) {
  lines.erase(std::remove_if(lines.begin(), lines.end(),
                             [](const std::string& line) { return line.rfind("Channel[", 0) == 0; }),
              lines.end());
  return lines;
}

TEST_F(DirectoryOperations, SubscribingRunsOnTheEntryWithTheParent) {
  ASSERT_EQ(1, ZRRegisterNotificationCallback(ZRNOTIFY_DIRECTORY_ENTRY_SUBSCRIBED | ZRNOTIFY_DIRECTORY_ENTRY_UNSUBSCRIBED,
                                              ravlin_tests::RecordingCallback(ravlin_tests::Recorder::First)));
  EXPECT_EQ(1, ZRSubscribeToChannel(Parent(), 302));
  // The client tells of the new channel (the sink then reads its name and id) and of the entry.
  EXPECT_THAT(ravlin_tests::WaitForNotes(ravlin_tests::Recorder::First, 1), ElementsAre("DIRECTORY_ENTRY_SUBSCRIBED id=302"));
  EXPECT_THAT(WithoutSinkCalls(Journal()),
              testing::ElementsAreArray(Then(EntryPath("302"), {"Entry[302].Subscribe(" + ParentNumber() + ", 0)"})));
  ClearJournal();
  EXPECT_EQ(1, ZRUnsubscribeToChannel(Parent(), 301));
  EXPECT_THAT(ravlin_tests::WaitForNotes(ravlin_tests::Recorder::First, 1), ElementsAre("DIRECTORY_ENTRY_UNSUBSCRIBED id=301"));
  EXPECT_THAT(WithoutSinkCalls(Journal()),
              testing::ElementsAreArray(Then(EntryPath("301"), {"Entry[301].Unsubscribe(" + ParentNumber() + ", 0)"})));
  ZRUnRegisterNotificationCallback(ravlin_tests::RecordingCallback(ravlin_tests::Recorder::First));
  EXPECT_EQ(0, ZRSubscribeToChannel(Parent(), 399));
  Fail("Entry.Subscribe");
  EXPECT_EQ(0, ZRSubscribeToChannel(Parent(), 302));
}

TEST_F(DirectoryOperations, ChannelSettingsAreTheEntrysChannelsDialog) {
  EXPECT_EQ(1, ZRShowChannelSettings(Parent(), 301));
  EXPECT_THAT(Journal(), testing::ElementsAreArray(Then(
                             EntryPath("301"), {"Entry[301].get_Channel()", "Channel[7].ShowPropertiesDialog(" + ParentNumber() + ")"})));
  EXPECT_EQ(0, ZRShowChannelSettings(Parent(), 302));  // not subscribed: no channel
}

TEST_F(DirectoryOperations, LookUpsBetweenEntriesAndChannels) {
  DWORD channel = 0, entry = 0;
  EXPECT_EQ(1, ZRLookupSubscribedChannelID(301, &channel));
  EXPECT_EQ(7u, channel);
  EXPECT_EQ(1, ZRLookupDirectoryEntryID(7, &entry));
  EXPECT_EQ(301u, entry);
  EXPECT_THAT(Journal(), testing::ElementsAreArray(Then(
                             Then(EntryPath("301"), {"Entry[301].get_Channel()", "Channel[7].get_Id()"}),
                             {"Application.get_Channels()", "Channels.get_Item(7)", "Channel[7].get_DirectoryEntry()",
                              "Entry[301].get_Id()"})));
  EXPECT_EQ(0, ZRLookupSubscribedChannelID(302, &channel));
  EXPECT_EQ(0, ZRLookupDirectoryEntryID(9, &entry));  // not from the directory
  EXPECT_EQ(0, ZRLookupDirectoryEntryID(7, nullptr));
}

TEST_F(DirectoryOperations, UnsubscribingASubscribedChannelGoesThroughItsEntry) {
  EXPECT_EQ(1, ZRUnsubscribeToSubscribedChannel(Parent(), 7));
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Channels()", "Channels.get_Item(7)", "Channel[7].get_DirectoryEntry()",
                                     "Entry[301].Unsubscribe(" + ParentNumber() + ", 0)"));
  EXPECT_EQ(0, ZRUnsubscribeToSubscribedChannel(Parent(), 99));
}

const char kDirectory[] = R"({
  "channels": [ { "id": 7, "name": "Kelvane", "directoryEntry": 401 } ],
  "directory": { "entries": [
    { "id": 401, "name": "Kelvane", "subscribed": true, "channel": 7, "stateFlags": 2, "typeFlags": 3,
      "attributeFlags": 5, "generalFlags": 6, "description": "Halvern updates", "categories": ["Updates", "PC"],
      "keywords": "driver;bios;update;disk;extra", "keywordMatches": 4, "formFile": "form.htm",
      "timeAdded": 946684800 },
    { "id": 402, "stateFlags": 0 },
    { "id": 403, "name": "Hidden", "stateFlags": 3 },
    { "id": 404, "name": "Weather", "keywords": "rain" },
    { "id": 405, "name": "Sport", "keywords": "ball;net" }
  ] }
})";

struct Sites {
  DATA_LIST list{16};
  ~Sites() {
    for (long i = 0; i < list.GetCount(); ++i) delete reinterpret_cast<CSiteObj*>(list.GetAt(i));
  }
  CSiteObj& at(long i) { return *reinterpret_cast<CSiteObj*>(list.GetAt(i)); }
};

TEST_F(DirectoryOperations, EntryListHoldsEveryUsableEntryWithItsProperties) {
  Load(kDirectory);
  Sites sites;
  ASSERT_EQ(1, ZRPimboBuildDirectoryEntryList(&sites.list));
  EXPECT_THAT(Journal(), ElementsAre("Application.get_ChannelDirectory()", "Directory.EnumEntries(1, 2)",
                                     "Directory.EnumEntries(3, 1)"));
  // 402 has no name and 403 state bit 0: left out.
  ASSERT_EQ(3, sites.list.GetCount());
  CSiteObj& kelvane = sites.at(0);
  EXPECT_EQ(401u, kelvane.channel_id);
  EXPECT_STREQ("Kelvane", kelvane.name.GetText());
  EXPECT_EQ(1, kelvane.subscribed);
  EXPECT_EQ(2, kelvane.state_flags);
  EXPECT_EQ(3, kelvane.type_flags);
  EXPECT_EQ(5, kelvane.attribute_flags);
  EXPECT_EQ(6, kelvane.general_flags);
  EXPECT_STREQ("Halvern updates", kelvane.description.GetText());
  EXPECT_STREQ("Updates;PC", kelvane.categories.GetText());
  EXPECT_STREQ("form.htm", kelvane.form_file.GetText());
  EXPECT_EQ(946684800, kelvane.time_added);
  EXPECT_EQ(4, kelvane.keyword_matches);
  EXPECT_STREQ("driver", kelvane.keywords[0].GetText());
  EXPECT_STREQ("bios", kelvane.keywords[1].GetText());
  EXPECT_STREQ("update", kelvane.keywords[2].GetText());
  EXPECT_STREQ("disk;extra", kelvane.keywords[3].GetText());

  CSiteObj& weather = sites.at(1);
  EXPECT_EQ(404u, weather.channel_id);
  EXPECT_EQ(0, weather.subscribed);
  EXPECT_EQ(-1, weather.keyword_matches);
  EXPECT_STREQ("rain", weather.keywords[0].GetText());
  EXPECT_STREQ("", weather.keywords[1].GetText());
  CSiteObj& sport = sites.at(2);
  EXPECT_STREQ("ball", sport.keywords[0].GetText());
  EXPECT_STREQ("net", sport.keywords[1].GetText());
  EXPECT_STREQ("", sport.keywords[2].GetText());
}

TEST_F(DirectoryOperations, EntryListFailsWhenTheDirectoryCannotBeRead) {
  Sites sites;
  Fail("Directory.EnumEntries");
  EXPECT_EQ(0, ZRPimboBuildDirectoryEntryList(&sites.list));
  EXPECT_EQ(0, sites.list.GetCount());
  EXPECT_EQ(0, ZRPimboBuildDirectoryEntryList(nullptr));
}

}  // namespace
