#include "client.h"

#include "comsupport/bstr.h"
#include "comsupport/registrar.h"
#include "events.h"
#include "fixture.h"

namespace standin {

namespace {

HRESULT LoadResourceTypeLibrary(const char* suffix, ITypeLib** library) {
  std::wstring path = comsupport::ToWide(comsupport::ModulePath(nullptr) + suffix);
  return ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, library);
}

}  // namespace

Client::Client(HWND window, std::string program_directory)
    : program_directory_(std::move(program_directory)), window_(window) {
  model_ = LoadModel(Json::object(), program_directory_);
}

HRESULT Client::ClientTypeLibrary(ITypeLib** library) { return LoadResourceTypeLibrary("", library); }

HRESULT Client::ControlTypeLibrary(ITypeLib** library) { return LoadResourceTypeLibrary("\\2", library); }

void Client::LoadFixture(const std::string& json_text) {
  Model model = LoadModel(ParseJson(json_text), program_directory_);
  comsupport::CriticalSectionGuard guard(lock_);
  model_ = std::move(model);
}

void Client::DeliverQueued() {
  std::vector<std::function<void()>> queued;
  {
    comsupport::CriticalSectionGuard guard(lock_);
    queued = notifier_.TakeQueued();
  }
  for (auto& delivery : queued) delivery();
}

void Client::ScheduleDelivery() {
  bool queued;
  {
    comsupport::CriticalSectionGuard guard(lock_);
    queued = notifier_.HasQueued();
  }
  if (queued && !::PostMessageA(window_, kDeliverMessage, 0, 0)) {
    ::OutputDebugStringA("stand-in: cannot post a notification delivery\n");
  }
}

void Client::BeginShutdown() {
  comsupport::CriticalSectionGuard guard(lock_);
  if (shutting_down_) return;
  shutting_down_ = true;
  QueueShutdown(*this);
  if (!::PostMessageA(window_, kShutdownMessage, 0, 0)) {
    ::OutputDebugStringA("stand-in: cannot post the shutdown\n");
  }
}

}  // namespace standin
