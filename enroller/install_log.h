// The installation log "c:\KelvaneInstall.log": appended to, one time-stamped line per
// message, flushed after each line. A log that cannot be opened swallows everything.
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
  // The time prefix, then text exactly as given (the caller supplies any line feed).
  void Write(const std::string& text);
  // A message ended by a line feed.
  void Line(const std::string& message) { Write(message + "\n"); }

 private:
  void WriteRaw(const std::string& text);

  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  bool session_open_ = false;
};

}  // namespace enroller
