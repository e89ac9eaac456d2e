#include "package_library.h"

#include <winsock2.h>
#include <windows.h>

#include "comsupport/unique_handle.h"
#include "text_list.h"

namespace installer {

namespace {

using UnzipPackageFunction = int(WINAPI*)(const char*, const char*, int);

// Loaded once for the process and kept: set-up steps may run many packages.
HMODULE Library(const std::string& work_directory) {
  static comsupport::UniqueLibrary library;
  if (!library) library.reset(::LoadLibraryA("zrgetex.dll"));
  if (!library) {
    library.reset(::LoadLibraryExA(JoinPath(work_directory, "zrgetex.dll").c_str(), nullptr,
                                   LOAD_WITH_ALTERED_SEARCH_PATH));
  }
  return library.get();
}

}  // namespace

bool UnzipPackage(const std::string& package, const std::string& target, int flag,
                  const std::string& work_directory, std::string* error) {
  HMODULE library = Library(work_directory);
  if (!library) {
    *error = "cannot load zrgetex.dll";
    return false;
  }
  auto unzip = reinterpret_cast<UnzipPackageFunction>(
      reinterpret_cast<void*>(::GetProcAddress(library, "UnzipPackage")));
  if (!unzip) {
    *error = "zrgetex.dll has no UnzipPackage";
    return false;
  }
  if (!unzip(package.c_str(), target.c_str(), flag)) {
    *error = "cannot extract " + package;
    return false;
  }
  return true;
}

}  // namespace installer
