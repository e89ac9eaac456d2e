// The work directory, where the payload is extracted and downloads go; its path survives in
// HKCU "Software\Zorvane\ZrGet" value "Path".
#pragma once

#include <string>

namespace installer {

extern const char kInstallerKey[];  // "Software\Zorvane\ZrGet"

// The recorded directory (created if it has gone), or a new one "inst..." in the temporary
// folder, recorded. Empty when none can be made.
std::string FindOrCreateWorkDirectory();
// Deletes the work directory and the installer's registry key.
void ForgetWorkDirectory(const std::string& work_directory, bool delete_directory, bool delete_key);

}  // namespace installer
