// The two callbacks through which the access library tells the model of the client's changes.
// They never touch the model: they post a private message (refresh_messages.h) to the refresh
// window, whose thread makes the change.
#pragma once

#include <windows.h>

namespace vinnet {

// Registers both callbacks, posting to window from now on; false when either is refused.
bool RegisterNotificationCallbacks(HWND window);
// Unregisters both and stops posting; does nothing when they are not registered.
void UnregisterNotificationCallbacks();

}  // namespace vinnet
