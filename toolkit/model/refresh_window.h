// The hidden window "QM_SERVICE_REFRESH_HANDLER_WINDOW" that receives the notification
// callbacks' messages and changes the model on the thread that created it.
#pragma once

#include <windows.h>

namespace vinnet {

// Creates the window on the calling thread (which must dispatch messages); null on failure.
HWND CreateRefreshWindow();
// Destroys it (from any thread) and unregisters its class.
void DestroyRefreshWindow();
HWND RefreshWindow();

}  // namespace vinnet
