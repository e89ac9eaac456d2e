#include "client_location.h"

#include "comsupport/client_app_paths.h"
#include "shelver_command.h"

namespace hookwell {

namespace {

// Values of up to 1,024 bytes are read.
constexpr DWORD kMaximumValueBytes = 1024;

}  // namespace

std::string ClientExecutable() { return comsupport::ReadClientAppPath(nullptr, kMaximumValueBytes).value_or(""); }

std::string ClientBaseDirectory() { return BaseDirectoryOf(ClientExecutable()); }

}  // namespace hookwell
