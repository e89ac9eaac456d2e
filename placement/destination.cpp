#include "destination.h"

#include <windows.h>

namespace placement {

namespace {

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  std::string result;
  size_t start = 0;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
    result.append(text, start, at - start);
    result += to;
    start = at + from.size();
  }
  result.append(text, start, std::string::npos);
  return result;
}

// Length of the part of path that is not created: "C:\", "C:", "\\server\share\", "\".
size_t RootLength(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.size() >= 3 && path[2] == '\\' ? 3 : 2;
  if (path.compare(0, 2, "\\\\") == 0) {
    size_t share = path.find('\\', 2);
    if (share == std::string::npos) return path.size();
    size_t end = path.find('\\', share + 1);
    return end == std::string::npos ? path.size() : end + 1;
  }
  return !path.empty() && path[0] == '\\' ? 1 : 0;
}

bool IsDirectory(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string TitlePath(const std::string& title_text) {
  return ReplaceAll(ReplaceAll(title_text, "//", "_"), "/", "\\");
}

std::string Destination(const PlacementSettings& settings, const std::string& title_path) {
  std::string target = settings.target_directory;
  if (!target.empty() && target.back() == '\\') target.pop_back();
  return MirrorTree(settings) ? target + "\\" + title_path : target;
}

void CreateDestination(const std::string& path) {
  std::string deepest;
  size_t at = RootLength(path);
  while (at < path.size()) {
    size_t end = path.find('\\', at);
    if (end == std::string::npos) end = path.size();
    if (end > at) {
      const std::string level = path.substr(0, end);
      if (!::CreateDirectoryA(level.c_str(), nullptr) && !IsDirectory(level)) break;
      deepest = level;
    }
    at = end + 1;
  }
  if (!deepest.empty()) ::SetCurrentDirectoryA(deepest.c_str());
}

}  // namespace placement
