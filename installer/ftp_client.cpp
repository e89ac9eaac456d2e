#include "ftp_client.h"

#include <cstdio>
#include <cstring>
#include <cstdlib>

#include "comsupport/boundary.h"
#include "download_messages.h"
#include "text_list.h"
#include "transfer_control.h"

namespace installer {

namespace {

const char kWindowClass[] = "Downloader";
constexpr size_t kMaxReplyBytes = 1024;
constexpr char kAnonymousPassword[] = "installer@zorvane.example";

}  // namespace

FtpClient::FtpClient(HWND dialog) : dialog_(dialog) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = &FtpClient::WindowProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = kWindowClass;
  ::RegisterClassA(&window_class);
  window_.reset(::CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this));
}

FtpClient::~FtpClient() {
  Abort();
  window_.reset();
}

void FtpClient::SetLogin(const std::string& user, const std::string& password) {
  user_ = user;
  password_ = password;
}

LRESULT CALLBACK FtpClient::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    ::SetWindowLongPtrA(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams));
  }
  auto* self = reinterpret_cast<FtpClient*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  // Socket events come as registered messages; everything else is the window's own business.
  if (!self || (message < 0xC000 && message != WM_TIMER)) return ::DefWindowProcA(window, message, wparam, lparam);
  return comsupport::Boundary("FTP client", LRESULT{0}, [&] { return self->Handle(message, wparam, lparam); });
}

LRESULT FtpClient::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  const DownloadMessages& messages = Messages();
  if (message == WM_TIMER) {
    OnSilence();
    return 0;
  }
  // Any event restarts the watch for a server that has gone silent.
  if (state_ != NOT_CONNECTED && state_ != CONNECTED) Watch();
  if (message == messages.resolved) {
    OnResolved(wparam, lparam);
  } else if (message == messages.ftp_control) {
    if (static_cast<SOCKET>(wparam) == control_) OnControl(lparam);
  } else if (message == messages.ftp_listen) {
    if (static_cast<SOCKET>(wparam) == listen_) OnListen(lparam);
  } else if (message == messages.ftp_data) {
    if (static_cast<SOCKET>(wparam) == data_) OnData(lparam);
  } else {
    return ::DefWindowProcA(window_.get(), message, wparam, lparam);
  }
  return 0;
}

void FtpClient::Watch() { ::SetTimer(window_.get(), 1, NetworkTimeout(), nullptr); }

void FtpClient::OnSilence() {
  ::KillTimer(window_.get(), 1);
  if (state_ == NOT_CONNECTED || state_ == CONNECTED) return;
  if (state_ < CONNECTED) FailConnect();
  else FailFile();
}

void FtpClient::CloseSocket(SOCKET* socket) {
  if (*socket != INVALID_SOCKET) {
    ::WSAAsyncSelect(*socket, window_.get(), 0, 0);
    ::closesocket(*socket);
    *socket = INVALID_SOCKET;
  }
}

void FtpClient::CloseTransfer() {
  CloseSocket(&data_);
  CloseSocket(&listen_);
  file_.reset();
}

void FtpClient::Abort() {
  if (lookup_) {
    ::WSACancelAsyncRequest(lookup_);
    lookup_ = nullptr;
  }
  CloseTransfer();
  CloseSocket(&control_);
  state_ = NOT_CONNECTED;
}

bool FtpClient::Connect(const std::string& site) {
  Abort();
  site_ = site;
  line_buffer_.clear();
  reply_.clear();
  state_ = RESOLVING_NAME;
  Watch();
  lookup_ = ::WSAAsyncGetHostByName(window_.get(), Messages().resolved, site.c_str(), host_entry_, sizeof host_entry_);
  if (!lookup_) {
    state_ = NOT_CONNECTED;
    return false;
  }
  return true;
}

void FtpClient::FailConnect() {
  Abort();
  ::PostMessageA(dialog_, Messages().connected, 1, 0);
}

void FtpClient::FailFile(WPARAM code) {
  CloseTransfer();
  // The control connection may be out of step after a failure: the next file reconnects.
  CloseSocket(&control_);
  state_ = NOT_CONNECTED;
  ::PostMessageA(dialog_, Messages().file_done, code, 0);
}

void FtpClient::OnResolved(WPARAM, LPARAM lparam) {
  lookup_ = nullptr;
  if (state_ != RESOLVING_NAME) return;
  if (WSAGETASYNCERROR(lparam) != 0) {
    FailConnect();
    return;
  }
  const hostent* entry = reinterpret_cast<const hostent*>(host_entry_);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = ::htons(21);
  std::memcpy(&address.sin_addr, entry->h_addr_list[0], sizeof address.sin_addr);
  control_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (control_ == INVALID_SOCKET ||
      ::WSAAsyncSelect(control_, window_.get(), Messages().ftp_control, FD_CONNECT | FD_READ | FD_CLOSE) != 0) {
    FailConnect();
    return;
  }
  state_ = CONNECTING;
  if (::connect(control_, reinterpret_cast<sockaddr*>(&address), sizeof address) == SOCKET_ERROR &&
      ::WSAGetLastError() != WSAEWOULDBLOCK)
    FailConnect();
}

void FtpClient::Send(const std::string& command) {
  // Commands are short; a blocking-style loop over a nonblocking socket is enough.
  for (size_t sent = 0; sent < command.size();) {
    int count = ::send(control_, command.data() + sent, static_cast<int>(command.size() - sent), 0);
    if (count == SOCKET_ERROR) {
      if (::WSAGetLastError() == WSAEWOULDBLOCK) {
        ::Sleep(10);
        continue;
      }
      return;
    }
    sent += count;
  }
}

void FtpClient::OnControl(LPARAM lparam) {
  int event = WSAGETSELECTEVENT(lparam);
  int error = WSAGETSELECTERROR(lparam);
  if (event == FD_CONNECT) {
    if (error != 0) FailConnect();
    else state_ = SEND_USER;  // the greeting comes next
    return;
  }
  if (event == FD_CLOSE && state_ < CONNECTED) {
    FailConnect();
    return;
  }
  char buffer[1024];
  for (;;) {
    int count = ::recv(control_, buffer, sizeof buffer, 0);
    if (count <= 0) break;
    for (int at = 0; at < count; ++at) {
      line_buffer_ += buffer[at];
      if (buffer[at] != '\n') {
        if (line_buffer_.size() > kMaxReplyBytes) {
          state_ < CONNECTED ? FailConnect() : FailFile();
          return;
        }
        continue;
      }
      std::string line = line_buffer_;
      line_buffer_.clear();
      reply_ += line;
      if (reply_.size() > 16 * kMaxReplyBytes) {
        state_ < CONNECTED ? FailConnect() : FailFile();
        return;
      }
      // A reply ends at a line whose fourth character is not "-".
      if (line.size() >= 4 && line[3] != '-' && line[0] >= '1' && line[0] <= '5') {
        std::string reply = line;
        reply_.clear();
        OnReply(reply);
        if (control_ == INVALID_SOCKET) return;
      }
    }
  }
  if (event == FD_CLOSE && control_ != INVALID_SOCKET && state_ != CONNECTED) {
    if (state_ < CONNECTED) FailConnect();
    else FailFile();
  }
}

void FtpClient::OnReply(const std::string& reply) {
  const char kind = reply[0];
  switch (state_) {
    case SEND_USER:
      if (kind == '1') return;
      if (kind != '2') return FailConnect();
      Send("USER " + (user_.empty() ? std::string("anonymous") : user_) + "\r\n");
      state_ = SEND_PASSWORD;
      return;
    case SEND_PASSWORD:
      if (kind == '1') return;
      if (kind == '3') {
        Send("PASS " + (user_.empty() ? std::string(kAnonymousPassword) : password_) + "\r\n");
        state_ = SEND_BIN;
        return;
      }
      if (kind != '2') return FailConnect();
      Send("TYPE I\r\n");
      state_ = INIT_DONE;
      return;
    case SEND_BIN:
      if (kind == '1') return;
      if (kind != '2') return FailConnect();
      Send("TYPE I\r\n");
      state_ = INIT_DONE;
      return;
    case INIT_DONE:
      if (kind == '1') return;
      if (kind != '2') return FailConnect();
      state_ = CONNECTED;
      ::PostMessageA(dialog_, Messages().connected, 0, 0);
      return;
    case CHECK_DATA_PORT:
      if (kind == '2') {
        StartDataConnection(reply);
      } else {
        ListenForData();
      }
      return;
    case SEND_GET:
      if (kind == '1') return;
      if (kind != '2') return FailFile();
      Send("RETR " + remote_ + "\r\n");
      state_ = GET_SIZE;
      return;
    case GET_SIZE: {
      if (kind != '1') return FailFile();
      // The last group of digits is the size, as in "(1234 bytes)".
      size_t end = reply.find_last_of("0123456789");
      expected_size_ = -1;
      if (end != std::string::npos && end > 3) {
        size_t start = reply.find_last_not_of("0123456789", end);
        start = start == std::string::npos ? 0 : start + 1;
        if (start > 3) expected_size_ = std::atoll(reply.substr(start, end - start + 1).c_str());
      }
      state_ = XFER;
      ::PostMessageA(dialog_, Messages().started, 0, static_cast<LPARAM>(expected_size_ < 0 ? 0 : expected_size_));
      FinishIfDone();
      return;
    }
    case XFER:
      if (kind == '1') return;
      if (kind != '2') return FailFile();
      transfer_reply_ = true;
      FinishIfDone();
      return;
    default:
      return;
  }
}

bool FtpClient::GetFile(const std::string& remote, const std::string& local) {
  if (state_ != CONNECTED) return false;
  remote_ = remote;
  local_ = local;
  CreateDirectories(DirectoryOf(local));
  file_.reset(::CreateFileA(local.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) return false;
  expected_size_ = -1;
  received_ = 0;
  data_closed_ = false;
  transfer_reply_ = false;
  data_connected_ = false;
  state_ = CHECK_DATA_PORT;
  Watch();
  Send("PASV\r\n");
  return true;
}

void FtpClient::StartDataConnection(const std::string& reply) {
  size_t open = reply.find('(');
  int numbers[6] = {};
  if (open == std::string::npos ||
      std::sscanf(reply.c_str() + open + 1, "%d,%d,%d,%d,%d,%d", &numbers[0], &numbers[1], &numbers[2], &numbers[3],
                  &numbers[4], &numbers[5]) != 6) {
    ListenForData();
    return;
  }
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = ::htonl((numbers[0] << 24) | (numbers[1] << 16) | (numbers[2] << 8) | numbers[3]);
  address.sin_port = ::htons(static_cast<u_short>(numbers[4] * 256 + numbers[5]));
  data_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (data_ == INVALID_SOCKET ||
      ::WSAAsyncSelect(data_, window_.get(), Messages().ftp_data, FD_CONNECT | FD_READ | FD_CLOSE) != 0)
    return FailFile();
  if (::connect(data_, reinterpret_cast<sockaddr*>(&address), sizeof address) == SOCKET_ERROR &&
      ::WSAGetLastError() != WSAEWOULDBLOCK)
    return FailFile();
  // The passive reply is the go-ahead: ask for the file at once.
  Send("RETR " + remote_ + "\r\n");
  state_ = GET_SIZE;
}

void FtpClient::ListenForData() {
  sockaddr_in local = {};
  int length = sizeof local;
  if (::getsockname(control_, reinterpret_cast<sockaddr*>(&local), &length) != 0) return FailFile();
  listen_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in any = local;
  any.sin_port = 0;
  if (listen_ == INVALID_SOCKET || ::bind(listen_, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0 ||
      ::listen(listen_, 1) != 0 || ::WSAAsyncSelect(listen_, window_.get(), Messages().ftp_listen, FD_ACCEPT) != 0)
    return FailFile();
  sockaddr_in bound = {};
  length = sizeof bound;
  ::getsockname(listen_, reinterpret_cast<sockaddr*>(&bound), &length);
  const unsigned char* a = reinterpret_cast<const unsigned char*>(&local.sin_addr);
  unsigned port = ::ntohs(bound.sin_port);
  char command[96];
  std::snprintf(command, sizeof command, "PORT %d,%d,%d,%d,%d,%d\r\n", a[0], a[1], a[2], a[3], port >> 8, port & 0xFF);
  state_ = SEND_GET;
  Send(command);
}

void FtpClient::OnListen(LPARAM lparam) {
  if (WSAGETSELECTEVENT(lparam) != FD_ACCEPT) return;
  SOCKET accepted = ::accept(listen_, nullptr, nullptr);
  CloseSocket(&listen_);
  if (accepted == INVALID_SOCKET) return FailFile();
  data_ = accepted;
  data_connected_ = true;
  if (::WSAAsyncSelect(data_, window_.get(), Messages().ftp_data, FD_READ | FD_CLOSE) != 0) return FailFile();
}

void FtpClient::ReadData() {
  char buffer[8192];
  for (;;) {
    int count = ::recv(data_, buffer, sizeof buffer, 0);
    if (count <= 0) return;
    DWORD written = 0;
    if (!::WriteFile(file_.get(), buffer, count, &written, nullptr) || written != static_cast<DWORD>(count)) {
      DWORD error = ::GetLastError();
      FailFile(error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? kFileDoneDiskFull : 1);
      return;
    }
    received_ += count;
    ::PostMessageA(dialog_, Messages().progress, 0, static_cast<LPARAM>(received_));
  }
}

void FtpClient::OnData(LPARAM lparam) {
  int event = WSAGETSELECTEVENT(lparam);
  if (event == FD_CONNECT) {
    if (WSAGETSELECTERROR(lparam) != 0) return FailFile();
    data_connected_ = true;
    return;
  }
  if (event == FD_READ) {
    ReadData();
    return;
  }
  if (event == FD_CLOSE) {
    if (data_ == INVALID_SOCKET) return;
    ReadData();
    if (data_ == INVALID_SOCKET) return;
    CloseSocket(&data_);
    data_closed_ = true;
    FinishIfDone();
  }
}

void FtpClient::FinishIfDone() {
  if (state_ != XFER || !data_closed_ || !transfer_reply_) return;
  file_.reset();
  state_ = CONNECTED;
  // A reset data connection looks like an orderly close: the announced size tells.
  if (expected_size_ >= 0 && received_ != expected_size_) {
    ::DeleteFileA(local_.c_str());
    FailFile();
    return;
  }
  ::PostMessageA(dialog_, Messages().file_done, 0, 0);
}

}  // namespace installer
