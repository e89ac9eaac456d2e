#include "install_log.h"

#include <ctime>

#include "comsupport/log_text.h"

namespace enroller {

namespace {

constexpr double kVersion = 1.02;
// As wide as the time prefix and its two blanks, so session lines stand out.
const char kSpacer[] = "                 \n";

// Month, day and time of day: ctime's text from its fifth character, 15 characters.
std::string TimePrefix() {
  std::time_t now = std::time(nullptr);
  const char* text = std::ctime(&now);
  if (!text) return std::string(15, '?');
  return std::string(text).substr(4, 15);
}

}  // namespace

// Text mode: each line feed reaches the disk as CR LF, as a Windows text log expects.
InstallLog::InstallLog(const std::string& path) : file_(std::fopen(path.c_str(), "a")) {}

InstallLog::~InstallLog() { EndSession(); }

void InstallLog::BeginSession() {
  if (!file_) return;
  WriteRaw(kSpacer);
  char header[96];
  std::snprintf(header, sizeof header, "****** Starting new session, version: %1.2f ******\n\n", kVersion);
  WriteRaw(header);
  session_open_ = true;
}

void InstallLog::EndSession() {
  if (!file_ || !session_open_) return;
  WriteRaw(kSpacer);
  WriteRaw("****** Ending current session ******\n\n");
  session_open_ = false;
  file_.reset();
}

void InstallLog::WriteMessage(const std::string& message, const char* ending) {
  if (!file_) return;
  WriteRaw(TimePrefix() + "  " + comsupport::EscapeLogText(message) + ending);
}

void InstallLog::WriteRaw(const std::string& text) {
  std::fputs(text.c_str(), file_.get());
  std::fflush(file_.get());
}

}  // namespace enroller
