#include "refresh_messages.h"

#include <atomic>

#include "qm/collections.h"
#include "ravlin/data_list.h"

namespace vinnet {

namespace {

const char* const kNames[] = {
    "REFRESHCODE_CHANNEL_UPDATED",          "REFRESHCODE_CHANNEL_ADDED",
    "REFRESHCODE_CHANNEL_DELETED",          "REFRESHCODE_CHANNEL_STATUS_CHANGED",
    "REFRESHCODE_CHANNEL_ATTRIBUTE_CHANGED", "REFRESHCODE_CHANNEL_ACTIVE_STATE_CHANGED",
    "REFRESHCODE_CHANNEL_FLAGS_CHANGED",    "REFRESHCODE_CHANNEL_COUNTER_CHANGED",
    "REFRESHCODE_STORIES_DELETED",          "REFRESHCODE_STORIES_ATTRIBUTE_CHANGED",
};
constexpr size_t kCount = sizeof kNames / sizeof kNames[0];
std::atomic<UINT> ids[kCount];

}  // namespace

void RegisterRefreshMessages() {
  for (size_t code = 0; code < kCount; ++code) RefreshMessage(static_cast<RefreshCode>(code));
}

UINT RefreshMessage(RefreshCode code) {
  const size_t index = static_cast<size_t>(code);
  if (index >= kCount) return 0;
  UINT id = ids[index].load();
  if (!id) {
    id = ::RegisterWindowMessageA(kNames[index]);
    ids[index].store(id);
  }
  return id;
}

void FreeMessagePayload(UINT message, LPARAM lparam) {
  if (message == kChannelAdded) delete reinterpret_cast<CString*>(lparam);
  if (IsStoryMessage(message)) delete reinterpret_cast<DATA_LIST*>(lparam);
}

}  // namespace vinnet
