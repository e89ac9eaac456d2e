#include "enroller_run.h"

#include <set>

#include "comsupport/unique_handle.h"
#include "testing/process.h"
#include "testing/registry.h"

namespace enroller_test {

using namespace testing_support;

const char kLogPath[] = "c:\\KelvaneInstall.log";
const char kSiteKey[] = "Software\\Zorvane\\Zorvane\\IE\\Secure";
const char kScriptingSafe[] = "{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
const char kInitialisingSafe[] = "{7DD95802-9882-11CF-9FA9-00AA006C42C4}";
const char kStamp[] = "<time>  ";

namespace {

constexpr DWORD kRunTimeoutMs = 300000;

// Every prefix ctime could have given while the program ran.
std::set<std::string> TimePrefixesBetween(std::time_t from, std::time_t to) {
  std::set<std::string> prefixes;
  for (std::time_t moment = from; moment <= to; ++moment) prefixes.insert(std::string(std::ctime(&moment)).substr(4, 15));
  return prefixes;
}

}  // namespace

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + separator.size())
    pieces.push_back(text.substr(start, at - start));
  pieces.push_back(text.substr(start));
  return pieces;
}

std::vector<std::string> Search(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  comsupport::UniqueFindHandle search(::FindFirstFileA(pattern.c_str(), &found));
  if (!search) return names;
  do names.push_back(found.cFileName);
  while (::FindNextFileA(search.get(), &found));
  return names;
}

std::vector<std::string> SessionStart() {
  return {std::string(17, ' '), "****** Starting new session, version: 1.02 ******", ""};
}

std::vector<std::string> SessionEnd() { return {std::string(17, ' '), "****** Ending current session ******", ""}; }

std::vector<std::string> Stamped(const std::vector<std::string>& messages) {
  std::vector<std::string> lines;
  for (const std::string& message : messages) lines.push_back(kStamp + message);
  return lines;
}

std::vector<std::string> Concatenated(std::vector<std::vector<std::string>> parts) {
  std::vector<std::string> lines;
  for (const auto& part : parts) lines.insert(lines.end(), part.begin(), part.end());
  return lines;
}

void CreateVolatileKey(HKEY root, const std::string& path) {
  comsupport::UniqueHkey key;
  ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE, nullptr,
                                             key.put(), nullptr))
      << path;
}

void EnrollerTest::SetUp() {
  root_ = installation_.path() + "\\Zorvane";
  extensions_ = root_ + "\\Halvern Extensions";
  ASSERT_TRUE(::CreateDirectoryA(root_.c_str(), nullptr));
  for (const char* prog_id : {"Zorvane.BoughsCtrl.1", "Zorvane.StoryrollCtrl.1", "Zorvane.SynopsisCtrl.1",
                              "Zorvane.PreplacedCtrl.1"}) {
    ASSERT_FALSE(KeyExists(HKEY_CLASSES_ROOT, prog_id)) << prog_id << " is registered before the test";
    owned_prog_ids_.push_back(prog_id);
  }
}

void EnrollerTest::TearDown() {
  for (const std::string& prog_id : owned_prog_ids_) {
    if (auto clsid = ReadString(HKEY_CLASSES_ROOT, prog_id + "\\CLSID"); clsid && !clsid->empty())
      DeleteTree(HKEY_CLASSES_ROOT, "CLSID\\" + *clsid);
    DeleteTree(HKEY_CLASSES_ROOT, prog_id);
  }
}

void EnrollerTest::CopyBuilt(const std::string& built, const std::string& destination) {
  ASSERT_TRUE(::CopyFileA(BuildOutput(built).c_str(), destination.c_str(), TRUE)) << destination;
}

void EnrollerTest::InstallClient() {
  ASSERT_TRUE(::CreateDirectoryA((root_ + "\\Program").c_str(), nullptr));
  WriteString(HKEY_LOCAL_MACHINE, kAppPaths, "Path", root_ + "\\Program");
}

std::vector<std::string> EnrollerTest::RunEnroller() {
  ::DeleteFileA(kLogPath);
  return RunEnrollerAppending();
}

std::vector<std::string> EnrollerTest::RunEnrollerAppending() {
  if (!first_run_) first_run_ = std::time(nullptr);
  EXPECT_EQ(0u, RunProgram(Quote(BuildOutput("Enroller.exe")), kRunTimeoutMs));
  std::set<std::string> prefixes = TimePrefixesBetween(*first_run_, std::time(nullptr));
  std::vector<std::string> lines = Split(ReadFile(kLogPath), "\r\n");
  EXPECT_EQ("", lines.back()) << "the log ends with a line end";
  lines.pop_back();
  for (std::string& line : lines) {
    EXPECT_EQ(std::string::npos, line.find_first_of("\r\n")) << "a line end that is not CR LF in: " << line;
    if (line.size() >= 17 && prefixes.count(line.substr(0, 15)) && line.compare(15, 2, "  ") == 0)
      line = kStamp + line.substr(17);
  }
  return lines;
}

std::string EnrollerTest::Clsid(const std::string& prog_id) {
  return ReadString(HKEY_CLASSES_ROOT, prog_id + "\\CLSID").value_or("(" + prog_id + " not registered)");
}

}  // namespace enroller_test
