// Notification handlers registered on the client's event sources, and the raising of events:
// each handler is called through its source's interface, only for the bits its mask selects.
// Events are queued under the client's lock and delivered without it, on the server's thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "comsupport/com_ptr.h"
#include "zorvane.h"

namespace standin {

enum class Source { Application, Setup, Channels, AllStories, Directory, AllVessiks };
const char* SourceName(Source source);

class Notifier {
 public:
  // Asks handler for the source's interface; E_NOINTERFACE when it has none.
  HRESULT Register(Source source, long mask, IUnknown* handler, long* handle);
  HRESULT Revoke(Source source, long handle);
  void Clear() { handlers_.clear(); }
  std::string Lines() const;

  // Queue an event for every handler of source whose mask has a bit of events (events 0: all
  // handlers, for additions and deletions). The call runs later, without the lock.
  using Delivery = std::function<HRESULT(IDispatch* handler)>;
  void Queue(Source source, long events, Delivery delivery);
  // Takes the queued calls out, to run them without the lock.
  std::vector<std::function<void()>> TakeQueued();
  bool HasQueued() const { return !queued_.empty(); }

 private:
  struct Handler {
    Source source;
    long handle;
    long mask;
    comsupport::ComPtr<IDispatch> callback;  // the source's interface (all are dual)
  };
  std::vector<Handler> handlers_;
  std::vector<std::function<void()>> queued_;
  long next_handle_ = 1;
};

}  // namespace standin
