// One placement run once the settings are known: split the argument, work out and create the
// destination, copy the listed files.
#pragma once

#include <string>

#include "placement_settings.h"
#include "user_messages.h"

namespace placement {

enum class PlacementResult {
  kDisabled,         // target directory "NULL" or empty: nothing placed, nothing shown
  kBadArguments,     // no "<Vessik directory>|<title>" argument: nothing placed
  kUnsafeTitle,      // the title would leave the target directory; the user was told
  kNoFileList,       // see CopyResult
  kStopped,
  kCompleted,
};

// argument_text is the command line after the program name. Returns what happened; failures
// the user must know of have been shown through messages.
PlacementResult RunPlacement(const PlacementSettings& settings, const std::string& argument_text,
                             UserMessages& messages);

const char* PlacementResultName(PlacementResult result);

}  // namespace placement
