#include "startup_shortcut.h"

#include <winsock2.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "comsupport/com_ptr.h"
#include "text_list.h"

namespace installer {

std::string StartupShortcutPath() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ::GetVersionExA(&version);
#pragma GCC diagnostic pop
  int folder = version.dwPlatformId == VER_PLATFORM_WIN32_NT ? CSIDL_COMMON_STARTUP : CSIDL_STARTUP;
  char path[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathA(nullptr, folder | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path))) return "";
  return std::string(path) + "\\Zorvane Lite Installer.lnk";
}

bool CreateStartupShortcut(const std::string& target, const std::string& arguments) {
  std::string path = StartupShortcutPath();
  if (path.empty()) return false;
  HRESULT initialized = ::CoInitialize(nullptr);
  bool saved = false;
  {
    comsupport::ComPtr<IShellLinkA> link;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                     reinterpret_cast<void**>(link.put())))) {
      link->SetPath(target.c_str());
      link->SetArguments(arguments.c_str());
      link->SetWorkingDirectory(DirectoryOf(target).c_str());
      comsupport::ComPtr<IPersistFile> file;
      if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put())))) {
        wchar_t wide[MAX_PATH] = {};
        ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        saved = SUCCEEDED(file->Save(wide, TRUE));
      }
    }
  }
  if (SUCCEEDED(initialized)) ::CoUninitialize();
  return saved;
}

void DeleteStartupShortcut() {
  std::string path = StartupShortcutPath();
  if (!path.empty()) ::DeleteFileA(path.c_str());
}

}  // namespace installer
