#include "client_locations.h"

#include <winsock2.h>
#include <windows.h>

#include "comsupport/registry.h"
#include "text_list.h"

namespace installer {

namespace {

std::string InstallationRoot() {
  auto key = comsupport::RegistryKey::Open(HKEY_LOCAL_MACHINE,
                                           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\zorvane.exe", KEY_READ);
  std::string path = key ? key.ReadString("Path", MAX_PATH).value_or("") : "";
  size_t slash = path.rfind('\\');
  if (slash != std::string::npos && EqualsNoCase(path.substr(slash + 1), "program")) path.resize(slash);
  return path;
}

}  // namespace

std::string ClientDataPath() {
  auto key = comsupport::RegistryKey::Open(HKEY_CURRENT_USER, "SOFTWARE\\Zorvane\\Zorvane", KEY_READ);
  if (key) {
    if (auto data = key.ReadString("Data Path", MAX_PATH); data && !data->empty()) {
      std::string path = *data;
      if (path.back() != '\\') path += '\\';
      return path;
    }
  }
  return InstallationRoot() + "\\data";
}

std::string ClientProgramPath() { return InstallationRoot(); }

}  // namespace installer
