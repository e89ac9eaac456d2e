// Channel operations: the client calls each makes, what it returns, and its failure value
// when the client fails the call.
#include "operations_fixture.h"

namespace {

using ravlin_tests::OperationsTest;
using testing::Contains;
using testing::ElementsAre;
using testing::IsEmpty;

class ChannelOperations : public OperationsTest {};

// The record's values that a test compares.
std::string RecordText(ICHANNELINFO* record) {
  if (!record) return "none";
  char text[512];
  std::snprintf(text, sizeof text,
                "id=%lu name=%s flags=%ld categories=%s entry=%lu disabled=%ld unread=%ld hidden=%ld logo=%s "
                "visited=%ld until=%ld attributes=%ld",
                record->GetChannelId(), record->GetName(), record->GetFlags(), record->GetCategoriesText(),
                record->GetDirectoryEntryId(), record->IsDisabled(), record->GetUnreadStories(), record->GetHidden(),
                record->GetLogoFile(), record->GetLastVisited(), record->GetDisabledUntil(),
                record->GetAttributeFlags());
  return text;
}

std::string TakeRecordText(ICHANNELINFO* record) {
  std::string text = RecordText(record);
  if (record) record->Release();
  return text;
}

TEST_F(ChannelOperations, ChannelInfoIsBuiltFromTheChannelsProperties) {
  ChangeChannel(9, R"({"active": false, "hidden": true, "lastVisited": 946684800, "disabledUntil": 5,
                       "attributeFlags": 12, "logoFile": "C:\\logos\\news.bmp"})");
  EXPECT_EQ("id=7 name=Kelvane flags=4 categories=Updates;Halvern entry=301 disabled=0 unread=1 hidden=0 logo= "
            "visited=0 until=0 attributes=0",
            TakeRecordText(ZRGetChannelInfo(7)));
  EXPECT_EQ("id=9 name=News flags=0 categories=News entry=0 disabled=1 unread=1 hidden=1 logo=C:\\logos\\news.bmp "
            "visited=946684800 until=5 attributes=12",
            TakeRecordText(ZRGetChannelInfo(9)));
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Channels()", "Channels.get_Item(7)",
                                     "Channel[7].EnumProperties(56511, 1)", "Application.get_Channels()",
                                     "Channels.get_Item(9)", "Channel[9].EnumProperties(56511, 1)"));
}

TEST_F(ChannelOperations, ChannelInfoFailsForAnUnknownChannelOrAFailedCall) {
  EXPECT_EQ("none", TakeRecordText(ZRGetChannelInfo(99)));
  Fail("Channel.EnumProperties");
  EXPECT_EQ("none", TakeRecordText(ZRGetChannelInfo(7)));
  // A channel without a name gives no record.
  Load(ExampleWith(R"("name": "News")", R"("name": "")"));
  EXPECT_EQ("none", TakeRecordText(ZRGetChannelInfo(9)));
}

TEST_F(ChannelOperations, ChannelInfoFromDirectoryGoesThroughTheEntrysChannel) {
  EXPECT_THAT(TakeRecordText(ZRGetChannelInfoFromDir(301)), testing::StartsWith("id=7 name=Kelvane "));
  EXPECT_THAT(Journal(), ElementsAre("Application.get_ChannelDirectory()", "Directory.get_Entries()",
                                     "Entries.get_Item(301)", "Entry[301].get_Channel()",
                                     "Channel[7].EnumProperties(56511, 1)"));
  // Not subscribed: no channel, no record.
  EXPECT_EQ("none", TakeRecordText(ZRGetChannelInfoFromDir(302)));
}

TEST_F(ChannelOperations, EnumerateChannelsListsEveryChannelWithARecord) {
  ICHANNELINFOLIST* list = ZREnumerateChannels();
  ASSERT_TRUE(list);
  ASSERT_EQ(2, list->GetCount());
  EXPECT_THAT(TakeRecordText(list->GetItem(0)), testing::StartsWith("id=7 name=Kelvane "));
  EXPECT_THAT(TakeRecordText(list->GetItem(1)), testing::StartsWith("id=9 name=News "));
  list->Release();
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Channels()", "Channels.get__NewEnum()",
                                     "Channel[7].EnumProperties(56511, 1)", "Channel[9].EnumProperties(56511, 1)"));

  // A channel without a record is left out; no channels at all is an empty list.
  Fail("Channel[9].EnumProperties");
  list = ZREnumerateChannels();
  ASSERT_TRUE(list);
  EXPECT_EQ(1, list->GetCount());
  list->Release();
  Load("{}");
  list = ZREnumerateChannels();
  ASSERT_TRUE(list);
  EXPECT_EQ(0, list->GetCount());
  list->Release();
  Fail("Channels.get__NewEnum");
  EXPECT_EQ(nullptr, ZREnumerateChannels());
}

TEST_F(ChannelOperations, CategoriesAreSetAsAnArrayOfNames) {
  EXPECT_EQ(1, ZRSetChannelCategories(7, "Drivers;;BIOS"));
  EXPECT_THAT(JournalWithoutSinkCalls(), ElementsAre("Application.get_Channels()", "Channels.get_Item(7)",
                                     "Channel[7].put_Categories([\"Drivers\",\"BIOS\"])"));
  Fail("Channel.put_Categories");
  EXPECT_EQ(0, ZRSetChannelCategories(7, "Drivers"));
  EXPECT_EQ(0, ZRSetChannelCategories(7, nullptr));
}

TEST_F(ChannelOperations, SecuritySettingsAreReadFromTheChannel) {
  ChangeChannel(9, R"({"securityMode": 3, "securityFlags": 1028})");
  ESecurityMode mode = SECURITY_MODE_HIGH;
  ESecurityFlags flags = SECURITY_FLAG_ALLOW_EXECUTABLES;
  EXPECT_EQ(1, ZRGetChannelSecuritySettings(9, &mode, &flags));
  EXPECT_EQ(SECURITY_MODE_CUSTOM, mode);
  EXPECT_EQ(1028, static_cast<long>(flags));
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Channels()", "Channels.get_Item(9)", "Channel[9].get_SecurityMode()",
                                     "Channel[9].get_SecurityFlags()"));
  Fail("Channel.get_SecurityFlags");
  EXPECT_EQ(0, ZRGetChannelSecuritySettings(9, &mode, &flags));
}

TEST_F(ChannelOperations, TextsOfTheChannelGoIntoTheBuffer) {
  ChangeChannel(7, R"({"logoFile": "C:\\logos\\kelvane.bmp", "resourceFiles": {"banner": "C:\\res\\banner.gif"}})");
  QMBuffer logo, banner, status;
  EXPECT_EQ(1, ZRGetChannelLogoFile(7, logo));
  EXPECT_STREQ("C:\\logos\\kelvane.bmp", logo.GetText());
  EXPECT_EQ(1, ZRGetChannelResourceFile(7, "banner", banner));
  EXPECT_STREQ("C:\\res\\banner.gif", banner.GetText());
  EXPECT_EQ(1, ZRGetChannelStatus(7, status));
  EXPECT_STREQ("Idle", status.GetText());
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Channels()", "Channels.get_Item(7)", "Channel[7].get_LogoFile()",
                                     "Application.get_Channels()", "Channels.get_Item(7)",
                                     "Channel[7].get_ResourceFile(\"banner\")", "Application.get_Channels()",
                                     "Channels.get_Item(7)", "Channel[7].get_StatusText()"));
  EXPECT_EQ(0, ZRGetChannelResourceFile(7, "missing", banner));
  Fail("Channel.get_StatusText");
  EXPECT_EQ(0, ZRGetChannelStatus(7, status));
}

TEST_F(ChannelOperations, EnablingReadsAndWritesActive) {
  int enabled = 0;
  EXPECT_EQ(1, ZRIsChannelEnabled(7, &enabled));
  EXPECT_EQ(1, enabled);
  EXPECT_EQ(1, ZREnableChannel(7, 0));
  EXPECT_EQ(1, ZRIsChannelEnabled(7, &enabled));
  EXPECT_EQ(0, enabled);
  EXPECT_THAT(Journal(), Contains("Channel[7].put_Active(false)"));
  Fail("Channel.put_Active");
  EXPECT_EQ(0, ZREnableChannel(7, 1));
}

TEST_F(ChannelOperations, ConnectionAndDirectoryCalls) {
  EXPECT_EQ(1, ZRForceChannelConnection(9));
  EXPECT_EQ(1, ZRShowChannelDirectory(Parent()));
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Channels()", "Channels.get_Item(9)", "Channel[9].Update()",
                                     "Application.get_Channels()", "Channels.ShowChannelDirectory()"));
  EXPECT_EQ(0, ZRForceChannelConnection(99));
  Fail("Channels.ShowChannelDirectory");
  EXPECT_EQ(0, ZRShowChannelDirectory(Parent()));
}

TEST_F(ChannelOperations, ChannelDialogsRunOnTheLibraryThreadWithTheParent) {
  EXPECT_EQ(1, ZRShowChannelPropertiesDialog(Parent(), 9));
  EXPECT_EQ(1, ZRNewChannel(Parent()));
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Channels()", "Channels.get_Item(9)",
                                     "Channel[9].ShowPropertiesDialog(" + ParentNumber() + ")",
                                     "Application.get_Channels()", "Channels.ShowNewChannelDialog(" + ParentNumber() + ")"));
  Fail("Channel.ShowPropertiesDialog");
  Fail("Channels.ShowNewChannelDialog");
  EXPECT_EQ(0, ZRShowChannelPropertiesDialog(Parent(), 9));
  EXPECT_EQ(0, ZRNewChannel(Parent()));
}

}  // namespace
