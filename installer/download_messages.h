// The registered window messages between the protocol clients and the download dialog, and
// the dialog's private requests.
#pragma once

#include <winsock2.h>
#include <windows.h>

namespace installer {

struct DownloadMessages {
  UINT connected;    // "dl1": wParam nonzero = failure
  UINT started;      // "dl2": lParam = size, or wParam nonzero = failure
  UINT progress;     // "dl3": lParam = bytes received
  UINT file_done;    // "dl4": wParam 0 = success, 5 = out of disk space
  UINT dl5;          // "dl5"
  UINT resolved;     // "dli1": asynchronous host look-up
  UINT ftp_control;  // "dlftp1"
  UINT ftp_listen;   // "dlftp2"
  UINT ftp_data;     // "dlftp3"
  UINT all_done;     // "dldone": wParam 0 = all done, 1 = stopped by an error
};

const DownloadMessages& Messages();

// Sent by an HTTP thread to the dialog: show "HTTP Settings" pre-filled from the HttpSettings
// at lParam; the result is IDOK or IDCANCEL.
constexpr UINT kAskHttpSettings = WM_APP + 20;

constexpr WPARAM kFileDoneDiskFull = 5;

}  // namespace installer
