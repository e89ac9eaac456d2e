// The module's control registry: the live controls whose windows exist, guarded by one lock,
// and the one client notification callback they share. When the client shuts down, the
// callback (on whatever thread the access library calls it) posts kClientShutdownMessage to
// every registered window, unregisters itself and empties the registry; each control then
// releases the libraries on its own thread.
#pragma once

#include <windows.h>

namespace controls {

class ControlBase;

// Enters control with its window (again: updates the window); the first entry registers the
// callback with the access library.
void RegisterControl(ControlBase* control, HWND window);
// The control's window is gone; it stays registered until RemoveControl.
void ForgetControlWindow(ControlBase* control);
// Takes control out; when none is left, the callback is unregistered.
void RemoveControl(ControlBase* control);
// How many controls the registry holds (for tests of the module).
size_t RegisteredControlCount();

}  // namespace controls
