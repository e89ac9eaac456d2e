// A small ActiveX control container that hosts a control the way a page host does: it honours
// the control's miscellaneous status when setting the client site, loads PARAM-style
// properties through IPersistPropertyBag (else InitNew, or a saved stream), serves ambient
// properties, activates the control in place in its own window, listens to the control's
// default events and property changes, and tears down in a host's order.
//
//   standin::ControlContainer container;
//   container.Create("Some.Control.1", standin::Initialization::FromParams({{"Caption", "x"}}));
//   container.Activate();
//   container.Advise();
//   ... container.events()->journal() ...
//
// The container owns the host window, the site, the sink and the one reference to the control.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <string>
#include <vector>

#include "comsupport/com_ptr.h"
#include "comsupport/unique_handle.h"
#include "standin/control_site.h"
#include "standin/event_sink.h"
#include "standin/property_bag.h"

namespace standin {

// How a new control gets its properties.
struct Initialization {
  enum class Kind { kNew, kBag, kStream };
  Kind kind = Kind::kNew;
  PropertyList params;                  // kBag
  comsupport::ComPtr<IStream> stream;   // kStream, read from its current position
  // Runs on the new control before its site and properties, as a page host asks a control
  // for its safety (IObjectSafety) before loading it.
  std::function<void(IUnknown*)> before_load;

  static Initialization New() { return {}; }
  static Initialization FromParams(PropertyList params);
  static Initialization FromStream(IStream* stream);
};

class ControlContainer {
 public:
  // A top-level host window with a client area of width by height pixels.
  explicit ControlContainer(int width = 320, int height = 240);
  ~ControlContainer();
  ControlContainer(const ControlContainer&) = delete;
  ControlContainer& operator=(const ControlContainer&) = delete;

  // Creates the control in-process by "{CLSID}" or ProgID, or through a class factory, and
  // loads it. A second Create fails with E_UNEXPECTED until Teardown.
  HRESULT Create(const std::string& clsid_or_progid, const Initialization& initialization = {});
  HRESULT Create(IClassFactory* factory, const Initialization& initialization = {});

  // DoVerb(OLEIVERB_INPLACEACTIVATE) at the site's position.
  HRESULT Activate();
  // Moves the control to position (host client coordinates).
  HRESULT Resize(const RECT& position);
  // The control's in-place window, nullptr when it has none.
  HWND ControlWindow() const;

  // Connects the event sink to the default source interface and to IPropertyNotifySink (each
  // when the control offers it); fails when the control has no default source.
  HRESULT Advise();

  // Sets an ambient property and tells the control.
  HRESULT SetAmbient(DISPID id, const comsupport::Variant& value);

  // IPersistPropertyBag::Save into a fresh bag.
  HRESULT SaveToBag(comsupport::ComPtr<PropertyBag>* bag);
  // IPersistStreamInit::Save into a memory stream, returned at its start.
  HRESULT SaveToStream(comsupport::ComPtr<IStream>* stream);

  // Unadvise, InPlaceDeactivate, Close(OLECLOSE_NOSAVE), SetClientSite(nullptr), release.
  void Teardown();

  HWND host() const { return host_.get(); }
  IUnknown* control() const { return control_.get(); }
  ControlSite* site() const { return site_.get(); }
  // Null until Advise.
  EventSink* events() const { return sink_.get(); }
  // The bag given to the last load, null if none.
  PropertyBag* loaded_bag() const { return loaded_bag_.get(); }
  DWORD misc_status() const { return misc_status_; }

 private:
  HRESULT Load(const Initialization& initialization);
  HRESULT FindDefaultSource(IID* source);

  comsupport::UniqueWindow host_;
  comsupport::ComPtr<ControlSite> site_;
  comsupport::ComPtr<IUnknown> control_;
  comsupport::ComPtr<EventSink> sink_;
  comsupport::ComPtr<PropertyBag> loaded_bag_;
  DWORD misc_status_ = 0;
  struct Connection {
    comsupport::ComPtr<IConnectionPoint> point;
    DWORD cookie;
  };
  std::vector<Connection> connections_;
};

}  // namespace standin
