#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "comsupport/bstr.h"
#include "ravlin_containers/story_data_reader.h"

namespace {

using comsupport::Variant;

Variant Array(std::initializer_list<Variant> elements) {
  SAFEARRAY* array = ::SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(elements.size()));
  LONG index = 0;
  for (const Variant& element : elements) {
    ::SafeArrayPutElement(array, &index, const_cast<VARIANT*>(element.get()));
    ++index;
  }
  Variant result;
  result.put()->vt = VT_ARRAY | VT_VARIANT;
  result.get()->parray = array;
  return result;
}

Variant Text(const char* text) { return Variant(std::string(text)); }
Variant Number(long number) { return Variant(number); }
Variant Bool(bool value) {
  Variant result;
  result.put()->vt = VT_BOOL;
  result.get()->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

// Reads field (or attribute) `name` of the story with that id; "<none>" when missing.
std::string Value(ICHANNELDATA2* data, DWORD story_id, const char* name, bool attribute = false) {
  for (long i = 0; i < data->GetRecordCount(); ++i) {
    ICHANNELDATARECORD* record = data->GetRecord(i);
    QMBuffer value;
    bool found = record->GetStoryId() == story_id &&
                 (attribute ? record->GetAttribute(name, value) : record->GetField(name, value));
    record->Release();
    if (found) return value.GetText();
  }
  return "<none>";
}

TEST(StoryDataTest, BuildsInfoRecordsAndAttributesFromTheThreeParts) {
  Variant answer = Array({
      Array({Array({Text("Format"), Text("Scroller Field")}), Array({Text("table"), Text("1,%Title%,1")})}),
      Array({Array({Number(5), Number(5), Number(6)}), Array({Text("Title"), Text("Vessik Id"), Text("Title")}),
             Array({Text("First"), Number(77), Text("Second")})}),
      Array({Array({Number(6), Number(5), Number(99)}), Array({Text("Read"), Text("Keep"), Text("Read")}),
             Array({Bool(true), Number(1), Text("1")})}),
  });
  ICHANNELDATA2* data = ravlin::ReadStoryData(*answer.get());
  ASSERT_NE(data, nullptr);
  QMBuffer info;
  ASSERT_EQ(data->GetInfoValue("Format", info), 1);
  EXPECT_STREQ(info.GetText(), "table");
  ASSERT_EQ(data->GetRecordCount(), 2) << "story 99 has attributes but no record";
  EXPECT_EQ(Value(data, 5, "Title"), "First");
  EXPECT_EQ(Value(data, 5, "Vessik Id"), "77");
  EXPECT_EQ(Value(data, 6, "Title"), "Second");
  EXPECT_EQ(Value(data, 6, "Read", true), "1");
  EXPECT_EQ(Value(data, 5, "Keep", true), "1");
  data->Release();
}

TEST(StoryDataTest, AStoryComingBackAfterAnotherKeepsOneRecord) {
  Variant answer = Array({
      Number(0),
      Array({Array({Number(5), Number(6), Number(5)}), Array({Text("Title"), Text("Title"), Text("URL")}),
             Array({Text("First"), Text("Second"), Text("http://a/")})}),
  });
  ICHANNELDATA2* data = ravlin::ReadStoryData(*answer.get());
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->GetRecordCount(), 2);
  EXPECT_EQ(Value(data, 5, "URL"), "http://a/");
  data->Release();
}

TEST(StoryDataTest, ParallelArraysOfUnequalLengthAreReadToTheShortest) {
  Variant answer = Array({
      Array({Array({Text("Format")}), Array({})}),
      Array({Array({Number(1), Number(2), Number(3)}), Array({Text("Title"), Text("Title")}),
             Array({Text("a"), Text("b"), Text("c")})}),
      Array({Array({Number(1)}), Array({Text("Read")})}),
  });
  ICHANNELDATA2* data = ravlin::ReadStoryData(*answer.get());
  ASSERT_NE(data, nullptr);
  QMBuffer info;
  EXPECT_EQ(data->GetInfoValue("Format", info), 0);
  EXPECT_EQ(data->GetRecordCount(), 2);
  EXPECT_EQ(Value(data, 2, "Title"), "b");
  EXPECT_EQ(Value(data, 1, "Read", true), "<none>") << "the attribute part lacks its values";
  data->Release();
}

TEST(StoryDataTest, OtherShapesOfAnswerAreRefused) {
  EXPECT_EQ(ravlin::ReadStoryData(*Number(3).get()), nullptr);
  EXPECT_EQ(ravlin::ReadStoryData(*Variant().get()), nullptr);

  Variant numbers;
  numbers.put()->vt = VT_ARRAY | VT_I4;
  numbers.get()->parray = ::SafeArrayCreateVector(VT_I4, 0, 3);
  EXPECT_EQ(ravlin::ReadStoryData(*numbers.get()), nullptr);

  // An empty outer array is accepted: the object exists, with nothing in it.
  ICHANNELDATA2* empty = ravlin::ReadStoryData(*Array({}).get());
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->GetRecordCount(), 0);
  empty->Release();
}

TEST(StoryDataTest, AnswerByReferenceAndIdsAboveTheSignedRangeAreRead) {
  Variant answer = Array({
      Array({}),
      Array({Array({Number(static_cast<long>(0xFDFFFFE1u))}), Array({Text("Title")}), Array({Text("Alert")})}),
  });
  VARIANT by_reference;
  by_reference.vt = VT_BYREF | VT_ARRAY | VT_VARIANT;
  by_reference.pparray = &answer.get()->parray;
  ICHANNELDATA2* data = ravlin::ReadStoryData(by_reference);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(Value(data, 0xFDFFFFE1u, "Title"), "Alert");
  data->Release();
}

}  // namespace
