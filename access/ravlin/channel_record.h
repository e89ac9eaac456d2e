// The channel record (ICHANNELINFO) built from a channel's EnumProperties answer.
#pragma once

#include "ravlin/channel_info.h"
#include "zorvane.h"

namespace ravlin {

// A new record with one reference; null when the channel gives no id or no name, or when a
// call fails.
ICHANNELINFO* BuildChannelRecord(IZorvaneChannel4* channel);

}  // namespace ravlin
