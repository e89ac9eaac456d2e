// ZRGetDirectory: the client's program and data directories (cached for the start) and the
// cache, temporary and files folders kept beside the data directory under "Misc".
#include <string>

#include "command.h"
#include "exports.h"
#include "library_state.h"

namespace ravlin {

namespace {

std::string WithoutTrailingBackslash(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

// The client's directory through op 19 or 20, as the client gives it.
bool ClientDirectory(DWORD opcode, std::string& path) {
  QMBuffer buffer;
  RavlinCommand command = MakeCommand(opcode, {Word(&buffer)});
  if (!ExecuteCommand(command, kInCallingThread)) return false;
  path = buffer.GetText();
  return true;
}

// Empty when the start's cache is empty or there is no start.
std::string Cached(std::unique_ptr<QMBuffer> LibraryState::*cache) {
  LibraryState& state = State();
  comsupport::CriticalSectionGuard guard(state.lock);
  return (state.*cache) ? (state.*cache)->GetText() : "";
}

void Cache(std::unique_ptr<QMBuffer> LibraryState::*cache, const std::string& path) {
  LibraryState& state = State();
  comsupport::CriticalSectionGuard guard(state.lock);
  if (state.*cache) (state.*cache)->SetText(path.c_str());
}

// Creates the folder when it is missing; true when it is there as a folder.
bool EnsureFolder(const std::string& path) {
  if (!::CreateDirectoryA(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

const char* MiscFolderOf(DIRECTORY_TYPES type) {
  switch (type) {
    case DIRECTORY_CACHE: return "Cache";
    case DIRECTORY_TEMP: return "Temp";
    case DIRECTORY_FILES: return "Files";
    default: return nullptr;
  }
}

bool Directory(DIRECTORY_TYPES type, std::string& result) {
  if (type == DIRECTORY_PROGRAM) {
    result = Cached(&LibraryState::program_directory);
    if (!result.empty()) return true;
    if (!ClientDirectory(kOpProgramDirectory, result)) return false;
    result = WithoutTrailingBackslash(result);
    Cache(&LibraryState::program_directory, result);
    return true;
  }
  const char* misc_folder = MiscFolderOf(type);
  // Only these types are served; the others ask the client nothing.
  if (type != DIRECTORY_DATA && !misc_folder) return false;
  std::string data = Cached(&LibraryState::data_directory);
  if (data.empty() && !ClientDirectory(kOpDataDirectory, data)) return false;
  data = WithoutTrailingBackslash(data);
  if (type == DIRECTORY_DATA) {
    Cache(&LibraryState::data_directory, data);
    result = data;
    return true;
  }
  size_t parent_end = data.find_last_of('\\');
  if (parent_end == std::string::npos) return false;
  std::string misc = data.substr(0, parent_end) + "\\Misc";
  if (!EnsureFolder(misc)) return false;
  std::string folder = misc + "\\" + misc_folder;
  if (!EnsureFolder(folder)) return false;
  result = folder;
  return true;
}

}  // namespace

}  // namespace ravlin

extern "C" int ZRGetDirectory(DIRECTORY_TYPES type, QMBuffer& path) {
  return ravlin::Guarded([&] {
    path.Clear();
    std::string result;
    if (!ravlin::Directory(type, result)) return 0;
    if (!result.empty() && !path.SetText(result.c_str())) return 0;
    return 1;
  });
}
