// The one model of the process and the lock that serialises every use of it.
#pragma once

#include "comsupport/critical_section.h"

namespace vinnet {

// Process-wide and recursive: held from GetCServices to ReleaseCServices.
comsupport::CriticalSection& ModelLock();

}  // namespace vinnet
