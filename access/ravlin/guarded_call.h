// Calls a notification callback so that a fault or an exception raised inside it comes back
// here as a failure instead of ending the library thread.
#pragma once

#include "ravlin/ravlin.h"

namespace ravlin {

struct CallbackArguments {
  ZRNOTIFICATION_TYPES kind;
  const char* name;
  DWORD id;
  const char* text2;
  DWORD vessik_id;
  DWORD story_id;
  DWORD list;
};

// False when the callback raised a structured exception (RaiseException, an access fault...);
// the callback's frames are then abandoned and its exception ignored.
bool GuardedCall(ZRNOTIFICATION_CALLBACK callback, const CallbackArguments& arguments);

}  // namespace ravlin
