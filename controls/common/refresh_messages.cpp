#include "controls/channel_model.h"

#include "vinnet/refresh_codes.h"

namespace controls {

const RefreshMessages& RefreshMessages::Get() {
  static const RefreshMessages messages = {
      ::RegisterWindowMessageA(REFRESHCODE_STORIES_DELETED),
      ::RegisterWindowMessageA(REFRESHCODE_STORIES_ATTRIBUTE_CHANGED),
      ::RegisterWindowMessageA(REFRESHCODE_CHANNEL_UPDATED),
      ::RegisterWindowMessageA(REFRESHCODE_CHANNEL_ADDED),
      ::RegisterWindowMessageA(REFRESHCODE_CHANNEL_DELETED),
      ::RegisterWindowMessageA(REFRESHCODE_CHANNEL_ATTRIBUTE_CHANGED),
  };
  return messages;
}

}  // namespace controls
