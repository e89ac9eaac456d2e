#include "properties_dialogs.h"

#include <set>
#include <utility>

#include "comsupport/critical_section.h"

namespace chanbind {
namespace {

// Dialog threads release their claims, so the set is guarded.
comsupport::CriticalSection& Lock() {
  static comsupport::CriticalSection lock;
  return lock;
}

std::set<std::pair<long, long>>& OpenDialogs() {
  static std::set<std::pair<long, long>> open;
  return open;
}

}  // namespace

PropertiesDialogClaim::~PropertiesDialogClaim() {
  comsupport::CriticalSectionGuard guard(Lock());
  OpenDialogs().erase({channel_id_, story_id_});
}

std::shared_ptr<PropertiesDialogClaim> ClaimPropertiesDialog(long channel_id, long story_id) {
  comsupport::CriticalSectionGuard guard(Lock());
  if (OpenDialogs().count({channel_id, story_id})) return nullptr;
  auto claim = std::make_shared<PropertiesDialogClaim>(channel_id, story_id);
  OpenDialogs().insert({channel_id, story_id});
  return claim;
}

}  // namespace chanbind
