// The two flags through which the download dialog steers a transfer thread, and the time-out
// of every network wait.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>

namespace installer {

struct TransferControl {
  std::atomic<bool> suspend{false};
  std::atomic<bool> abort{false};
  DWORD timeout_ms = 30000;

  // Waits in steps of one second while suspended; false once aborted.
  bool Continue() const {
    while (suspend && !abort) ::Sleep(1000);
    return !abort;
  }
};

// The network time-out: 30 s, or INSTALLER_NET_TIMEOUT_MS from the environment (tests shorten it).
DWORD NetworkTimeout();

}  // namespace installer
