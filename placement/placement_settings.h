// The user's placement settings, as the Kelvane channel's variables hold them.
#pragma once

#include <string>

namespace placement {

struct PlacementSettings {
  std::string target_directory;  // root of the Mendlet repository; "NULL" or empty: no placement
  std::string mirror_flag;       // "Y": a directory tree named after the title
};

// The settings from the variables' raw texts: trailing white space removed from both, the
// mirror flag upper-cased.
PlacementSettings MakePlacementSettings(const std::string& target_directory, const std::string& mirror_flag);

bool PlacementDisabled(const PlacementSettings& settings);
bool MirrorTree(const PlacementSettings& settings);

}  // namespace placement
