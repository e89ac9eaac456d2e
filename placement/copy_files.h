// Copies the files that "MyMendlet.dat" of a Vessik directory lists into the destination.
#pragma once

#include <string>

#include "user_messages.h"

namespace placement {

enum class CopyResult {
  kCompleted,    // every entry copied
  kNoFileList,   // "MyMendlet.dat" could not be opened; the user was told
  kStopped,      // an entry could not be copied or was refused; the user was told
};

// Entries in file order: source = Vessik directory + "\" + entry, target = destination + "\" +
// entry. An existing target is replaced whatever its age; an older one that cannot be written
// is reported first. An entry that would reach outside either directory is never copied and
// ends the list like a failed copy.
CopyResult CopyListedFiles(const std::string& vessik_directory, const std::string& destination,
                           UserMessages& messages);

}  // namespace placement
