// Story operations, the channel data, and keeping.
#include "operations_fixture.h"

namespace {

using ravlin_tests::OperationsTest;
using ravlin_tests::Recorder;
using testing::Contains;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::Not;

class StoryOperations : public OperationsTest {};

std::vector<std::string> StoryPath(const std::string& channel, const std::string& story) {
  return {"Application.get_Channels()", "Channels.get_Item(" + channel + ")", "Channel[" + channel + "].get_Stories()",
          "Stories[" + channel + "].get_Item(" + story + ")"};
}

std::vector<std::string> Then(std::vector<std::string> lines, const std::vector<std::string>& more) {
  lines.insert(lines.end(), more.begin(), more.end());
  return lines;
}

TEST_F(StoryOperations, PlayMarkDeleteAndDownloadCallTheStory) {
  EXPECT_EQ(1, ZRPlayStory(7, 1001, Parent()));
  EXPECT_THAT(Journal(), testing::ElementsAreArray(Then(StoryPath("7", "1001"),
                                                        {"Story[7:1001].Play(" + ParentNumber() + ", 0)"})));
  ClearJournal();
  EXPECT_EQ(1, ZRMarkStoryUnread(7, 1002));
  EXPECT_EQ(1, ZRDeleteStory(9, 2001));
  EXPECT_EQ(1, ZRDownloadStory(7, 1002));
  std::vector<std::string> expected = Then(StoryPath("7", "1002"), {"Story[7:1002].MarkAsUnread()"});
  expected = Then(Then(expected, StoryPath("9", "2001")), {"Story[9:2001].Delete()"});
  expected = Then(Then(expected, StoryPath("7", "1002")), {"Story[7:1002].Download()"});
  EXPECT_THAT(Journal(), testing::ElementsAreArray(expected));
  EXPECT_EQ(0, ZRDeleteStory(9, 2001));  // gone
  for (const char* member : {"Story.Play", "Story.MarkAsUnread", "Story.Download"}) Fail(member);
  EXPECT_EQ(0, ZRPlayStory(7, 1001, Parent()));
  EXPECT_EQ(0, ZRMarkStoryUnread(7, 1001));
  EXPECT_EQ(0, ZRDownloadStory(7, 1001));
}

TEST_F(StoryOperations, MarkReadUsesTheExtendedCallWithTheFlags) {
  EXPECT_EQ(1, ZRMarkStoryRead(7, 1001, STORY_READ_NO_EVENT));
  EXPECT_THAT(Journal(), testing::ElementsAreArray(Then(StoryPath("7", "1001"), {"Story[7:1001].MarkAsReadEx(1)"})));
  Fail("Story.MarkAsReadEx");
  EXPECT_EQ(0, ZRMarkStoryRead(7, 1001, STORY_READ_DEFAULT));
}

TEST_F(StoryOperations, MarkReadWithoutTheExtendedCallSucceedsOnlyForFlagsZero) {
  Load(ExampleWith(R"("workgroup": "")", R"("workgroup": "", "extendedRead": false)"));
  EXPECT_EQ(1, ZRMarkStoryRead(7, 1001, STORY_READ_DEFAULT));
  EXPECT_THAT(Journal(), testing::ElementsAreArray(Then(StoryPath("7", "1001"), {"Story[7:1001].MarkAsRead()"})));
  ClearJournal();
  // The story is marked read, but the flags could not be honoured.
  EXPECT_EQ(0, ZRMarkStoryRead(9, 2001, STORY_READ_NO_EVENT));
  EXPECT_THAT(Journal(), testing::ElementsAreArray(Then(StoryPath("9", "2001"), {"Story[9:2001].MarkAsRead()"})));
}

TEST_F(StoryOperations, ListsOfStoriesTravelAsArraysOfIds) {
  DATA_LIST ids(16);
  ids.Add(1001);
  ids.Add(1002);
  EXPECT_EQ(1, ZRMarkStoriesRead(7, ids, 1));
  EXPECT_EQ(1, ZRDeleteStories(7, ids));
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Channels()", "Channels.get_Item(7)",
                                     "Channel[7].MarkStoriesRead([1001,1002], true)", "Application.get_Channels()",
                                     "Channels.get_Item(7)", "Channel[7].DeleteStories([1001,1002])"));
  Fail("Channel.DeleteStories");
  EXPECT_EQ(0, ZRDeleteStories(7, ids));
  EXPECT_EQ(0, ZRMarkStoriesRead(99, ids, 0));
}

TEST_F(StoryOperations, ChannelDataHoldsInfoValuesAndOneRecordPerStory) {
  ICHANNELDATA2* data = ZRReadChannelData(7);
  ASSERT_TRUE(data);
  QMBuffer value;
  EXPECT_EQ(1, data->GetInfoValue("Format", value));
  EXPECT_STREQ("Standard", value.GetText());
  ASSERT_EQ(2, data->GetRecordCount());
  ICHANNELDATARECORD* record = data->GetRecord(0);
  ASSERT_TRUE(record);
  EXPECT_EQ(1001u, record->GetStoryId());
  long vessik = 0;
  EXPECT_EQ(1, record->GetFieldNumber("Vessik Id", vessik));
  EXPECT_EQ(5001, vessik);
  EXPECT_EQ(1, record->GetField("Text", value));
  EXPECT_STREQ("New display driver", value.GetText());
  record->Release();
  data->Release();
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Channels()", "Channels.get_Item(7)", "Channel[7].EnumStoryData(1, 1)"));
  Fail("Channel.EnumStoryData");
  EXPECT_EQ(nullptr, ZRReadChannelData(7));
}

TEST_F(StoryOperations, KeepingSetsTheAttributeAndKeepsTheVessik) {
  ASSERT_EQ(1, ZRRegisterNotificationCallback(ZRNOTIFY_STORY_KEPT, ravlin_tests::RecordingCallback(Recorder::First)));
  EXPECT_EQ(1, ZRKeepStory(7, 5001, 1001, 1));
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Channels()", "Channels.get_Item(7)", "Channel[7].get_Vessiks()",
                                     "Vessiks[7].get_Item(5001)", "Channel[7].get_Stories()", "Stories[7].get_Item(1001)",
                                     "Story[7:1001].get_Attributes()", "Attributes[7:1001].Add(\"Keep\", 1)",
                                     "Vessik[5001].put_KeepMode(-2147483647)"));
  // Raised by the library itself on this thread, before the client's own story event.
  std::vector<std::string> notes = ravlin_tests::WaitForNotes(Recorder::First, 2);
  ASSERT_FALSE(notes.empty());
  EXPECT_EQ("STORY_KEPT id=7 vessik=5001 story=1001", notes.front());
  ZRUnRegisterNotificationCallback(ravlin_tests::RecordingCallback(Recorder::First));
}

TEST_F(StoryOperations, UnkeepingTheLastStoryUnkeepsTheVessik) {
  ASSERT_EQ(1, ZRRegisterNotificationCallback(ZRNOTIFY_STORY_UNKEPT, ravlin_tests::RecordingCallback(Recorder::First)));
  EXPECT_EQ(1, ZRKeepStory(7, 5001, 1001, 0));
  std::vector<std::string> journal = Journal();
  EXPECT_THAT(journal, Contains("Attributes[7:1001].Add(\"Keep\", 0)"));
  EXPECT_THAT(journal, Contains("Channel[7].EnumStoryData(1, 1)"));
  EXPECT_EQ("Vessik[5001].put_KeepMode(-2147483648)", journal.back());
  EXPECT_THAT(ravlin_tests::TakeNotes(Recorder::First), Contains("STORY_UNKEPT id=7 vessik=5001 story=1001"));
  ZRUnRegisterNotificationCallback(ravlin_tests::RecordingCallback(Recorder::First));
}

TEST_F(StoryOperations, UnkeepingLeavesAVessikThatAnotherStoryKeeps) {
  Load(ExampleWith(R"("attributes": { "Read": 1 })",
                   R"("attributes": { "Read": 1 } }, { "id": 1003, "vessik": 5001, "attributes": { "Keep": 1 })"));
  ASSERT_EQ(1, ZRRegisterNotificationCallback(ZRNOTIFY_STORY_UNKEPT, ravlin_tests::RecordingCallback(Recorder::First)));
  EXPECT_EQ(1, ZRKeepStory(7, 5001, 1001, 0));
  std::vector<std::string> journal = Journal();
  EXPECT_THAT(journal, Contains("Attributes[7:1001].Add(\"Keep\", 0)"));
  EXPECT_THAT(journal, Not(Contains(testing::HasSubstr("put_KeepMode"))));
  EXPECT_THAT(ravlin_tests::TakeNotes(Recorder::First), ElementsAre("STORY_UNKEPT id=7 vessik=5001 story=1001"));
  ZRUnRegisterNotificationCallback(ravlin_tests::RecordingCallback(Recorder::First));
}

TEST_F(StoryOperations, AKeepCarriedAsAFieldAlsoKeepsTheVessik) {
  Load(ExampleWith(R"("attributes": { "Read": 1 })",
                   R"("attributes": { "Read": 1 } }, { "id": 1003, "vessik": 5001, "fields": { "Keep": "1" })"));
  EXPECT_EQ(1, ZRKeepStory(7, 5001, 1001, 0));
  EXPECT_THAT(Journal(), Not(Contains(testing::HasSubstr("put_KeepMode"))));
}

TEST_F(StoryOperations, UnkeepingWithoutTheChannelsStoriesLeavesTheVessikAlone) {
  ASSERT_EQ(1, ZRRegisterNotificationCallback(ZRNOTIFY_STORY_UNKEPT, ravlin_tests::RecordingCallback(Recorder::First)));
  Fail("Channel.EnumStoryData");
  EXPECT_EQ(0, ZRKeepStory(7, 5001, 1001, 0));
  EXPECT_THAT(Journal(), Not(Contains(testing::HasSubstr("put_KeepMode"))));
  ::Sleep(300);
  EXPECT_THAT(ravlin_tests::TakeNotes(Recorder::First), IsEmpty());
  ZRUnRegisterNotificationCallback(ravlin_tests::RecordingCallback(Recorder::First));
}

TEST_F(StoryOperations, KeepingAStoryTheClientDoesNotKnowStillKeepsItsVessik) {
  EXPECT_EQ(1, ZRKeepStory(7, 5001, 9999, 2));
  std::vector<std::string> journal = Journal();
  EXPECT_THAT(journal, Not(Contains(testing::HasSubstr("Attributes"))));
  EXPECT_EQ("Vessik[5001].put_KeepMode(-2147483647)", journal.back());
}

TEST_F(StoryOperations, KeepingFailsWithoutTheVessikOrWhenTheClientRefuses) {
  ASSERT_EQ(1, ZRRegisterNotificationCallback(ZRNOTIFY_STORY_KEPT, ravlin_tests::RecordingCallback(Recorder::First)));
  EXPECT_EQ(0, ZRKeepStory(7, 5999, 1001, 1));
  Fail("Vessik.put_KeepMode");
  EXPECT_EQ(0, ZRKeepStory(7, 5001, 1001, 1));
  Fail("Attributes.Add");
  EXPECT_EQ(0, ZRKeepStory(7, 5001, 1001, 1));
  EXPECT_THAT(Journal(), Not(Contains(testing::HasSubstr("put_KeepMode"))));
  ::Sleep(300);
  EXPECT_THAT(ravlin_tests::TakeNotes(Recorder::First), IsEmpty());
  ZRUnRegisterNotificationCallback(ravlin_tests::RecordingCallback(Recorder::First));
}

}  // namespace
