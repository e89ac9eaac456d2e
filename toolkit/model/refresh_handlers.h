// The refresh window's handling of the private messages: the model change on this thread,
// then the refresh messages to the subscribers. The message's payload is freed here.
#pragma once

#include <windows.h>

namespace vinnet {

void HandleRefreshMessage(UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace vinnet
