#include "shelver_command.h"

namespace hookwell {

namespace {

constexpr char kShelverPath[] = "Halvern Extensions\\Shelver.exe";

std::string CutLastComponent(const std::string& path) {
  const size_t backslash = path.rfind('\\');
  return backslash == std::string::npos ? std::string() : path.substr(0, backslash);
}

// Windows drops trailing dots and blanks from a folder name, so "..", ".. " and "..."
// all lead out of (or stay at) the folder they are in.
bool IsDotsOnly(const std::string& component) {
  return component.find('.') != std::string::npos && component.find_first_not_of(". ") == std::string::npos;
}

}  // namespace

std::string TitleText(const std::string& title) {
  const size_t bracket = title.find(']');
  return bracket == std::string::npos ? std::string() : title.substr(bracket + 1);
}

bool IsSafeTitleText(const std::string& title_text) {
  if (title_text.find(':') != std::string::npos) return false;
  if (!title_text.empty() && (title_text[0] == '\\' || title_text[0] == '/')) return false;
  // Both separators count, whatever the placement program makes of "/" and "//" later.
  size_t start = 0;
  while (true) {
    const size_t end = title_text.find_first_of("\\/", start);
    const size_t length = end == std::string::npos ? std::string::npos : end - start;
    if (IsDotsOnly(title_text.substr(start, length))) return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

std::string BaseDirectoryOf(const std::string& client_executable) {
  return CutLastComponent(CutLastComponent(client_executable));
}

std::string ShelverCommandLine(const std::string& base_directory, const std::string& vessik_directory,
                               const std::string& title_text) {
  const std::string program = "\"" + base_directory + "\\" + kShelverPath + "\"";
  const std::string argument = "\"" + vessik_directory + "|" + title_text + "\"";
  return program + " " + argument;
}

bool FitsCommandLineBuffer(const std::string& command_line) {
  return command_line.size() < kCommandLineBufferSize;
}

}  // namespace hookwell
