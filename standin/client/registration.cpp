#include "registration.h"

#include <oleauto.h>

#include <string>

#include "comsupport/bstr.h"
#include "comsupport/com_error.h"
#include "comsupport/registrar.h"
#include "comsupport/type_library_registration.h"
#include "standin_control.h"
#include "zorvane.h"

namespace standin {

namespace {

const UINT kScriptId = 101;

std::string DirectoryOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

void MakeInstallationFolders(const std::string& program_directory) {
  size_t slash = program_directory.find_last_of('\\');
  if (slash == std::string::npos || ::lstrcmpiA(program_directory.c_str() + slash + 1, "program") != 0) return;
  std::string root = program_directory.substr(0, slash);
  for (const char* folder : {"\\Halvern Extensions", "\\data"}) {
    std::string path = root + folder;
    if (!::CreateDirectoryA(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
      ::OutputDebugStringA(("stand-in: cannot create " + path + "\n").c_str());
    }
  }
}

}  // namespace

HRESULT RegisterServer() {
  std::string module = comsupport::ModulePath(nullptr);
  if (module.empty()) return HRESULT_FROM_WIN32(::GetLastError());
  HRESULT hr = comsupport::RunRegistryScript(module, kScriptId, true, {{"MODULE_DIR", DirectoryOf(module)}});
  // The library of resource 2 is found again by "exe\2".
  if (SUCCEEDED(hr)) hr = comsupport::RegisterTypeLibrary(module);
  if (SUCCEEDED(hr)) hr = comsupport::RegisterTypeLibrary(module + "\\2");
  if (SUCCEEDED(hr)) MakeInstallationFolders(DirectoryOf(module));
  return hr;
}

HRESULT UnregisterServer() {
  std::string module = comsupport::ModulePath(nullptr);
  if (module.empty()) return HRESULT_FROM_WIN32(::GetLastError());
  HRESULT hr = comsupport::RunRegistryScript(module, kScriptId, false, {{"MODULE_DIR", DirectoryOf(module)}});
  for (const std::string& library : {module, module + "\\2"}) {
    HRESULT removed = comsupport::UnregisterTypeLibrary(library);
    if (FAILED(removed)) {
      ::OutputDebugStringA(("stand-in: type library of " + library + " not unregistered: " +
                            comsupport::HresultText(removed) + "\n").c_str());
    }
  }
  return hr;
}

}  // namespace standin
