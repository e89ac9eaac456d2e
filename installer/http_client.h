// IAD_HTTPClient: one HTTP download on a thread of its own. It fetches "pkginfo.txt" from the
// component's server folder (trying the configured proxy, the browser's, none, then asking the
// user), then each part, reusing parts already present whose checksum matches, and assembles
// the file into the target. It talks to the dialog only by sent messages; the dialog steers it
// through the suspend and abort flags.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <memory>
#include <string>

#include "comsupport/unique_handle.h"
#include "http_get.h"
#include "transfer_control.h"

namespace installer {

struct HttpSettings {
  std::string server;  // host[:port]
  std::string user, password;
  Proxy proxy;
};

struct HttpJob {
  HWND dialog = nullptr;
  HttpSettings settings;  // from the description
  std::string server_folder;     // "sourceDir" with a "/" at its end
  std::string work_directory;    // where the parts go
  std::string target_path;       // "tmp.tmp"
  bool may_ask_user = true;      // the "HTTP Settings" dialog is allowed
};

class IAD_HTTPClient {
 public:
  IAD_HTTPClient() = default;
  ~IAD_HTTPClient();
  IAD_HTTPClient(const IAD_HTTPClient&) = delete;
  IAD_HTTPClient& operator=(const IAD_HTTPClient&) = delete;

  bool Start(const HttpJob& job);
  void Suspend(bool suspended) { control_.suspend = suspended; }
  void Abort() { control_.abort = true; }
  // Waits for the thread while pumping the caller's messages (the thread sends to it).
  void Join();
  // The proxy that served "pkginfo.txt" (empty host: none).
  Proxy proxy_used() const { return proxy_used_; }
  // The settings as finally used (after the "HTTP Settings" dialog, if it was shown).
  const HttpSettings& settings_used() const { return job_.settings; }
  const std::string& last_error() const { return last_error_; }

 private:
  static DWORD WINAPI ThreadMain(void* self);
  void Run();
  bool FetchPackageInfo(std::string* text);
  bool FetchParts(const std::string& info_text);
  Url Address(const std::string& file) const;
  void Report(UINT message, WPARAM wparam, LPARAM lparam);

  HttpJob job_;
  TransferControl control_;
  comsupport::UniqueHandle thread_;
  Proxy proxy_used_;
  std::string last_error_;
};

}  // namespace installer
