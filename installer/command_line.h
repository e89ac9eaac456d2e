// The installer's command line. Options may stand anywhere, with "/" or "-"; the whole line is
// also passed on to the set-up programs.
#pragma once

#include <string>

namespace installer {

struct Options {
  std::string inf_path;          // "-inf " path
  bool tray = false;             // "/tray"
  bool no_intervention = false;  // "/NoIntervention"
  bool ask_for_restart = false;  // "/AskForRestart"
  bool save_proxy_settings = false;  // "/SaveProxySettings"
  bool record_scripts = false;   // "/is"
  bool second_instance = false;  // "-run2"
  std::string command_line;      // the whole command line, passed on to set-up programs
};

Options ParseCommandLine(const std::string& command_line);

}  // namespace installer
