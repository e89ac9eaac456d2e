// The FTP client: asynchronous sockets whose events arrive as window messages to a hidden
// window of class "Downloader" on the main thread. It logs in once per site, then fetches files
// in binary mode through PASV, or through PORT when the server refuses PASV. The dialog hears
// of it through "dl1" (connected), "dl2" (size), "dl3" (progress) and "dl4" (file done).
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>

#include "comsupport/unique_handle.h"

namespace installer {

class FtpClient {
 public:
  enum State {
    NOT_CONNECTED,
    RESOLVING_NAME,
    CONNECTING,
    SEND_USER,
    SEND_PASSWORD,
    SEND_BIN,
    INIT_DONE,
    CONNECTED,
    CHECK_DATA_PORT,
    SEND_GET,
    GET_SIZE,
    XFER,
  };

  explicit FtpClient(HWND dialog);
  ~FtpClient();
  FtpClient(const FtpClient&) = delete;
  FtpClient& operator=(const FtpClient&) = delete;

  void SetLogin(const std::string& user, const std::string& password);
  // Starts connecting to port 21 of site; false when it cannot even start.
  bool Connect(const std::string& site);
  // Starts fetching remote into local; false unless connected.
  bool GetFile(const std::string& remote, const std::string& local);
  void Abort();
  State state() const { return state_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void OnResolved(WPARAM wparam, LPARAM lparam);
  void OnControl(LPARAM lparam);
  void OnListen(LPARAM lparam);
  void OnData(LPARAM lparam);
  void OnReply(const std::string& reply);
  void Send(const std::string& command);
  void StartDataConnection(const std::string& reply);
  void ListenForData();
  void ReadData();
  void FinishIfDone();
  // A server silent for the network time-out in the middle of an exchange fails it.
  void Watch();
  void OnSilence();
  void FailConnect();
  void FailFile(WPARAM code = 1);
  void CloseSocket(SOCKET* socket);
  void CloseTransfer();

  HWND dialog_;
  comsupport::UniqueWindow window_;
  State state_ = NOT_CONNECTED;
  std::string user_, password_;
  std::string site_;
  char host_entry_[MAXGETHOSTSTRUCT] = {};
  HANDLE lookup_ = nullptr;
  SOCKET control_ = INVALID_SOCKET;
  SOCKET listen_ = INVALID_SOCKET;
  SOCKET data_ = INVALID_SOCKET;
  std::string line_buffer_;   // the reply being collected (bounded)
  std::string reply_;          // lines of a multi-line reply
  std::string remote_, local_;
  comsupport::UniqueHandle file_;
  long long expected_size_ = -1;
  long long received_ = 0;
  bool data_closed_ = false;
  bool transfer_reply_ = false;
  bool data_connected_ = false;
};

}  // namespace installer
