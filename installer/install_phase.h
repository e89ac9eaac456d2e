// The install phase: once every component is installed or downloaded, ask (when allowed),
// then run each downloaded component's extract, registry and install steps in install order.
#pragma once

#include "http_get.h"
#include "installer_context.h"

namespace installer {

class DownloadDialog;

DialogEnd RunInstallPhase(DownloadDialog& dialog, InstallerContext& context, bool network_download,
                          bool proxy_known, const Proxy& proxy_used);

}  // namespace installer
