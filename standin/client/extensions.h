// Client extensions: every class listed under HKEY_CURRENT_USER\Software\Zorvane\ClientExtensions
// is created in this process and started; at shutdown they are released.
#pragma once

#include "client.h"

namespace standin {

void StartExtensions(Client& client);
void ReleaseExtensions(Client& client);

}  // namespace standin
