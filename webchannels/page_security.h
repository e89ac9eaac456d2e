// Whether the hosting page may reach the client: a channel trusted by its own security
// settings makes the page secure for it; otherwise the secure-page lists decide, from the
// page's address (the container document, or what the host said through IHostEnvironment).
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>

#include "zorvane.h"

namespace chanbind {

struct PageContext {
  IOleClientSite* site = nullptr;  // the control's client site, may be null
  std::wstring host_url;           // given through IHostEnvironment::URL
};

// channel may be null (the page itself is checked).
bool PageIsSecure(const PageContext& page, IZorvaneChannel4_2* channel);

// The secure-page lists' answer for the page (and channel). The lists, the page-address lookup
// and the channel's own directory are decided here.
bool SecurePageListsAdmit(const PageContext& page, IZorvaneChannel4_2* channel);

}  // namespace chanbind
