// Where the push client is installed, from its App Paths registration.
#pragma once

#include <string>

namespace hookwell {

// The default value of HKLM "...\App Paths\Zorvane.exe" (the client's executable), empty
// when the key or the value is missing or the value is longer than 1,024 bytes. A number is
// given in decimal.
std::string ClientExecutable();

// The directory two levels above the client's executable: the installation's base, which
// holds "Halvern Extensions". Empty when the client is not registered.
std::string ClientBaseDirectory();

}  // namespace hookwell
