#include "comsupport/connection_points.h"

#include <algorithm>

#include "comsupport/snapshot_enumerator.h"
#include "comsupport/structured_guard.h"

namespace comsupport {

namespace {

// The locale ids events carry: the system's default.
constexpr LCID kEventLocale = 0x400;

CONNECTDATA HandOutConnection(const CONNECTDATA& held) {
  held.pUnk->AddRef();
  return held;
}

IConnectionPoint* HandOutPoint(IConnectionPoint* const& held) {
  held->AddRef();
  return held;
}

using ConnectionEnumerator = SnapshotEnumerator<IEnumConnections, &IID_IEnumConnections, CONNECTDATA, CONNECTDATA>;
using PointEnumerator =
    SnapshotEnumerator<IEnumConnectionPoints, &IID_IEnumConnectionPoints, IConnectionPoint*, IConnectionPoint*>;

}  // namespace

Variant EventArgument(bool value) {
  Variant result;
  result.get()->vt = VT_BOOL;
  result.get()->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

Variant EventArgument(IDispatch* value) {
  Variant result;
  result.get()->vt = VT_DISPATCH;
  result.get()->pdispVal = value;
  if (value) value->AddRef();
  return result;
}

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IConnectionPoint) return E_NOINTERFACE;
  *out = static_cast<IConnectionPoint*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = container_;
  container_->AddRef();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  ComPtr<IUnknown> events;
  if (FAILED(sink->QueryInterface(iid_, events.put_void())) || !events) return CONNECT_E_CANNOTCONNECT;
  try {
    CriticalSectionGuard guard(lock_);
    sinks_.push_back({next_cookie_, std::move(events)});
    *cookie = next_cookie_++;
    // Cookie 0 means "no connection" to callers.
    if (next_cookie_ == 0) next_cookie_ = 1;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
  ComPtr<IUnknown> released;  // let go of outside the lock: its Release may call back
  {
    CriticalSectionGuard guard(lock_);
    auto found = std::find_if(sinks_.begin(), sinks_.end(), [cookie](const Sink& s) { return s.cookie == cookie; });
    if (found == sinks_.end()) return CONNECT_E_NOCONNECTION;
    released = std::move(found->sink);
    sinks_.erase(found);
  }
  return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (!connections) return E_POINTER;
  *connections = nullptr;
  try {
    const std::vector<Sink> sinks = Snapshot();
    auto* raw = new std::vector<CONNECTDATA>();
    raw->reserve(sinks.size());
    for (const Sink& sink : sinks) {
      sink.sink->AddRef();  // held by the copy until its last enumerator goes
      raw->push_back({sink.sink.get(), sink.cookie});
    }
    auto items = std::shared_ptr<const std::vector<CONNECTDATA>>(raw, [](const std::vector<CONNECTDATA>* held) {
          for (const CONNECTDATA& connection : *held) connection.pUnk->Release();
          delete held;
        });
    *connections = new ConnectionEnumerator(std::move(items), &HandOutConnection);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

size_t ConnectionPoint::SinkCount() const {
  CriticalSectionGuard guard(lock_);
  return sinks_.size();
}

std::vector<ConnectionPoint::Sink> ConnectionPoint::Snapshot() const {
  CriticalSectionGuard guard(lock_);
  return sinks_;
}

bool ConnectionPoint::StillAdvised(DWORD cookie) const {
  CriticalSectionGuard guard(lock_);
  return std::any_of(sinks_.begin(), sinks_.end(), [cookie](const Sink& s) { return s.cookie == cookie; });
}

void ConnectionPoint::FireEvent(DISPID id, std::vector<Variant> arguments) {
  // DISPPARAMS carry the arguments last first.
  std::vector<VARIANT> reversed;
  reversed.reserve(arguments.size());
  for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) reversed.push_back(*it->get());
  DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  for (const Sink& sink : Snapshot()) {
    if (!StillAdvised(sink.cookie)) continue;
    // A dispinterface sink's pointer is an IDispatch.
    IDispatch* dispatch = static_cast<IDispatch*>(sink.sink.get());
    auto call = [&] {
      Variant result;
      dispatch->Invoke(id, IID_NULL, kEventLocale, DISPATCH_METHOD, &params, result.get(), nullptr, nullptr);
    };
    if (!CallGuarded(call)) ::OutputDebugStringA("ConnectionPoint: an event sink faulted\n");
  }
}

void ConnectionPoint::NotifyChanged(DISPID id) {
  if (iid_ != IID_IPropertyNotifySink) return;
  for (const Sink& sink : Snapshot()) {
    if (!StillAdvised(sink.cookie)) continue;
    IPropertyNotifySink* notify = static_cast<IPropertyNotifySink*>(sink.sink.get());
    auto call = [&] { notify->OnChanged(id); };
    if (!CallGuarded(call)) ::OutputDebugStringA("ConnectionPoint: a property sink faulted\n");
  }
}

ConnectionPointContainerBase::ConnectionPointContainerBase(std::initializer_list<const IID*> outgoing) {
  for (const IID* iid : outgoing) points_.push_back(std::make_unique<ConnectionPoint>(this, *iid));
}

void ConnectionPointContainerBase::AddConnectionPoint(REFIID iid) {
  points_.push_back(std::make_unique<ConnectionPoint>(this, iid));
}

STDMETHODIMP ConnectionPointContainerBase::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (!points) return E_POINTER;
  *points = nullptr;
  try {
    std::vector<IConnectionPoint*> list;
    for (const auto& point : points_) list.push_back(point.get());
    // The points live as long as this container: the snapshot keeps it alive.
    auto* raw = new std::vector<IConnectionPoint*>(std::move(list));
    IConnectionPointContainer* container = this;
    container->AddRef();
    // Should making the shared pointer fail, it runs the deleter.
    auto items = std::shared_ptr<const std::vector<IConnectionPoint*>>(
        raw, [container](const std::vector<IConnectionPoint*>* held) {
          delete held;
          container->Release();
        });
    *points = new PointEnumerator(std::move(items), &HandOutPoint);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

STDMETHODIMP ConnectionPointContainerBase::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = Point(iid);
  if (!*point) return CONNECT_E_NOCONNECTION;
  (*point)->AddRef();
  return S_OK;
}

ConnectionPoint* ConnectionPointContainerBase::Point(REFIID iid) {
  for (const auto& point : points_) {
    if (point->iid() == iid) return point.get();
  }
  return nullptr;
}

void ConnectionPointContainerBase::NotifyPropertyChanged(DISPID id) {
  if (ConnectionPoint* point = Point(IID_IPropertyNotifySink)) point->NotifyChanged(id);
}

}  // namespace comsupport
