// Obtaining the client: creation with its retries, and the client pointer of the calling
// thread (the library thread's own, or one per calling thread kept in the per-thread table).
#pragma once

#include "comsupport/com_ptr.h"
#include "zorvane.h"

namespace ravlin {

// Creates the client for the library thread: on the "server is starting or busy" failures it
// sleeps 1,000 ms and tries again, at most 60 attempts in all.
HRESULT CreateLibraryClient(IZorvane4** client);

// The calling thread's client pointer with one reference for the caller; empty when none can
// be had.
comsupport::ComPtr<IZorvane4> ThreadClient();

// Releases the table's pointers and drops the table (a stop's clean-up).
void ReleaseThreadClients();

// Uninitialises COM for the calling thread when this library initialised it.
void UninitialiseCallingThread();

}  // namespace ravlin
