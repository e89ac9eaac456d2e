#include "extension_log.h"

#include "comsupport/log_text.h"

namespace hookwell {

namespace {

constexpr char kHeader[] = "// Halvern Mendlet Distribution Extension DLL Logfile\n";
// The revision tag of the location prefix, kept with its two blanks.
constexpr char kRevisionTag[] = "$Revision:  $";

std::tm LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm local = {};
  if (const std::tm* converted = std::localtime(&now)) local = *converted;
  return local;
}

}  // namespace

// Text mode, as any Windows text file: each line feed reaches the disk as CR LF.
ExtensionLog::ExtensionLog(std::string file_name)
    : file_name_(std::move(file_name)), stream_(file_name_, std::ios::out | std::ios::trunc) {
  if (!stream_) return;
  stream_ << kHeader;
  stream_.flush();
}

ExtensionLog::~ExtensionLog() = default;

void ExtensionLog::Write(int level, const std::string& message) {
  comsupport::CriticalSectionGuard guard(lock_);
  if (!stream_.is_open()) return;
  stream_ << FormatLogLine(LocalNow(), level, message);
  stream_.flush();
  // A failed write (full disk) must not silence the lines after it.
  stream_.clear();
}

std::string ExtensionLog::LogLocation(const char* module, int line) {
  return std::string(module) + " " + std::to_string(line) + " " + kRevisionTag + " ";
}

std::string FormatLogLine(const std::tm& local_time, int level, const std::string& message) {
  char stamp[32] = {};
  if (std::strftime(stamp, sizeof stamp, "%Y%m%d.%H%M%S", &local_time) == 0) stamp[0] = '\0';
  return std::string(stamp) + " | " + std::to_string(level) + " | " + comsupport::EscapeLogText(message) + "\n";
}


}  // namespace hookwell
