#include "kelvane_channel.h"

#include "comsupport/bstr.h"

namespace hookwell {

comsupport::ComPtr<IZorvaneChannel> KelvaneChannel(IZorvaneChannelCollection* channels) {
  comsupport::Variant index(kKelvaneChannelIndex);
  comsupport::ComPtr<IZorvaneChannel> channel;
  COMSUPPORT_CHECK(IZorvaneChannelCollection, channels->get_Item(*index.get(), channel.put()));
  return Required(channel);
}

}  // namespace hookwell
