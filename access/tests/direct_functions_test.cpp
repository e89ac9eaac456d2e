// The functions that call the client directly: directories, the cache look-up of URLs, web
// requests, channel variables and the installed test.
#include "comsupport/unique_handle.h"
#include "operations_fixture.h"
#include "testing/machine_state.h"
#include "testing/registry.h"
#include "testing/temp_dir.h"

namespace {

using ravlin_tests::OperationsTest;
using testing::Contains;
using testing::ElementsAre;
using testing::IsEmpty;

class UrlCache : public OperationsTest {};
class WebAccess : public OperationsTest {};
class ChannelVariables : public OperationsTest {};

// Each directory test has its own start: the program and data directories are cached for it.
class Directories : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library_.started());
    standin_.ClearJournal();
  }
  std::string Fixture() const {
    ::CreateDirectoryA((temp_.path() + "\\Data").c_str(), nullptr);
    ::CreateDirectoryA((temp_.path() + "\\Data\\Main").c_str(), nullptr);
    std::string data = temp_.path() + "\\Data\\Main\\";
    std::string json;
    for (char c : data) json += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return R"({"settings": {"programDirectory": "C:\\Zorvane\\program\\", "dataDirectory": ")" + json + "\"}}";
  }
  testing_support::TempDir temp_;
  ravlin_tests::PinnedStandin standin_{Fixture()};
  ravlin_tests::StartedLibrary library_;
};

bool IsFolder(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(Directories, ProgramAndDataDirectoriesLoseTheirBackslashAndAreAskedOnce) {
  ASSERT_TRUE(library_.started());
  QMBuffer path;
  EXPECT_EQ(1, ZRGetDirectory(DIRECTORY_PROGRAM, path));
  EXPECT_STREQ("C:\\Zorvane\\program", path.GetText());
  EXPECT_EQ(1, ZRGetDirectory(DIRECTORY_PROGRAM, path));
  EXPECT_STREQ("C:\\Zorvane\\program", path.GetText());
  EXPECT_EQ(1, ZRGetDirectory(DIRECTORY_DATA, path));
  EXPECT_EQ(temp_.path() + "\\Data\\Main", path.GetText());
  EXPECT_EQ(1, ZRGetDirectory(DIRECTORY_DATA, path));
  EXPECT_THAT(ravlin_tests::JournalLines(standin_),
              ElementsAre("Application.get_Setup()", "Setup.get_General()", "GeneralSettings.get_ProgramDirectory()",
                          "Application.get_Setup()", "Setup.get_General()", "GeneralSettings.get_DataDirectory()"));
}

TEST_F(Directories, MiscFoldersAreMadeBesideTheDataDirectory) {
  ASSERT_TRUE(library_.started());
  QMBuffer path;
  EXPECT_EQ(1, ZRGetDirectory(DIRECTORY_CACHE, path));
  EXPECT_EQ(temp_.path() + "\\Data\\Misc\\Cache", path.GetText());
  EXPECT_TRUE(IsFolder(temp_.path() + "\\Data\\Misc\\Cache"));
  EXPECT_EQ(1, ZRGetDirectory(DIRECTORY_TEMP, path));
  EXPECT_EQ(temp_.path() + "\\Data\\Misc\\Temp", path.GetText());
  EXPECT_EQ(1, ZRGetDirectory(DIRECTORY_FILES, path));
  EXPECT_EQ(temp_.path() + "\\Data\\Misc\\Files", path.GetText());
  EXPECT_TRUE(IsFolder(temp_.path() + "\\Data\\Misc\\Files"));
  // Already there: the same answer.
  EXPECT_EQ(1, ZRGetDirectory(DIRECTORY_CACHE, path));
  EXPECT_EQ(temp_.path() + "\\Data\\Misc\\Cache", path.GetText());
}

TEST_F(Directories, OtherTypesAndFilesInTheWayFail) {
  ASSERT_TRUE(library_.started());
  QMBuffer path;
  // "Cache" is a file in a good "Misc" folder.
  ::CreateDirectoryA((temp_.path() + "\\Data\\Misc").c_str(), nullptr);
  testing_support::WriteFile(temp_.path() + "\\Data\\Misc\\Cache", "not a folder");
  path.SetText("left over");
  EXPECT_EQ(0, ZRGetDirectory(DIRECTORY_CACHE, path));
  EXPECT_EQ(0, path.GetSize());
  ASSERT_TRUE(testing_support::RemoveTree(temp_.path() + "\\Data\\Misc"));
  standin_.ClearJournal();
  path.SetText("left over");
  EXPECT_EQ(0, ZRGetDirectory(DIRECTORY_CHANNELS, path));
  EXPECT_EQ(0, path.GetSize());
  EXPECT_EQ(0, ZRGetDirectory(static_cast<DIRECTORY_TYPES>(99), path));
  EXPECT_THAT(ravlin_tests::JournalLines(standin_), IsEmpty());
  // "Misc" is a file: no folder can be made there.
  testing_support::WriteFile(temp_.path() + "\\Data\\Misc", "not a folder");
  EXPECT_EQ(0, ZRGetDirectory(DIRECTORY_TEMP, path));
  EXPECT_EQ(0, path.GetSize());
  testing_support::StandinClient::Check(
      standin_.control()->FailMember(comsupport::Bstr(std::string("GeneralSettings.get_ProgramDirectory")).get(), E_FAIL, 0),
      "failing a member");
  EXPECT_EQ(0, ZRGetDirectory(DIRECTORY_PROGRAM, path));
}

TEST_F(UrlCache, UrlsAreSplitIntoServerAndPath) {
  struct Case {
    const char* url;
    const char* asked;
  } cases[] = {
      {"http://host/a/b.htm#top", "host/a/b.htm"},
      {"http://host/a/b%23c.htm", "host/a/b"},
      {"http://host", "host"},
      {"FILE://C:/web/x.htm", "C:/web/x.htm"},
      {"C:\\web\\x.htm", "C:\\web\\x.htm"},
      {"\"C:\\web\\x.htm\"", "\"C:\\web\\x.htm\""},
      {"/C:\\web\\x.htm", "/C:\\web\\x.htm"},
      {"\"file://C:/a#b.htm", "\"file://C:/a#b.htm"},
      {"www.kelvane.example/page.htm#x", "www.kelvane.example/page.htm"},
      // Digits and blanks may make a scheme; any other character may not.
      {"ht2p://host/d.htm#x", "host/d.htm"},
      {"my app://host/e.htm", "host/e.htm"},
      {"a_b://host/f.htm#x", "a_b://host/f.htm"},
  };
  std::vector<std::string> expected;
  for (const Case& c : cases) {
    EXPECT_EQ(0, ZRIsURLCached(c.url)) << c.url;
    expected.push_back("Application.get_Communications()");
    expected.push_back(std::string("Communications.FindInCache(\"") + c.asked + "\", 0)");
  }
  EXPECT_THAT(Journal(), testing::ElementsAreArray(expected));
}

TEST_F(UrlCache, ACachedUrlGivesItsLocalFile) {
  EXPECT_EQ(1, ZRIsURLCached("http://kelvane.example/logo.bmp"));
  QMBuffer local;
  EXPECT_EQ(1, ZRGetCachedURL("https://kelvane.example/logo.bmp#top", local));
  EXPECT_STREQ("C:\\cache\\logo.bmp", local.GetText());
  EXPECT_EQ(1, ZRIsURLCached("kelvane.example", "/logo.bmp"));
  QMBuffer split;
  EXPECT_EQ(1, ZRGetCachedURL("kelvane.example", "/logo.bmp", split));
  EXPECT_STREQ("C:\\cache\\logo.bmp", split.GetText());
  EXPECT_EQ(0, ZRGetCachedURL("http://kelvane.example/other.bmp", local));
  EXPECT_EQ(0, ZRIsURLCached(nullptr));
}

TEST_F(WebAccess, GetAndPostGoThroughTheClient) {
  QMBuffer reply;
  ECommunicationErrors error = COMM_ERROR_UNKNOWN;
  EXPECT_EQ(1, ZRPerformHTTPGet("http://kelvane.example/ping", "user", "secret", COMM_FLAG_NO_READ_CACHE, reply, &error));
  EXPECT_STREQ("pong", reply.GetText());
  EXPECT_EQ(COMM_SUCCESS, error);
  EXPECT_EQ(1, ZRPerformHTTPPost("http://kelvane.example/report", "X-Kind: test", "a=1", nullptr, nullptr,
                                 COMM_FLAG_SECURE, reply, &error));
  EXPECT_STREQ("thanks", reply.GetText());
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Communications()",
                                     "Communications.HTTPGet(\"http://kelvane.example/ping\", \"user\", \"secret\", 1)",
                                     "Application.get_Communications()",
                                     "Communications.HTTPPost(\"http://kelvane.example/report\", \"X-Kind: test\", "
                                     "\"a=1\", \"\", \"\", 4)"));
}

TEST_F(WebAccess, AnUnreachableUrlFailsWithTheClientsError) {
  QMBuffer reply;
  ECommunicationErrors error = COMM_SUCCESS;
  EXPECT_EQ(0, ZRPerformHTTPGet("http://nowhere.example/", "", "", COMM_FLAG_NONE, reply, &error));
  EXPECT_EQ(COMM_ERROR_UNABLETOCONNECT, error);
  Fail("Communications.HTTPPost");
  EXPECT_EQ(0, ZRPerformHTTPPost("http://kelvane.example/report", "", "", "", "", COMM_FLAG_NONE, reply, &error));
}

TEST_F(ChannelVariables, NumbersAndTextsComeBackByTheirType) {
  BUFFER_LIST names;
  names.AddText("targetdirectory");
  names.AddText("mirrortreeflag");
  TAGGED_MULTI_LIST values;
  ASSERT_EQ(1, ZRGetChannelVariables(7, names, values));
  ASSERT_EQ(2, values.GetCount());
  QMBuffer name, text;
  long number = 0;
  EXPECT_EQ(TAGGED_MULTI_LIST::TAG_TEXT, values.GetTag(0));
  EXPECT_EQ(1, values.GetText(0, text));
  EXPECT_STREQ("C:\\Mendlets", text.GetText());
  EXPECT_EQ(1, values.GetNumber(1, name, number));
  EXPECT_STREQ("mirrortreeflag", name.GetText());
  EXPECT_EQ(1, number);
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Channels()", "Channels.get_Item(7)", "Channel[7].get_Variables()",
                                     "Variables[7].get_Item(\"targetdirectory\")", "Variable[7:targetdirectory].get_Value()",
                                     "Variables[7].get_Item(\"mirrortreeflag\")", "Variable[7:mirrortreeflag].get_Value()"));
}

TEST_F(ChannelVariables, EveryIntegerTypeIsANumberByValueOrByReference) {
  Load(ExampleWith(R"("variables": { "region": "EU",)",
                   R"("variables": { "i2": {"vt": "VT_I2", "value": -2}, "i1": {"vt": "VT_I1", "value": -3},
                      "ui1": {"vt": "VT_UI1", "value": 200}, "ui2": {"vt": "VT_UI2", "value": 65535},
                      "ui4": {"vt": "VT_UI4", "value": 3000000000.0}, "int": {"vt": "VT_INT", "value": -5},
                      "uint": {"vt": "VT_UINT", "value": 4000000000.0},
                      "reference": {"vt": "VT_I2", "value": -7, "byRef": true}, "region": "EU",)"));
  struct Expected {
    const char* name;
    long number;
  } expected[] = {{"i2", -2}, {"i1", -3}, {"ui1", 200}, {"ui2", 65535}, {"ui4", static_cast<long>(3000000000u)},
                  {"int", -5}, {"uint", static_cast<long>(4000000000u)}, {"reference", -7}};
  BUFFER_LIST names;
  for (const Expected& e : expected) names.AddText(e.name);
  TAGGED_MULTI_LIST values;
  ASSERT_EQ(1, ZRGetChannelVariables(9, names, values));
  ASSERT_EQ(8, values.GetCount());
  for (long i = 0; i < values.GetCount(); ++i) {
    SCOPED_TRACE(expected[i].name);
    QMBuffer name;
    long number = 0;
    EXPECT_EQ(TAGGED_MULTI_LIST::TAG_NUMBER, values.GetTag(i));
    EXPECT_EQ(1, values.GetNumber(i, name, number));
    EXPECT_STREQ(expected[i].name, name.GetText());
    EXPECT_EQ(expected[i].number, number);
  }
}

TEST_F(ChannelVariables, OtherTypesBecomeTextAndAMissingVariableFails) {
  BUFFER_LIST names;
  names.AddText("region");
  names.AddText("ratio");
  TAGGED_MULTI_LIST values;
  ASSERT_EQ(1, ZRGetChannelVariables(9, names, values));
  QMBuffer text;
  EXPECT_EQ(1, values.GetText(1, text));
  EXPECT_STREQ("0.5", text.GetText());
  names.AddText("missing");
  TAGGED_MULTI_LIST more;
  EXPECT_EQ(0, ZRGetChannelVariables(9, names, more));
}

TEST_F(ChannelVariables, SettingWritesEachValueByItsTagThenCommits) {
  TAGGED_MULTI_LIST values;
  values.AddText("targetdirectory", "D:\\Mendlets");
  values.AddNumber("mirrortreeflag", 0);
  ASSERT_EQ(1, ZRSetChannelVariables(7, values));
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Channels()", "Channels.get_Item(7)", "Channel[7].get_Variables()",
                                     "Variables[7].get_Item(\"targetdirectory\")",
                                     "Variable[7:targetdirectory].put_Value(\"D:\\Mendlets\")",
                                     "Variables[7].get_Item(\"mirrortreeflag\")", "Variable[7:mirrortreeflag].put_Value(0)",
                                     "Variables[7].Commit()"));
  Fail("Variables.Commit");
  EXPECT_EQ(0, ZRSetChannelVariables(7, values));
  // A variable that cannot be had ends the setting before anything is committed.
  Check(control()->ClearFailures());
  Fail("Variables.get_Item");
  EXPECT_EQ(0, ZRSetChannelVariables(7, values));
  EXPECT_THAT(Journal(), ElementsAre("Application.get_Channels()", "Channels.get_Item(7)", "Channel[7].get_Variables()",
                                     "Variables[7].get_Item(\"targetdirectory\")"));
}

TEST(Installed, TheClientsClassAndItsServerFileMustExist) {
  ravlin_tests::PinnedStandin standin("{}");  // registers the stand-in
  const std::string key = "CLSID\\{53FCF358-5323-11D0-A864-0000B43699FC}\\LocalServer32";
  testing_support::RegistryRestore restore(HKEY_CLASSES_ROOT, key);
  EXPECT_EQ(1, ZRIsInstalled());
  std::string server = testing_support::BuildOutput("ZorvaneStandin.exe");
  testing_support::WriteString(HKEY_CLASSES_ROOT, key, "", "\"" + server + "\" -Embedding");
  EXPECT_EQ(1, ZRIsInstalled());
  testing_support::WriteString(HKEY_CLASSES_ROOT, key, "", "C:\\nowhere\\Zorvane.exe");
  EXPECT_EQ(0, ZRIsInstalled());
  // A folder is no server.
  std::string folder = server.substr(0, server.rfind('\\'));
  testing_support::WriteString(HKEY_CLASSES_ROOT, key, "", folder);
  EXPECT_EQ(0, ZRIsInstalled());
}

TEST(Installed, AnExpandableServerPathIsExpanded) {
  ravlin_tests::PinnedStandin standin("{}");
  const std::string key = "CLSID\\{53FCF358-5323-11D0-A864-0000B43699FC}\\LocalServer32";
  testing_support::RegistryRestore restore(HKEY_CLASSES_ROOT, key);
  std::string server = testing_support::BuildOutput("ZorvaneStandin.exe");
  ASSERT_TRUE(::SetEnvironmentVariableA("HALVERN_SERVER_DIR", server.substr(0, server.rfind('\\')).c_str()));
  std::string value = "\"%HALVERN_SERVER_DIR%\\ZorvaneStandin.exe\" -Embedding";
  comsupport::UniqueHkey server_key;
  ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_SET_VALUE, server_key.put()));
  ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExA(server_key.get(), nullptr, 0, REG_EXPAND_SZ,
                                            reinterpret_cast<const BYTE*>(value.c_str()),
                                            static_cast<DWORD>(value.size() + 1)));
  EXPECT_EQ(1, ZRIsInstalled());
  ::SetEnvironmentVariableA("HALVERN_SERVER_DIR", nullptr);
  EXPECT_EQ(0, ZRIsInstalled());
}

TEST(Installed, WithoutTheClientsNameThereIsNoClient) {
  ravlin_tests::PinnedStandin standin("{}");
  testing_support::RegistryRestore restore(HKEY_CLASSES_ROOT, "Zorvane\\CLSID");
  testing_support::DeleteTree(HKEY_CLASSES_ROOT, "Zorvane\\CLSID");
  EXPECT_EQ(0, ZRIsInstalled());
}

}  // namespace
