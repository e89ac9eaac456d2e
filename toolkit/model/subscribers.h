// The windows that receive the refresh messages, in the order they subscribed.
#pragma once

#include <windows.h>

#include <vector>

namespace vinnet {

// Sends synchronously to every subscriber that is still a window, from the last to the first,
// and drops the others from the list. Call without the model lock: subscribers use the model.
void SendToSubscribers(UINT message, WPARAM wparam, LPARAM lparam);
// The list as it stands (for tests).
std::vector<HWND> Subscribers();

}  // namespace vinnet
