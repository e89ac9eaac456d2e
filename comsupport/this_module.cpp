#include "comsupport/this_module.h"

namespace comsupport {

HMODULE ThisModule() {
  HMODULE module = nullptr;
  // The address of this very function lies in the binary that linked it.
  if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&ThisModule), &module)) {
    return nullptr;
  }
  return module;
}

std::string ModulePath(HMODULE module) {
  char path[MAX_PATH];
  DWORD length = ::GetModuleFileNameA(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return std::string(path, length);
}

}  // namespace comsupport
