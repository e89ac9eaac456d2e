// Unix symbolic links made from a test running under Wine, where the file system is Linux's.
//
// What works under Wine 8 (tried here): CreateSymbolicLinkA returns TRUE and makes nothing;
// CreateProcess can start /bin/ln, but the handle it gives cannot be waited on; the Linux
// symlink system call made directly (int 0x80, the i386 system call entry, which Wine does not
// intercept) makes the link at once. Paths go to Linux as wine_get_unix_file_name gives them.
// Wine then shows a link to a directory with FILE_ATTRIBUTE_REPARSE_POINT, a link to a file as
// a plain file, and GetFinalPathNameByHandle gives where a link leads.
#pragma once

#include <string>

namespace testing_support {

// The Unix path of a Windows path (the last level need not exist); empty when Wine cannot say.
std::string UnixPath(const std::string& windows_path);

// True under Wine, where MakeUnixLink works.
bool CanMakeUnixLinks();

// Makes link (a Windows path) a Unix symbolic link to target (a Windows path, which need not
// exist); false when it could not be made.
bool MakeUnixLink(const std::string& target, const std::string& link);

// Removes the link itself (never what it leads to); false when there was none.
bool RemoveUnixLink(const std::string& link);

}  // namespace testing_support
