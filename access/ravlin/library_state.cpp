#include "library_state.h"

namespace ravlin {

namespace {

// Constructed when the library is loaded (its lock with it) and destroyed when it is unloaded.
// COM pointers it holds are released only by a stop, never at unload.
LibraryState library_state;

}  // namespace

LibraryState& State() { return library_state; }

}  // namespace ravlin
