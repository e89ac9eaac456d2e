// The Startup-folder shortcut "Zorvane Lite Installer.lnk" that resumes an unfinished network
// download after the next log-on: in the common Startup folder on Windows NT, else the user's.
#pragma once

#include <string>

namespace installer {

std::string StartupShortcutPath();
// Makes (or replaces) the shortcut to target with arguments; false when it cannot be saved.
bool CreateStartupShortcut(const std::string& target, const std::string& arguments);
void DeleteStartupShortcut();

}  // namespace installer
