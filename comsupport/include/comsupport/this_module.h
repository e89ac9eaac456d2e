// The module (DLL or program) that this code is linked into. comsupport is a static library,
// so every binary gets its own copy and with it its own answer.
#pragma once

#include <windows.h>

#include <string>

namespace comsupport {

HMODULE ThisModule();

// The full path of a loaded module (the program itself for nullptr); empty when it cannot be
// had or does not fit MAX_PATH.
std::string ModulePath(HMODULE module);

}  // namespace comsupport
