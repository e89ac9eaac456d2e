// The free-space check of the Kelvane channel's cache, against the push client.
#pragma once

#include "extension_log.h"
#include "zorvane.h"

namespace hookwell {

// Measures the channel's quota (its own when it has one, else the client's default) against
// the sizes of its Vessiks and warns the user when little is left; true when the warning was
// shown. Skipped silently when the client does not give its collections; any other failure
// is logged. Never throws.
bool CheckKelvaneFreeSpace(IZorvane* client, ExtensionLog& log) noexcept;

}  // namespace hookwell
