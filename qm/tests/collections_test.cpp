#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qm/collections.h"

namespace {

std::vector<std::string> Walk(const CMapStringToString& map) {
  std::vector<std::string> seen;
  CString key, value;
  for (POSITION position = map.GetStartPosition(); position;) {
    map.GetNextAssoc(position, key, value);
    seen.push_back(key + "=" + value);
  }
  return seen;
}

TEST(Collections, ArraysGrowInsertAndRemoveWithinTheirBounds) {
  CStringArray texts;
  EXPECT_EQ(0, texts.Add("a"));
  texts.SetAtGrow(3, "d");
  EXPECT_EQ(4, texts.GetSize());
  EXPECT_EQ("", texts[1]);
  texts.InsertAt(1, "b", 2);
  EXPECT_EQ((std::vector<std::string>{"a", "b", "b", "", "", "d"}), std::vector<std::string>(texts.begin(), texts.end()));
  texts.RemoveAt(4, 10);  // a count past the end stops at the end
  texts.RemoveAt(-1);
  texts.RemoveAt(7);
  EXPECT_EQ(4, texts.GetSize());
  EXPECT_THROW(texts.GetAt(4), std::out_of_range);

  CDWordArray numbers;
  numbers.SetSize(-1);
  EXPECT_TRUE(numbers.IsEmpty());
  numbers.Add(7);
  CDWordArray copy;
  copy.Copy(numbers);
  EXPECT_EQ(1, copy.Append(numbers));
  EXPECT_EQ(7u, copy[1]);
}

TEST(Collections, MapsKeepOneValuePerKeyAndWalkInKeyOrder) {
  CMapStringToString map;
  EXPECT_EQ(nullptr, map.GetStartPosition());
  map.SetAt("News", "1");
  map.SetAt("Alerts", "9");
  map["News"] += ",2";
  map.SetAt("news", "3");  // keys compare with case
  EXPECT_EQ((std::vector<std::string>{"Alerts=9", "News=1,2", "news=3"}), Walk(map));

  CString value = "unchanged";
  EXPECT_FALSE(map.Lookup("Sports", value));
  EXPECT_EQ("unchanged", value);
  EXPECT_TRUE(map.Lookup("News", value));
  EXPECT_EQ("1,2", value);
  EXPECT_TRUE(map.RemoveKey("Alerts"));
  EXPECT_FALSE(map.RemoveKey("Alerts"));
  EXPECT_EQ(2, map.GetCount());

  CMapStringToOb objects;
  objects.SetAt("x", nullptr);
  CObject* object = reinterpret_cast<CObject*>(1);
  EXPECT_TRUE(objects.Lookup("x", object));
  EXPECT_EQ(nullptr, object);
}

}  // namespace
