// The notification service: the callback registry, raising a notification to every callback
// whose mask matches, and setting up and tearing down the sink's registrations with the client.
#pragma once

#include "ravlin/ravlin.h"

namespace ravlin {

// Calls, under the library lock and in registration order, every registered callback whose
// mask has a bit of kind. A callback that faults does not stop the next.
void RaiseNotification(ZRNOTIFICATION_TYPES kind, const char* name = nullptr, DWORD id = 0,
                       DWORD vessik_id = 0, DWORD story_id = 0, const DATA_LIST* list = nullptr);

// The library thread's end: revokes the sink's registrations, releases the sink and the
// callback registry, and clears the handlers-registered flag.
void DestroyNotificationHandlers();

}  // namespace ravlin
