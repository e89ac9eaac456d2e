#include "copy_files.h"

#include <windows.h>

#include <string>
#include <vector>

#include "comsupport/unique_handle.h"
#include "file_list.h"
#include "path_safety.h"
#include "real_location.h"

namespace placement {

namespace {

using comsupport::UniqueHandle;

const char kAutoPlaceCaption[] = "Kelvane AutoPlace";
const DWORD kCopyChunk = 1024 * 1024;
const DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

unsigned long long Seconds(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  return value.QuadPart / 10000000ULL;
}

void ReportCopyFailure(const std::string& source, const std::string& target, UserMessages& messages) {
  messages.Show("Unable to copy file " + source + " to " + target +
                    " some files will not be placed in the Mendlet repository.",
                kAutoPlaceCaption, MB_ICONWARNING);
}

// The directory part of a target (both separators count).
std::string ParentOf(const std::string& path) {
  size_t last = path.find_last_of("\\/");
  return last == std::string::npos ? std::string() : path.substr(0, last);
}

// One placement: the real locations of the Vessik and the repository, resolved once, decide
// what may be read and written.
class Placer {
 public:
  Placer(std::wstring vessik, std::wstring repository, UserMessages& messages)
      : vessik_(std::move(vessik)), repository_(std::move(repository)), messages_(messages), buffer_(kCopyChunk) {}

  // False when the entry could not be placed; the user has been told.
  bool Place(const std::string& source_path, const std::string& target_path) {
    BY_HANDLE_FILE_INFORMATION source_information;
    UniqueHandle source = OpenSource(source_path, source_information);
    if (!source) return Failed(source_path, target_path);
    bool created = false;
    UniqueHandle target = OpenTarget(target_path, created);
    if (!target) {
      WarnIfOlderAndWriteProtected(source_path, target_path, source_information);
      return Failed(source_path, target_path);
    }
    if (!CopyContents(source.get(), target.get(), source_information, !created)) {
      // Like a failed CopyFile: no half-written new file is left behind.
      if (created) {
        FILE_DISPOSITION_INFO disposition = {TRUE};
        ::SetFileInformationByHandle(target.get(), FileDispositionInfo, &disposition, sizeof disposition);
      }
      return Failed(source_path, target_path);
    }
    return true;
  }

 private:
  bool Failed(const std::string& source_path, const std::string& target_path) {
    ReportCopyFailure(source_path, target_path, messages_);
    return false;
  }

  // A file (not a directory) that really lies inside the Vessik, open for reading.
  UniqueHandle OpenSource(const std::string& path, BY_HANDLE_FILE_INFORMATION& information) {
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file || !::GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsWithin(vessik_, RealPath(file.get()))) {
      return UniqueHandle();
    }
    return file;
  }

  // The target open for writing: created when there is none, else the existing file. A new
  // file is made only in a directory that really lies inside the repository, and creating one
  // never follows a link where its name already is; an existing file is kept open only when it
  // really lies inside the repository.
  UniqueHandle OpenTarget(const std::string& path, bool& created) {
    if (!ParentInside(ParentOf(path))) return UniqueHandle();
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    created = static_cast<bool>(file);
    if (created) return file;
    file.reset(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    // Windows refuses write access to a write-protected file; say so ourselves, since a
    // process with the rights to ignore the attribute (root under Wine) would be let through.
    if (!file || !::GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) ||
        !IsWithin(repository_, RealPath(file.get()))) {
      return UniqueHandle();
    }
    return file;
  }

  // Consecutive entries mostly share their directory: it is looked at once.
  bool ParentInside(const std::string& parent) {
    if (parent != checked_parent_) {
      checked_parent_ = parent;
      parent_inside_ = IsWithin(repository_, RealDirectoryPath(parent));
    }
    return parent_inside_;
  }

  // For a target that could not be opened for writing: when it is an existing file inside the
  // repository, created before the source, the user learns why it will not be replaced.
  void WarnIfOlderAndWriteProtected(const std::string& source_path, const std::string& target_path,
                                    const BY_HANDLE_FILE_INFORMATION& source_information) {
    UniqueHandle target(::CreateFileA(target_path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION target_information;
    if (!target || !::GetFileInformationByHandle(target.get(), &target_information) ||
        (target_information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !IsWithin(repository_, RealPath(target.get())) ||
        Seconds(target_information.ftCreationTime) >= Seconds(source_information.ftCreationTime)) {
      return;
    }
    messages_.Show("The Auto Place procedure can not gain write access to replace an older file (" + target_path +
                       ") with newer file (" + source_path + ")." + " Please check file access permissions.",
                   kAutoPlaceCaption, MB_ICONWARNING);
  }

  // The source's bytes, its last write time and attributes, as CopyFile gives them.
  bool CopyContents(HANDLE source, HANDLE target, const BY_HANDLE_FILE_INFORMATION& information, bool replacing) {
    for (;;) {
      DWORD read = 0;
      if (!::ReadFile(source, buffer_.data(), kCopyChunk, &read, nullptr)) return false;
      if (read == 0) break;
      DWORD written = 0;
      if (!::WriteFile(target, buffer_.data(), read, &written, nullptr) || written != read) return false;
    }
    // A replaced file may have been longer.
    if (replacing && !::SetEndOfFile(target)) return false;
    FILE_BASIC_INFO basic = {};
    basic.LastWriteTime.LowPart = information.ftLastWriteTime.dwLowDateTime;
    basic.LastWriteTime.HighPart = static_cast<LONG>(information.ftLastWriteTime.dwHighDateTime);
    basic.FileAttributes = information.dwFileAttributes & kCopiedAttributes;
    if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(target, FileBasicInfo, &basic, sizeof basic) != FALSE;
  }

  const std::wstring vessik_;
  const std::wstring repository_;
  UserMessages& messages_;
  std::vector<char> buffer_;
  std::string checked_parent_;
  bool parent_inside_ = false;
};

// "MyMendlet.dat", open for reading only when it really lies inside the Vessik.
UniqueHandle OpenFileList(const std::string& path, const std::wstring& vessik) {
  UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file || !IsWithin(vessik, RealPath(file.get()))) return UniqueHandle();
  return file;
}

}  // namespace

CopyResult CopyListedFiles(const std::string& vessik_directory, const std::string& repository,
                           const std::string& destination, UserMessages& messages) {
  const std::string list_path = vessik_directory + "MyMendlet.dat";
  const std::wstring vessik = RealDirectoryPath(vessik_directory);
  UniqueHandle list_file = OpenFileList(list_path, vessik);
  if (!list_file) {
    messages.Show("Could not open " + list_path + ".", "Copy File", MB_ICONINFORMATION);
    return CopyResult::kNoFileList;
  }
  FileList list(std::move(list_file));
  Placer placer(vessik, RealDirectoryPath(repository), messages);
  std::string entry;
  while (list.Next(entry)) {
    const std::string source = vessik_directory + "\\" + entry;
    const std::string target = destination + "\\" + entry;
    // The list comes with the package: a name that leaves the Vessik or destination directory
    // is refused, and the rest of such a list is not trusted either.
    if (!IsSafeEntry(entry)) {
      ReportCopyFailure(source, target, messages);
      return CopyResult::kStopped;
    }
    if (!placer.Place(source, target)) return CopyResult::kStopped;
  }
  return CopyResult::kCompleted;
}

}  // namespace placement
