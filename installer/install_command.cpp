#include "install_command.h"

#include <winsock2.h>
#include <windows.h>
#include <shellapi.h>

#include "client_locations.h"
#include "comsupport/process.h"
#include "comsupport/registry.h"
#include "package_library.h"
#include "safe_name.h"
#include "text_list.h"

namespace installer {

const char kInstallComponentsKey[] = "SOFTWARE\\Zorvane\\Zorvane\\InstallComponents";

namespace {

std::string SystemFolder(bool windows) {
  char folder[MAX_PATH] = {};
  if (windows) {
    ::GetWindowsDirectoryA(folder, MAX_PATH);
  } else {
    ::GetSystemDirectoryA(folder, MAX_PATH);
  }
  return folder;
}

// A new, empty folder "INS..." in the temporary folder.
std::string NewPackageFolder() {
  char temp[MAX_PATH] = {};
  char name[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  if (!::GetTempFileNameA(temp, "INS", 0, name)) return "";
  ::DeleteFileA(name);
  if (!::CreateDirectoryA(name, nullptr)) return "";
  return name;
}

bool RunProcess(const std::string& command_line, const std::string& directory, const CommandContext& context,
                std::string* error) {
  comsupport::ProcessOptions options;
  options.current_directory = directory;
  comsupport::StartedProcess process = comsupport::StartProcess(command_line, options);
  if (!process) {
    *error = "cannot start " + command_line + " (" + std::to_string(process.error) + ")";
    return false;
  }
  WaitPumping(process.process.get(), context.quit, context.session_ending);
  return true;
}

void RegisterForLater(const std::string& path) {
  std::string name = path.substr(path.find_last_of('\\') + 1);
  const char* type = nullptr;
  if (EndsWithNoCase(name, ".dll") || EndsWithNoCase(name, ".ocx")) type = "ComDLL";
  if (EndsWithNoCase(name, ".exe")) type = "ComEXE";
  if (!type) return;
  auto key = comsupport::RegistryKey::Create(
      HKEY_LOCAL_MACHINE, "Software\\Zorvane\\Zorvane\\ComponentsToRegister\\" + name, KEY_SET_VALUE);
  if (!key) return;
  key.WriteString("Path", path);
  key.WriteString("RegType", type);
}

bool FailedValueSet() {
  auto key = comsupport::RegistryKey::Open(HKEY_CURRENT_USER, kInstallComponentsKey, KEY_READ);
  if (!key) return false;
  auto failed = key.ReadString("Failed");
  return failed && !failed->empty();
}

}  // namespace

void WaitPumping(HANDLE process, const std::atomic<bool>* quit, HANDLE session_ending) {
  for (;;) {
    if (quit && *quit) return;
    if (session_ending && ::WaitForSingleObject(session_ending, 0) == WAIT_OBJECT_0) return;
    DWORD result = ::MsgWaitForMultipleObjects(1, &process, FALSE, 200, QS_ALLINPUT);
    if (result == WAIT_OBJECT_0) return;
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      if (!::IsDialogMessageA(::GetActiveWindow(), &message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
      }
    }
  }
}

std::string TargetForFlags(unsigned flags) {
  if (flags & 1) return SystemFolder(true);
  if (flags & 2) return SystemFolder(false);
  if (flags & 8) return ClientDataPath();
  std::string target = ClientProgramPath();
  if (!(flags & 4)) target += "\\Program";
  return target;
}

bool RunInstallCommand(const std::string& command, const CommandContext& context, std::string* error) {
  size_t first = command.find(',');
  if (first == std::string::npos) {
    *error = "malformed command: " + command;
    return false;
  }
  size_t second = command.find(',', first + 1);
  std::string verb = Trim(command.substr(0, first));
  std::string file_name = Trim(command.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1));
  std::string arguments = second == std::string::npos ? "" : Trim(command.substr(second + 1));
  if (!IsSafeRelativeName(file_name)) {
    *error = "unsafe file name in command: " + command;
    return false;
  }
  std::string file = JoinPath(context.source_directory, file_name);

  if (auto key = comsupport::RegistryKey::Open(HKEY_CURRENT_USER, kInstallComponentsKey, KEY_SET_VALUE)) {
    ::RegDeleteValueA(key.get(), "Failed");
    ::RegDeleteValueA(key.get(), "FailedMessage");
  }

  if (EqualsNoCase(verb, "ispackage")) {
    std::string folder = NewPackageFolder();
    if (folder.empty()) {
      *error = "cannot create a package folder";
      return false;
    }
    if (!UnzipPackage(file, folder, 0, context.work_directory, error)) return false;
    if (context.record_scripts) {
      int number = context.package_number ? ++*context.package_number : 1;
      auto key = comsupport::RegistryKey::Create(HKEY_CURRENT_USER, kInstallComponentsKey, KEY_SET_VALUE);
      if (!key || key.WriteString(("INS" + std::to_string(number)).c_str(), folder + "\\setup.ins") != ERROR_SUCCESS) {
        *error = "cannot record the set-up script";
        return false;
      }
    } else {
      std::string line = "\"" + folder + "\\setup.exe\"";
      if (!arguments.empty()) line += " " + arguments;
      if (!context.installer_command_line.empty()) line += " " + context.installer_command_line;
      if (!RunProcess(line, folder, context, error)) return false;
    }
  } else if (EqualsNoCase(verb, "run")) {
    std::string passed = context.installer_command_line;
    // The set-up program must not start in tray mode itself.
    for (size_t at = passed.find("/tray"); at != std::string::npos; at = passed.find("/tray", at))
      passed.replace(at, 5, "     ");
    std::string line = "\"" + file + "\"";
    if (!arguments.empty()) line += " " + arguments;
    if (!passed.empty()) line += " " + passed;
    if (!RunProcess(line, context.work_directory, context, error)) return false;
  } else if (EqualsNoCase(verb, "package") || EqualsNoCase(verb, "copy")) {
    unsigned flags = static_cast<unsigned>(std::strtoul(arguments.c_str(), nullptr, 0));
    std::string target = TargetForFlags(flags);
    CreateDirectories(target);
    if (EqualsNoCase(verb, "package")) {
      if (!UnzipPackage(file, target, (flags & 0x10) ? 1 : 0, context.work_directory, error)) return false;
    } else {
      std::string destination = JoinPath(target, file_name.substr(file_name.find_last_of("\\/") + 1));
      if (!::CopyFileA(file.c_str(), destination.c_str(), FALSE)) {
        *error = "cannot copy " + file + " to " + destination;
        return false;
      }
      if (flags & 0x10) RegisterForLater(destination);
    }
  } else {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = verb.c_str();
    info.lpFile = file.c_str();
    std::string parameters = arguments.empty() ? context.installer_command_line : arguments;
    info.lpParameters = parameters.c_str();
    info.lpDirectory = context.work_directory.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExA(&info)) {
      *error = "cannot " + verb + " " + file;
      return false;
    }
    if (info.hProcess) {
      comsupport::UniqueHandle process(info.hProcess);
      WaitPumping(process.get(), context.quit, context.session_ending);
    }
  }
  if (FailedValueSet()) {
    *error = "the set-up program reported a failure";
    return false;
  }
  return true;
}

}  // namespace installer
