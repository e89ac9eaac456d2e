#include <gtest/gtest.h>

#include "ravlin_containers/channel_data_object.h"

namespace {

using ravlin::ChannelData;
using ravlin::ChannelDataRecord;

// Three stories: 11 (Vessik 0xFDFFFFE1, kept), 12 and 13.
ChannelData* ThreeStories() {
  ChannelData* data = ChannelData::Create();
  data->SetInfoValue("Format", "table");
  data->SetInfoValue("Scroller Field", "1,%Title%,1");
  for (DWORD id = 11; id <= 13; ++id) {
    ChannelDataRecord* record = data->AddRecord(id);
    record->SetField("Title", ("Story " + std::to_string(id)).c_str());
    record->SetAttribute("Read", "0");
  }
  data->FindRecord(11)->SetField("Vessik Id", "4261412833");
  data->FindRecord(11)->SetAttribute("Keep", "1");
  return data;
}

TEST(ChannelDataTest, FieldsAndAttributesReadAsTextsAndNumbers) {
  ChannelData* data = ThreeStories();
  ICHANNELDATARECORD* record = data->GetRecord(0);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->GetStoryId(), 11u);

  QMBuffer text;
  ASSERT_EQ(record->GetField("Title", text), 1);
  EXPECT_STREQ(text.GetText(), "Story 11");
  EXPECT_EQ(record->GetField("Read", text), 0) << "attributes are not fields";
  ASSERT_EQ(record->GetAttribute("Read", text), 1);
  EXPECT_STREQ(text.GetText(), "0");

  // Ids above 0x7FFFFFFF keep their bits.
  long number = 0;
  ASSERT_EQ(record->GetFieldNumber("Vessik Id", number), 1);
  EXPECT_EQ(static_cast<DWORD>(number), 0xFDFFFFE1u);
  EXPECT_EQ(record->GetFieldNumber("Title", number), 0) << "a text is not a number";
  EXPECT_EQ(record->GetFieldNumber("Missing", number), 0);
  ASSERT_EQ(record->GetAttributeNumber("Keep", number), 1);
  EXPECT_EQ(number, 1);

  // Writing replaces in place, or appends.
  ASSERT_EQ(record->SetFieldNumber("Story Time", -5), 1);
  ASSERT_EQ(record->GetFieldNumber("Story Time", number), 1);
  EXPECT_EQ(number, -5);
  ASSERT_EQ(record->SetAttribute("Read", "1"), 1);
  EXPECT_EQ(record->GetAttributeNumber("Read", number), 1);
  EXPECT_EQ(number, 1);
  EXPECT_EQ(data->FindRecord(11)->Attributes().size(), 2u);
  EXPECT_EQ(record->SetField(nullptr, "x"), 0);
  EXPECT_EQ(record->SetAttribute("x", nullptr), 0);

  ASSERT_EQ(data->GetInfoValue("Scroller Field", text), 1);
  EXPECT_STREQ(text.GetText(), "1,%Title%,1");
  EXPECT_EQ(data->GetInfoValue("Missing", text), 0);
  EXPECT_EQ(data->GetInfoValue(nullptr, text), 0);

  record->Release();
  data->Release();
}

TEST(ChannelDataTest, RemovedStoryGoesButAHeldRecordStaysUsable) {
  ChannelData* data = ThreeStories();
  ICHANNELDATARECORD* held = data->GetRecord(1);
  EXPECT_EQ(data->RemoveStory(12), 1);
  EXPECT_EQ(data->RemoveStory(12), 0);
  ASSERT_EQ(data->GetRecordCount(), 2);
  ICHANNELDATARECORD* second = data->GetRecord(1);
  EXPECT_EQ(second->GetStoryId(), 13u);
  second->Release();
  EXPECT_EQ(data->GetRecord(2), nullptr);

  QMBuffer title;
  ASSERT_EQ(held->GetField("Title", title), 1);
  EXPECT_STREQ(title.GetText(), "Story 12");
  // The data object's reference went with the removal: ours was the last.
  EXPECT_EQ(held->Release(), 0);
  data->Release();
}

TEST(ChannelDataTest, EnumerationVisitsEveryRecordOnceAndStops) {
  ChannelData* data = ThreeStories();
  long position = -1;
  ASSERT_EQ(data->StartRecordEnum(0, &position), 1);
  DWORD seen[4] = {};
  int count = 0;
  while (ICHANNELDATARECORD* record = data->NextRecord(&position)) {
    ASSERT_LT(count, 4);
    seen[count++] = record->GetStoryId();
    record->Release();
  }
  EXPECT_EQ(count, 3);
  EXPECT_EQ(seen[0], 11u);
  EXPECT_EQ(seen[2], 13u);
  EXPECT_EQ(data->NextRecord(&position), nullptr);
  data->EndRecordEnum(&position);
  EXPECT_EQ(data->NextRecord(&position), nullptr);
  EXPECT_EQ(data->StartRecordEnum(0, nullptr), 0);
  EXPECT_EQ(data->NextRecord(nullptr), nullptr);

  // Removing the record just visited skips the next one, and never overruns.
  data->StartRecordEnum(0, &position);
  ICHANNELDATARECORD* first = data->NextRecord(&position);
  data->RemoveStory(first->GetStoryId());
  first->Release();
  ICHANNELDATARECORD* next = data->NextRecord(&position);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->GetStoryId(), 13u);
  next->Release();
  EXPECT_EQ(data->NextRecord(&position), nullptr);
  data->Release();
}

}  // namespace
