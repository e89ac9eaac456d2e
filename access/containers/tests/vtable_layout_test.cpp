// Other modules call these objects through vtables laid out by the declaration order; each
// test calls every slot by position, through a table of plain function pointers with the
// compiler's member calling convention (this in ECX), and checks what comes back. A slot that
// moves or changes its signature fails here. GCC puts two entries (complete and deleting
// destructor) where a virtual destructor is declared.
#include <gtest/gtest.h>

#include "ravlin/buffer_list.h"
#include "ravlin/data_list.h"
#include "ravlin/tagged_multi_list.h"
#include "ravlin_containers/channel_data_object.h"
#include "ravlin_containers/channel_info_record.h"

namespace {

template <class R, class... Arguments>
using Slot = R(__thiscall*)(void* self, Arguments...);

template <class Table>
const Table& TableOf(void* object) {
  return **static_cast<Table**>(object);
}

struct DataListTable {
  void* destructors[2];
  Slot<int, DWORD> Add;
  Slot<DWORD*, long> GetAddressAt;
  Slot<DWORD, long> GetAt;
  Slot<DWORD, long> RemoveAt;
  Slot<long> GetCount;
  Slot<int, DWORD, long*> Find;
  Slot<void> RemoveAll;
};

struct BufferListTable {
  void* destructors[2];
  Slot<int, const char*> AddText;
  Slot<QMBuffer*, long> GetBuffer;
  Slot<long> GetCount;
  Slot<long, const char*, char> AddSplitText;
};

struct TaggedMultiListTable {
  void* destructors[2];
  Slot<int, const char*, long> AddNumber;
  Slot<int, const char*, const char*> AddText;
  Slot<long, long> GetTag;
  Slot<int, long, QMBuffer*> GetName;
  Slot<int, long, QMBuffer*, long*> GetNumber;
  Slot<int, long, QMBuffer*> GetText;
  Slot<long> GetCount;
};

struct CommonTable {
  void* destructors[2];
  Slot<int, const IID*, void**> QueryInterface;
  Slot<long> AddRef;
  Slot<long> Release;
  Slot<void> Lock;
  Slot<void> Unlock;
};

struct ChannelInfoTable : CommonTable {
  Slot<DWORD> GetChannelId;
  Slot<const char*> GetName;
  Slot<long> GetFlags;
  Slot<const char*> GetSecondText;
  Slot<int, BUFFER_LIST*> GetCategories;
  Slot<const char*> GetCategoriesText;
  Slot<long> GetLastVisited;
  Slot<long> GetReserved1;
  Slot<long> GetDisabledUntil;
  Slot<DWORD> GetDirectoryEntryId;
  Slot<const char*> GetLogoFile;
  Slot<long> GetAttributeFlags;
  Slot<long> IsDisabled;
  Slot<long> GetReserved2;
  Slot<long> GetTotalStories;
  Slot<long> GetUnreadStories;
  Slot<long> GetHidden;
};

struct ChannelInfoListTable : CommonTable {
  Slot<long> GetCount;
  Slot<int, ICHANNELINFO*> Add;
  Slot<ICHANNELINFO*, long> GetItem;
};

struct ChannelDataTable : CommonTable {
  Slot<int, const char*, QMBuffer*> GetInfoValue;
  Slot<long> GetRecordCount;
  Slot<ICHANNELDATARECORD*, long> GetRecord;
  Slot<int, DWORD> RemoveStory;
  Slot<int, long, long*> StartRecordEnum;
  Slot<ICHANNELDATARECORD*, long*> NextRecord;
  Slot<void, long*> EndRecordEnum;
};

// Records have no destructor slot: they end through Release.
struct RecordTable {
  Slot<DWORD> GetStoryId;
  Slot<int, const char*, QMBuffer*> GetField;
  Slot<int, const char*, long*> GetFieldNumber;
  Slot<int, const char*, const char*> SetField;
  Slot<int, const char*, long> SetFieldNumber;
  Slot<int, const char*, QMBuffer*> GetAttribute;
  Slot<int, const char*, long*> GetAttributeNumber;
  Slot<int, const char*, const char*> SetAttribute;
  Slot<long> Release;
};

TEST(VtableLayoutTest, DataListSlots) {
  DATA_LIST list;
  const DataListTable& slots = TableOf<DataListTable>(&list);
  EXPECT_EQ(slots.Add(&list, 5), 1);
  slots.Add(&list, 6);
  EXPECT_EQ(*slots.GetAddressAt(&list, 1), 6u);
  EXPECT_EQ(slots.GetAt(&list, 0), 5u);
  EXPECT_EQ(slots.RemoveAt(&list, 0), 5u);
  EXPECT_EQ(slots.GetCount(&list), 1);
  long index = -1;
  EXPECT_EQ(slots.Find(&list, 6, &index), 1);
  EXPECT_EQ(index, 0);
  slots.RemoveAll(&list);
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetCapacity(), 0);
}

TEST(VtableLayoutTest, BufferAndTaggedListSlots) {
  BUFFER_LIST buffers;
  const BufferListTable& buffer_slots = TableOf<BufferListTable>(&buffers);
  EXPECT_EQ(buffer_slots.AddText(&buffers, "one"), 1);
  EXPECT_EQ(buffer_slots.AddSplitText(&buffers, "two;three", ';'), 2);
  EXPECT_EQ(buffer_slots.GetCount(&buffers), 3);
  EXPECT_STREQ(buffer_slots.GetBuffer(&buffers, 2)->GetText(), "three");

  TAGGED_MULTI_LIST values;
  const TaggedMultiListTable& value_slots = TableOf<TaggedMultiListTable>(&values);
  EXPECT_EQ(value_slots.AddNumber(&values, "n", 41), 1);
  EXPECT_EQ(value_slots.AddText(&values, "t", "text"), 1);
  EXPECT_EQ(value_slots.GetTag(&values, 0), 1);
  EXPECT_EQ(value_slots.GetTag(&values, 1), 0);
  QMBuffer name, text;
  long number = 0;
  EXPECT_EQ(value_slots.GetName(&values, 1, &name), 1);
  EXPECT_STREQ(name.GetText(), "t");
  EXPECT_EQ(value_slots.GetNumber(&values, 0, &name, &number), 1);
  EXPECT_EQ(number, 41);
  EXPECT_STREQ(name.GetText(), "n");
  EXPECT_EQ(value_slots.GetText(&values, 1, &text), 1);
  EXPECT_STREQ(text.GetText(), "text");
  EXPECT_EQ(value_slots.GetCount(&values), 2);
}

TEST(VtableLayoutTest, ChannelInfoSlotsFollowTheRecordOrder) {
  ravlin::ChannelInfoValues values;
  values.channel_id = 101;
  values.name = "name";
  values.flags = 103;
  values.second_text = "second";
  values.categories = "a;b";
  values.last_visited = 107;
  values.reserved1 = 108;
  values.disabled_until = 109;
  values.directory_entry_id = 110;
  values.logo_file = "logo.bmp";
  values.attribute_flags = 112;
  values.disabled = 113;
  values.reserved2 = 114;
  values.total_stories = 115;
  values.unread_stories = 116;
  values.hidden = 117;
  ICHANNELINFO* info = ravlin::CreateChannelInfo(values);
  const ChannelInfoTable& slots = TableOf<ChannelInfoTable>(info);

  void* other = info;
  EXPECT_EQ(slots.QueryInterface(info, &IID_IUnknown, &other), 0);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(slots.AddRef(info), 2);
  EXPECT_EQ(slots.Release(info), 1);
  slots.Lock(info);
  slots.Unlock(info);

  EXPECT_EQ(slots.GetChannelId(info), 101u);
  EXPECT_STREQ(slots.GetName(info), "name");
  EXPECT_EQ(slots.GetFlags(info), 103);
  EXPECT_STREQ(slots.GetSecondText(info), "second");
  BUFFER_LIST categories;
  EXPECT_EQ(slots.GetCategories(info, &categories), 1);
  EXPECT_EQ(categories.GetCount(), 2);
  EXPECT_STREQ(slots.GetCategoriesText(info), "a;b");
  EXPECT_EQ(slots.GetLastVisited(info), 107);
  EXPECT_EQ(slots.GetReserved1(info), 108);
  EXPECT_EQ(slots.GetDisabledUntil(info), 109);
  EXPECT_EQ(slots.GetDirectoryEntryId(info), 110u);
  EXPECT_STREQ(slots.GetLogoFile(info), "logo.bmp");
  EXPECT_EQ(slots.GetAttributeFlags(info), 112);
  EXPECT_EQ(slots.IsDisabled(info), 113);
  EXPECT_EQ(slots.GetReserved2(info), 114);
  EXPECT_EQ(slots.GetTotalStories(info), 115);
  EXPECT_EQ(slots.GetUnreadStories(info), 116);
  EXPECT_EQ(slots.GetHidden(info), 117);

  ICHANNELINFOLIST* list = ravlin::CreateChannelInfoList();
  const ChannelInfoListTable& list_slots = TableOf<ChannelInfoListTable>(list);
  EXPECT_EQ(list_slots.Add(list, info), 1);
  EXPECT_EQ(list_slots.GetCount(list), 1);
  ICHANNELINFO* item = list_slots.GetItem(list, 0);
  EXPECT_EQ(item, info);
  EXPECT_EQ(slots.Release(item), 1);
  EXPECT_EQ(list_slots.Release(list), 0);
}

TEST(VtableLayoutTest, ChannelDataAndRecordSlots) {
  ravlin::ChannelData* data = ravlin::ChannelData::Create();
  data->SetInfoValue("Format", "table");
  data->AddRecord(21);
  data->AddRecord(22);
  ICHANNELDATA2* object = data;
  const ChannelDataTable& slots = TableOf<ChannelDataTable>(object);
  QMBuffer value;
  EXPECT_EQ(slots.GetInfoValue(object, "Format", &value), 1);
  EXPECT_STREQ(value.GetText(), "table");
  EXPECT_EQ(slots.GetRecordCount(object), 2);

  ICHANNELDATARECORD* record = slots.GetRecord(object, 0);
  const RecordTable& record_slots = TableOf<RecordTable>(record);
  EXPECT_EQ(record_slots.GetStoryId(record), 21u);
  EXPECT_EQ(record_slots.SetField(record, "Title", "T"), 1);
  EXPECT_EQ(record_slots.GetField(record, "Title", &value), 1);
  EXPECT_STREQ(value.GetText(), "T");
  long number = 0;
  EXPECT_EQ(record_slots.SetFieldNumber(record, "Vessik Id", 9), 1);
  EXPECT_EQ(record_slots.GetFieldNumber(record, "Vessik Id", &number), 1);
  EXPECT_EQ(number, 9);
  EXPECT_EQ(record_slots.SetAttribute(record, "Keep", "1"), 1);
  EXPECT_EQ(record_slots.GetAttribute(record, "Keep", &value), 1);
  EXPECT_EQ(record_slots.GetAttributeNumber(record, "Keep", &number), 1);
  EXPECT_EQ(number, 1);
  EXPECT_EQ(record_slots.Release(record), 1);

  long position = -1;
  EXPECT_EQ(slots.StartRecordEnum(object, 1, &position), 1);
  ICHANNELDATARECORD* next = slots.NextRecord(object, &position);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->GetStoryId(), 22u);
  next->Release();
  slots.EndRecordEnum(object, &position);
  EXPECT_EQ(position, -1);
  EXPECT_EQ(slots.RemoveStory(object, 22), 1);
  EXPECT_EQ(data->GetRecordCount(), 1);
  EXPECT_EQ(slots.Release(object), 0);
}

}  // namespace
