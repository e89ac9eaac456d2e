// The stand-in's model as fixtures and changes make it, in process.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "call_journal.h"
#include "channel_data.h"
#include "fixture.h"
#include "json_value.h"

namespace {

using standin::Json;
using testing::ElementsAre;
using testing::HasSubstr;

standin::Model Load(const char* text) { return standin::LoadModel(standin::ParseJson(text), "C:\\Root\\program\\"); }

TEST(StandinFixture, GivesEveryVariantTypeAFixtureForm) {
  EXPECT_EQ(VT_BSTR, standin::JsonToVariant("text").type());
  EXPECT_EQ(VT_I4, standin::JsonToVariant(5).type());
  EXPECT_EQ(VT_BOOL, standin::JsonToVariant(true).type());
  EXPECT_EQ(VT_R8, standin::JsonToVariant(0.25).type());
  EXPECT_EQ(VT_EMPTY, standin::JsonToVariant(nullptr).type());
  EXPECT_EQ(VT_ARRAY | VT_BSTR, standin::JsonToVariant(Json::array({"a", "b"})).type());
  EXPECT_EQ(VT_ARRAY | VT_VARIANT, standin::JsonToVariant(Json::array({1, "b"})).type());
  comsupport::Variant small = standin::JsonToVariant(Json{{"vt", "VT_UI1"}, {"value", 200}});
  EXPECT_EQ(VT_UI1, small.type());
  EXPECT_EQ(200, small.get()->bVal);
  // Flag words above 0x7FFFFFFF stay 32-bit values.
  comsupport::Variant keep = standin::JsonToVariant(2147483649LL);
  EXPECT_EQ(VT_I4, keep.type());
  EXPECT_EQ(static_cast<LONG>(0x80000001), keep.get()->lVal);
  EXPECT_THROW(standin::JsonToVariant(Json{{"vt", "VT_NOPE"}}), std::runtime_error);
  EXPECT_THROW(standin::JsonToVariant(Json{{"vt", "VT_I2"}, {"value", "not a number"}}), std::runtime_error);
}

TEST(StandinFixture, FillsDefaultsFromTheInstallationAndRefusesFaults) {
  standin::Model model = Load(R"({"channels":[{"id":3,"name":"A"}],"vessiks":[{"id":4,"channel":3,"files":["x"]}]})");
  EXPECT_EQ("C:\\Root\\data\\", model.settings.data_directory);
  EXPECT_EQ("C:\\Root\\data\\Channels\\3\\", model.channels[0].directory);
  EXPECT_EQ("C:\\Root\\data\\Vessiks\\4\\", model.vessiks[0].directory);
  EXPECT_THAT(model.vessiks[0].files, ElementsAre("C:\\Root\\data\\Vessiks\\4\\x"));

  EXPECT_THROW(Load(R"({"channels":[{"id":0}]})"), std::runtime_error);
  EXPECT_THROW(Load(R"({"channels":[{"id":1},{"id":1}]})"), std::runtime_error);
  EXPECT_THROW(Load(R"({"channels":[{"name":"no id"}]})"), std::runtime_error);
  try {
    Load(R"({"channels":[{"id":1,"name":5}]})");
    ADD_FAILURE() << "a number was taken for a name";
  } catch (const std::runtime_error& error) {
    EXPECT_THAT(error.what(), HasSubstr("\"name\""));
  }
  EXPECT_THROW(standin::ParseJson("{"), std::runtime_error);
}

TEST(StandinFixture, AChangeSetsOnlyWhatItNames) {
  standin::Model model = Load(R"({"channels":[{"id":3,"name":"A","flags":4,"variables":{"x":1},
                                   "stories":[{"id":10,"title":"t","attributes":{"Read":1}}]}]})");
  standin::Channel& channel = model.channels[0];
  standin::ApplyChannel(standin::ParseJson(R"({"flags":0,"variables":{"y":"new"},
                                              "stories":[{"id":10,"read":false},{"id":11}]})"),
                        channel, model.settings);
  EXPECT_EQ("A", channel.name);
  EXPECT_EQ(0, channel.flags);
  ASSERT_EQ(2u, channel.variables.items().size());
  EXPECT_TRUE(channel.variables.Find("X"));  // names are found in any case
  ASSERT_EQ(2u, channel.stories.size());
  EXPECT_EQ("t", channel.stories[0].title);
  EXPECT_FALSE(channel.stories[0].Read());
}

TEST(StandinFixture, ByReferenceIsOnlyForNumberVariablesAndAnswersAreKept) {
  standin::Model model = Load(R"({"channels":[{"id":3,"variables":{
      "small":{"vt":"VT_I2","value":-3,"byRef":true},"plain":{"vt":"VT_I2","value":4}}}],
      "vessiks":[{"id":4,"channel":3,"extras":false},{"id":5,"channel":3}],
      "dialogs":{"ApprovalDialog":false}})");
  standin::Channel& channel = model.channels[0];
  EXPECT_TRUE(channel.VariableByReference("SMALL"));
  EXPECT_FALSE(channel.VariableByReference("plain"));
  EXPECT_EQ(VT_I2, channel.variables.Find("small")->type());
  // Given again without it, the value is plain.
  standin::ApplyChannel(standin::ParseJson(R"({"variables":{"small":5}})"), channel, model.settings);
  EXPECT_FALSE(channel.VariableByReference("small"));
  EXPECT_FALSE(model.vessiks[0].extras);
  EXPECT_TRUE(model.vessiks[1].extras);
  EXPECT_THAT(model.dialog_answers, ElementsAre(std::make_pair(std::string("ApprovalDialog"), false)));

  EXPECT_THROW(Load(R"({"channels":[{"id":3,"variables":{"t":{"vt":"VT_BSTR","value":"x","byRef":true}}}]})"),
               std::runtime_error);
  EXPECT_THROW(Load(R"({"channels":[{"id":3,"stories":[{"id":1,"fields":{"f":{"vt":"VT_I2","value":1,"byRef":true}}}]}]})"),
               std::runtime_error);
}

TEST(StandinFixture, UnreadStoryDataLeavesReadStoriesOut) {
  standin::Model model = Load(R"({"channels":[{"id":3,"stories":[
      {"id":10,"title":"old","attributes":{"Read":1}},{"id":11,"title":"new","vessik":6}]}]})");
  comsupport::Variant data = standin::StoryData(model.channels[0], true);
  std::vector<comsupport::Variant> parts = standin::ElementsOf(*data.get());
  std::vector<comsupport::Variant> fields = standin::ElementsOf(*parts[1].get());
  EXPECT_THAT(standin::LongsOf(*fields[0].get()), ElementsAre(11, 11));
  EXPECT_THAT(standin::StringsOf(*fields[2].get()), ElementsAre("new", "6"));
}

TEST(StandinJournal, CountsDownAFailureAndPrefersTheNamedObject) {
  standin::CallJournal journal;
  journal.Fail("Channel.get_Name", E_FAIL, 0);
  journal.Fail("Channel[7].get_Name", E_ACCESSDENIED, 2);
  EXPECT_EQ(E_ACCESSDENIED, journal.Enter("Channel", "7", "get_Name", ""));
  EXPECT_EQ(E_ACCESSDENIED, journal.Enter("Channel", "7", "get_Name", ""));
  EXPECT_EQ(E_FAIL, journal.Enter("Channel", "7", "get_Name", ""));
  EXPECT_EQ(E_FAIL, journal.Enter("Channel", "8", "get_Name", ""));
  EXPECT_EQ(S_OK, journal.Enter("Channel", "8", "get_Id", standin::Arguments(5L, static_cast<short>(VARIANT_TRUE))));
  EXPECT_THAT(journal.Lines(), testing::EndsWith("Channel[8].get_Id(5, true)\n"));
}

}  // namespace
