// The table as IE's data binding reads it: qualifiers, the script filter, converters and
// internal columns, the provider's edge cases, asynchronous loading in steps, stopping it, and
// rows that follow the client's notifications, notifying only the cells read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "chanbind_test_support.h"

namespace {

using namespace chanbind_test;
using comsupport::Bstr;
using comsupport::Variant;
using ::testing::ElementsAre;

Variant Cell(ChanbindSession& page, long row, const char* column) {
  long index = page.Get("Column", {Text(column)}).Number();
  Variant value;
  page.provider()->getVariant(row, index, OSPFORMAT_RAW, value.put());
  return value;
}

std::string CellText(ChanbindSession& page, long row, const char* column) {
  std::string text;
  Cell(page, row, column).ToText(text);
  return text;
}

TEST(DataTable, AQualifierSelectsSortsAndLoadsAtOnce) {
  ChanbindSession page;
  auto listener = page.Bind("12;-Story Time");
  EXPECT_THAT(listener->journal, ElementsAre("rowsAvailable 1 3", "transferComplete 0"));
  EXPECT_EQ("Noon|30\nEvening|20\nMorning|10\n", page.Table({"Title", "Story Time"}));
  EXPECT_EQ("-Story Time", page.Get("Sort").Text());
  EXPECT_EQ(0, page.Get("Async").Number());
  EXPECT_EQ(12, page.Get("ChannelId").Number());
  EXPECT_EQ(-1, page.Get("Valid").Number());
  EXPECT_EQ(4, page.Get("ReadyState").Number());
}

TEST(DataTable, ASlashQualifierSelectsACategory) {
  ChanbindSession page;
  page.Bind("/News;Title");
  EXPECT_EQ("News", page.Get("Category").Text());
  EXPECT_EQ("Evening|News Desk\nMatch|Sports\nMorning|News Desk\nNoon|News Desk\n",
            page.Table({"Title", "CHANNEL"}));
}

TEST(DataTable, AFilterAnsweringThreeOnTheFirstStoryLeavesTheTableEmpty) {
  ChanbindSession page;
  int asked = 0;
  page.events()->Handle(0, [&] {
    ++asked;
    page.Put("returnValue", Number(3));
  });
  ASSERT_EQ(S_OK, page.Call("Reset").hr);
  EXPECT_EQ(1, asked);
  EXPECT_EQ(0, page.Get("length").Number());
}

TEST(DataTable, AFilterRejectsAndAccepts) {
  ChanbindSession page;
  int asked = 0;
  page.events()->Handle(0, [&] { page.Put("returnValue", Number(++asked == 2 ? 0 : 1)); });
  ASSERT_EQ(S_OK, page.Put("ChannelId", Number(12)).hr);
  ASSERT_EQ(S_OK, page.Call("Reset").hr);
  EXPECT_EQ("Morning\nEvening\n", page.Table({"Title"}));
  asked = 1;  // the next answer rejects the first row
  ASSERT_EQ(S_OK, page.Call("FilterRows", {Number(1)}).hr);
  EXPECT_EQ("Evening\n", page.Table({"Title"}));
}

TEST(DataTable, ConvertersAndInternalColumns) {
  ChanbindSession page;
  page.Bind("7;Story Time");
  ASSERT_EQ("BIOS notes\nAudio pack\nDisplay driver\n", page.Table({"Title"}));
  EXPECT_EQ(VT_DATE, Cell(page, 3, "LAST_TIME").type()) << "_TIME is a time";
  EXPECT_EQ(VT_BOOL, Cell(page, 3, "PUBLISHED").type()) << "ED is a boolean";
  Variant subscribed = Cell(page, 3, "SUBSCRIBED");
  EXPECT_EQ(VT_I4, subscribed.type()) << "SUBSCRIBED is a number although it ends in ED";
  EXPECT_EQ(3, subscribed.get()->lVal);
  EXPECT_EQ("-1", CellText(page, 3, "UNREAD"));
  EXPECT_EQ("0", CellText(page, 1, "UNREAD"));
  EXPECT_EQ("Story", CellText(page, 3, "TYPE"));
  EXPECT_EQ("Audio", CellText(page, 2, "TYPE"));
  EXPECT_EQ("exe", CellText(page, 3, "ATTACHMENT_EXTENSION"));
  EXPECT_EQ("Kelvane", CellText(page, 3, "CHANNEL"));
  EXPECT_EQ("7", CellText(page, 3, "CHANNEL_ID"));
  EXPECT_EQ("101", CellText(page, 3, "ID"));
  const std::string icon = CellText(page, 3, "ICON");
  EXPECT_EQ(0u, icon.rfind("res://", 0)) << icon;
  EXPECT_EQ("/#24", icon.substr(icon.size() - 4)) << "a kept story: 16 + 8";
  EXPECT_EQ("/#1040", CellText(page, 1, "ICON").substr(CellText(page, 1, "ICON").size() - 6)) << "a text story";
  EXPECT_EQ("/#22", CellText(page, 2, "ICON").substr(CellText(page, 2, "ICON").size() - 4)) << "audio: 16 + 6";
}

TEST(DataTable, ProviderEdgeCases) {
  ChanbindSession page;
  auto listener = page.Bind("12");
  OLEDBSimpleProvider* provider = page.provider();
  DB_LORDINAL columns = 0;
  provider->getColumnCount(&columns);
  EXPECT_GT(columns, 11);
  Variant header;
  EXPECT_EQ(S_OK, provider->getVariant(0, 1, OSPFORMAT_RAW, header.put()));
  EXPECT_EQ("Title", [&] { std::string t; header.ToText(t); return t; }());
  Variant value;
  EXPECT_EQ(E_INVALIDARG, provider->getVariant(1, 0, OSPFORMAT_RAW, value.put()));
  EXPECT_EQ(E_INVALIDARG, provider->getVariant(4, 1, OSPFORMAT_RAW, value.put()));
  EXPECT_EQ(E_INVALIDARG, provider->getVariant(1, columns + 1, OSPFORMAT_RAW, value.put()));
  OSPRW status = OSPRW_READWRITE;
  provider->getRWStatus(0, 1, &status);
  EXPECT_EQ(OSPRW_READONLY, status);
  provider->getRWStatus(1, 1, &status);
  EXPECT_EQ(OSPRW_READWRITE, status);
  DBROWCOUNT inserted = 5;
  EXPECT_EQ(E_NOTIMPL, provider->insertRows(1, 1, &inserted));
  listener->journal.clear();
  DBROWCOUNT deleted = 5;
  EXPECT_EQ(S_OK, provider->deleteRows(1, 1, &deleted));
  EXPECT_EQ(0, deleted) << "always reports none";
  EXPECT_THAT(listener->journal, ElementsAre("aboutToDeleteRows 1 1", "deletedRows 1 1"));
  DBROWCOUNT found = 0;
  EXPECT_EQ(S_OK, provider->find(1, 1, *Variant(L"eve").get(), OSPFIND_DEFAULT, OSPCOMP_CW, &found));
  EXPECT_EQ(2, found);
  EXPECT_EQ(E_FAIL, provider->find(1, 1, *Variant(L"zzz").get(), OSPFIND_DEFAULT, OSPCOMP_EQ, &found));
  long none = 5;
  Variant missing;
  missing.put()->vt = VT_ERROR;
  missing.get()->scode = DISP_E_PARAMNOTFOUND;
  EXPECT_EQ(S_FALSE, page.chanbind()->Find(Bstr(std::string("Title")).get(), *Text("zzz").get(), *missing.get(),
                                           *missing.get(), *missing.get(), &none));
  EXPECT_EQ(0, none);
  EXPECT_EQ(1, page.Call("Find", {Text("Title"), Text("Noon")}).Number());
}

TEST(DataTable, RefreshRowsTellsOnlyOfCellsRead) {
  ChanbindSession page;
  auto listener = page.Bind("12");
  listener->journal.clear();
  ASSERT_EQ(S_OK, page.Call("RefreshRows", {Number(1)}).hr);
  EXPECT_TRUE(listener->journal.empty()) << "nothing was read";
  Variant value;
  page.provider()->getVariant(1, 1, OSPFORMAT_RAW, value.put());
  page.provider()->getVariant(1, 4, OSPFORMAT_DEFAULT, value.put());
  ASSERT_EQ(S_OK, page.Call("RefreshRows", {Number(1)}).hr);
  EXPECT_THAT(listener->journal, ElementsAre("cellChanged 1 1", "cellChanged 1 4"));
  EXPECT_EQ(E_INVALIDARG, page.Call("RefreshRows", {Number(2), Number(5)}).hr);
}

TEST(DataTable, AsynchronousLoadingInStepsOf64Stories) {
  ChanbindSession page(BulkFixture(130));
  int asked = 0;
  page.events()->Handle(0, [&] { page.Put("returnValue", Number(++asked % 16 == 0 ? 1 : 0)); });
  ASSERT_EQ(S_OK, page.Put("Async", Bool(true)).hr);
  auto listener = page.Bind("");
  ASSERT_TRUE(page.WaitFor([&] { return page.Get("ReadyState").Number() == 4; }, 30000));
  EXPECT_THAT(listener->journal, ElementsAre("rowsAvailable 1 4", "rowsAvailable 5 4", "transferComplete 0"));
  EXPECT_EQ(130, asked);
  EXPECT_EQ(8, page.Get("Count").Number());
  DBROWCOUNT estimated = 0;
  page.provider()->getEstimatedRows(&estimated);
  EXPECT_EQ(130, estimated);
}

// The sort in force orders rows that arrive step by step, once all are there.
TEST(DataTable, AnAsynchronousLoadEndsSorted) {
  ChanbindSession page(BulkFixture(40));
  int asked = 0;
  page.events()->Handle(0, [&] { page.Put("returnValue", Number(++asked % 10 == 0 ? 1 : 0)); });
  ASSERT_EQ(S_OK, page.Put("Async", Bool(true)).hr);
  ASSERT_EQ(S_OK, page.Put("SortColumn", Text("Story Time")).hr);
  ASSERT_EQ(S_OK, page.Put("SortAscending", Bool(false)).hr);
  page.Bind("");
  ASSERT_TRUE(page.WaitFor([&] { return page.Get("ReadyState").Number() == 4; }, 30000));
  EXPECT_EQ("40\n30\n20\n10\n", page.Table({"Story Time"}));
}

TEST(DataTable, StopTransferAbortsALoad) {
  ChanbindSession page(BulkFixture(200));
  page.events()->Handle(0, [&] { page.Put("returnValue", Number(1)); });
  ASSERT_EQ(S_OK, page.Put("Async", Bool(true)).hr);
  auto listener = page.Bind("");
  ASSERT_TRUE(page.WaitFor([&] { return !listener->journal.empty(); }));
  EXPECT_EQ("rowsAvailable 1 8", listener->journal.front()) << "8 accepted rows a step";
  ASSERT_EQ(S_OK, page.provider()->stopTransfer());
  EXPECT_EQ("transferComplete 1", listener->journal.back());
  EXPECT_EQ(4, page.Get("ReadyState").Number());
  const long rows = page.Get("Count").Number();
  chanbind_test::ChanbindSession* same = &page;
  same->WaitFor([] { return false; }, 300);
  EXPECT_EQ(rows, page.Get("Count").Number()) << "no further rows";
}

TEST(DataTable, NewAndChangedStoriesFromTheClient) {
  ChanbindSession page;
  auto listener = page.Bind("12");
  Variant value;
  page.provider()->getVariant(1, 1, OSPFORMAT_RAW, value.put());
  page.provider()->getVariant(1, 4, OSPFORMAT_RAW, value.put());
  listener->journal.clear();
  ASSERT_EQ(S_OK, page.client()->AddStories(12, Bstr(std::string(R"([{"id": 204, "title": "Night"}])")).get(), 0));
  ASSERT_TRUE(page.WaitFor([&] { return listener->journal.size() >= 2; }));
  EXPECT_THAT(listener->journal, ElementsAre("aboutToInsertRows 4 1", "insertedRows 4 1"));
  EXPECT_EQ("Night", CellText(page, 4, "Title"));
  listener->journal.clear();
  ASSERT_EQ(S_OK, page.client()->ChangeStories(
                      12, Bstr(std::string(R"([{"id": 201, "title": "Dawn", "attributes": {"READ": 1}}])")).get(), 1, 0));
  ASSERT_TRUE(page.WaitFor([&] { return listener->journal.size() >= 4; }));
  EXPECT_THAT(listener->journal, ElementsAre("aboutToChangeCell 1 1", "aboutToChangeCell 1 4", "cellChanged 1 1",
                                             "cellChanged 1 4"));
  EXPECT_EQ("Dawn", CellText(page, 1, "Title"));
  EXPECT_EQ("0", CellText(page, 1, "UNREAD"));
}

// A page that resets the table from inside its filter replaces the list being loaded: the
// load of the old list stops instead of filling rows of a list that is gone.
TEST(DataTable, AResetFromInsideTheFilterLeavesOneConsistentTable) {
  ChanbindSession page;
  int asked = 0;
  page.events()->Handle(0, [&] {
    if (++asked == 2) page.Call("Reset", {Bool(true)});
    page.Put("returnValue", Number(1));
  });
  auto listener = page.Bind("12");
  page.WaitFor([] { return false; }, 300);
  EXPECT_THAT(listener->journal, ElementsAre("transferComplete 1", "rowsAvailable 1 3", "transferComplete 0"))
      << "the first load aborted, the second complete, nothing after";
  EXPECT_EQ("Morning\nNoon\nEvening\n", page.Table({"Title"}));
  EXPECT_EQ(4, page.Get("ReadyState").Number());
}

}  // namespace
