// Calls code we do not trust (a caller's callback, an event sink in another module) so that a
// structured exception raised inside it (an access fault, RaiseException) or a C++ exception
// comes back here as a failure instead of ending the thread. mingw has no __try: the guard
// pushes an exception frame of its own (x86 only). After a structured exception the callee's
// frames are abandoned without their destructors, as an __except block would leave them.
#pragma once

namespace comsupport {

// False when the call raised.
bool CallGuarded(void (*function)(void* context), void* context);

template <class Callable>
bool CallGuarded(Callable& callable) {
  return CallGuarded([](void* context) { (*static_cast<Callable*>(context))(); }, &callable);
}

}  // namespace comsupport
