// Where the client is installed, as install steps need it: its data path and program path.
#pragma once

#include <string>

namespace installer {

// HKCU "SOFTWARE\Zorvane\Zorvane" "Data Path" with a "\" at its end, else the installation
// root (App Paths "Path" less a last "program" step) + "\data".
std::string ClientDataPath();
// The App Paths "Path" less a last "program" step.
std::string ClientProgramPath();

}  // namespace installer
