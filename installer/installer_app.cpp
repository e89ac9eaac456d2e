#include "installer_app.h"

#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include "comsupport/unique_handle.h"
#include "download_dialog.h"
#include "installer_context.h"
#include "message_box.h"
#include "resource.h"
#include "startup_shortcut.h"
#include "text_list.h"
#include "tray.h"
#include "work_directory.h"

namespace installer {

namespace {

enum class Mode { kDownload, kTray, kEnd };

struct WinsockSession {
  bool started = false;
  WinsockSession() {
    WSADATA data;
    started = ::WSAStartup(MAKEWORD(1, 1), &data) == 0;
  }
  ~WinsockSession() {
    if (started) ::WSACleanup();
  }
};

std::string ThisExecutable() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// Deletes what a finished or abandoned download leaves behind; a second instance keeps it.
void CleanUp(const InstallerContext& context) {
  DeleteStartupShortcut();
  if (context.options.second_instance) return;
  bool own_directory = context.options.inf_path.empty();
  ForgetWorkDirectory(context.work_directory, own_directory, own_directory);
}

// Download mode; returns the next mode and sets *exit_code when the program ends.
Mode Download(InstallerContext& context, int* exit_code) {
  WinsockSession winsock;
  if (!winsock.started) {
    ShowError(ResourceString(IDS_CANNOT_INIT_WINSOCK), ResourceString(IDS_CAPTION));
    *exit_code = 1;
    return Mode::kEnd;
  }
  if (!context.options.inf_path.empty()) {
    context.work_directory = DirectoryOf(context.options.inf_path);
  } else {
    context.work_directory = FindOrCreateWorkDirectory();
  }
  if (context.work_directory.empty()) {
    ShowError(ResourceString(IDS_CANNOT_CREATE_TEMP), ResourceString(IDS_CAPTION));
    *exit_code = 1;
    return Mode::kEnd;
  }
  DialogEnd end;
  {
    DownloadDialog dialog(context);
    end = dialog.Run();
  }
  switch (end) {
    case DialogEnd::kCompleted:
      CleanUp(context);
      *exit_code = 0;
      return Mode::kEnd;
    case DialogEnd::kQuit:
      CleanUp(context);
      *exit_code = 2;
      return Mode::kEnd;
    case DialogEnd::kCancelled:
      *exit_code = 1;
      return Mode::kEnd;
    case DialogEnd::kSuspended:
      break;
  }
  std::string copy = JoinPath(context.work_directory, "installer.exe");
  std::string arguments;
  if (context.allow_intervention) {
    arguments = " /tray";
    if (context.session_ending) arguments += " /AskForRestart";
  } else {
    arguments = " /NoIntervention";
  }
  if (context.save_proxy_settings) arguments += " /SaveProxySettings";
  CreateStartupShortcut(copy, arguments);
  if (!context.session_ending) {
    ShowBox(ResourceString(IDS_SUSPENDED), ResourceString(IDS_CAPTION), MB_OK | MB_ICONINFORMATION);
  } else {
    *exit_code = 3;
    return Mode::kEnd;
  }
  return Mode::kTray;
}

}  // namespace

int RunInstaller(const std::string& command_line) {
  InstallerContext context;
  context.options = ParseCommandLine(command_line);
  context.installer_path = ThisExecutable();
  context.session_end_event.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));

  comsupport::UniqueHandle mutex(::CreateMutexA(nullptr, TRUE, "ZRGET_INSTANCE_MUTEX"));
  if (::GetLastError() == ERROR_ALREADY_EXISTS && !context.options.second_instance) {
    if (HWND tray = ::FindWindowA(kTrayClass, nullptr)) {
      ::PostMessageA(tray, WM_COMMAND, IDC_TRAY_OPEN, 0);
    } else {
      ShowError(ResourceString(IDS_MULTIPLE_INSTANCES), ResourceString(IDS_CAPTION));
    }
    return 1;
  }

  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);

  Mode mode = context.options.tray ? Mode::kTray : Mode::kDownload;
  context.resumed = context.options.no_intervention;
  bool ask_for_restart = context.options.ask_for_restart;
  int exit_code = 1;
  while (mode != Mode::kEnd) {
    if (mode == Mode::kDownload) {
      if (ask_for_restart) {
        ask_for_restart = false;
        int answer = ShowBox(ResourceString(IDS_RESUME_QUESTION), ResourceString(IDS_CAPTION), MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDNO) {
          mode = Mode::kTray;
          continue;
        }
        if (answer == IDCANCEL) {
          if (context.work_directory.empty() && context.options.inf_path.empty())
            context.work_directory = FindOrCreateWorkDirectory();
          CleanUp(context);
          exit_code = 2;
          break;
        }
      }
      mode = Download(context, &exit_code);
    } else {
      if (RunTray() == TrayChoice::kOpen) {
        context.resumed = true;
        mode = Mode::kDownload;
      } else {
        if (context.work_directory.empty() && context.options.inf_path.empty())
          context.work_directory = FindOrCreateWorkDirectory();
        CleanUp(context);
        exit_code = 2;
        mode = Mode::kEnd;
      }
    }
  }
  return exit_code;
}

}  // namespace installer
