// The Kelvane channel, on which the Kelvane service delivers Mendlets, and the client calls
// shared by the extension's handlers.
#pragma once

#include "comsupport/com_error.h"
#include "comsupport/com_ptr.h"
#include "zorvane.h"

namespace hookwell {

constexpr char kKelvaneChannelName[] = "Kelvane";
// The index under which the channel collection yields a channel by its name.
constexpr char kKelvaneChannelIndex[] = "n:Kelvane";

// The Kelvane channel of channels; throws ComError when the client has none.
comsupport::ComPtr<IZorvaneChannel> KelvaneChannel(IZorvaneChannelCollection* channels);

// Throws ComError (E_POINTER, Interface's IID) for an empty reference a call gave back.
template <class Interface>
const comsupport::ComPtr<Interface>& Required(const comsupport::ComPtr<Interface>& pointer) {
  if (!pointer) throw comsupport::ComError(E_POINTER, __uuidof(Interface), std::string());
  return pointer;
}

}  // namespace hookwell
