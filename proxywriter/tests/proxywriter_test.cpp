#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "comsupport/client_app_paths.h"
#include "data_directory.h"
#include "testing/machine_state.h"
#include "testing/process.h"
#include "testing/registry.h"
#include "testing/temp_dir.h"
#include "userconf_file.h"

namespace {

using namespace testing_support;

const char* const kAppPaths = comsupport::kClientAppPathsKey;
const char kCommunication[] = "Software\\Zorvane\\Zorvane\\Communication";

TEST(DataDirectory, CutsAFinalProgramComponentInAnyCase) {
  using proxywriter::DataDirectoryFromClientPath;
  EXPECT_EQ("C:\\Apps\\Zorvane\\data", DataDirectoryFromClientPath("C:\\Apps\\Zorvane\\Program"));
  EXPECT_EQ("C:\\Apps\\Zorvane\\data", DataDirectoryFromClientPath("C:\\Apps\\Zorvane"));
  EXPECT_EQ("C:\\Apps\\data", DataDirectoryFromClientPath("C:\\Apps\\PROGRAM"));
  EXPECT_EQ("C:\\Apps\\Zorvane\\\\data", DataDirectoryFromClientPath("C:\\Apps\\Zorvane\\"));
  EXPECT_EQ("C:\\Apps\\Programs\\data", DataDirectoryFromClientPath("C:\\Apps\\Programs"));
}

TEST(RegString, EscapesOnlyBackslashAndQuotationMark) {
  using proxywriter::EscapeRegString;
  EXPECT_EQ("proxy-1.example.com", EscapeRegString("proxy-1.example.com"));
  EXPECT_EQ("a\\\"b\\\\c\\\\\\\"", EscapeRegString("a\"b\\c\\\""));
  EXPECT_EQ("", EscapeRegString(""));
}

std::string Expected(const std::string& address_line) {
  return "REGEDIT4\r\n"
         "[HKEY_CURRENT_USER\\Software\\Zorvane\\Zorvane\\Communication]\r\n"
         "\"ConnectionType\"=dword:00000001\r\n"
         "\"ProtocolToUse\"=dword:00000001\r\n"
         "\"HTTPProxyUsed\"=dword:00000001\r\n"
         "\"ProxyUsed\"=dword:00000000\r\n"
         "\"HTTPProxyPasswordUsed\"=dword:00000000\r\n" +
         address_line + "\r\n";
}

std::string WindowsDirectory() {
  char directory[MAX_PATH] = {};
  ::GetWindowsDirectoryA(directory, MAX_PATH);
  return directory;
}

// Every file and folder below directory, as paths relative to it.
std::vector<std::string> EntriesBelow(const std::string& directory, const std::string& prefix = "") {
  std::vector<std::string> entries;
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((directory + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    entries.push_back(prefix + name);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      for (const std::string& below : EntriesBelow(directory + "\\" + name, prefix + name + "\\"))
        entries.push_back(below);
    }
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  return entries;
}

class ProxyWriterTest : public ::testing::Test {
 protected:
  // A client installed at root\Program, with its data folder beside it.
  void InstallClient(const std::string& root, const std::string& program_folder) {
    ASSERT_TRUE(::CreateDirectoryA(root.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA((root + "\\data").c_str(), nullptr));
    WriteString(HKEY_LOCAL_MACHINE, kAppPaths, "Path", root + "\\" + program_folder);
    userconf_ = root + "\\data\\userconf.reg";
  }

  void WriteSettings(const std::string& entries) { WriteFile(settings_file_, "[ProxySettings]\r\n" + entries); }

  void RunProxyWriter() { EXPECT_EQ(0u, RunProgram(Quote(BuildOutput("proxywriter.exe")), 120000)); }

  // Runs the program and checks that it wrote nothing in the scratch folder nor at the root of
  // the drive, where a data directory made from an empty path would lie.
  void RunProxyWriterExpectingNothingWritten(const std::string& why) {
    const std::vector<std::string> before = EntriesBelow(scratch_.path());
    ASSERT_FALSE(FileExists("C:\\data")) << "C:\\data exists before the test";
    RunProxyWriter();
    EXPECT_EQ(before, EntriesBelow(scratch_.path())) << why;
    EXPECT_FALSE(FileExists("C:\\data")) << why;
  }

  TempDir scratch_;
  std::string userconf_;
  const std::string settings_file_ = WindowsDirectory() + "\\Ostrel.ini";
  FileRestore settings_restore_{settings_file_};
  RegistryRestore app_paths_{HKEY_LOCAL_MACHINE, kAppPaths};
};

TEST_F(ProxyWriterTest, WritesTheImportFileOnceAndNeverOverwritesIt) {
  InstallClient(scratch_ / "Zorvane", "Program");
  WriteSettings("Valid=TRUE\r\nProxy=proxy.example.com\r\nPort=8080\r\n");
  RunProxyWriter();
  const std::string first = Expected("\"HTTPProxyAddr\"=\"proxy.example.com:8080\"");
  ASSERT_EQ(first, ReadFile(userconf_));

  WriteSettings("Valid=TRUE\r\nProxy=other.example.com\r\nPort=3128\r\n");
  RunProxyWriter();
  EXPECT_EQ(first, ReadFile(userconf_)) << "an existing file is kept";
}

TEST_F(ProxyWriterTest, LowerCaseTrueWritesNothing) {
  InstallClient(scratch_ / "Zorvane", "Program");
  WriteSettings("Valid=true\r\nProxy=proxy.example.com\r\nPort=8080\r\n");
  RunProxyWriter();
  EXPECT_FALSE(FileExists(userconf_));
}

TEST_F(ProxyWriterTest, MissingProxyAndPortGiveAColonBelowAnUpperCaseProgramFolder) {
  InstallClient(scratch_ / "Apps", "PROGRAM");
  WriteSettings("Valid=TRUE\r\n");
  RunProxyWriter();
  EXPECT_EQ(Expected("\"HTTPProxyAddr\"=\":\""), ReadFile(userconf_));
}

TEST_F(ProxyWriterTest, ImportSetsExactlyTheFileValuesEvenForAQuotedHost) {
  RegistryRestore communication{HKEY_CURRENT_USER, kCommunication};
  DeleteTree(HKEY_CURRENT_USER, kCommunication);
  InstallClient(scratch_ / "Zorvane", "Program");
  WriteSettings("Valid=TRUE\r\nProxy=cache\"01\\corp\r\nPort=80\\80\r\n");
  RunProxyWriter();
  ASSERT_EQ(Expected("\"HTTPProxyAddr\"=\"cache\\\"01\\\\corp:80\\\\80\""), ReadFile(userconf_));

  EXPECT_EQ(0u, RunProgram(Quote(WindowsDirectory() + "\\regedit.exe") + " /s " + Quote(userconf_), 120000));

  auto imported = ReadTree(HKEY_CURRENT_USER, kCommunication);
  ASSERT_TRUE(imported.has_value()) << "regedit did not import " << userconf_;
  EXPECT_FALSE(imported->default_value.has_value());
  EXPECT_TRUE(imported->subkeys.empty());
  const std::pair<const char*, DWORD> dwords[] = {{"ConnectionType", 1}, {"ProtocolToUse", 1}, {"HTTPProxyUsed", 1},
                                                  {"ProxyUsed", 0}, {"HTTPProxyPasswordUsed", 0}};
  for (const auto& [name, number] : dwords) {
    ASSERT_EQ(1u, imported->values.count(name)) << name;
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), imported->values.at(name).type) << name;
    EXPECT_EQ(number, imported->values.at(name).AsDword()) << name;
  }
  ASSERT_EQ(1u, imported->values.count("HTTPProxyAddr"));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), imported->values.at("HTTPProxyAddr").type);
  EXPECT_EQ("cache\"01\\corp:80\\80", imported->values.at("HTTPProxyAddr").data);
  EXPECT_EQ(6u, imported->values.size());
}

TEST_F(ProxyWriterTest, WritesNothingWithoutTheClientsAppPathsEntryOrItsPath) {
  InstallClient(scratch_ / "Zorvane", "Program");
  WriteSettings("Valid=TRUE\r\nProxy=proxy.example.com\r\nPort=8080\r\n");
  DeleteTree(HKEY_LOCAL_MACHINE, kAppPaths);
  RunProxyWriterExpectingNothingWritten("no App Paths entry");

  WriteString(HKEY_LOCAL_MACHINE, kAppPaths, "", scratch_ / "Zorvane\\Program\\zorvane.exe");
  RunProxyWriterExpectingNothingWritten("an App Paths entry without \"Path\"");
  EXPECT_FALSE(FileExists(userconf_));
}

TEST_F(ProxyWriterTest, WritesNothingWithoutValid) {
  InstallClient(scratch_ / "Zorvane", "Program");
  WriteSettings("Proxy=proxy.example.com\r\nPort=8080\r\n");
  RunProxyWriterExpectingNothingWritten("a section without \"Valid\"");
  WriteFile(settings_file_, "[Other]\r\nValid=TRUE\r\n");
  RunProxyWriterExpectingNothingWritten("no \"ProxySettings\" section");
  ASSERT_TRUE(::DeleteFileA(settings_file_.c_str()));
  RunProxyWriterExpectingNothingWritten("no Ostrel.ini");
  EXPECT_FALSE(FileExists(userconf_));
}

// The data directory is the client's to make: a missing one is not created.
TEST_F(ProxyWriterTest, WritesNothingWhenTheDataDirectoryIsMissing) {
  const std::string root = scratch_ / "Zorvane";
  ASSERT_TRUE(::CreateDirectoryA(root.c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryA((root + "\\Program").c_str(), nullptr));
  WriteString(HKEY_LOCAL_MACHINE, kAppPaths, "Path", root + "\\Program");
  WriteSettings("Valid=TRUE\r\nProxy=proxy.example.com\r\nPort=8080\r\n");
  RunProxyWriterExpectingNothingWritten("no data directory");
  EXPECT_FALSE(FileExists(root + "\\data"));
}

}  // namespace
