// Outgoing interfaces of a COM object: a connection point per event interface, each with its
// own list of sinks, and the container that finds them.
//
//   class Control : public comsupport::ComObject<...,
//       comsupport::ConnectionPointContainerImpl<&DIID_DControlEvents, &IID_IPropertyNotifySink>> {
//     void Done() { FireEvent(DISPID_DONE, 42L, std::string("text")); }
//   };
//
// Events are called on each sink's IDispatch::Invoke (LCID 0x400, DISPATCH_METHOD). Calls go
// to a copy of the sink list, so a sink may unadvise itself or another during a call; a sink
// that unadvised before its turn is skipped, and one that fails or faults does not stop the
// others.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "comsupport/bstr.h"
#include "comsupport/com_ptr.h"
#include "comsupport/critical_section.h"

namespace comsupport {

// Event arguments as VARIANTs.
inline Variant EventArgument(const Variant& value) { return value; }
inline Variant EventArgument(long value) { return Variant(value); }
inline Variant EventArgument(int value) { return Variant(static_cast<long>(value)); }
inline Variant EventArgument(const std::string& value) { return Variant(value); }
inline Variant EventArgument(const char* value) { return Variant(std::string(value ? value : "")); }
Variant EventArgument(bool value);
Variant EventArgument(IDispatch* value);

class ConnectionPoint : public IConnectionPoint {
 public:
  ConnectionPoint(IConnectionPointContainer* container, REFIID iid) : container_(container), iid_(iid) {}
  virtual ~ConnectionPoint() = default;
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  // The point lives as long as its container and counts its references there.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return container_->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return container_->Release(); }

  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

  REFIID iid() const { return iid_; }
  size_t SinkCount() const;

  // arguments in the order the event declares them.
  void FireEvent(DISPID id, std::vector<Variant> arguments);
  // IPropertyNotifySink::OnChanged on every sink of an IPropertyNotifySink point.
  void NotifyChanged(DISPID id);

 private:
  struct Sink {
    DWORD cookie;
    ComPtr<IUnknown> sink;  // the sink's pointer for iid_
  };
  std::vector<Sink> Snapshot() const;
  bool StillAdvised(DWORD cookie) const;

  IConnectionPointContainer* container_;
  const IID iid_;
  mutable CriticalSection lock_;
  std::vector<Sink> sinks_;
  DWORD next_cookie_ = 1;
};

class ConnectionPointContainerBase : public IConnectionPointContainer {
 public:
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

 protected:
  // outgoing: the event interfaces; the first is the default source of FireEvent.
  explicit ConnectionPointContainerBase(std::initializer_list<const IID*> outgoing);
  // For a base class shared by objects whose event interfaces differ: add the points in order.
  ConnectionPointContainerBase() = default;
  void AddConnectionPoint(REFIID iid);
  virtual ~ConnectionPointContainerBase() = default;

  // The point of iid, or nullptr when the object has none.
  ConnectionPoint* Point(REFIID iid);

  template <class... Args>
  void FireEvent(DISPID id, const Args&... arguments) {
    if (points_.empty()) return;
    points_.front()->FireEvent(id, std::vector<Variant>{EventArgument(arguments)...});
  }
  // To the IPropertyNotifySink point, if the object has one.
  void NotifyPropertyChanged(DISPID id);

 private:
  std::vector<std::unique_ptr<ConnectionPoint>> points_;
};

// The container of an object whose event interfaces are Outgoing (the first is the default).
template <const IID*... Outgoing>
class ConnectionPointContainerImpl : public ConnectionPointContainerBase {
 protected:
  ConnectionPointContainerImpl() : ConnectionPointContainerBase({Outgoing...}) {}
};

}  // namespace comsupport
