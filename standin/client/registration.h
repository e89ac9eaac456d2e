// /regserver and /unregserver: the classes, the ProgID, both type libraries and the App Paths
// entry of "Zorvane.exe" for wherever this program lies. Placed in a folder named "program",
// it also makes the installation's "Halvern Extensions" and "data" folders beside it.
#pragma once

#include <windows.h>

namespace standin {

HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace standin
