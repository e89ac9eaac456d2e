#include <gtest/gtest.h>

#include <string>

#include "ravlin/buffer_list.h"
#include "ravlin/data_list.h"
#include "ravlin/site_obj.h"
#include "ravlin/tagged_multi_list.h"

namespace {

TEST(DataListTest, GrowsByItsStepAndZeroFillsTheNewRoom) {
  DATA_LIST list(16);
  for (DWORD i = 1; i <= 16; ++i) ASSERT_EQ(list.Add(i * 10), 1);
  EXPECT_EQ(list.GetCapacity(), 16);
  ASSERT_EQ(list.Add(170), 1);
  EXPECT_EQ(list.GetCapacity(), 32);
  EXPECT_EQ(list.GetCount(), 17);
  for (long i = 0; i < 17; ++i) EXPECT_EQ(list.GetAt(i), static_cast<DWORD>((i + 1) * 10));
  // The room past the last entry is out of range for GetAt: look at it through the array.
  const DWORD* last = list.GetAddressAt(16);
  ASSERT_NE(last, nullptr);
  for (long i = 1; i < 16; ++i) EXPECT_EQ(last[i], 0u) << "entry " << 16 + i;
  EXPECT_EQ(list.GetAt(17), 0u);
  EXPECT_EQ(list.GetAddressAt(17), nullptr);
  EXPECT_EQ(list.GetAddressAt(-1), nullptr);

  // A step below 1 would never make room.
  DATA_LIST stepless(0);
  for (DWORD i = 0; i < 3; ++i) ASSERT_EQ(stepless.Add(i), 1);
  EXPECT_EQ(stepless.GetCount(), 3);
}

TEST(DataListTest, RemovingClosesTheGapAndOutOfRangeChangesNothing) {
  DATA_LIST list;
  list.Add(7);
  list.Add(8);
  list.Add(9);
  EXPECT_EQ(list.RemoveAt(0), 7u);
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.GetAt(0), 8u);
  EXPECT_EQ(list.GetAt(1), 9u);
  EXPECT_EQ(list.RemoveAt(2), 0u);
  EXPECT_EQ(list.RemoveAt(-1), 0u);
  EXPECT_EQ(list.GetCount(), 2);

  *list.GetAddressAt(1) = 42;
  list.Add(8);
  long index = -1;
  EXPECT_EQ(list.Find(8, &index), 1);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(list.Find(42), 1);
  EXPECT_EQ(list.Find(5, &index), 0);
  EXPECT_EQ(index, 0);

  list.RemoveAll();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetCapacity(), 0);
  EXPECT_EQ(list.Add(1), 1);
  EXPECT_EQ(list.GetAt(0), 1u);
}

TEST(BufferListTest, SplittingKeepsNonEmptyPiecesInOrder) {
  BUFFER_LIST list;
  EXPECT_EQ(list.AddSplitText(";News;;Sport; ;", ';'), 3);
  ASSERT_EQ(list.GetCount(), 3);
  EXPECT_STREQ(list.GetBuffer(0)->GetText(), "News");
  EXPECT_STREQ(list.GetBuffer(1)->GetText(), "Sport");
  EXPECT_STREQ(list.GetBuffer(2)->GetText(), " ");
  EXPECT_EQ(list.AddSplitText(nullptr, ';'), 0);
  EXPECT_EQ(list.AddText(nullptr), 0);
  EXPECT_EQ(list.GetBuffer(3), nullptr);

  // Each buffer holds its own copy.
  char text[] = "mutable";
  ASSERT_EQ(list.AddText(text), 1);
  text[0] = 'M';
  EXPECT_STREQ(list.GetBuffer(3)->GetText(), "mutable");
}

TEST(TaggedMultiListTest, EntriesKeepTheirTagNameAndValue) {
  TAGGED_MULTI_LIST list;
  ASSERT_EQ(list.AddNumber("mirrortreeflag", 1), 1);
  ASSERT_EQ(list.AddText("targetdirectory", "C:\\Mendlets"), 1);
  EXPECT_EQ(list.AddNumber(nullptr, 3), 0);
  EXPECT_EQ(list.AddText("x", nullptr), 0);
  EXPECT_EQ(list.AddText(nullptr, "x"), 0);
  ASSERT_EQ(list.GetCount(), 2);

  EXPECT_EQ(list.GetTag(0), TAGGED_MULTI_LIST::TAG_NUMBER);
  EXPECT_EQ(list.GetTag(1), TAGGED_MULTI_LIST::TAG_TEXT);
  EXPECT_EQ(list.GetTag(2), -1);

  QMBuffer name, text;
  long value = 0;
  ASSERT_EQ(list.GetNumber(0, name, value), 1);
  EXPECT_STREQ(name.GetText(), "mirrortreeflag");
  EXPECT_EQ(value, 1);
  EXPECT_EQ(list.GetNumber(1, name, value), 0);
  EXPECT_EQ(list.GetText(0, text), 0);
  ASSERT_EQ(list.GetText(1, text), 1);
  EXPECT_STREQ(text.GetText(), "C:\\Mendlets");
  ASSERT_EQ(list.GetName(1, name), 1);
  EXPECT_STREQ(name.GetText(), "targetdirectory");
  EXPECT_EQ(list.GetName(5, name), 0);
}

TEST(SiteObjTest, StartsUnknownAndCopiesAreIndependent) {
  CSiteObj entry;
  EXPECT_EQ(entry.channel_id, 0u);
  EXPECT_EQ(entry.subscribed, 0);
  EXPECT_EQ(entry.keyword_matches, -1);
  EXPECT_STREQ(entry.name.GetText(), "");
  EXPECT_STREQ(entry.keywords[3].GetText(), "");

  entry.channel_id = 12;
  entry.name.SetText("Kelvane");
  entry.keywords[2].SetText("drivers");
  CSiteObj copy(entry);
  entry.name.SetText("changed");
  EXPECT_EQ(copy.channel_id, 12u);
  EXPECT_STREQ(copy.name.GetText(), "Kelvane");
  EXPECT_STREQ(copy.keywords[2].GetText(), "drivers");

  CSiteObj assigned;
  assigned = copy;
  copy.keywords[2].SetText("bios");
  EXPECT_STREQ(assigned.keywords[2].GetText(), "drivers");
  EXPECT_EQ(assigned.keyword_matches, -1);
}

}  // namespace
