// Runs one client dialog on a thread of its own, so that the page's call returns at once: the
// client interface is marshaled to the thread, which opens the dialog and ends. The thread is
// not waited for (the user may keep the dialog open after the page has gone).
#pragma once

#include <windows.h>
#include <objbase.h>

#include <functional>

namespace chanbind {

// false when the interface could not be marshaled or no thread could be started.
bool StartDialogThread(REFIID iid, IUnknown* object, std::function<void(IUnknown*)> open);

}  // namespace chanbind
