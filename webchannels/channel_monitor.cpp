#include "channel_monitor.h"

#include "chanbind_resources.h"
#include "comsupport/com_error.h"
#include "script_errors.h"
#include "variant_enumerator.h"

namespace chanbind {

using comsupport::ComPtr;
using comsupport::Variant;

std::vector<ComPtr<IZorvaneChannel4_2>> AllChannels(IZorvane4* client) {
  std::vector<ComPtr<IZorvaneChannel4_2>> all;
  ComPtr<IZorvaneChannelCollection> channels;
  COMSUPPORT_CHECK(IZorvane, client->get_Channels(channels.put()));
  ComPtr<IUnknown> unknown;
  COMSUPPORT_CHECK(IZorvaneChannelCollection, channels->get__NewEnum(unknown.put()));
  ComPtr<IEnumVARIANT> items = unknown.As<IEnumVARIANT>();
  if (!items) throw comsupport::ComError(E_NOINTERFACE, IID_IEnumVARIANT, "the channel enumerator");
  for (;;) {
    Variant item;
    ULONG fetched = 0;
    if (items->Next(1, item.put(), &fetched) != S_OK || fetched != 1) break;
    if (item.type() != VT_DISPATCH && item.type() != VT_UNKNOWN) continue;
    IUnknown* object = item.get()->punkVal;
    ComPtr<IZorvaneChannel4_2> channel;
    if (object && SUCCEEDED(object->QueryInterface(IID_IZorvaneChannel4_2, channel.put_void()))) {
      all.push_back(channel);
    }
  }
  return all;
}

namespace {

ComPtr<IZorvaneChannel4_2> LookUp(IZorvane4* client, const VARIANT& index) {
  ComPtr<IZorvaneChannelCollection> channels;
  COMSUPPORT_CHECK(IZorvane, client->get_Channels(channels.put()));
  ComPtr<IZorvaneChannel> channel;
  HRESULT hr = channels->get_Item(index, channel.put());
  if (hr == E_NOINTERFACE) return nullptr;  // the client's "no such channel"
  COMSUPPORT_CHECK(IZorvaneChannelCollection, hr);
  ComPtr<IZorvaneChannel4_2> newest;
  if (channel) COMSUPPORT_CHECK(IZorvaneChannel, channel->QueryInterface(IID_IZorvaneChannel4_2, newest.put_void()));
  return newest;
}

bool InCategory(IZorvaneChannel4_2* channel, const std::wstring& category) {
  Variant names;
  if (FAILED(channel->get_Categories(names.put()))) return false;
  const VARIANT& value = *names.get();
  if (value.vt == VT_BSTR) return value.bstrVal && _wcsicmp(value.bstrVal, category.c_str()) == 0;
  if (!(value.vt & VT_ARRAY) || !value.parray || ::SafeArrayGetDim(value.parray) != 1) return false;
  LONG low = 0, high = -1;
  ::SafeArrayGetLBound(value.parray, 1, &low);
  ::SafeArrayGetUBound(value.parray, 1, &high);
  for (LONG i = low; i <= high; ++i) {
    Variant element;
    if ((value.vt & VT_TYPEMASK) == VT_VARIANT) {
      if (FAILED(::SafeArrayGetElement(value.parray, &i, element.put()))) continue;
    } else if ((value.vt & VT_TYPEMASK) == VT_BSTR) {
      BSTR text = nullptr;
      if (FAILED(::SafeArrayGetElement(value.parray, &i, &text))) continue;
      element.put()->vt = VT_BSTR;
      element.get()->bstrVal = text;
    }
    if (element.type() == VT_BSTR && element.get()->bstrVal &&
        _wcsicmp(element.get()->bstrVal, category.c_str()) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

ComPtr<ChannelMonitor> ChannelMonitor::Build(IZorvane4* client, const ChannelSelection& selection,
                                             const SecurityCheck& check, bool enforce) {
  auto monitor = ComPtr<ChannelMonitor>::Attach(new ChannelMonitor());
  monitor->selection_ = selection;
  monitor->check_ = check;
  monitor->Read(client, enforce);
  return monitor;
}

void ChannelMonitor::Keep(ComPtr<IZorvaneChannel4_2> channel, bool enforce) {
  const bool secure = !check_ || check_(channel.get());
  if (!secure && enforce) Raise(IDS_CHANNEL_NOT_SECURE);
  long id = 0;
  COMSUPPORT_CHECK(IZorvaneChannel, channel->get_Id(&id));
  channels_.push_back(channel);
  ids_.push_back(id);
  secure_.push_back(secure);
  all_secure_ = all_secure_ && secure;
}

void ChannelMonitor::Read(IZorvane4* client, bool enforce) {
  channels_.clear();
  ids_.clear();
  secure_.clear();
  all_secure_ = true;
  switch (selection_.kind) {
    case ChannelSelection::Kind::kId:
      if (ComPtr<IZorvaneChannel4_2> channel = LookUp(client, *selection_.id.get())) Keep(channel, enforce);
      break;
    case ChannelSelection::Kind::kCategory:
      for (auto& channel : AllChannels(client)) {
        if (InCategory(channel.get(), selection_.category)) Keep(channel, enforce);
      }
      break;
    case ChannelSelection::Kind::kAll:
      for (auto& channel : AllChannels(client)) Keep(channel, false);
      break;
  }
}

IZorvaneChannel4_2* ChannelMonitor::ById(long id) const {
  for (size_t i = 0; i < ids_.size(); ++i) {
    if (ids_[i] == id) return channels_[i].get();
  }
  return nullptr;
}

bool ChannelMonitor::Add(IZorvane4* client, long id) {
  if (ById(id)) return false;
  Variant index(id);
  ComPtr<IZorvaneChannel4_2> channel;
  try {
    channel = LookUp(client, *index.get());
  } catch (const comsupport::ComError&) {
    return false;  // the client does not know the id: nothing changes
  }
  if (!channel) return false;
  Keep(channel, false);
  return true;
}

bool ChannelMonitor::Remove(long id) {
  for (size_t i = 0; i < ids_.size(); ++i) {
    if (ids_[i] != id) continue;
    channels_.erase(channels_.begin() + i);
    ids_.erase(ids_.begin() + i);
    secure_.erase(secure_.begin() + i);
    all_secure_ = true;
    for (bool secure : secure_) all_secure_ = all_secure_ && secure;
    return true;
  }
  return false;
}

void ChannelMonitor::Rebuild(IZorvane4* client) { Read(client, false); }

STDMETHODIMP ChannelMonitor::get_length(long* length) { return get_Count(length); }

STDMETHODIMP ChannelMonitor::get_Count(long* count) {
  if (!count) return E_POINTER;
  *count = this->count();
  return S_OK;
}

STDMETHODIMP ChannelMonitor::get_Item(long id, IZorvaneChannel4_2** channel) {
  if (!channel) return E_POINTER;
  *channel = ById(id);
  if (!*channel) return E_POINTER;
  (*channel)->AddRef();
  return S_OK;
}

STDMETHODIMP ChannelMonitor::get__NewEnum(IUnknown** enumerator) {
  if (!enumerator) return E_POINTER;
  return comsupport::ComBoundary("ChannelMonitor::get__NewEnum", [&] {
    std::vector<Variant> items;
    for (auto& channel : channels_) {
      Variant item;
      item.put()->vt = VT_DISPATCH;
      item.get()->pdispVal = channel.get();
      channel->AddRef();
      items.push_back(item);
    }
    *enumerator = NewVariantEnumerator(std::move(items));
    return S_OK;
  });
}

void* ChannelMonitor::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IChanbindChannelCollection) {
    return static_cast<IChanbindChannelCollection*>(this);
  }
  return nullptr;
}

}  // namespace chanbind
