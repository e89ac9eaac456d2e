// One run of the registration program: find the client, move, register, mark safe.
#pragma once

#include "install_log.h"

namespace enroller {

// Never throws; every failure is logged.
void RunEnroller(InstallLog& log);

}  // namespace enroller
