#include "file_mover.h"

#include <windows.h>

#include "comsupport/unique_handle.h"

namespace enroller {

void MoveFiles(InstallLog& log, const std::string& root, const std::string& extension_directory,
               const std::string& pattern) {
  ::SetCurrentDirectoryA(extension_directory.c_str());
  WIN32_FIND_DATAA found;
  comsupport::UniqueFindHandle search(::FindFirstFileA((root + "\\" + pattern).c_str(), &found));
  if (!search) return;
  do {
    const std::string source = root + "\\" + found.cFileName;
    log.Line("Moving file " + source);
    // A full destination rather than one relative to the current directory: should the
    // extension directory be missing, nothing lands in an unrelated folder.
    const std::string destination = extension_directory + "\\" + found.cFileName;
    if (::MoveFileA(source.c_str(), destination.c_str())) {
      log.Line("Moved file " + source);
    } else {
      log.Line("Unable to move " + source);
    }
  } while (::FindNextFileA(search.get(), &found));
}

}  // namespace enroller
