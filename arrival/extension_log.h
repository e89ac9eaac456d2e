// The extension's log file "ExtensionDll.log": truncated when opened, one time-stamped line
// per message, flushed at once; what a message brings from outside cannot break its line.
// Shared by the apartment thread and the watch thread, so every write is serialised. A log
// that cannot be opened swallows everything.
#pragma once

#include <ctime>
#include <fstream>
#include <string>

#include "comsupport/critical_section.h"

namespace hookwell {

constexpr char kLogFileName[] = "ExtensionDll.log";
// Every message this module writes has this level.
constexpr int kLogLevel = 3;

class ExtensionLog {
 public:
  // Opens file_name (relative names lie in the process's current directory) and writes the
  // header line.
  explicit ExtensionLog(std::string file_name = kLogFileName);
  virtual ~ExtensionLog();
  ExtensionLog(const ExtensionLog&) = delete;
  ExtensionLog& operator=(const ExtensionLog&) = delete;

  void Write(int level, const std::string& message);
  // A message of module (the logging class's name) logged at source line.
  void Report(const char* module, int line, const std::string& message) {
    Write(kLogLevel, LogLocation(module, line) + message);
  }

  static std::string LogLocation(const char* module, int line);

 private:
  std::string file_name_;
  std::ofstream stream_;
  comsupport::CriticalSection lock_;
};

// "19991122.143501 | 3 | message" and a line feed, the message escaped.
std::string FormatLogLine(const std::tm& local_time, int level, const std::string& message);

}  // namespace hookwell

// Logs message with the calling line's location; module is the logging class's name.
#define HOOKWELL_REPORT(log, module, message) (log).Report((module), __LINE__, (message))
