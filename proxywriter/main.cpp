// proxywriter: hands the installer's HTTP proxy to the push client as "userconf.reg".
// No window, no arguments, exit code 0; failures are silent apart from the debugger output.
#include <windows.h>

#include <string>

#include "proxywriter.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::string outcome = "proxywriter: " + proxywriter::RunProxyWriter() + "\n";
  ::OutputDebugStringA(outcome.c_str());
  return 0;
}
