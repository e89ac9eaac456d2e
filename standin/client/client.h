// The state of one stand-in client process: the model, the journal, the handlers and the
// type libraries, behind one lock. Every COM object of the process holds a reference to it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "call_journal.h"
#include "comsupport/com_ptr.h"
#include "comsupport/critical_section.h"
#include "model.h"
#include "notifier.h"

namespace standin {

struct ExtensionRecord {
  std::string clsid;
  HRESULT created = E_FAIL;
  HRESULT started = E_FAIL;
  comsupport::ComPtr<IClientExt> extension;
};

class Client {
 public:
  // window: the main thread's message window, which answers the messages below.
  Client(HWND window, std::string program_directory);

  comsupport::CriticalSection& lock() { return lock_; }
  Model& model() { return model_; }
  CallJournal& journal() { return journal_; }
  Notifier& notifier() { return notifier_; }
  std::vector<ExtensionRecord>& extensions() { return extensions_; }
  const std::string& program_directory() const { return program_directory_; }

  // The client's type library, and the control interface's, from this program's resources.
  HRESULT ClientTypeLibrary(ITypeLib** library);
  HRESULT ControlTypeLibrary(ITypeLib** library);

  // Replaces the model with a fixture's; throws std::runtime_error naming the fault.
  void LoadFixture(const std::string& json_text);

  // Runs queued notifications now (call without the lock), or asks the main thread to.
  void DeliverQueued();
  void ScheduleDelivery();
  // The messages the main thread answers with DeliverQueued and with the end of the process.
  static const UINT kDeliverMessage = WM_APP + 1;
  static const UINT kShutdownMessage = WM_APP + 2;
  static const UINT kStartExtensionsMessage = WM_APP + 3;

  // The client's shutdown: tell application handlers, release extensions, end the loop.
  void BeginShutdown();
  bool shutting_down() const { return shutting_down_; }

 private:
  comsupport::CriticalSection lock_;
  Model model_;
  CallJournal journal_;
  Notifier notifier_;
  std::vector<ExtensionRecord> extensions_;
  std::string program_directory_;
  HWND window_;
  bool shutting_down_ = false;
};

}  // namespace standin
