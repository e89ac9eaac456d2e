// A set-up program for install-step tests: appends "name | its arguments" to the log file
// named by its first argument; "fail" writes the "Failed" value, "success" the settings
// file's success mark.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  std::string line = argv[2];
  line += " |";
  for (int index = 3; index < argc; ++index) line += std::string(" ") + argv[index];
  char directory[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, directory);
  line += " | ";
  line += directory;
  if (FILE* log = std::fopen(argv[1], "a")) {
    std::fprintf(log, "%s\n", line.c_str());
    std::fclose(log);
  }
  for (int index = 3; index < argc; ++index) {
    std::string word = argv[index];
    if (word == "fail") {
      HKEY key = nullptr;
      ::RegCreateKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Zorvane\\Zorvane\\InstallComponents", &key);
      ::RegSetValueExA(key, "Failed", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
      ::RegCloseKey(key);
    }
    if (word == "success") {
      char windows[MAX_PATH] = {};
      ::GetWindowsDirectoryA(windows, MAX_PATH);
      ::WritePrivateProfileStringA("result", "success", "1", (std::string(windows) + "\\Ostrel.ini").c_str());
    }
  }
  return 0;
}
