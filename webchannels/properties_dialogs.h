// Which stories have their package's properties dialog open: a story's dialog runs on a thread
// of its own until the user closes it, and a second request meanwhile opens none. Kept for the
// module, so a story object made later (or from a newer story list) sees the open dialog too.
#pragma once

#include <memory>

namespace chanbind {

// Held while a story's dialog is open; destroying it marks the dialog closed.
class PropertiesDialogClaim {
 public:
  PropertiesDialogClaim(long channel_id, long story_id) : channel_id_(channel_id), story_id_(story_id) {}
  ~PropertiesDialogClaim();
  PropertiesDialogClaim(const PropertiesDialogClaim&) = delete;
  PropertiesDialogClaim& operator=(const PropertiesDialogClaim&) = delete;

 private:
  long channel_id_;
  long story_id_;
};

// The claim of the story's dialog; null when its dialog is already open.
std::shared_ptr<PropertiesDialogClaim> ClaimPropertiesDialog(long channel_id, long story_id);

}  // namespace chanbind
