#include "download_messages.h"

namespace installer {

const DownloadMessages& Messages() {
  static const DownloadMessages messages = {
      ::RegisterWindowMessageA("dl1"),    ::RegisterWindowMessageA("dl2"),    ::RegisterWindowMessageA("dl3"),
      ::RegisterWindowMessageA("dl4"),    ::RegisterWindowMessageA("dl5"),    ::RegisterWindowMessageA("dli1"),
      ::RegisterWindowMessageA("dlftp1"), ::RegisterWindowMessageA("dlftp2"), ::RegisterWindowMessageA("dlftp3"),
      ::RegisterWindowMessageA("dldone"),
  };
  return messages;
}

}  // namespace installer
