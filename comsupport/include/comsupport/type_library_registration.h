// Registering a module's type library with oleaut32 (RegisterTypeLib), which also writes an
// HKCR\Interface key for every dual and dispatch interface the library carries. A library
// may carry a copy of an interface that another program owns (the client's IClientExt, say):
// that key is put back exactly as it was before, or removed again if it was not there.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace comsupport {

// path: a module (its TYPELIB 1) or "module\N" for resource N. foreign: interfaces in the
// library whose keys belong to someone else.
HRESULT RegisterTypeLibrary(const std::string& path, const std::vector<IID>& foreign = {});

// Unregisters the library found at path (its LIBID and version, for Win32). A library that
// was not registered is no failure. Interface keys of foreign interfaces are left as they are.
HRESULT UnregisterTypeLibrary(const std::string& path, const std::vector<IID>& foreign = {});

}  // namespace comsupport
