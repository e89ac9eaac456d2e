// zrgetex.dll stand-in: UnzipPackage(package, target, flag) extracts a cabinet into target,
// creating the folders its entries name. An entry whose name is absolute, has a drive or climbs
// with ".." fails the whole package before anything is written. flag is accepted and ignored.
// Returns nonzero on success.
#include <windows.h>
#include <setupapi.h>

#include <string>
#include <vector>

#include "comsupport/boundary.h"

namespace {

bool SafeName(const std::string& name) {
  if (name.empty() || name[0] == '\\' || name[0] == '/' || name.find(':') != std::string::npos) return false;
  std::string step;
  for (size_t at = 0; at <= name.size(); ++at) {
    char c = at < name.size() ? name[at] : '\\';
    if (c == '\\' || c == '/') {
      if (step.empty() || step.find_last_not_of(". ") == std::string::npos) return false;
      step.clear();
    } else {
      step += c;
    }
  }
  return true;
}

void CreateFolders(const std::string& path) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
    ::CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
}

struct Extraction {
  std::string target;
  bool listing = true;  // the first pass only checks the names
  bool sound = true;
};

UINT CALLBACK OnCabinetEvent(void* context, UINT notification, UINT_PTR param1, UINT_PTR) {
  auto* extraction = static_cast<Extraction*>(context);
  if (notification == SPFILENOTIFY_FILEINCABINET) {
    auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1);
    std::string name = info->NameInCabinet;
    for (char& c : name) {
      if (c == '/') c = '\\';
    }
    if (!SafeName(name)) {
      extraction->sound = false;
      return FILEOP_ABORT;
    }
    if (extraction->listing) return FILEOP_SKIP;
    std::string full = extraction->target + "\\" + name;
    if (full.size() >= MAX_PATH) {
      extraction->sound = false;
      return FILEOP_ABORT;
    }
    CreateFolders(full);
    lstrcpyA(info->FullTargetName, full.c_str());
    return FILEOP_DOIT;
  }
  if (notification == SPFILENOTIFY_FILEEXTRACTED) {
    auto* paths = reinterpret_cast<FILEPATHS_A*>(param1);
    if (paths->Win32Error != NO_ERROR) extraction->sound = false;
    return paths->Win32Error;
  }
  return NO_ERROR;
}

}  // namespace

extern "C" int WINAPI UnzipPackage(const char* package, const char* target, int /*flag*/) {
  return comsupport::Boundary("UnzipPackage", 0, [&] {
    if (!package || !target || !*package || !*target) return 0;
    Extraction extraction;
    extraction.target = target;
    while (!extraction.target.empty() && extraction.target.back() == '\\') extraction.target.pop_back();
    if (!::SetupIterateCabinetA(package, 0, &OnCabinetEvent, &extraction) || !extraction.sound) return 0;
    extraction.listing = false;
    ::CreateDirectoryA(extraction.target.c_str(), nullptr);
    if (!::SetupIterateCabinetA(package, 0, &OnCabinetEvent, &extraction) || !extraction.sound) return 0;
    return 1;
  });
}
