// The story id text that names a story across modules: "channel:story".
#include <cstdio>

#include "comsupport/boundary.h"
#include "vinnet/service.h"

CString GetStoryID(DWORD channel_id, DWORD story_id) {
  return comsupport::Boundary("GetStoryID", CString(), [&] {
    char text[32];
    std::snprintf(text, sizeof text, "%lu:%lu", channel_id, story_id);
    return CString(text);
  });
}

int CService::ParseStoryID(const char* text, DWORD& channel_id, DWORD& story_id) {
  channel_id = 0;
  story_id = 0;
  if (!text) return 0;
  unsigned long channel = 0, story = 0;
  int read = std::sscanf(text, "%lu:%lu", &channel, &story);
  if (read < 1) return 0;
  channel_id = channel;
  story_id = read > 1 ? story : 0;
  return 1;
}
