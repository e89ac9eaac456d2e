// Names that come from outside (payload records, "files" entries) must stay below the folder
// they are written to: no drive, no absolute path, no ".." step.
#pragma once

#include <string>

namespace installer {

// True for a relative name whose every step is a plain name; "/" counts as a separator too.
bool IsSafeRelativeName(const std::string& name);

}  // namespace installer
