#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "vinnet/helpers.h"
#include "vinnet/sort_string_array.h"

namespace {

std::vector<std::string> Texts(const CStringArray& array) { return std::vector<std::string>(array.begin(), array.end()); }

TEST(RainbowPalette, HoldsTheStaticColoursAtTheTopAndTheColourCubeFrom19) {
  HPALETTE palette = CreateRainbowPalette();
  ASSERT_NE(nullptr, palette);
  PALETTEENTRY entries[256] = {};
  ASSERT_EQ(256u, ::GetPaletteEntries(palette, 0, 256, entries));
  ::DeleteObject(palette);
  auto rgb = [&](int index) {
    return std::to_string(entries[index].peRed) + "," + std::to_string(entries[index].peGreen) + "," +
           std::to_string(entries[index].peBlue) + "/" + std::to_string(entries[index].peFlags);
  };
  const std::vector<std::string> statics = {
      "128,128,128/0", "255,0,0/0",     "0,255,0/0",     "255,255,0/0",   "0,0,255/0",     "255,0,255/0",   "0,255,255/0",
      "255,255,255/0", "0,0,0/0",       "128,0,0/0",     "0,128,0/0",     "128,128,0/0",   "0,0,128/0",     "128,0,128/0",
      "0,128,128/0",   "192,192,192/0", "192,220,192/0", "166,202,240/0", "255,251,240/0", "160,160,164/0"};
  for (int i = 0; i < 20; ++i) EXPECT_EQ(statics[i], rgb(236 + i)) << "entry " << 236 + i;
  EXPECT_EQ("4,4,4/0", rgb(0));
  EXPECT_EQ("57,57,57/0", rgb(11));
  EXPECT_EQ("0,0,0/0", rgb(19));
  EXPECT_EQ("51,0,0/0", rgb(20)) << "red varies fastest";
  EXPECT_EQ("0,51,0/0", rgb(25));
  EXPECT_EQ("0,0,51/0", rgb(19 + 36));
  EXPECT_EQ("255,255,255/0", rgb(19 + 215));
}

TEST(DelimitedStrings, SplitAtAnyDelimiterAndLeaveEmptyPiecesOut) {
  CStringArray pieces;
  pieces.Add("stale");
  EXPECT_EQ(3, ParseDelimitedString("12,,7;News/Sports,", ",;", pieces));
  EXPECT_EQ((std::vector<std::string>{"12", "7", "News/Sports"}), Texts(pieces)) << "emptied first";
  EXPECT_EQ(0, ParseDelimitedString(nullptr, ",", pieces));
  EXPECT_TRUE(pieces.IsEmpty());
  EXPECT_EQ(1, ParseDelimitedString("no delimiters", nullptr, pieces));

  CMapStringToOb map;
  map.SetAt("kept", nullptr);
  EXPECT_EQ(3, ParseDelimitedString("a|b|a", "|", map));
  EXPECT_EQ(3, map.GetCount()) << "each piece once, what the map held kept";
}

TEST(DelimitedStrings, SortServicesOrdersIdsAsNumbersAndSortStringArrayIgnoresCase) {
  CString ids = "12,3,700,45";
  SortServices(ids);
  EXPECT_EQ("3,12,45,700", ids);
  CString one = "9";
  SortServices(one);
  EXPECT_EQ("9", one);

  CStringArray texts;
  for (const char* text : {"news", "Alerts", "Sports", "alerts", "Business"}) texts.Add(text);
  SortStringArray(texts);
  EXPECT_EQ((std::vector<std::string>{"Alerts", "alerts", "Business", "news", "Sports"}), Texts(texts));
}

TEST(SmallHelpers, IsOneOfAndBitmapSizes) {
  CDWordArray values;
  EXPECT_EQ(0, IsOneOf(0, values));
  values.Add(7);
  values.Add(0xFDFFFFE1);
  EXPECT_EQ(1, IsOneOf(0xFDFFFFE1, values));
  EXPECT_EQ(0, IsOneOf(8, values));

  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 37, 11);
  ::ReleaseDC(nullptr, screen);
  SIZE size = {};
  EXPECT_EQ(1, GetBitmapSize(bitmap, size));
  EXPECT_EQ(37, size.cx);
  EXPECT_EQ(11, size.cy);
  ::DeleteObject(bitmap);
  size = {5, 5};
  EXPECT_EQ(0, GetBitmapSize(nullptr, size));
  EXPECT_EQ(0, GetBitmapSize(reinterpret_cast<HBITMAP>(::GetStockObject(BLACK_BRUSH)), size)) << "not a bitmap";
  EXPECT_EQ(5, size.cx);
}

}  // namespace
