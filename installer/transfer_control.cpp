#include "transfer_control.h"

#include <cstdlib>

namespace installer {

DWORD NetworkTimeout() {
  char value[32] = {};
  if (::GetEnvironmentVariableA("INSTALLER_NET_TIMEOUT_MS", value, sizeof value) > 0) {
    DWORD ms = std::strtoul(value, nullptr, 10);
    if (ms >= 100) return ms;
  }
  return 30000;
}

}  // namespace installer
