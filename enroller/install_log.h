// The installation log "c:\KelvaneInstall.log": appended to, one time-stamped line per
// message, flushed after each line. A log that cannot be opened swallows everything.
// Messages carry names from the disk and the registry: their control characters are written
// as \xNN (two upper-case hex digits), and a backslash followed by "x" as \x5C, so no value
// can end a line or forge one, while ordinary paths stay as they are.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace enroller {

class InstallLog {
 public:
  explicit InstallLog(const std::string& path);
  InstallLog(const InstallLog&) = delete;
  InstallLog& operator=(const InstallLog&) = delete;
  // Writes the session's closing lines if the session was begun.
  ~InstallLog();

  bool is_open() const { return static_cast<bool>(file_); }
  // Spacer and the session header with the program's version.
  void BeginSession();
  // Spacer and the closing line; the file is closed afterwards.
  void EndSession();
  // The time prefix and the message, left open: the next message continues its line.
  void Write(const std::string& message) { WriteMessage(message, ""); }
  // The time prefix and the message, ended by a line feed.
  void Line(const std::string& message) { WriteMessage(message, "\n"); }

 private:
  // Every message goes out here, escaped; only the ending is written as it is.
  void WriteMessage(const std::string& message, const char* ending);
  void WriteRaw(const std::string& text);

  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  bool session_open_ = false;
};

}  // namespace enroller
