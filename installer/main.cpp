// installer: downloads the client's components and runs their set-up.
#include <winsock2.h>
#include <windows.h>

#include "comsupport/boundary.h"
#include "installer_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
  return comsupport::Boundary("installer", 1, [&] { return installer::RunInstaller(command_line ? command_line : ""); });
}
