// The real Shelver.exe reading its settings from the stand-in client: the order of the reads,
// missing and empty variables, and values that are no text.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "comsupport/bstr.h"
#include "comsupport/com_ptr.h"
#include "testing/dialog_driver.h"
#include "testing/process.h"
#include "testing/standin_client.h"
#include "testing/temp_dir.h"

namespace {

using comsupport::Bstr;
using comsupport::ComPtr;
using comsupport::Variant;
using testing::HasSubstr;
using testing_support::FileExists;
using testing_support::StandinClient;

// JSON text of a Windows path.
std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

class ShelverSettingsTest : public testing::Test {
 protected:
  ShelverSettingsTest()
      : standin_("{\"channels\":[{\"id\":7,\"name\":\"Kelvane\",\"variables\":{\"targetdirectory\":" +
                 Quoted(repository_) + ",\"mirrortreeflag\":\"y\"}}]}") {
    testing_support::WriteFile(vessik_ + "MyMendlet.dat", "driver.inf\r\n");
    testing_support::WriteFile(vessik_ + "driver.inf", "driver");
  }

  void SetVariables(const std::string& json) {
    StandinClient::Check(standin_.control()->ChangeChannel(7, Bstr("{\"variables\":" + json + "}").get(), 0),
                         "changing the Kelvane variables");
  }
  void RemoveVariable(const char* name) {
    ComPtr<IZorvaneChannelCollection> channels;
    ASSERT_EQ(S_OK, standin_.Application()->get_Channels(channels.put()));
    ComPtr<IZorvaneChannel> channel;
    ASSERT_EQ(S_OK, channels->get_Item(*Variant(std::string("n:Kelvane")).get(), channel.put()));
    ComPtr<IZorvaneChannelVariableCollection> variables;
    ASSERT_EQ(S_OK, channel->get_Variables(variables.put()));
    ASSERT_EQ(S_OK, variables->Remove(*Variant(std::string(name)).get()));
  }

  // Runs Shelver as the arrival extension starts it; answers a "Place" box when one is
  // expected and checks there is none otherwise. Returns the exit code.
  DWORD Run(bool settings_box_expected) {
    testing_support::RemoveTree(repository_);
    auto shelver = testing_support::Process::Start(
        testing_support::Quote(testing_support::BuildOutput("Shelver.exe")) + " \"" + vessik_ + "| Display\"",
        scratch_.path());
    if (settings_box_expected) {
      auto box = testing_support::AnswerDialog("Place", "OK", 120000);
      EXPECT_TRUE(box.has_value()) << "no \"Place\" box";
      if (box) {
        EXPECT_EQ("Error in reading user profile data", box->contents.message);
        EXPECT_TRUE(box->pressed);
      }
    }
    DWORD code = 0;
    EXPECT_TRUE(shelver.Wait(120000, &code));
    if (!settings_box_expected) {
      EXPECT_TRUE(testing_support::NoDialogFor("Place", 100));
    }
    return code;
  }

  testing_support::TempDir scratch_;
  const std::string vessik_ = scratch_ / "vessik\\";
  const std::string repository_ = scratch_ / "Mendlets";
  StandinClient standin_;
};

TEST_F(ShelverSettingsTest, ReadsTheMirrorFlagThenTheTargetDirectory) {
  standin_.ClearJournal();
  EXPECT_EQ(0u, Run(false));
  EXPECT_TRUE(FileExists(repository_ + "\\ Display\\driver.inf"));
  EXPECT_THAT(standin_.Journal(),
              HasSubstr("Channels.get_Item(\"n:Kelvane\")\nChannel[7].get_Variables()\n"
                        "Variables[7].get_Item(\"mirrortreeflag\")\nVariable[7:mirrortreeflag].get_Value()\n"
                        "Variables[7].get_Item(\"targetdirectory\")\nVariable[7:targetdirectory].get_Value()\n"));
}

TEST_F(ShelverSettingsTest, MissingAndEmptyVariablesReadAsEmpty) {
  SetVariables("{\"mirrortreeflag\":null}");  // VT_EMPTY: no mirror flag, flat placement
  EXPECT_EQ(0u, Run(false));
  EXPECT_TRUE(FileExists(repository_ + "\\driver.inf"));

  RemoveVariable("mirrortreeflag");
  standin_.ClearJournal();
  EXPECT_EQ(0u, Run(false));
  EXPECT_TRUE(FileExists(repository_ + "\\driver.inf"));
  const std::string journal = standin_.Journal();
  EXPECT_THAT(journal, HasSubstr("Variables[7].get_Item(\"mirrortreeflag\")\n"
                                 "Variables[7].get_Item(\"targetdirectory\")\n"));

  SetVariables("{\"mirrortreeflag\":\"Y\",\"targetdirectory\":null}");
  EXPECT_EQ(0u, Run(false));
  EXPECT_FALSE(FileExists(repository_)) << "an empty target directory places nothing";

  RemoveVariable("targetdirectory");
  EXPECT_EQ(0u, Run(false));
  EXPECT_FALSE(FileExists(repository_));
}

// VT_NULL is no text, nor is an array: the settings cannot be read, whichever variable it is.
TEST_F(ShelverSettingsTest, AValueThatIsNoTextMakesTheSettingsUnreadable) {
  const std::string good = "{\"targetdirectory\":" + Quoted(repository_) + ",\"mirrortreeflag\":\"N\"}";
  for (const char* change : {"{\"targetdirectory\":{\"vt\":\"VT_NULL\"}}", "{\"mirrortreeflag\":{\"vt\":\"VT_NULL\"}}",
                             "{\"targetdirectory\":[\"C:\\\\A\",\"C:\\\\B\"]}", "{\"mirrortreeflag\":[1,2]}"}) {
    SCOPED_TRACE(change);
    SetVariables(good);
    SetVariables(change);
    EXPECT_EQ(1u, Run(true));
    EXPECT_FALSE(FileExists(repository_));
  }
  SetVariables(good);
  SetVariables("{\"mirrortreeflag\":{\"vt\":\"VT_I4\",\"value\":1,\"byRef\":true}}");
  EXPECT_EQ(0u, Run(false)) << "a number by reference is text";
  EXPECT_TRUE(FileExists(repository_ + "\\driver.inf"));
}

}  // namespace
