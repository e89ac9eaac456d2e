#include "testing/standin_client.h"

#include <stdexcept>

#include "comsupport/bstr.h"
#include "comsupport/com_error.h"
#include "testing/temp_dir.h"

namespace testing_support {

namespace {

std::string UniqueName(const char* what) {
  static LONG counter = 0;
  return std::string("Local\\HalvernStandin") + what + "." + std::to_string(::GetCurrentProcessId()) + "." +
         std::to_string(::InterlockedIncrement(&counter));
}

// Registration is machine state shared by the test process: once per executable is enough.
void EnsureRegistered(const std::string& executable) {
  static std::string registered;
  if (registered == executable) return;
  RegisterStandin(executable);
  registered = executable;
}

std::string ErrorDescription() {
  comsupport::ComPtr<IErrorInfo> info;
  if (::GetErrorInfo(0, info.put()) != S_OK || !info) return std::string();
  comsupport::Bstr description;
  info->GetDescription(description.put());
  return description.Ansi();
}

}  // namespace

void RegisterStandin(const std::string& executable) {
  DWORD code = RunProgram(Quote(executable) + " /regserver", 120000);
  if (code != 0) throw std::runtime_error(executable + " /regserver exited with " + std::to_string(code));
}

std::string InstallStandin(const std::string& root) {
  std::string program = root + "\\program";
  ::CreateDirectoryA(root.c_str(), nullptr);
  ::CreateDirectoryA(program.c_str(), nullptr);
  std::string installed = program + "\\Zorvane.exe";
  if (!::CopyFileA(BuildOutput("ZorvaneStandin.exe").c_str(), installed.c_str(), FALSE))
    throw std::runtime_error("cannot copy the stand-in to " + installed);
  RegisterStandin(installed);
  return installed;
}

void StandinClient::Check(HRESULT hr, const char* what) {
  if (SUCCEEDED(hr)) return;
  throw std::runtime_error(std::string(what) + " failed with " + comsupport::HresultText(hr) + ": " +
                           ErrorDescription());
}

StandinClient::StandinClient(const std::string& fixture_json, const std::string& executable,
                             const std::string& working_directory) {
  std::string program = executable.empty() ? BuildOutput("ZorvaneStandin.exe") : executable;
  EnsureRegistered(program);
  char temp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, temp);
  fixture_path_ = std::string(temp) + UniqueName("Fixture").substr(6) + ".json";
  WriteFile(fixture_path_, fixture_json);

  std::string ready_name = UniqueName("Ready"), quit_name = UniqueName("Quit");
  comsupport::UniqueHandle ready(::CreateEventA(nullptr, TRUE, FALSE, ready_name.c_str()));
  quit_.reset(::CreateEventA(nullptr, TRUE, FALSE, quit_name.c_str()));
  if (!ready || !quit_) throw std::runtime_error("cannot create the stand-in's events");
  process_.emplace(Process::Start(Quote(program) + " /fixture " + Quote(fixture_path_) + " /ready " + ready_name +
                            " /quit " + quit_name,
                                  working_directory));
  HANDLE waits[2] = {ready.get(), process_->handle()};
  DWORD woken = ::WaitForMultipleObjects(2, waits, FALSE, 120000);
  if (woken != WAIT_OBJECT_0) {
    DWORD code = 0;
    process_->Wait(0, &code);
    throw std::runtime_error(woken == WAIT_OBJECT_0 + 1
                                 ? "the stand-in ended at start with " + std::to_string(code)
                                 : std::string("the stand-in did not start in time"));
  }
  Check(::CoCreateInstance(CLSID_ZorvaneStandinControl, nullptr, CLSCTX_LOCAL_SERVER, IID_IZorvaneStandinControl,
                           control_.put_void()),
        "creating the stand-in's control object");
}

StandinClient::~StandinClient() {
  Stop();
  ::DeleteFileA(fixture_path_.c_str());
}

comsupport::ComPtr<IZorvane4> StandinClient::Application() const {
  CLSID clsid;
  Check(::CLSIDFromProgID(L"Zorvane", &clsid), "looking up the ProgID Zorvane");
  comsupport::ComPtr<IUnknown> unknown;
  Check(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                           IID_IUnknown, unknown.put_void()),
        "creating Zorvane");
  Check(::OleRun(unknown.get()), "running Zorvane");
  HRESULT hr = S_OK;
  comsupport::ComPtr<IZorvane4> application = unknown.As<IZorvane4>(&hr);
  Check(hr, "asking Zorvane for IZorvane4");
  return application;
}

std::string StandinClient::WaitForExtensions(DWORD timeout_ms) const {
  DWORD start = ::GetTickCount();
  for (;;) {
    comsupport::Bstr lines;
    Check(control_->get_Extensions(lines.put()), "reading the extensions");
    if (lines.Length() > 0 || ::GetTickCount() - start >= timeout_ms) return lines.Ansi();
    ::Sleep(20);
  }
}

std::string StandinClient::Journal() const {
  comsupport::Bstr lines;
  Check(control_->get_Journal(lines.put()), "reading the journal");
  return lines.Ansi();
}

void StandinClient::ClearJournal() const { Check(control_->ClearJournal(), "clearing the journal"); }

bool StandinClient::Stop(DWORD timeout_ms) {
  control_.reset();
  if (!process_) return true;
  if (quit_) ::SetEvent(quit_.get());
  bool ended = process_->Wait(timeout_ms);
  if (!ended) process_->Terminate();
  process_.reset();
  return ended;
}

}  // namespace testing_support
