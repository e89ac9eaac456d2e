#include "vinnet/story_caps.h"

#include "borrowed_model.h"
#include "comsupport/boundary.h"
#include "ravlin/ravlin.h"

namespace {

long Attribute(CService& service, long index, const char* name) {
  long value = 0;
  return service.GetStoryAttribute(index, name, value) ? value : 0;
}

// A story's Vessik id, as an attribute or, failing that, as a field.
long VessikId(CService& service, long index) {
  long id = 0;
  if (service.GetStoryAttribute(index, "Vessik Id", id) || service.GetStoryField(index, "Vessik Id", id)) return id;
  return 0;
}

CString Field(CService& service, long index, const char* name) {
  CString value;
  service.GetStoryField(index, name, value);
  return value;
}

int StoryCaps(DWORD channel_id, DWORD story_id, tagStoryCaps* caps) {
  if (!caps) return 0;
  BorrowedModel model;
  CServices* services = model.get();
  CService* service = services ? services->GetServiceByID(channel_id) : nullptr;
  const long index = service ? service->GetStoryIndex(story_id) : -1;
  if (index < 0) return 0;

  // An alert's Vessik belongs to the channel it points at.
  CService* vessik_channel = service;
  if (channel_id == VINNET_ALERTS_CHANNEL_ID) {
    vessik_channel = services->GetServiceByID(static_cast<DWORD>(Attribute(*service, index, "Alert Channel Id")));
  }
  const bool super_channel = vessik_channel && vessik_channel->IsSuperChannel();
  const bool has_vessik = super_channel && VessikId(*service, index) != 0;
  const bool has_link = !Field(*service, index, "URL").empty();
  const DWORD mask = caps->mask;
  auto answer = [mask](DWORD bit, DWORD& result, bool value) {
    if (mask & bit) result = value ? 1 : 0;
  };
  answer(1, caps->canPlayVessik,
         has_vessik && static_cast<signed char>(Attribute(*service, index, "Vessik Type")) >= 0);
  answer(2, caps->hasLink, has_link);
  answer(4, caps->hasSummary, service->IsStorySummaryAvailable(index) != 0);
  answer(8, caps->canMail, true);
  answer(16, caps->canDownload, has_link && Attribute(*service, index, "Story Local") == 0);
  answer(32, caps->canKeep, has_vessik);
  answer(32, caps->isKept, has_vessik && Attribute(*service, index, "Keep") != 0);
  answer(64, caps->hasVessik, has_vessik);
  answer(128, caps->hasIds, channel_id != 0 && story_id != 0);
  if (mask & 256) {
    int enabled = 0;
    caps->canReplicate =
        Attribute(*service, index, "Vessik Replicable") != 0 && ZRGetReplicationEnabled(&enabled) && enabled == 1 ? 1 : 0;
  }
  return 1;
}

}  // namespace

int GetStoryCaps(DWORD channel_id, DWORD story_id, tagStoryCaps* caps) {
  return comsupport::Boundary("GetStoryCaps", 0, [&] { return StoryCaps(channel_id, story_id, caps); });
}

int GetStoryCaps(const char* story_id, tagStoryCaps* caps) {
  DWORD channel_id = 0;
  DWORD story = 0;
  if (!story_id || !CService::ParseStoryID(story_id, channel_id, story)) return 0;
  return GetStoryCaps(channel_id, story, caps);
}
