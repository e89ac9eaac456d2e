#include "real_location.h"

#include <vector>

namespace placement {

namespace {

std::wstring FinalPath(HANDLE handle, DWORD volume_form) {
  std::vector<wchar_t> path(MAX_PATH + 1);
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD length = ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                               FILE_NAME_NORMALIZED | volume_form);
    if (length == 0) return std::wstring();
    // A buffer too small gets the length it needs, terminating zero included.
    if (length < path.size()) return std::wstring(path.data(), length);
    path.resize(length + 1);
  }
  return std::wstring();
}

}  // namespace

std::wstring RealPath(HANDLE handle) {
  std::wstring path = FinalPath(handle, VOLUME_NAME_DOS);
  // A volume mounted in a folder without a drive letter of its own has only its GUID form; a
  // repository there is still compared with what lies inside it.
  return path.empty() ? FinalPath(handle, VOLUME_NAME_GUID) : path;
}

bool IsWithin(const std::wstring& root, const std::wstring& path) {
  if (root.empty() || path.size() < root.size()) return false;
  // A drive's root already ends with its separator ("\\?\C:\").
  const bool root_ends_level = root.back() == L'\\';
  if (path.size() > root.size() && !root_ends_level && path[root.size()] != L'\\') return false;
  return ::CompareStringOrdinal(root.data(), static_cast<int>(root.size()), path.data(),
                                static_cast<int>(root.size()), TRUE) == CSTR_EQUAL;
}

comsupport::UniqueHandle OpenDirectory(const std::string& path) {
  std::string directory = path;
  if (directory.size() == 2 && directory[1] == ':') directory += '\\';
  // Backup semantics open a directory; no access right is needed to learn where it is.
  return comsupport::UniqueHandle(::CreateFileA(directory.c_str(), FILE_READ_ATTRIBUTES,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

std::wstring RealDirectoryPath(const std::string& path) {
  comsupport::UniqueHandle directory = OpenDirectory(path);
  if (!directory) return std::wstring();
  BY_HANDLE_FILE_INFORMATION information;
  if (!::GetFileInformationByHandle(directory.get(), &information) ||
      !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::wstring();
  }
  return RealPath(directory.get());
}

}  // namespace placement
