#include <gtest/gtest.h>

#include <thread>

#include "comsupport/unique_handle.h"
#include "ravlin_containers/channel_info_record.h"

namespace {

using ravlin::ChannelInfoValues;

ICHANNELINFO* MakeInfo(DWORD id, const char* name, const char* categories = "") {
  ChannelInfoValues values;
  values.channel_id = id;
  values.name = name;
  values.categories = categories;
  return ravlin::CreateChannelInfo(values);
}

TEST(ChannelInfoTest, CategoriesSplitIntoTheNamesOnly) {
  ICHANNELINFO* info = MakeInfo(3, "Kelvane", "Updates;;Drivers");
  ASSERT_NE(info, nullptr);
  BUFFER_LIST categories;
  EXPECT_EQ(info->GetCategories(categories), 1);
  ASSERT_EQ(categories.GetCount(), 2);
  EXPECT_STREQ(categories.GetBuffer(0)->GetText(), "Updates");
  EXPECT_STREQ(categories.GetBuffer(1)->GetText(), "Drivers");
  EXPECT_STREQ(info->GetCategoriesText(), "Updates;;Drivers");
  EXPECT_EQ(info->Release(), 0);

  ICHANNELINFO* uncategorised = MakeInfo(4, "Plain");
  BUFFER_LIST none;
  EXPECT_EQ(uncategorised->GetCategories(none), 0);
  EXPECT_EQ(none.GetCount(), 0);
  uncategorised->Release();
}

TEST(ChannelInfoTest, ReferenceCountsStartAtOneAndTheLastReleaseEndsTheObject) {
  ICHANNELINFO* info = MakeInfo(9, "News");
  void* other = info;
  EXPECT_EQ(info->QueryInterface(IID_IUnknown, &other), 0);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(info->AddRef(), 2);
  EXPECT_EQ(info->Release(), 1);

  // Counting stays exact when threads share the object.
  auto churn = [info] {
    for (int i = 0; i < 20000; ++i) {
      info->AddRef();
      info->Release();
    }
  };
  std::thread first(churn), second(churn);
  first.join();
  second.join();
  EXPECT_EQ(info->AddRef(), 2);
  EXPECT_EQ(info->Release(), 1);
  EXPECT_EQ(info->Release(), 0);
}

TEST(ChannelInfoListTest, TakesOverReferencesKeepsOrderAndReleasesItsItems) {
  ICHANNELINFOLIST* list = ravlin::CreateChannelInfoList();
  ASSERT_NE(list, nullptr);
  ICHANNELINFO* first = MakeInfo(1, "One");
  ICHANNELINFO* second = MakeInfo(2, "Two");
  ASSERT_EQ(list->Add(first), 1);
  ASSERT_EQ(list->Add(second), 1);
  EXPECT_EQ(list->Add(nullptr), 0);
  EXPECT_EQ(list->GetCount(), 2);
  EXPECT_EQ(list->GetItem(2), nullptr);
  EXPECT_EQ(list->GetItem(-1), nullptr);

  ICHANNELINFO* item = list->GetItem(1);
  ASSERT_EQ(item, second);
  EXPECT_STREQ(item->GetName(), "Two");
  // The list's reference, the one just handed out, and this one.
  EXPECT_EQ(item->AddRef(), 3);
  item->Release();

  // Releasing the list drops its references: ours is then the last.
  list->Release();
  EXPECT_EQ(item->Release(), 0);
}

TEST(ChannelInfoTest, LockHoldsOffOtherThreads) {
  ICHANNELINFO* info = MakeInfo(5, "Locked");
  info->Lock();
  comsupport::UniqueHandle done(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  std::thread other([&] {
    info->AddRef();
    ::SetEvent(done.get());
  });
  EXPECT_EQ(::WaitForSingleObject(done.get(), 200), static_cast<DWORD>(WAIT_TIMEOUT));
  info->Unlock();
  EXPECT_EQ(::WaitForSingleObject(done.get(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  other.join();
  EXPECT_EQ(info->Release(), 1);
  info->Release();
}

}  // namespace
