// The library thread: its hidden window "RAVLIN_WINDOW" (which runs the commands posted to
// it), its own client, the notification sink's registrations, and the keep-alive that notices
// a client that has gone away.
#pragma once

#include <windows.h>

#include <string>

namespace ravlin {

// The thread's entry; the start's parameter is handed over unused.
DWORD WINAPI LibraryThreadMain(void* parameter);

// "RAVLIN_INITIALIZED" and the process id in eight upper-case hexadecimal digits: signalled by
// the library thread once its start-up is over.
std::string InitializedEventName();

}  // namespace ravlin
