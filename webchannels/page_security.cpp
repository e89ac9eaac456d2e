#include "page_security.h"

namespace chanbind {

bool PageIsSecure(const PageContext& page, IZorvaneChannel4_2* channel) {
  if (channel) {
    ESecurityMode mode = SECURITY_MODE_MEDIUM;
    if (SUCCEEDED(channel->get_SecurityMode(&mode)) && mode == SECURITY_MODE_LOW) return true;
    long flags = 0;
    if (SUCCEEDED(channel->get_SecurityFlags(&flags)) && (flags & SECURITY_FLAG_ALLOW_EXECUTABLES) &&
        !(flags & SECURITY_FLAG_AUTHENTICATE_EXECUTABLES)) {
      return true;
    }
  }
  return SecurePageListsAdmit(page, channel);
}

}  // namespace chanbind
