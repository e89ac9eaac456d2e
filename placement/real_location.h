// Where an opened file or directory really is, every symbolic link, junction and mount point
// followed. Placement decides on these locations, never on names: a name inside the Vessik or
// the repository can lead anywhere through a link.
#pragma once

#include <windows.h>

#include <string>

#include "comsupport/unique_handle.h"

namespace placement {

// The location of an open file or directory as the system resolves it ("\\?\C:\..." form);
// empty when the system cannot say, which callers treat as "outside".
std::wstring RealPath(HANDLE handle);

// True when path is root itself or lies below it, by whole levels and without regard to case.
// Both come from RealPath; an empty one is never within anything.
bool IsWithin(const std::wstring& root, const std::wstring& path);

// Opens a directory for its location only (no access to its contents); "C:" means "C:\".
comsupport::UniqueHandle OpenDirectory(const std::string& path);

// The real location of the directory at path; empty when it cannot be opened.
std::wstring RealDirectoryPath(const std::string& path);

}  // namespace placement
