#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

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

// A one-dimensional array made by hand, so that its element size may disagree with its type.
// It owns its cells; Ref() lends it by reference, so VARIANTs holding it never copy or free it.
class HandMadeArray {
 public:
  HandMadeArray(VARTYPE type, ULONG element_size, ULONG count) : type_(type), size_(element_size), cells_(element_size * count) {
    if (FAILED(::SafeArrayAllocDescriptorEx(type, 1, &array_))) return;
    array_->cbElements = element_size;
    // The type alone: the array neither copies nor clears what its cells hold.
    array_->fFeatures = FADF_HAVEVARTYPE;
    array_->rgsabound[0].cElements = count;
    array_->rgsabound[0].lLbound = 0;
    array_->pvData = cells_.data();
  }
  HandMadeArray(const HandMadeArray&) = delete;
  HandMadeArray& operator=(const HandMadeArray&) = delete;
  ~HandMadeArray() {
    if (!array_) return;
    array_->pvData = nullptr;
    ::SafeArrayDestroyDescriptor(array_);
  }

  template <typename T>
  void Set(ULONG index, const T& value) {
    std::memcpy(&cells_[index * size_], &value, sizeof value < size_ ? sizeof value : size_);
  }
  Variant Ref() {
    Variant result;
    result.put()->vt = VT_BYREF | VT_ARRAY | type_;
    result.get()->pparray = &array_;
    return result;
  }

 private:
  VARTYPE type_;
  ULONG size_;
  std::vector<unsigned char> cells_;
  SAFEARRAY* array_ = nullptr;
};

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

  // Shapes a client could not mean, none of which may be read: no array, two dimensions, and
  // an array labelled as VARIANTs that holds texts.
  VARIANT no_array;
  no_array.vt = VT_ARRAY | VT_VARIANT;
  no_array.parray = nullptr;
  EXPECT_EQ(ravlin::ReadStoryData(no_array), nullptr);
  no_array.vt = VT_BYREF | VT_ARRAY | VT_VARIANT;
  no_array.pparray = nullptr;
  EXPECT_EQ(ravlin::ReadStoryData(no_array), nullptr);

  SAFEARRAYBOUND bounds[2] = {{3, 0}, {2, 0}};
  Variant square;
  square.put()->vt = VT_ARRAY | VT_VARIANT;
  square.get()->parray = ::SafeArrayCreate(VT_VARIANT, 2, bounds);
  EXPECT_EQ(ravlin::ReadStoryData(*square.get()), nullptr);

  Variant texts;
  texts.put()->vt = VT_ARRAY | VT_VARIANT;
  texts.get()->parray = ::SafeArrayCreateVector(VT_BSTR, 0, 3);
  EXPECT_EQ(ravlin::ReadStoryData(*texts.get()), nullptr);

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

TEST(StoryDataTest, ArraysWhoseElementSizeDisagreesWithTheirTypeAreNotRead) {
  // VARIANTs in cells too small to hold them: the whole answer is refused.
  for (ULONG size : {4ul, 8ul, 24ul}) {
    HandMadeArray outer(VT_VARIANT, size, 3);
    EXPECT_EQ(ravlin::ReadStoryData(*outer.Ref().get()), nullptr) << size << "-byte VARIANTs";
  }

  // Story ids in 24-byte cells would be copied past the VARIANT receiving them; 2-byte cells
  // hold no 32-bit id. Either way the part with them is skipped, the others are read.
  for (ULONG size : {24ul, 2ul}) {
    HandMadeArray ids(VT_I4, size, 2);
    ids.Set(0, 5L);
    ids.Set(1, 6L);
    Variant answer = Array({
        Array({Array({Text("Format")}), Array({Text("table")})}),
        Array({ids.Ref(), Array({Text("Title"), Text("Title")}), Array({Text("a"), Text("b")})}),
    });
    ICHANNELDATA2* data = ravlin::ReadStoryData(*answer.get());
    ASSERT_NE(data, nullptr);
    QMBuffer info;
    EXPECT_EQ(data->GetInfoValue("Format", info), 1);
    EXPECT_EQ(data->GetRecordCount(), 0) << size << "-byte ids";
    data->Release();
  }

  // A part that is no array of VARIANTs: texts, mislabelled texts, VARIANTs in 4-byte cells.
  Variant text_part;
  text_part.put()->vt = VT_ARRAY | VT_BSTR;
  text_part.get()->parray = ::SafeArrayCreateVector(VT_BSTR, 0, 1);
  Variant mislabelled_part;
  mislabelled_part.put()->vt = VT_ARRAY | VT_VARIANT;
  mislabelled_part.get()->parray = ::SafeArrayCreateVector(VT_BSTR, 0, 3);
  HandMadeArray narrow_part(VT_VARIANT, 4, 3);
  for (const Variant& info_part : {text_part, mislabelled_part, narrow_part.Ref()}) {
    Variant answer = Array({
        info_part,
        Array({Array({Number(5)}), Array({Text("Title")}), Array({Text("Kept")})}),
    });
    ICHANNELDATA2* data = ravlin::ReadStoryData(*answer.get());
    ASSERT_NE(data, nullptr);
    QMBuffer info;
    EXPECT_EQ(data->GetInfoValue("Format", info), 0);
    EXPECT_EQ(Value(data, 5, "Title"), "Kept");
    data->Release();
  }
}

TEST(StoryDataTest, TextsOfAnArrayWithoutTheBstrFeatureAreCopied) {
  // Only the type says these are texts; the reader must copy them, not take them over.
  comsupport::Bstr title(L"Title");
  HandMadeArray names(VT_BSTR, sizeof(BSTR), 1);
  names.Set(0, title.get());
  Variant answer = Array({
      Array({}),
      Array({Array({Number(5)}), names.Ref(), Array({Text("First")})}),
  });
  ICHANNELDATA2* data = ravlin::ReadStoryData(*answer.get());
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(Value(data, 5, "Title"), "First");
  data->Release();
  EXPECT_EQ(title.Ansi(), "Title") << "the array's own text is left alone";
}

}  // namespace
