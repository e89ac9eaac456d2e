// Enroller: finishes the suite's installation next to the push client. No window, no
// arguments, exit code 0 whatever happens.
#include <windows.h>

#include "enroller.h"
#include "install_log.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    enroller::InstallLog log("c:\\KelvaneInstall.log");
    log.BeginSession();
    enroller::RunEnroller(log);
    log.EndSession();
  } catch (...) {
  }
  return 0;
}
