#include "copy_files.h"

#include <windows.h>

#include <optional>

#include "comsupport/unique_handle.h"
#include "file_list.h"
#include "path_safety.h"

namespace placement {

namespace {

const char kAutoPlaceCaption[] = "Kelvane AutoPlace";

// Seconds since 1601; none when the file cannot be examined.
std::optional<unsigned long long> CreationSecond(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  ULARGE_INTEGER time;
  time.LowPart = data.ftCreationTime.dwLowDateTime;
  time.HighPart = data.ftCreationTime.dwHighDateTime;
  return time.QuadPart / 10000000ULL;
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool Writable(const std::string& path) {
  comsupport::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

// For a target that exists.
void WarnIfOlderAndWriteProtected(const std::string& source, const std::string& target, UserMessages& messages) {
  std::optional<unsigned long long> target_created = CreationSecond(target);
  std::optional<unsigned long long> source_created = CreationSecond(source);
  if (!target_created || !source_created || *target_created >= *source_created) return;
  if (Writable(target)) return;
  messages.Show("The Auto Place procedure can not gain write access to replace an older file (" + target +
                    ") with newer file (" + source + ")." + " Please check file access permissions.",
                kAutoPlaceCaption, MB_ICONWARNING);
}

void ReportCopyFailure(const std::string& source, const std::string& target, UserMessages& messages) {
  messages.Show("Unable to copy file " + source + " to " + target +
                    " some files will not be placed in the Mendlet repository.",
                kAutoPlaceCaption, MB_ICONWARNING);
}

}  // namespace

CopyResult CopyListedFiles(const std::string& vessik_directory, const std::string& destination,
                           UserMessages& messages) {
  const std::string list_path = vessik_directory + "MyMendlet.dat";
  FileList list(list_path);
  if (!list.is_open()) {
    messages.Show("Could not open " + list_path + ".", "Copy File", MB_ICONINFORMATION);
    return CopyResult::kNoFileList;
  }
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
    // Most targets are new: a copy that does not replace spares them the existence test and
    // the dearer replacing copy (a third of the placement time under Wine).
    if (::CopyFileA(source.c_str(), target.c_str(), TRUE)) continue;
    if (!Exists(target)) {
      ReportCopyFailure(source, target, messages);
      return CopyResult::kStopped;
    }
    WarnIfOlderAndWriteProtected(source, target, messages);
    if (!::CopyFileA(source.c_str(), target.c_str(), FALSE)) {
      ReportCopyFailure(source, target, messages);
      return CopyResult::kStopped;
    }
  }
  return CopyResult::kCompleted;
}

}  // namespace placement
