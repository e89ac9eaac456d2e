#include "destination.h"

#include <windows.h>

#include "real_location.h"

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

std::string Repository(const PlacementSettings& settings) {
  std::string target = settings.target_directory;
  if (!target.empty() && target.back() == '\\') target.pop_back();
  return target;
}

std::string Destination(const PlacementSettings& settings, const std::string& title_path) {
  const std::string repository = Repository(settings);
  return MirrorTree(settings) ? repository + "\\" + title_path : repository;
}

void CreateDestination(const std::string& repository, const std::string& path) {
  std::string own_levels = repository;
  while (!own_levels.empty() && own_levels.back() == '\\') own_levels.pop_back();
  std::wstring real_repository;  // looked up when the first level below it is reached
  std::string deepest;
  size_t at = RootLength(path);
  while (at < path.size()) {
    size_t end = path.find('\\', at);
    if (end == std::string::npos) end = path.size();
    if (end > at) {
      const std::string level = path.substr(0, end);
      const bool below_repository = end > own_levels.size();
      if (below_repository && real_repository.empty()) {
        real_repository = RealDirectoryPath(own_levels);
        if (real_repository.empty()) break;
      }
      // The level above is known to lie inside the repository, so a new level does too; one
      // that exists already may be a link to anywhere.
      if (!::CreateDirectoryA(level.c_str(), nullptr) && !IsDirectory(level)) break;
      if (below_repository && !IsWithin(real_repository, RealDirectoryPath(level))) break;
      deepest = level;
    }
    at = end + 1;
  }
  if (!deepest.empty()) ::SetCurrentDirectoryA(deepest.c_str());
}

}  // namespace placement
