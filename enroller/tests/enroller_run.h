// Shared by the tests that run the real Enroller: a client installation in a scratch folder,
// the machine state the program changes put back afterwards, and the log read back with its
// time prefixes checked.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "comsupport/client_app_paths.h"
#include "testing/machine_state.h"
#include "testing/temp_dir.h"

namespace enroller_test {

extern const char kLogPath[];
inline const char* const kAppPaths = comsupport::kClientAppPathsKey;
extern const char kSiteKey[];
extern const char kScriptingSafe[];
extern const char kInitialisingSafe[];
// Stands for a correct time prefix in expected log lines.
extern const char kStamp[];

std::vector<std::string> Split(const std::string& text, const std::string& separator);
// Names a wildcard search returns, in its order: the order the program meets them too.
std::vector<std::string> Search(const std::string& pattern);
std::vector<std::string> SessionStart();
std::vector<std::string> SessionEnd();
// kStamp before each message.
std::vector<std::string> Stamped(const std::vector<std::string>& messages);
std::vector<std::string> Concatenated(std::vector<std::vector<std::string>> parts);
// No lasting key can be created below a volatile one: the program's own creations fail there.
void CreateVolatileKey(HKEY root, const std::string& path);

class EnrollerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void CopyBuilt(const std::string& built, const std::string& destination);
  // App Paths names root\Program, which exists.
  void InstallClient();
  // Runs the program on a fresh log; its lines with correct time prefixes shown as kStamp.
  std::vector<std::string> RunEnroller();
  // Runs the program on the log as it is; the whole log's lines, stamped as above.
  std::vector<std::string> RunEnrollerAppending();
  std::string Clsid(const std::string& prog_id);

  testing_support::TempDir installation_;
  std::string root_;
  std::string extensions_;
  std::vector<std::string> owned_prog_ids_;
  testing_support::RegistryRestore app_paths_{HKEY_LOCAL_MACHINE, kAppPaths};
  testing_support::RegistryRestore site_{HKEY_LOCAL_MACHINE, kSiteKey};
  testing_support::FileRestore log_{kLogPath};

 private:
  std::optional<std::time_t> first_run_;
};

}  // namespace enroller_test
