// Where a Mendlet's files go, and creating that directory path.
#pragma once

#include <string>

#include "placement_settings.h"

namespace placement {

// The title text as a path below the target directory: every "//" becomes "_", then every
// "/" a "\" (a "/" starts a subdirectory level).
std::string TitlePath(const std::string& title_text);

// The target directory without one trailing "\": the repository's root.
std::string Repository(const PlacementSettings& settings);

// The repository, plus "\" and the title path when the mirror flag is "Y". Only for settings
// that do not disable placement.
std::string Destination(const PlacementSettings& settings, const std::string& title_path);

// Creates path one level at a time ("C:\", "\\server\share\" and a leading "\" are taken as
// they are); levels that exist already are fine. Each level is created by its full path, so a
// level that cannot be made stops the walk rather than landing the rest elsewhere. The levels
// below repository (which path begins with) must really lie inside it: a level that is a link
// leading out of the repository stops the walk, so nothing is made outside; the repository
// itself may be a link. The current directory is left at the deepest directory reached. Errors
// are not reported: a missing directory shows up when the files are copied.
void CreateDestination(const std::string& repository, const std::string& path);

}  // namespace placement
