// Stands in for the program registered to open a test attachment type: it records that it was
// started by writing the path it was given, with ".opened" appended, and ends.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string marker = std::string(argv[1]) + ".opened";
  HANDLE file = ::CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  ::WriteFile(file, argv[1], static_cast<DWORD>(std::string(argv[1]).size()), &written, nullptr);
  ::CloseHandle(file);
  return 0;
}
