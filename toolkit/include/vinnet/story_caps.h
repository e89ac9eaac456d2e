// What may be done with a story, and the category index of all channels; both read the channel
// model under its lock.
#pragma once

#include <windows.h>

#include "qm/collections.h"
#include "vinnet/vinnet_api.h"

// The caller sets mask; each result is written only when its request bit is set (isKept goes
// with bit 32, canKeep's).
struct tagStoryCaps {
  DWORD mask;
  DWORD canPlayVessik;  // 1
  DWORD hasLink;        // 2
  DWORD hasSummary;     // 4
  DWORD canMail;        // 8
  DWORD canDownload;    // 16
  DWORD canKeep;        // 32
  DWORD hasVessik;      // 64
  DWORD hasIds;         // 128
  DWORD canReplicate;   // 256
  DWORD isKept;         // 32
};

// 1 when the story is in the model (its channel's data loaded), else 0 and nothing written.
VINNET_API int GetStoryCaps(DWORD channel_id, DWORD story_id, tagStoryCaps* caps);
// The story named by its id text "channel:story"; 0 when the text names none.
VINNET_API int GetStoryCaps(const char* story_id, tagStoryCaps* caps);

// Empties the map, then maps each category of the channels (the selector as
// CService::GetCategory takes it; channels without one under "Miscellaneous") to the
// comma-separated ids of its channels in ascending order, and, when include_alerts is nonzero,
// "Alerts" to the alerts channel's id. Returns the number of entries.
VINNET_API int GetCategoryList(CMapStringToString& categories, int include_alerts, int selector);

// Mails the story through the mail dialog, owned by parent: its headline as subject, its text
// and link as body, its cached documents attached as local files. 1 when the mail system took it.
VINNET_API int MailStory(DWORD channel_id, DWORD story_id, HWND parent);
