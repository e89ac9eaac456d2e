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
// entry, where destination is the repository or a directory below it. An existing target is
// replaced whatever its age; an older one that cannot be written is reported first. Only what
// really lies inside the Vessik directory is read and only what really lies inside the
// repository is written, links followed: an entry that would reach outside either is never
// copied and ends the list like a failed copy. The Vessik directory and the repository may
// themselves be links.
CopyResult CopyListedFiles(const std::string& vessik_directory, const std::string& repository,
                           const std::string& destination, UserMessages& messages);

}  // namespace placement
