#include "download_dialog.h"

#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "comsupport/boundary.h"
#include "download_messages.h"
#include "initial_status.h"
#include "install_phase.h"
#include "message_box.h"
#include "payload.h"
#include "resource.h"
#include "safe_name.h"
#include "settings_file.h"
#include "startup_shortcut.h"
#include "text_list.h"

namespace installer {

namespace {

constexpr UINT kStart = WM_APP + 1;
constexpr UINT kContinue = WM_APP + 2;
constexpr UINT kInstall = WM_APP + 3;

INT_PTR CALLBACK SettingsProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* settings = reinterpret_cast<HttpSettings*>(::GetWindowLongPtrA(window, DWLP_USER));
  auto text = [&](int id) {
    char buffer[261] = {};
    ::GetDlgItemTextA(window, id, buffer, sizeof buffer);
    return std::string(buffer);
  };
  switch (message) {
    case WM_INITDIALOG:
      settings = reinterpret_cast<HttpSettings*>(lparam);
      ::SetWindowLongPtrA(window, DWLP_USER, lparam);
      ::SetDlgItemTextA(window, IDC_SERVER, settings->server.c_str());
      ::SetDlgItemTextA(window, IDC_SERVER_USER, settings->user.c_str());
      ::SetDlgItemTextA(window, IDC_SERVER_PASSWORD, settings->password.c_str());
      ::SetDlgItemTextA(window, IDC_PROXY, settings->proxy.host.c_str());
      if (settings->proxy.used()) ::SetDlgItemInt(window, IDC_PROXY_PORT, settings->proxy.port, FALSE);
      ::SetDlgItemTextA(window, IDC_PROXY_USER, settings->proxy.user.c_str());
      ::SetDlgItemTextA(window, IDC_PROXY_PASSWORD, settings->proxy.password.c_str());
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        settings->server = text(IDC_SERVER);
        settings->user = text(IDC_SERVER_USER);
        settings->password = text(IDC_SERVER_PASSWORD);
        settings->proxy.host = text(IDC_PROXY);
        settings->proxy.port = std::atoi(text(IDC_PROXY_PORT).c_str());
        if (settings->proxy.port <= 0) settings->proxy.port = 80;
        settings->proxy.user = text(IDC_PROXY_USER);
        settings->proxy.password = text(IDC_PROXY_PASSWORD);
        ::EndDialog(window, IDOK);
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        ::EndDialog(window, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

DownloadDialog::DownloadDialog(InstallerContext& context)
    : context_(context), descriptions_(DirectoryOf(context.installer_path)) {}

DownloadDialog::~DownloadDialog() { StopTransfers(); }

std::string DownloadDialog::String(UINT id) const {
  char text[1024] = {};
  ::LoadStringA(::GetModuleHandleA(nullptr), id, text, sizeof text);
  return text;
}

bool DownloadDialog::ReadDescriptionsAndPayload() {
  if (!context_.options.inf_path.empty()) {
    descriptions_.Read(context_.options.inf_path, context_.work_directory);
    return true;
  }
  std::string error;
  bool extracted = ExtractPayload(context_.installer_path, context_.work_directory,
                                  [&](const std::string& path) {
                                    if (EndsWithNoCase(path, ".inf")) descriptions_.Read(path, context_.work_directory);
                                  },
                                  &error);
  if (!extracted) {
    std::string line = "installer: " + error + "\n";
    ::OutputDebugStringA(line.c_str());
    ShowError(String(IDS_EXTRACT_ERROR), String(IDS_EXTRACT_CAPTION));
  }
  return extracted;
}

DialogEnd DownloadDialog::Run() {
  if (!ReadDescriptionsAndPayload()) return DialogEnd::kCancelled;
  descriptions_.SortByDisplayOrder();
  for (Component& component : descriptions_.components()) component.status = InitialStatus(descriptions_, component);
  context_.allow_intervention = descriptions_.allow_intervention();
  context_.save_proxy_settings = context_.options.save_proxy_settings || descriptions_.save_proxy_settings();
  context_.network_needed = descriptions_.network_needed();

  if (context_.network_needed) {
    // A copy in the work directory survives the user deleting the original; the Startup
    // shortcut resumes from it after the next log-on.
    std::string copy = JoinPath(context_.work_directory, "installer.exe");
    if (!EqualsNoCase(copy, context_.installer_path)) ::CopyFileA(context_.installer_path.c_str(), copy.c_str(), FALSE);
    std::string arguments = " /NoIntervention";
    if (context_.save_proxy_settings) arguments += " /SaveProxySettings";
    CreateStartupShortcut(copy, arguments);
  }

  install_now_ = ReadSetting("download", "complete") == "1";
  if (install_now_) {
    WriteSetting("download", "complete", "0");
  } else if (context_.network_needed && !context_.resumed && context_.allow_intervention) {
    if (RunSimpleDialog(IDD_WELCOME, nullptr) != IDOK)
      return DialogEnd::kQuit;
  }
  UINT template_id = context_.resumed ? IDD_RESUME_DOWNLOAD : IDD_DOWNLOAD;
  ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(template_id), nullptr, &DownloadDialog::DialogProc,
                    reinterpret_cast<LPARAM>(this));
  return end_;
}

INT_PTR CALLBACK DownloadDialog::DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DownloadDialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<DownloadDialog*>(lparam);
    self->window_ = window;
    ::SetWindowLongPtrA(window, DWLP_USER, lparam);
  } else {
    self = reinterpret_cast<DownloadDialog*>(::GetWindowLongPtrA(window, DWLP_USER));
  }
  if (!self) return FALSE;
  return comsupport::Boundary("download dialog", INT_PTR{FALSE}, [&] { return self->Handle(message, wparam, lparam); });
}

INT_PTR DownloadDialog::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  const DownloadMessages& messages = Messages();
  if (message == messages.connected) {
    OnConnected(wparam);
    return TRUE;
  }
  if (message == messages.started) {
    OnStarted(wparam, lparam);
    return TRUE;
  }
  if (message == messages.progress) {
    OnProgress(lparam);
    return TRUE;
  }
  if (message == messages.file_done) {
    // The HTTP thread is inside SendMessage: finish the file once it has let go.
    ::PostMessageA(window_, kContinue, wparam, 0);
    return TRUE;
  }
  if (message == messages.all_done) {
    OnAllDone(wparam);
    return TRUE;
  }
  switch (message) {
    case WM_INITDIALOG:
      OnInit();
      return TRUE;
    case kStart:
      OnStart();
      return TRUE;
    case kContinue:
      OnFileDone(wparam);
      return TRUE;
    case kInstall:
      End(RunInstallPhase(*this, context_, network_download_, proxy_recorded_, proxy_used_));
      return TRUE;
    case kAskHttpSettings:
      ::SetWindowLongPtrA(window_, DWLP_MSGRESULT, AskHttpSettings(reinterpret_cast<HttpSettings*>(lparam)));
      return TRUE;
    case WM_QUERYENDSESSION:
      OnQueryEndSession();
      ::SetWindowLongPtrA(window_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDC_QUIT:
        case IDCANCEL:
          OnQuit();
          return TRUE;
        case IDC_SUSPEND:
          OnSuspend();
          return TRUE;
      }
      break;
    case WM_CLOSE:
      OnQuit();
      return TRUE;
  }
  return FALSE;
}

void DownloadDialog::OnInit() {
  ftp_ = std::make_unique<FtpClient>(window_);
  HWND list = ::GetDlgItem(window_, IDC_COMPONENT_LIST);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  const char* titles[] = {"Component", "Size", "Status"};
  const int widths[] = {220, 70, 150};
  for (int column = 0; column < 3; ++column) {
    LVCOLUMNA item = {};
    item.mask = LVCF_TEXT | LVCF_WIDTH;
    item.pszText = const_cast<char*>(titles[column]);
    item.cx = widths[column];
    ::SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&item));
  }
  FillList();
  if (!context_.allow_intervention) {
    // Without intervention the buttons go, and the dialog ends above them.
    for (int id : {IDC_QUIT, IDC_SUSPEND}) {
      ::EnableWindow(::GetDlgItem(window_, id), FALSE);
      ::ShowWindow(::GetDlgItem(window_, id), SW_HIDE);
    }
    RECT button = {}, frame = {};
    ::GetWindowRect(::GetDlgItem(window_, IDC_QUIT), &button);
    ::GetWindowRect(window_, &frame);
    ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, button.top - frame.top, SWP_NOMOVE | SWP_NOZORDER);
    ::EnableMenuItem(::GetSystemMenu(window_, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  }
  ::PostMessageA(window_, kStart, 0, 0);
}

void DownloadDialog::FillList() {
  HWND list = ::GetDlgItem(window_, IDC_COMPONENT_LIST);
  const auto& components = descriptions_.components();
  for (size_t index = 0; index < components.size(); ++index) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(index);
    item.pszText = const_cast<char*>(components[index].name.c_str());
    item.lParam = static_cast<LPARAM>(index);
    int row = static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    std::string size = components[index].size_kb ? Format("%dKB", components[index].size_kb) : "";
    item = {};
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(size.c_str());
    ::SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    SetComponentStatus(index, components[index].status);
  }
}

void DownloadDialog::SetComponentStatus(size_t index, int status) {
  descriptions_.components()[index].status = status;
  HWND list = ::GetDlgItem(window_, IDC_COMPONENT_LIST);
  LVFINDINFOA find = {};
  find.flags = LVFI_PARAM;
  find.lParam = static_cast<LPARAM>(index);
  int row = static_cast<int>(::SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
  if (row < 0) return;
  std::string text = String(IDS_STATUS_BASE + status);
  LVITEMA item = {};
  item.iSubItem = 2;
  item.pszText = const_cast<char*>(text.c_str());
  ::SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

void DownloadDialog::SetStatusLine(const std::string& text) { ::SetDlgItemTextA(window_, IDC_STATUS, text.c_str()); }

void DownloadDialog::FillProgress() {
  HWND progress = ::GetDlgItem(window_, IDC_PROGRESS);
  ::SendMessageA(progress, PBM_SETRANGE32, 0, 100);
  ::SendMessageA(progress, PBM_SETPOS, 100, 0);
}

void DownloadDialog::OnStart() {
  if (install_now_) {
    ::PostMessageA(window_, kInstall, 0, 0);
    return;
  }
  NextDownload();
}

void DownloadDialog::NextDownload() {
  auto& components = descriptions_.components();
  for (;;) {
    if (context_.quit) return;
    if (current_ < 0 || files_.empty()) {
      if (current_ >= 0 && components[current_].status == kDownloading) SetComponentStatus(current_, kDownloaded);
      // Step 1: the next component still to be fetched.
      int next = -1;
      for (size_t index = 0; index < components.size(); ++index) {
        if (components[index].status == kNeedDownload) {
          next = static_cast<int>(index);
          break;
        }
      }
      if (next < 0) {
        ::PostMessageA(window_, Messages().all_done, 0, 0);
        return;
      }
      current_ = next;
      Component& component = components[current_];
      files_ = SplitList(descriptions_.Value(component, "files", "", 300));
      site_ = descriptions_.Value(component, "site", "", 80);
      if (site_.empty() && (component.protocol == kFtp || component.protocol == kHttp)) {
        SetComponentStatus(current_, kDownloadError);
        files_.clear();
        continue;
      }
      server_folder_ = descriptions_.Value(component, "sourceDir", "", 260);
      SetComponentStatus(current_, kDownloading);
      if (files_.empty()) continue;
    }
    // Step 2: the next file that is not there yet.
    current_file_ = files_.front();
    files_.erase(files_.begin());
    Component& component = components[current_];
    if (!IsSafeRelativeName(current_file_)) {
      FailComponent(Format(String(IDS_RECEIVE_ERROR).c_str(), current_file_.c_str(), site_.c_str()));
      return;
    }
    if (FileExists(JoinPath(component.source_directory, current_file_))) continue;
    if (component.protocol != kFtp && component.protocol != kHttp) {
      // Files that should have come with the installer are missing.
      SetComponentStatus(current_, kDownloadError);
      ::PostMessageA(window_, Messages().all_done, 1, 0);
      return;
    }
    network_download_ = true;
    // Step 3: connect when the site changes.
    if (component.protocol == kFtp && site_ != connected_site_) {
      ftp_->SetLogin(descriptions_.Value(component, "user", "", 80), descriptions_.Value(component, "password", "", 80));
      SetStatusLine(Format(String(IDS_CONNECTING).c_str(), site_.c_str()));
      connected_site_.clear();
      if (!ftp_->Connect(site_)) OnConnected(1);
      return;
    }
    if (component.protocol == kHttp && site_ != connected_site_) {
      SetStatusLine(Format(String(IDS_CONNECTING).c_str(), site_.c_str()));
    }
    StartTransfer();
    return;
  }
}

void DownloadDialog::StartTransfer() {
  Component& component = descriptions_.components()[current_];
  if (component.protocol == kHttp && site_ != connected_site_) {
    // The HTTP thread reports "dl1" once "pkginfo.txt" came; the status line follows then.
  } else {
    SetStatusLine(Format(String(IDS_DOWNLOADING_FILE).c_str(), current_file_.c_str()));
  }
  std::string target = JoinPath(component.source_directory, "tmp.tmp");
  ::DeleteFileA(target.c_str());
  expected_size_ = 0;
  HWND progress = ::GetDlgItem(window_, IDC_PROGRESS);
  ::SendMessageA(progress, PBM_SETPOS, 0, 0);
  if (component.protocol == kFtp) {
    std::string remote = server_folder_ + "/" + current_file_;
    for (char& c : remote) {
      if (c == '\\') c = '/';
    }
    if (!ftp_->GetFile(remote, target)) OnFileDone(1);
    return;
  }
  HttpJob job;
  job.dialog = window_;
  job.settings.server = site_;
  job.settings.user = descriptions_.Value(component, "user", "", 80);
  job.settings.password = descriptions_.Value(component, "password", "", 80);
  job.settings.proxy.host = descriptions_.Value(component, "proxy", "", 80);
  std::string port = descriptions_.Value(component, "port", "", 80);
  job.settings.proxy.port = port.empty() ? 80 : std::atoi(port.c_str());
  job.settings.proxy.user = descriptions_.Value(component, "proxyuser", "", 80);
  job.settings.proxy.password = descriptions_.Value(component, "proxypassword", "", 80);
  job.server_folder = server_folder_;
  for (char& c : job.server_folder) {
    if (c == '\\') c = '/';
  }
  if (job.server_folder.empty() || job.server_folder[0] != '/') job.server_folder.insert(0, "/");
  if (job.server_folder.back() != '/') job.server_folder += '/';
  job.work_directory = context_.work_directory;
  job.target_path = target;
  job.may_ask_user = context_.allow_intervention;
  if (http_) http_->Join();
  http_ = std::make_unique<IAD_HTTPClient>();
  if (!http_->Start(job)) OnConnected(1);
}

void DownloadDialog::OnConnected(WPARAM failed) {
  if (failed) {
    connected_site_.clear();
    FailComponent(Format(String(IDS_UNABLE_TO_CONNECT).c_str(), site_.c_str()));
    return;
  }
  bool was_connected = site_ == connected_site_;
  connected_site_ = site_;
  Component& component = descriptions_.components()[current_];
  if (component.protocol == kFtp) {
    StartTransfer();
  } else if (!was_connected) {
    SetStatusLine(Format(String(IDS_DOWNLOADING_FILE).c_str(), current_file_.c_str()));
  }
  if (component.protocol == kHttp) RecordProxyUsed();
}

void DownloadDialog::RecordProxyUsed() {
  if (!http_) return;
  proxy_used_ = http_->proxy_used();
  proxy_recorded_ = true;
}

void DownloadDialog::OnStarted(WPARAM failed, LPARAM size) {
  if (failed) {
    FailComponent(Format(String(IDS_RECEIVE_ERROR).c_str(), current_file_.c_str(), site_.c_str()));
    return;
  }
  expected_size_ = size;
  HWND progress = ::GetDlgItem(window_, IDC_PROGRESS);
  ::SendMessageA(progress, PBM_SETRANGE32, 0, static_cast<LPARAM>((size + 1023) / 1024));
  ::SendMessageA(progress, PBM_SETPOS, 0, 0);
}

void DownloadDialog::OnProgress(LPARAM received) {
  SetStatusLine(Format(String(IDS_DOWNLOADING_PROGRESS).c_str(), current_file_.c_str(),
                       static_cast<int>((received + 511) / 1024), static_cast<int>((expected_size_ + 511) / 1024)));
  ::SendDlgItemMessageA(window_, IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(received / 1024), 0);
}

void DownloadDialog::OnFileDone(WPARAM result) {
  if (http_) http_->Join();
  Component& component = descriptions_.components()[current_];
  std::string temporary = JoinPath(component.source_directory, "tmp.tmp");
  if (result != 0) {
    ::DeleteFileA(temporary.c_str());
    if (result == kFileDoneDiskFull) {
      std::string text = String(IDS_OUT_OF_DISK);
      size_t at = text.find("%1");
      if (at != std::string::npos) text.replace(at, 2, current_file_);
      FailComponent(text);
    } else {
      FailComponent(Format(String(IDS_RECEIVE_ERROR).c_str(), current_file_.c_str(), site_.c_str()));
    }
    return;
  }
  std::string destination = JoinPath(component.source_directory, current_file_);
  if (!CreateDirectories(DirectoryOf(destination)) ||
      !::MoveFileExA(temporary.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
    ::DeleteFileA(temporary.c_str());
    SetComponentStatus(current_, kDownloadError);
    ::PostMessageA(window_, Messages().all_done, 1, 0);
    return;
  }
  NextDownload();
}

void DownloadDialog::FailComponent(const std::string& status_line) {
  SetStatusLine(status_line);
  SetComponentStatus(current_, kDownloadError);
  files_.clear();
  ::PostMessageA(window_, Messages().all_done, 1, 0);
}

void DownloadDialog::OnAllDone(WPARAM) {
  bool complete = true;
  for (const Component& component : descriptions_.components()) {
    if (component.status != kAlreadyInstalled && component.status != kDownloaded) complete = false;
  }
  if (complete) {
    ::PostMessageA(window_, kInstall, 0, 0);
    return;
  }
  ShowError(String(context_.network_needed ? IDS_DOWNLOAD_FAILED : IDS_FILES_MISSING), String(IDS_CAPTION), window_);
  End(DialogEnd::kCancelled);
}

void DownloadDialog::OnQuit() {
  if (!context_.allow_intervention) return;
  if (http_) http_->Suspend(true);
  int answer = ShowBox(String(IDS_CONFIRM_QUIT), String(IDS_CAPTION), MB_YESNO | MB_ICONWARNING, window_);
  if (answer != IDYES) {
    if (http_) http_->Suspend(false);
    return;
  }
  End(DialogEnd::kQuit);
}

void DownloadDialog::OnSuspend() {
  if (!context_.allow_intervention) return;
  if (http_) http_->Suspend(true);
  End(DialogEnd::kSuspended);
}

void DownloadDialog::OnQueryEndSession() {
  if (context_.session_end_event) ::SetEvent(context_.session_end_event.get());
  ::Sleep(1000);
  context_.quit = true;
  context_.session_ending = true;
  End(DialogEnd::kSuspended);
}

INT_PTR DownloadDialog::AskHttpSettings(HttpSettings* settings) {
  return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_HTTP_SETTINGS), window_, &SettingsProc,
                           reinterpret_cast<LPARAM>(settings));
}

void DownloadDialog::StopTransfers() {
  if (http_) {
    http_->Abort();
    http_->Join();
  }
  if (ftp_) ftp_->Abort();
}

void DownloadDialog::End(DialogEnd end) {
  end_ = end;
  StopTransfers();
  if (current_ >= 0) {
    std::string temporary = JoinPath(descriptions_.components()[current_].source_directory, "tmp.tmp");
    ::DeleteFileA(temporary.c_str());
  }
  ::EndDialog(window_, 0);
}

}  // namespace installer
