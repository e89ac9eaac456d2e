// The stand-in Zorvane client for one test: registered, started with a fixture (each test gets
// a fresh model), driven through its control interface, and stopped at the end.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "comsupport/com_ptr.h"
#include "comsupport/unique_handle.h"
#include "standin_control.h"
#include "testing/process.h"
#include "zorvane.h"

namespace testing_support {

// Registers the stand-in at executable (/regserver): its classes, type libraries and the App
// Paths entry of "Zorvane.exe" pointing there. Throws when registration fails.
void RegisterStandin(const std::string& executable);

// Lays out an installation root as a real client's (root\program holding the client,
// root\Halvern Extensions, root\data), registers the client there and returns its path.
std::string InstallStandin(const std::string& root);

class StandinClient {
 public:
  // Starts the stand-in (registered from the build's output unless executable names an
  // installed one) with the fixture's JSON text; waits, bounded, until it serves callers.
  // working_directory: the client's current directory (where extensions write their logs).
  explicit StandinClient(const std::string& fixture_json = "{}", const std::string& executable = "",
                         const std::string& working_directory = "");
  ~StandinClient();
  StandinClient(const StandinClient&) = delete;
  StandinClient& operator=(const StandinClient&) = delete;

  IZorvaneStandinControl* control() const { return control_.get(); }
  // Waits until the client has started its extensions (one line each, as the control's
  // Extensions property has them); empty when none was started within timeout_ms.
  std::string WaitForExtensions(DWORD timeout_ms = 60000) const;
  // The application object, created as a client would: by ProgID, run, then asked for IZorvane4.
  comsupport::ComPtr<IZorvane4> Application() const;

  std::string Journal() const;
  void ClearJournal() const;
  // Ends the stand-in (its shutdown notifications included); true when it ended in time.
  bool Stop(DWORD timeout_ms = 30000);
  const Process& process() const { return *process_; }

  // Throws with the control's error description when hr failed.
  static void Check(HRESULT hr, const char* what);

 private:
  std::string fixture_path_;
  comsupport::UniqueHandle quit_;
  std::optional<Process> process_;
  comsupport::ComPtr<IZorvaneStandinControl> control_;
};

}  // namespace testing_support
