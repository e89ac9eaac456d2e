#include "enroller.h"

#include <windows.h>

#include <exception>
#include <optional>
#include <string>

#include "file_mover.h"
#include "install_root.h"
#include "registrar.h"
#include "safe_marking.h"

namespace enroller {

namespace {

const char* const kSafeControls[] = {
    "Zorvane.BoughsCtrl.1",
    "Zorvane.StoryrollCtrl.1",
    "Zorvane.SynopsisCtrl.1",
};

void RegisterKind(InstallLog& log, const std::string& directory, const std::string& kind) {
  try {
    RegisterAll(log, directory, kind);
  } catch (const std::exception&) {
    // No line feed: the next message continues this line.
    log.Write("Error Registering dlls.");
  }
}

void RunSteps(InstallLog& log) {
  log.Line("Enroller starting...");
  log.Line("Find installation directory...");
  std::optional<std::string> root = FindInstallationRoot();
  if (!root) {
    log.Line("ZR Client not installed");
    return;
  }

  log.Line("Make client extenstions directory...");
  const std::string extension_directory = *root + "\\Halvern Extensions";
  ::CreateDirectoryA(extension_directory.c_str(), nullptr);

  log.Line("Begin moving files...");
  MoveFiles(log, *root, extension_directory, "*.dll");
  MoveFiles(log, *root, extension_directory, "*.ocx");
  MoveFiles(log, *root, extension_directory, "Shelver.exe");

  RegisterKind(log, extension_directory, "dll");
  RegisterKind(log, extension_directory, "ocx");

  log.Line("Register Controls Safe...");
  for (const char* prog_id : kSafeControls) MarkControlSafe(log, prog_id);

  if (!SetSiteMarker(log)) return;

  log.Line("Starting zorvane agent.");
  log.Line("Finished Enroller");
}

}  // namespace

void RunEnroller(InstallLog& log) {
  try {
    RunSteps(log);
  } catch (const std::exception& error) {
    log.Line(std::string("Enroller stopped: ") + error.what());
  } catch (...) {
    log.Line("Enroller stopped by an unknown error");
  }
}

}  // namespace enroller
