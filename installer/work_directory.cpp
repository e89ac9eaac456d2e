#include "work_directory.h"

#include <winsock2.h>
#include <windows.h>

#include "comsupport/registry.h"
#include "text_list.h"

namespace installer {

const char kInstallerKey[] = "Software\\Zorvane\\ZrGet";

std::string FindOrCreateWorkDirectory() {
  if (auto key = comsupport::RegistryKey::Open(HKEY_CURRENT_USER, kInstallerKey, KEY_READ)) {
    auto value = key.Read("Path", MAX_PATH);
    if (value && value->type == REG_SZ) {
      std::string path = value->data.c_str();
      if (!path.empty() && CreateDirectories(path)) return path;
    }
  }
  char temp[MAX_PATH] = {};
  char name[MAX_PATH] = {};
  if (!::GetTempPathA(MAX_PATH, temp) || !::GetTempFileNameA(temp, "inst", 0, name)) return "";
  ::DeleteFileA(name);
  if (!::CreateDirectoryA(name, nullptr)) return "";
  auto key = comsupport::RegistryKey::Create(HKEY_CURRENT_USER, kInstallerKey, KEY_SET_VALUE);
  if (!key || key.WriteString("Path", name) != ERROR_SUCCESS) {
    ::RemoveDirectoryA(name);
    return "";
  }
  return name;
}

void ForgetWorkDirectory(const std::string& work_directory, bool delete_directory, bool delete_key) {
  if (delete_directory && !work_directory.empty()) RemoveTree(work_directory);
  if (delete_key) comsupport::DeleteRegistryTree(HKEY_CURRENT_USER, kInstallerKey);
}

}  // namespace installer
