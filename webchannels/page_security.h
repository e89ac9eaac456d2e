// Whether the hosting page may reach the client: a channel trusted by its own security
// settings makes the page secure for it; otherwise the page's address decides: inside the
// channel's own directory, or admitted by an entry of the IE\Secure lists (current user, then
// machine; read at every check).
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <string>

#include "zorvane.h"

namespace chanbind {

struct PageContext {
  IOleClientSite* site = nullptr;  // the control's client site, may be null
  std::wstring host_url;           // given through IHostEnvironment::URL
  // The client, asked only when a "zorvane:" entry needs its program directory; may give null.
  std::function<IZorvane4*()> client;
};

// The page's address: the container document's, else the hosting browser's document's, else
// window.location.href by script, else the host's IHostEnvironment URL; empty when none.
std::wstring PageAddress(const PageContext& page);

// Whether an entry of the IE\Secure lists admits the address; program_directory_url for
// "zorvane:" entries (empty: they admit nothing).
bool SecureListsAdmit(const std::wstring& address, const std::wstring& program_directory_url);

// channel may be null (the page itself is checked).
bool PageIsSecure(const PageContext& page, IZorvaneChannel4_2* channel);

// The secure-page lists' answer for the page (and channel). The lists, the page-address lookup
// and the channel's own directory are decided here.
bool SecurePageListsAdmit(const PageContext& page, IZorvaneChannel4_2* channel);

}  // namespace chanbind
