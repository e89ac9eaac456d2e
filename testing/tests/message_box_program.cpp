// Shows one message box and exits with the button that closed it:
//   message_box_program CAPTION TEXT STYLE
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) return 255;
  return ::MessageBoxA(nullptr, argv[2], argv[1], static_cast<UINT>(std::strtoul(argv[3], nullptr, 0)));
}
