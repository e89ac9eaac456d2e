// The hand-over of an arrived Mendlet: a Vessik of the Kelvane channel whose directory holds
// "MyMendlet.dat" is given, with its title from "info.iad", to the placement program Shelver,
// which is started and not waited for.
#pragma once

#include "extension_log.h"
#include "zorvane.h"

namespace hookwell {

// Everything that goes wrong is logged; never throws.
void HandOverVessik(IZorvaneVessik* vessik, ExtensionLog& log) noexcept;

}  // namespace hookwell
