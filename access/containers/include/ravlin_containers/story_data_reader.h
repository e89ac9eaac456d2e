// Builds channel data from the client's EnumStoryData answer (all stories, array format).
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "ravlin/channel_data.h"

namespace ravlin {

// The answer must be an array of VARIANTs holding up to three arrays of VARIANTs:
// { {info names, info values}, {story ids, field names, field values},
//   {story ids, attribute names, attribute values} }. A part that is not such an array is
// skipped; another shape of answer gives null. The object comes with one reference.
ICHANNELDATA2* ReadStoryData(const VARIANT& answer);

}  // namespace ravlin
