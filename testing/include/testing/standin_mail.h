// The mail system stand-in for one test: registered as the machine's default mail client (so
// that MAPI32.DLL hands it every MAPISendMail of the process), answering as the test says and
// journaling each message. The previous mail-client registration comes back at the end.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "testing/machine_state.h"
#include "testing/temp_dir.h"

namespace testing_support {

// One message as the stand-in received it. Texts are as the journal has them: control
// characters and backslashes written as \xNN.
struct MailedMessage {
  ULONG flags = 0;
  std::string owner;  // "enabled", "disabled", "none" or "not a window" while the call ran
  std::string subject;
  std::string body;
  std::vector<std::string> recipients;   // "to Name <address>", "cc ...", "from ..."
  std::vector<std::string> attachments;  // "path | display name"
};

class StandinMail {
 public:
  StandinMail();
  ~StandinMail();
  StandinMail(const StandinMail&) = delete;
  StandinMail& operator=(const StandinMail&) = delete;

  // What MAPISendMail returns from now on (SUCCESS_SUCCESS, MAPI_USER_ABORT, MAPI_E_FAILURE...).
  void Answer(ULONG result) const;
  std::vector<MailedMessage> Messages() const;

 private:
  RegistryRestore clients_{HKEY_LOCAL_MACHINE, "Software\\Clients\\Mail"};
  TempDir scratch_;
};

}  // namespace testing_support
