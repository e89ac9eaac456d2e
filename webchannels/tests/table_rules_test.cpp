// The table's value rules on their own: which converter a column title gets, what each
// converter makes of a value, the sort expression and the order of VARIANT values.
#include <gtest/gtest.h>

#include "comsupport/bstr.h"
#include "sort_order.h"
#include "story_list.h"
#include "value_converters.h"

namespace {

using chanbind::Converter;
using chanbind::ConverterForTitle;
using comsupport::Variant;

TEST(ColumnConverters, NameRulesInTheirOrderAndTheFixedTitlesFirst) {
  EXPECT_EQ(Converter::kNumeric, ConverterForTitle(L"SUBSCRIBED")) << "fixed, although it ends in ED";
  EXPECT_EQ(Converter::kNumeric, ConverterForTitle(L"MESSAGE_LIFESPAN"));
  EXPECT_EQ(Converter::kBoolean, ConverterForTitle(L"READ"));
  EXPECT_EQ(Converter::kBoolean, ConverterForTitle(L"KEEP"));
  EXPECT_EQ(Converter::kBoolean, ConverterForTitle(L"STORY_LOCAL"));
  EXPECT_EQ(Converter::kNone, ConverterForTitle(L"ED"));
  EXPECT_EQ(Converter::kUrl, ConverterForTitle(L"URL"));
  EXPECT_EQ(Converter::kNone, ConverterForTitle(L"_ID")) << "3 characters: only URL is tested";
  EXPECT_EQ(Converter::kNumeric, ConverterForTitle(L"A_ID"));
  EXPECT_EQ(Converter::kBoolean, ConverterForTitle(L"USED"));
  EXPECT_EQ(Converter::kUrl, ConverterForTitle(L"MYURL"));
  EXPECT_EQ(Converter::kNumeric, ConverterForTitle(L"FILE_SIZE"));
  EXPECT_EQ(Converter::kNumeric, ConverterForTitle(L"VESSIK_TYPE"));
  EXPECT_EQ(Converter::kTime, ConverterForTitle(L"LAST_TIME"));
  EXPECT_EQ(Converter::kBoolean, ConverterForTitle(L"REPLICABLE"));
  EXPECT_EQ(Converter::kBoolean, ConverterForTitle(L"HAS_FILES"));
  EXPECT_EQ(Converter::kNumeric, ConverterForTitle(L"VESSIK_ID"));
  EXPECT_EQ(Converter::kBoolean, ConverterForTitle(L"PUBLISHED"));
  EXPECT_EQ(Converter::kUrl, ConverterForTitle(L"ATTACHMENT_URL_1"));
  EXPECT_EQ(Converter::kNone, ConverterForTitle(L"Title"));
  EXPECT_EQ(Converter::kNone, ConverterForTitle(L"read")) << "case-sensitive";
}

TEST(ColumnConverters, ValuesBecomeNumbersBooleansAndDates) {
  Variant out;
  chanbind::ConvertValue(Converter::kNumeric, *Variant(L"").get(), out.get());
  EXPECT_EQ(VT_I4, out.type());
  EXPECT_EQ(0, out.get()->lVal);
  chanbind::ConvertValue(Converter::kNumeric, *Variant(L"42").get(), out.get());
  EXPECT_EQ(42, out.get()->lVal);
  chanbind::ConvertValue(Converter::kNumeric, *Variant(L"not a number").get(), out.get());
  EXPECT_EQ(VT_EMPTY, out.type()) << "no failure, no garbage";
  chanbind::ConvertValue(Converter::kBoolean, *Variant(7L).get(), out.get());
  EXPECT_EQ(VT_BOOL, out.type());
  EXPECT_EQ(VARIANT_TRUE, out.get()->boolVal);
  chanbind::ConvertValue(Converter::kBoolean, *Variant(0L).get(), out.get());
  EXPECT_EQ(VARIANT_FALSE, out.get()->boolVal);
  chanbind::ConvertValue(Converter::kTime, *Variant(86400L).get(), out.get());
  ASSERT_EQ(VT_DATE, out.type());
  DATE expected = 0;
  ASSERT_TRUE(chanbind::TimeToDate(86400, &expected));
  EXPECT_DOUBLE_EQ(expected, out.get()->date);
  long back = 0;
  ASSERT_TRUE(chanbind::DateToTime(expected, &back));
  EXPECT_EQ(86400, back);
}

TEST(SortExpression, KeysSignsAndWhiteSpace) {
  auto keys = chanbind::ParseSortExpression(L"  Title; -  Story Time;+ID;;");
  ASSERT_EQ(3u, keys.size());
  EXPECT_EQ(L"Title", keys[0].column);
  EXPECT_TRUE(keys[0].ascending);
  EXPECT_EQ(L"Story Time", keys[1].column);
  EXPECT_FALSE(keys[1].ascending);
  EXPECT_EQ(L"ID", keys[2].column);
  EXPECT_TRUE(keys[2].ascending);
}

TEST(SortExpression, ValuesOfEveryTypeCompare) {
  using chanbind::CompareValues;
  Variant empty, one(1L), two(2L), text_a(L"apple"), text_b(L"Banana");
  EXPECT_LT(CompareValues(*empty.get(), *one.get(), VT_I4, false), 0) << "empty first";
  EXPECT_LT(CompareValues(*one.get(), *two.get(), VT_I4, false), 0);
  EXPECT_LT(CompareValues(*one.get(), *text_a.get(), VT_I4, false), 0) << "the column's type first";
  EXPECT_GT(CompareValues(*one.get(), *text_a.get(), VT_BSTR, false), 0);
  EXPECT_LT(CompareValues(*text_a.get(), *text_b.get(), VT_BSTR, false), 0) << "case ignored";
  EXPECT_GT(CompareValues(*text_a.get(), *text_b.get(), VT_BSTR, true), 0) << "case counts";
  VARIANT yes, no, early, late, half, whole;
  yes.vt = no.vt = VT_BOOL;
  yes.boolVal = VARIANT_TRUE;
  no.boolVal = VARIANT_FALSE;
  EXPECT_LT(CompareValues(no, yes, VT_BOOL, false), 0) << "FALSE before TRUE";
  early.vt = late.vt = VT_DATE;
  early.date = 1.0;
  late.date = 2.5;
  EXPECT_LT(CompareValues(early, late, VT_DATE, false), 0);
  half.vt = whole.vt = VT_R8;
  half.dblVal = 0.5;
  whole.dblVal = 1.0;
  EXPECT_GT(CompareValues(whole, half, VT_R8, false), 0);
  VARIANT cy1, cy2;
  cy1.vt = cy2.vt = VT_CY;
  cy1.cyVal.int64 = 1;
  cy2.cyVal.int64 = 2;
  EXPECT_EQ(0, CompareValues(cy1, cy2, VT_CY, false)) << "other types compare equal";
}

Variant VariantArray(std::vector<Variant> items) {
  SAFEARRAYBOUND bound{static_cast<ULONG>(items.size()), 0};
  SAFEARRAY* array = ::SafeArrayCreate(VT_VARIANT, 1, &bound);
  for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) ::SafeArrayPutElement(array, &i, items[i].get());
  Variant result;
  result.put()->vt = VT_ARRAY | VT_VARIANT;
  result.get()->parray = array;
  return result;
}

// The client's story data read defensively: what does not have the array layout gives no
// stories, and lists of unequal length are read as far as all three go.
TEST(StoryData, MalformedAnswersGiveWhatTheyHoldAndNoMore) {
  auto channel = std::make_shared<chanbind::ChannelFacts>();
  channel->id = 7;
  EXPECT_TRUE(chanbind::ParseStoryData(*Variant().get(), channel).empty());
  EXPECT_TRUE(chanbind::ParseStoryData(*Variant(5L).get(), channel).empty());
  EXPECT_TRUE(chanbind::ParseStoryData(*VariantArray({Variant(1L)}).get(), channel).empty());
  Variant fields = VariantArray({VariantArray({Variant(1L), Variant(2L), Variant(2L)}),
                                 VariantArray({Variant(L"Title"), Variant(L"Title")}),
                                 VariantArray({Variant(L"one"), Variant(L"two"), Variant(L"lost")})});
  Variant data = VariantArray({Variant(), fields, Variant(L"not an array")});
  auto stories = chanbind::ParseStoryData(*data.get(), channel);
  ASSERT_EQ(2u, stories.size());
  EXPECT_EQ(1, stories[0].story_id);
  EXPECT_EQ(2, stories[1].story_id);
  ASSERT_EQ(1u, stories[1].fields.size());
  EXPECT_TRUE(stories[1].attributes.empty());
  std::vector<long> only{2};
  EXPECT_EQ(1u, chanbind::ParseStoryData(*data.get(), channel, &only).size());
}

}  // namespace
