#include "shelver_command.h"

namespace hookwell {

namespace {

constexpr char kShelverPath[] = "Halvern Extensions\\Shelver.exe";

std::string CutLastComponent(const std::string& path) {
  const size_t backslash = path.rfind('\\');
  return backslash == std::string::npos ? std::string() : path.substr(0, backslash);
}

}  // namespace

std::string TitleText(const std::string& title) {
  const size_t bracket = title.find(']');
  return bracket == std::string::npos ? std::string() : title.substr(bracket + 1);
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
