// The download dialog ("Downloading Software..." or "Resuming Download of Software..."): the
// component list, the status line and progress bar, Suspend and Quit. It reads the descriptions
// (and extracts the payload), runs the download loop one component and one file at a time
// through the FTP client or an HTTP thread, then hands over to the install phase.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "descriptions.h"
#include "ftp_client.h"
#include "http_client.h"
#include "installer_context.h"

namespace installer {

class DownloadDialog {
 public:
  explicit DownloadDialog(InstallerContext& context);
  ~DownloadDialog();
  DialogEnd Run();

  // Used by the install phase.
  HWND window() const { return window_; }
  void SetStatusLine(const std::string& text);
  void SetComponentStatus(size_t index, int status);
  Descriptions& descriptions() { return descriptions_; }
  void FillProgress();

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void OnInit();
  void OnStart();
  bool ReadDescriptionsAndPayload();
  void FillList();
  void NextDownload();
  void StartTransfer();
  void OnConnected(WPARAM failed);
  void OnStarted(WPARAM failed, LPARAM size);
  void OnProgress(LPARAM received);
  void OnFileDone(WPARAM result);
  void OnAllDone(WPARAM error);
  void FailComponent(const std::string& status_line);
  void OnQuit();
  void OnSuspend();
  void OnQueryEndSession();
  INT_PTR AskHttpSettings(HttpSettings* settings);
  void StopTransfers();
  void End(DialogEnd end);
  void RecordProxyUsed();
  std::string String(UINT id) const;

  InstallerContext& context_;
  Descriptions descriptions_;
  HWND window_ = nullptr;
  std::unique_ptr<FtpClient> ftp_;
  std::unique_ptr<IAD_HTTPClient> http_;

  // The download context: the component being fetched, its remaining files, the site
  // connected to, the file in transfer.
  int current_ = -1;
  std::vector<std::string> files_;
  std::string server_folder_;
  std::string site_;
  std::string connected_site_;
  std::string current_file_;
  long long expected_size_ = 0;
  bool proxy_recorded_ = false;
  Proxy proxy_used_;
  bool network_download_ = false;  // some transfer actually ran
  bool install_now_ = false;       // the last run finished downloading
  DialogEnd end_ = DialogEnd::kCancelled;
};

}  // namespace installer
