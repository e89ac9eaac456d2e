// One run of the proxy settings writer: Ostrel.ini's valid proxy into a new userconf.reg.
#pragma once

#include <string>

namespace proxywriter {

// What happened, as one line of text for the debugger output; never throws.
std::string RunProxyWriter();

}  // namespace proxywriter
