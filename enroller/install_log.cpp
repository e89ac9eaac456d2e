#include "install_log.h"

#include <ctime>

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

std::string EscapeForLog(const std::string& message) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  escaped.reserve(message.size());
  for (size_t at = 0; at < message.size(); ++at) {
    const unsigned char c = static_cast<unsigned char>(message[at]);
    // A literal "\x" would read as an escape: its backslash is escaped too.
    const bool ambiguous = c == '\\' && at + 1 < message.size() && message[at + 1] == 'x';
    if (c < 0x20 || c == 0x7F || ambiguous) {
      escaped += "\\x";
      escaped += kHex[c >> 4];
      escaped += kHex[c & 0xF];
    } else {
      escaped += static_cast<char>(c);
    }
  }
  return escaped;
}

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
  WriteRaw(TimePrefix() + "  " + EscapeForLog(message) + ending);
}

void InstallLog::WriteRaw(const std::string& text) {
  std::fputs(text.c_str(), file_.get());
  std::fflush(file_.get());
}

}  // namespace enroller
