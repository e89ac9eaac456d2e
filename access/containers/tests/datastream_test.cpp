#include <gtest/gtest.h>

#include <string>

#include "ravlin_containers/channel_data_object.h"
#include "ravlin_containers/datastream.h"
#include "testing/temp_dir.h"

namespace ravlin {

bool operator==(const DatastreamField& a, const DatastreamField& b) { return a.name == b.name && a.data == b.data; }
bool operator==(const DatastreamComponent& a, const DatastreamComponent& b) {
  return a.name == b.name && a.type == b.type && a.fields == b.fields;
}
bool operator==(const DatastreamObject& a, const DatastreamObject& b) {
  return a.name == b.name && a.type == b.type && a.components == b.components;
}
bool operator==(const Datastream& a, const Datastream& b) {
  return a.name == b.name && a.major == b.major && a.minor == b.minor && a.flags == b.flags && a.objects == b.objects;
}

}  // namespace ravlin

namespace {

using namespace ravlin;

// Version 1.2, flags 3, object "O" (type 5) > component "C" (type 6) > field "n" = "abc".
Datastream Small() {
  Datastream stream;
  stream.name = "DS";
  stream.major = 1;
  stream.minor = 2;
  stream.flags = 3;
  stream.objects.push_back({"O", 5, {{"C", 6, {{"n", "abc"}}}}});
  return stream;
}

// Names and data that stress both forms: colons, equals signs, dashes, NULs, empty names.
Datastream Awkward() {
  Datastream stream;
  stream.name = "a:b";
  stream.major = 255;
  stream.flags = 65535;
  DatastreamComponent component{"c:1", 65535, {}};
  component.fields.push_back({"URL", "http://h/p?a=1&b=2"});
  component.fields.push_back({"", "ends with a dash-"});
  component.fields.push_back({"empty", ""});
  component.fields.push_back({"x->", "--"});
  stream.objects.push_back({"INFO", 0, {component, {"", 0, {}}}});
  stream.objects.push_back({"", 7, {}});
  return stream;
}

TEST(DatastreamTest, CompactFormPrefixesEveryElementWithItsTotalLength) {
  EXPECT_EQ(SizePrefix(7), "B9");
  EXPECT_EQ(SizePrefix(8), "C11");
  EXPECT_EQ(SizePrefix(96), "C99");
  EXPECT_EQ(SizePrefix(97), "D101");

  std::string text, error;
  ASSERT_TRUE(WriteCompactForm(Small(), text, error)) << error;
  EXPECT_EQ(text,
            "0102000300000038"
            "C560002DS0001"
            "C430001O00050001"
            "C270001C00060001"
            "C110001nabc");

  // Letter digits are upper case, in the header as in the elements, and read back.
  Datastream lettered = Small();
  lettered.name = "DSxy";
  lettered.major = 0xAB;
  lettered.minor = 0xCD;
  lettered.flags = 0xBEEF;
  lettered.objects[0].type = 0xFACE;
  ASSERT_TRUE(WriteCompactForm(lettered, text, error)) << error;
  EXPECT_EQ(text,
            "ABCDBEEF0000003A"
            "C580004DSxy0001"
            "C430001OFACE0001"
            "C270001C00060001"
            "C110001nabc");
  Datastream read;
  ASSERT_TRUE(ReadCompactForm(text, read, error)) << error;
  EXPECT_EQ(read.major, 0xAB);
  EXPECT_EQ(read.minor, 0xCD);
  EXPECT_EQ(read.flags, 0xBEEF);
  EXPECT_EQ(read.objects[0].type, 0xFACE);
}

TEST(DatastreamTest, MarkupFormWritesOneCommentPerElement) {
  std::string text, error;
  ASSERT_TRUE(WriteMarkupForm(Small(), text, error)) << error;
  EXPECT_EQ(text, "<HTML><!--V1.2:3--><!--DS:DS:1--><!--O:O:5:1--><!--C:C:6:1--><!--F:n=abc--></HTML>");
}

TEST(DatastreamTest, BothFormsReadBackWhatTheyWrote) {
  Datastream binary = Awkward();
  binary.objects[0].components[0].fields.push_back({"bytes", std::string("\0\x01-->\xff", 6)});
  for (const Datastream& original : {Small(), Awkward(), binary}) {
    std::string text, error;
    Datastream read;
    ASSERT_TRUE(WriteCompactForm(original, text, error)) << error;
    ASSERT_TRUE(ReadDatastream(text, read, error)) << error;
    EXPECT_TRUE(read == original) << text;
  }
  for (const Datastream& original : {Small(), Awkward()}) {
    std::string text, error;
    Datastream read;
    ASSERT_TRUE(WriteMarkupForm(original, text, error)) << error;
    ASSERT_TRUE(ReadDatastream(text, read, error)) << error;
    EXPECT_TRUE(read == original) << text;
  }
}

TEST(DatastreamTest, WhatAFormCannotCarryIsRefusedWithTheReason) {
  std::string text = "untouched", error;
  Datastream stream = Small();
  stream.objects[0].components[0].fields[0].data = "a-->b";
  EXPECT_FALSE(WriteMarkupForm(stream, text, error));
  EXPECT_NE(error.find("field \"n\""), std::string::npos) << error;
  EXPECT_EQ(text, "untouched");
  EXPECT_TRUE(WriteCompactForm(stream, text, error)) << "the compact form carries any bytes";

  stream = Small();
  stream.objects[0].components[0].fields[0].name = "a=b";
  EXPECT_FALSE(WriteMarkupForm(stream, text, error));

  // The compact form has four hex digits for flags and types.
  stream = Small();
  stream.flags = 0x10000;
  EXPECT_FALSE(WriteCompactForm(stream, text, error));
  stream = Small();
  stream.objects[0].type = 0x10000;
  EXPECT_FALSE(WriteCompactForm(stream, text, error));
  EXPECT_NE(error.find("object \"O\""), std::string::npos) << error;
  stream.objects[0].type = -1;
  EXPECT_FALSE(WriteCompactForm(stream, text, error));
  EXPECT_TRUE(WriteMarkupForm(stream, text, error)) << error;

  // Counts are written in 16 bits: more elements would be lost.
  stream = Small();
  stream.objects[0].components[0].fields.resize(0x10000);
  EXPECT_FALSE(WriteCompactForm(stream, text, error));
  EXPECT_NE(error.find("65536 fields"), std::string::npos) << error;
  EXPECT_FALSE(WriteMarkupForm(stream, text, error));
  stream.objects[0].components[0].fields.resize(0xFFFF);
  EXPECT_TRUE(WriteCompactForm(stream, text, error)) << error;
}

TEST(DatastreamTest, DamagedTextsAreRefusedWithoutOverrun) {
  std::string compact, markup, error;
  ASSERT_TRUE(WriteCompactForm(Awkward(), compact, error));
  ASSERT_TRUE(WriteMarkupForm(Awkward(), markup, error));
  Datastream read;
  for (size_t cut = 0; cut < compact.size(); ++cut)
    EXPECT_FALSE(ReadCompactForm(compact.substr(0, cut), read, error)) << "cut at " << cut;
  for (size_t cut = 0; cut < markup.size(); ++cut)
    EXPECT_FALSE(ReadMarkupForm(markup.substr(0, cut), read, error)) << "cut at " << cut;

  // Any one byte changed: read or refused, never out of bounds.
  for (size_t at = 0; at < compact.size(); ++at) {
    for (char c : {'Z', 'K', 'A', '0', '9', 'F'}) {
      std::string damaged = compact;
      damaged[at] = c;
      ReadCompactForm(damaged, read, error);
    }
  }
  EXPECT_FALSE(ReadCompactForm(compact + "x", read, error));
  EXPECT_NE(error.find("offset"), std::string::npos) << error;
  EXPECT_FALSE(ReadMarkupForm(markup + "x", read, error));
  EXPECT_TRUE(ReadMarkupForm(markup + "\r\n", read, error)) << error;
}

TEST(DatastreamTest, DumpWritesOneLinePerElement) {
  testing_support::TempDir directory;
  std::string error;
  ASSERT_TRUE(DumpDatastreamToFile(Small(), directory / "dump.txt", error)) << error;
  EXPECT_EQ(testing_support::ReadFile(directory / "dump.txt"),
            "Datastream: Name=DS, Flags=3, Version=1.2\r\n"
            "   Object: Name=O, Type=5\r\n"
            "      Component: Name=C, Type=6\r\n"
            "         Field: Name=n, Data Length=3, Data=abc\r\n");
  EXPECT_FALSE(DumpDatastreamToFile(Small(), directory / "missing\\dump.txt", error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
}

ChannelData* SampleChannelData() {
  ChannelData* data = ChannelData::Create();
  data->SetInfoValue("Format", "table");
  ChannelDataRecord* story = data->AddRecord(0xFDFFFFE1u);
  story->SetField("Title", "<b>News</b> = good -- really");
  story->SetField("Story Time", "946684800");
  story->SetAttribute("Read", "1");
  data->AddRecord(8)->SetField("Title", "No attributes");
  return data;
}

TEST(ChannelDataDatastreamTest, ChannelDataSurvivesBothForms) {
  ChannelData* original = SampleChannelData();
  for (DatastreamForm form : {DatastreamForm::Compact, DatastreamForm::Markup}) {
    std::string text, error;
    ASSERT_TRUE(original->ToText(form, text, error)) << error;
    ChannelData* copy = ChannelData::FromText(text, error);
    ASSERT_NE(copy, nullptr) << error;
    QMBuffer value;
    ASSERT_EQ(copy->GetInfoValue("Format", value), 1);
    EXPECT_STREQ(value.GetText(), "table");
    ASSERT_EQ(copy->GetRecordCount(), 2);
    ChannelDataRecord* story = copy->FindRecord(0xFDFFFFE1u);
    ASSERT_NE(story, nullptr);
    ASSERT_EQ(story->GetField("Title", value), 1);
    EXPECT_STREQ(value.GetText(), "<b>News</b> = good -- really");
    ASSERT_EQ(story->GetAttribute("Read", value), 1);
    EXPECT_STREQ(value.GetText(), "1");
    EXPECT_EQ(story->GetField("Read", value), 0);
    EXPECT_TRUE(copy->FindRecord(8)->Attributes().empty());
    copy->Release();
  }
  original->Release();
}

TEST(ChannelDataDatastreamTest, OtherDatastreamsAreNotChannelData) {
  std::string error;
  EXPECT_EQ(ChannelData::FromDatastream(Small(), error), nullptr);
  EXPECT_NE(error.find("INFO"), std::string::npos) << error;

  Datastream stream;
  stream.objects.push_back({"INFO", 0, {}});
  stream.objects.push_back({"DATA2", 0, {{"12", 2, {}}}});
  EXPECT_EQ(ChannelData::FromDatastream(stream, error), nullptr) << "attributes before any fields";
  stream.objects[1].components[0] = {"twelve", 1, {}};
  EXPECT_EQ(ChannelData::FromDatastream(stream, error), nullptr);
  EXPECT_EQ(ChannelData::FromText("<HTML>", error), nullptr);
}

TEST(ChannelDataDatastreamTest, DumpShowsTheSections) {
  testing_support::TempDir directory;
  ChannelData* data = SampleChannelData();
  std::string error;
  ASSERT_TRUE(data->Dump(directory / "channel.txt", error)) << error;
  std::string dump = testing_support::ReadFile(directory / "channel.txt");
  EXPECT_EQ(dump.rfind("Datastream: Name=ChannelData, Flags=0, Version=2.0\r\n   Object: Name=INFO, Type=0\r\n", 0), 0u)
      << dump;
  EXPECT_NE(dump.find("   Object: Name=DATA2, Type=0\r\n      Component: Name=4261412833, Type=1\r\n"), std::string::npos)
      << dump;
  EXPECT_NE(dump.find("Field: Name=Read, Data Length=1, Data=1\r\n"), std::string::npos) << dump;
  data->Release();
}

}  // namespace
