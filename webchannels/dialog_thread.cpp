#include "dialog_thread.h"

#include <memory>

#include "comsupport/boundary.h"
#include "comsupport/com_ptr.h"
#include "comsupport/module_lock.h"

namespace chanbind {
namespace {

struct DialogJob {
  IID iid;
  IStream* stream = nullptr;
  std::function<void(IUnknown*)> open;
};

DWORD WINAPI DialogThread(void* parameter) {
  std::unique_ptr<DialogJob> job(static_cast<DialogJob*>(parameter));
  comsupport::Boundary("chanbind dialog thread", 0, [&] {
    if (SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
      {
        comsupport::ComPtr<IUnknown> object;
        if (SUCCEEDED(::CoGetInterfaceAndReleaseStream(job->stream, job->iid, object.put_void()))) {
          job->open(object.get());
        }
      }
      ::CoUninitialize();
    } else {
      job->stream->Release();
    }
    return 0;
  });
  // The job's code belongs to the module too: it goes before the module may be unloaded.
  job.reset();
  // The module stays loaded while the thread runs its code.
  comsupport::ModuleLock::Unlock();
  return 0;
}

}  // namespace

bool StartDialogThread(REFIID iid, IUnknown* object, std::function<void(IUnknown*)> open) {
  auto job = std::make_unique<DialogJob>();
  job->iid = iid;
  job->open = std::move(open);
  if (FAILED(::CoMarshalInterThreadInterfaceInStream(iid, object, &job->stream))) return false;
  comsupport::ModuleLock::Lock();
  HANDLE thread = ::CreateThread(nullptr, 0, &DialogThread, job.get(), 0, nullptr);
  if (!thread) {
    comsupport::ModuleLock::Unlock();
    // Releasing the marshaled data frees the stream's reference.
    ::CoReleaseMarshalData(job->stream);
    job->stream->Release();
    return false;
  }
  job.release();
  ::CloseHandle(thread);
  return true;
}

}  // namespace chanbind
