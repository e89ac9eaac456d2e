// Whether a component is already installed, already downloaded or still to be fetched.
#pragma once

#include <string>

#include "descriptions.h"

namespace installer {

// An entry of "NoDownloadIfFilesExist": "name", "name:a.b.c.d" (FileVersion) or
// "name:#a.b.c.d" (ProductVersion); true when the file is on the search path and new enough.
bool FileEntryHolds(const std::string& entry);
// Status 0, 1 or 2 for a component just read.
int InitialStatus(const Descriptions& descriptions, const Component& component);

}  // namespace installer
