// A handler for every client event source that writes down each call it receives, for the
// stand-in's own tests.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "comsupport/bstr.h"
#include "comsupport/com_object.h"
#include "comsupport/dispatch_impl.h"
#include "zorvane.h"

namespace standin_tests {

template <class Interface>
using DispatchImpl = comsupport::DispatchImpl<Interface, &LIBID_ZorvaneLib>;

// "7" for a VT_I4, "[1,2]" for an array, "&[1,2]" by reference, "v[1,2]" for an array of VARIANT.
std::string IdsText(const VARIANT& ids);

class EventRecorder
    : public comsupport::ComObject<DispatchImpl<IAppNotificationHandler>, DispatchImpl<ISetupNotificationHandler>,
                                   DispatchImpl<IChannelNotificationHandler>, DispatchImpl<IStoryNotificationHandler>,
                                   DispatchImpl<IDirectoryNotificationHandler>, DispatchImpl<IVessikNotificationHandler>> {
 public:
  std::vector<std::string> TakeEvents() {
    std::vector<std::string> taken;
    taken.swap(events_);
    return taken;
  }

  STDMETHODIMP OnShutdown() override { return Note("shutdown"); }
  STDMETHODIMP OnSetupChanged(long events) override { return Note("setup " + Hex(events)); }
  STDMETHODIMP OnChannelAdded(IZorvaneChannel* channel) override { return Note("channel added " + NameOf(channel)); }
  STDMETHODIMP OnChannelDeleted(long id) override { return Note("channel deleted " + std::to_string(id)); }
  STDMETHODIMP OnChannelChanged(IZorvaneChannel* channel, long events) override {
    return Note("channel changed " + NameOf(channel) + " " + Hex(events));
  }
  STDMETHODIMP OnStoriesAdded(long channel, VARIANT ids) override {
    return Note("stories added " + std::to_string(channel) + " " + IdsText(ids));
  }
  STDMETHODIMP OnStoriesDeleted(long channel, VARIANT ids) override {
    return Note("stories deleted " + std::to_string(channel) + " " + IdsText(ids));
  }
  STDMETHODIMP OnStoriesChanged(long channel, VARIANT ids, long events) override {
    return Note("stories changed " + std::to_string(channel) + " " + IdsText(ids) + " " + Hex(events));
  }
  STDMETHODIMP OnEntryAdded(long id) override { return Note("entry added " + std::to_string(id)); }
  STDMETHODIMP OnEntryDeleted(long id) override { return Note("entry deleted " + std::to_string(id)); }
  STDMETHODIMP OnEntryChanged(long id, long events) override {
    return Note("entry changed " + std::to_string(id) + " " + Hex(events));
  }
  STDMETHODIMP OnNewVessik(IZorvaneVessik* vessik) override {
    long id = 0;
    comsupport::Bstr directory;
    if (vessik) {
      vessik->get_Id(&id);
      vessik->get_Directory(directory.put());
    }
    return Note("new vessik " + std::to_string(id) + " " + directory.Ansi());
  }
  STDMETHODIMP OnVessikDeleted(long channel, long id) override {
    return Note("vessik deleted " + std::to_string(channel) + " " + std::to_string(id));
  }
  STDMETHODIMP OnVessikChanged(IZorvaneVessik* vessik, long events) override {
    long id = 0;
    if (vessik) vessik->get_Id(&id);
    return Note("vessik changed " + std::to_string(id) + " " + Hex(events));
  }

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IAppNotificationHandler) return static_cast<IAppNotificationHandler*>(this);
    if (iid == IID_ISetupNotificationHandler) return static_cast<ISetupNotificationHandler*>(this);
    if (iid == IID_IChannelNotificationHandler) return static_cast<IChannelNotificationHandler*>(this);
    if (iid == IID_IStoryNotificationHandler) return static_cast<IStoryNotificationHandler*>(this);
    if (iid == IID_IDirectoryNotificationHandler) return static_cast<IDirectoryNotificationHandler*>(this);
    if (iid == IID_IVessikNotificationHandler) return static_cast<IVessikNotificationHandler*>(this);
    return nullptr;
  }

 private:
  HRESULT Note(const std::string& event) {
    events_.push_back(event);
    return S_OK;
  }
  static std::string Hex(long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
  }
  static std::string NameOf(IZorvaneChannel* channel) {
    comsupport::Bstr name;
    if (!channel || FAILED(channel->get_Name(name.put()))) return "?";
    return name.Ansi();
  }

  std::vector<std::string> events_;
};

}  // namespace standin_tests
