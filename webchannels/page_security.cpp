#include "page_security.h"

#include "content_security.h"

namespace chanbind {

bool PageIsSecure(const PageContext& page, IZorvaneChannel4_2* channel) {
  if (ChannelTrustsFiles(channel)) return true;
  return SecurePageListsAdmit(page, channel);
}

}  // namespace chanbind
