// Names found on disk and values found in the registry that hold control characters cannot
// end a log line early nor forge one: the log writes them as \xNN.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "enroller_run.h"
#include "testing/process.h"
#include "testing/registry.h"
#include "testing/temp_dir.h"
#include "testing/unix_link.h"

namespace {

using namespace enroller_test;
using namespace testing_support;
using ::testing::ElementsAreArray;

// Each would start a line of its own, as if the run had finished, were it written as it is.
const char kMovedName[] = "moved\nFinished Enroller\r\x1b.dll";
const char kMovedEscaped[] = "moved\\x0AFinished Enroller\\x0D\\x1B.dll";
const char kPlacedName[] = "placed\r\nStarting zorvane agent.\n.dll";
const char kPlacedEscaped[] = "placed\\x0D\\x0AStarting zorvane agent.\\x0A.dll";
// As long as a class id, braces included, so only the failing creation can reveal it.
const char kForgedClsid[] = "{6A1E0C3B-52D4-00\r\nFinished Enroller\n}";
const char kForgedClsidEscaped[] = "{6A1E0C3B-52D4-00\\x0D\\x0AFinished Enroller\\x0A}";

// name as a printf format that gives it back: control characters and the format's own
// characters as octal escapes.
std::string PrintfFormat(const std::string& name) {
  std::string format;
  for (unsigned char c : name) {
    if (c < 0x20 || c == '%' || c == '\\' || c == '\'') {
      char octal[8];
      std::snprintf(octal, sizeof octal, "\\%03o", c);
      format += octal;
    } else {
      format += static_cast<char>(c);
    }
  }
  return format;
}

// Wine refuses control characters in a name made through Win32 (ERROR_INVALID_NAME) but shows
// a Unix name's control characters to Windows programs as they are: such files are made, and
// removed again, on the host side by a shell that Wine starts as a Unix process. Wine gives no
// handle to wait on for a Unix process, so the folder is watched instead.
class HostFiles {
 public:
  HostFiles() = default;
  HostFiles(const HostFiles&) = delete;
  HostFiles& operator=(const HostFiles&) = delete;
  ~HostFiles() {
    for (const auto& [directory, name] : made_) RunShell(directory, "rm -f -- \"$(printf '" + PrintfFormat(name) + "')\"");
    for (const auto& [directory, name] : made_) WaitUntilListed(directory, name, false);
  }

  void RemoveAtEnd(const std::string& directory, const std::string& name) { made_.emplace_back(directory, name); }

  void Make(const std::string& directory, const std::string& name) {
    RemoveAtEnd(directory, name);
    RunShell(directory, "printf 'stand-in' > \"$(printf '" + PrintfFormat(name) + "')\"");
    EXPECT_TRUE(WaitUntilListed(directory, name, true)) << "the host file is not listed in " << directory;
  }

 private:
  static void RunShell(const std::string& directory, const std::string& command) {
    const std::string unix_directory = UnixPath(directory);
    ASSERT_FALSE(unix_directory.empty()) << "no Unix path for " << directory;
    // One argument for the shell: Wine splits a Unix program's command line as Windows does, so
    // each double quote inside it is written \".
    std::string script = "cd '" + unix_directory + "' && " + command;
    std::string quoted;
    for (char c : script) quoted += c == '"' ? std::string("\\\"") : std::string(1, c);
    std::string command_line = "/bin/sh -c \"" + quoted + "\"";
    std::vector<char> buffer(command_line.begin(), command_line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    ASSERT_TRUE(::CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        << command_line;
    if (info.hThread) ::CloseHandle(info.hThread);
    if (info.hProcess) ::CloseHandle(info.hProcess);
  }

  static bool WaitUntilListed(const std::string& directory, const std::string& name, bool listed) {
    for (int attempt = 0; attempt < 600; ++attempt) {
      const std::vector<std::string> names = Search(directory + "\\*");
      if ((std::find(names.begin(), names.end(), name) != names.end()) == listed) return true;
      ::Sleep(100);
    }
    return false;
  }

  std::vector<std::pair<std::string, std::string>> made_;
};

// A hostile file name in the root (moved or not), one in the extension directory (registered)
// and a hostile class id (whose key cannot be created) all reach the log escaped.
TEST_F(EnrollerTest, ControlCharactersInFileNamesAndClassIdsAreEscapedInTheLog) {
  InstallClient();
  ASSERT_TRUE(::CreateDirectoryA(extensions_.c_str(), nullptr));
  HostFiles host_files;
  host_files.Make(root_, kMovedName);
  host_files.Make(extensions_, kPlacedName);
  host_files.RemoveAtEnd(extensions_, kMovedName);  // where the program moves it, if it can
  WriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Zorvane.SynopsisCtrl.1\\Clsid", "", kForgedClsid);
  CreateVolatileKey(HKEY_CLASSES_ROOT, std::string("CLSID\\") + kForgedClsid);

  const std::vector<std::string> lines = RunEnroller();

  const std::string moved_source = root_ + "\\" + kMovedEscaped;
  const bool moved = Search(root_ + "\\*.dll").empty();
  const std::map<std::string, std::string> escaped = {{kMovedName, kMovedEscaped}, {kPlacedName, kPlacedEscaped}};
  std::vector<std::string> registered;
  for (const std::string& name : Search(extensions_ + "\\*.dll"))
    registered.push_back(extensions_ + "\\" + escaped.at(name) + " is registered");
  EXPECT_EQ(moved ? 2u : 1u, registered.size());
  EXPECT_THAT(
      lines,
      ElementsAreArray(Concatenated(
          {SessionStart(),
           Stamped({"Enroller starting...", "Find installation directory...", "Make client extenstions directory...",
                    "Begin moving files...", "Moving file " + moved_source,
                    (moved ? "Moved file " : "Unable to move ") + moved_source}),
           Stamped(registered),
           Stamped({"Register Controls Safe...",
                    "Unable to open SOFTWARE\\Classes\\Zorvane.BoughsCtrl.1\\Clsid",
                    "Unable to open SOFTWARE\\Classes\\Zorvane.StoryrollCtrl.1\\Clsid",
                    std::string("Unable to create key CLSID\\") + kForgedClsidEscaped +
                        "\\Implemented Categories\\" + kScriptingSafe,
                    "Starting zorvane agent.", "Finished Enroller"}),
           SessionEnd()})));
}

}  // namespace
