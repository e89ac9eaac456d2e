#include "cache_check.h"

#include "caught_errors.h"
#include "comsupport/bstr.h"
#include "free_space.h"
#include "kelvane_channel.h"

namespace hookwell {

namespace {

using comsupport::ComPtr;

constexpr char kLogModule[] = "ClientExt";

ComPtr<IZorvaneVessik> VessikOf(const comsupport::Variant& element) {
  const VARIANT* value = element.get();
  IUnknown* object = nullptr;
  if (value->vt == VT_DISPATCH) object = value->pdispVal;
  if (value->vt == VT_UNKNOWN) object = value->punkVal;
  // A missing interface is no error of its own; the empty reference is.
  return Required(ComPtr<IUnknown>(object).As<IZorvaneVessik>());
}

void MeasureKelvane(IZorvaneSetup* setup, IZorvaneChannelCollection* channels, CacheSpace& space) {
  ComPtr<IZorvaneGeneralSettings> general;
  COMSUPPORT_CHECK(IZorvaneSetup, setup->get_General(general.put()));
  LONG bytes = 0;
  COMSUPPORT_CHECK(IZorvaneGeneralSettings, Required(general)->get_DefaultChannelCacheSize(&bytes));
  space.SetQuota(bytes);

  ComPtr<IZorvaneChannel> channel = KelvaneChannel(channels);
  LONG flags = 0;
  COMSUPPORT_CHECK(IZorvaneChannel, channel->get_Flags(&flags));
  if (flags & CHN_FLAG_NO_DEFAULT_SPACE) {
    COMSUPPORT_CHECK(IZorvaneChannel, channel->get_CacheSize(&bytes));
    space.SetQuota(bytes);
  }

  ComPtr<IZorvaneVessikCollection> vessiks;
  COMSUPPORT_CHECK(IZorvaneChannel, channel->get_Vessiks(vessiks.put()));
  ComPtr<IUnknown> enumerator_object;
  COMSUPPORT_CHECK(IZorvaneVessikCollection, Required(vessiks)->get__NewEnum(enumerator_object.put()));
  HRESULT hr = S_OK;
  ComPtr<IEnumVARIANT> enumerator = Required(enumerator_object).As<IEnumVARIANT>(&hr);
  COMSUPPORT_CHECK(IEnumVARIANT, hr);
  comsupport::Variant element;
  while (Required(enumerator)->Next(1, element.put(), nullptr) == S_OK) {
    COMSUPPORT_CHECK(IZorvaneVessik, VessikOf(element)->get_Size(&bytes));
    space.AddVessik(bytes);
  }
}

}  // namespace

bool CheckKelvaneFreeSpace(IZorvane* client, ExtensionLog& log) noexcept {
  try {
    ComPtr<IZorvaneSetup> setup;
    ComPtr<IZorvaneChannelCollection> channels;
    ComPtr<IZorvaneAllVessikCollection> all_vessiks;
    if (!client || FAILED(client->get_Setup(setup.put())) || FAILED(client->get_Channels(channels.put())) ||
        FAILED(client->get_AllVessiks(all_vessiks.put())) || !setup || !channels || !all_vessiks) {
      return false;
    }
    CacheSpace space;
    MeasureKelvane(setup.get(), channels.get(), space);
    return WarnIfLowOnSpace(space);
  } catch (...) {
    HOOKWELL_REPORT_CAUGHT(log, kLogModule, ComErrors::AsUnhandled);
    return false;
  }
}

}  // namespace hookwell
