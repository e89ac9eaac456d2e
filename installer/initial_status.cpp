#include "initial_status.h"

#include <winsock2.h>
#include <windows.h>

#include <vector>

#include "comsupport/registry.h"
#include "safe_name.h"
#include "text_list.h"

namespace installer {

namespace {

// a.b.c.d as (a*65536 + b, c*65536 + d); missing parts are 0.
void ParseVersion(const std::string& text, DWORD* high, DWORD* low) {
  DWORD parts[4] = {0, 0, 0, 0};
  size_t at = 0;
  for (int index = 0; index < 4 && at <= text.size(); ++index) {
    size_t dot = text.find('.', at);
    std::string part = text.substr(at, dot == std::string::npos ? std::string::npos : dot - at);
    parts[index] = static_cast<DWORD>(std::strtoul(part.c_str(), nullptr, 10)) & 0xFFFF;
    if (dot == std::string::npos) break;
    at = dot + 1;
  }
  *high = (parts[0] << 16) | parts[1];
  *low = (parts[2] << 16) | parts[3];
}

bool ReadFileVersion(const std::string& path, bool product, DWORD* high, DWORD* low) {
  DWORD ignored = 0;
  DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return false;
  std::vector<char> data(size);
  if (!::GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return false;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info) return false;
  *high = product ? info->dwProductVersionMS : info->dwFileVersionMS;
  *low = product ? info->dwProductVersionLS : info->dwFileVersionLS;
  return true;
}

bool ClassExists(const std::string& clsid) {
  return static_cast<bool>(comsupport::RegistryKey::Open(HKEY_CLASSES_ROOT, "CLSID\\" + clsid, KEY_READ));
}

}  // namespace

bool FileEntryHolds(const std::string& entry) {
  size_t colon = entry.find(':');
  std::string name = entry.substr(0, colon);
  char found[MAX_PATH] = {};
  if (name.empty() || ::SearchPathA(nullptr, name.c_str(), nullptr, MAX_PATH, found, nullptr) == 0) return false;
  if (colon == std::string::npos) return true;
  std::string version = entry.substr(colon + 1);
  bool product = !version.empty() && version[0] == '#';
  if (product) version.erase(0, 1);
  DWORD wanted_high = 0, wanted_low = 0, high = 0, low = 0;
  ParseVersion(version, &wanted_high, &wanted_low);
  if (!ReadFileVersion(found, product, &high, &low)) return false;
  return high > wanted_high || (high == wanted_high && low >= wanted_low);
}

int InitialStatus(const Descriptions& descriptions, const Component& component) {
  std::string objects = descriptions.Value(component, "NoDownloadIfObjectsExist", "", 512);
  std::string files = descriptions.Value(component, "NoDownloadIfFilesExist", "", 512);
  if (!SplitList(objects).empty() || !SplitList(files).empty()) {
    bool holds = true;
    for (const std::string& clsid : SplitList(objects)) holds = holds && ClassExists(clsid);
    for (const std::string& entry : SplitList(files)) holds = holds && FileEntryHolds(entry);
    if (holds) return kAlreadyInstalled;
  }
  std::vector<std::string> names = SplitList(descriptions.Value(component, "files", "", 300));
  for (const std::string& name : names) {
    if (!IsSafeRelativeName(name) || !FileExists(JoinPath(component.source_directory, name))) return kNeedDownload;
  }
  return kDownloaded;
}

}  // namespace installer
