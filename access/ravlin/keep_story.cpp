// Keeping and unkeeping a story (ZRKeepStory): the story's "Keep" attribute, then the keep mode
// of its Vessik, which stays kept while another story of the channel keeps it.
#include "client_objects.h"
#include "client_pointer.h"
#include "com_values.h"
#include "command.h"
#include "notifications.h"
#include "operations.h"

namespace ravlin {

namespace {

using comsupport::ComPtr;
using comsupport::Variant;

constexpr LONG kUserKept = static_cast<LONG>(0x80000001);
constexpr LONG kUserUnkept = static_cast<LONG>(0x80000000);

// A story's content comes as fields and its local state ("Keep" among it) as attributes;
// either may carry a value, so both are asked, the field first.
bool NumberOf(ICHANNELDATARECORD* record, const char* name, long& value) {
  return record->GetFieldNumber(name, value) || record->GetAttributeNumber(name, value);
}

// True when a story of the channel data with this Vessik has "Keep" 1.
bool KeptByAStory(ICHANNELDATA2* data, DWORD vessik_id) {
  bool kept = false;
  long position = 0;
  data->StartRecordEnum(0, &position);
  while (ICHANNELDATARECORD* record = data->NextRecord(&position)) {
    long vessik = 0, keep = 0;
    if (!kept && NumberOf(record, "Vessik Id", vessik) && static_cast<DWORD>(vessik) == vessik_id &&
        NumberOf(record, "Keep", keep) && keep == 1)
      kept = true;
    record->Release();
  }
  data->EndRecordEnum(&position);
  return kept;
}

}  // namespace

// (channel id, Vessik id, story id, keep)
LONG KeepStory(RavlinCommand& command) {
  DWORD channel_id = command.arguments[0], vessik_id = command.arguments[1], story_id = command.arguments[2];
  LONG keep = static_cast<LONG>(command.arguments[3]);
  ComPtr<IZorvaneChannel4_2> channel = FindChannel(ThreadClient().get(), channel_id);
  if (!channel) return 0;
  ComPtr<IZorvaneVessik> vessik = FindVessik(channel.get(), vessik_id);
  ComPtr<IZorvaneStory> story = FindStory(channel.get(), story_id);
  if (!vessik) return 0;
  if (story) {
    ComPtr<IZorvaneStoryAttributeCollection> attributes;
    Variant value(keep == 1 ? 1L : 0L);
    if (!Ok(story->get_Attributes(attributes.put())) || !attributes ||
        !Ok(attributes->Add(BstrOf("Keep").get(), *value.get())))
      return 0;
  }
  if (keep) {
    if (!Ok(vessik->put_KeepMode(kUserKept))) return 0;
  } else {
    // Without the channel's stories it cannot be known whether another story keeps the Vessik.
    ICHANNELDATA2* data = ReadChannelDataOf(channel.get());
    if (!data) return 0;
    bool kept_elsewhere = KeptByAStory(data, vessik_id);
    data->Release();
    if (!kept_elsewhere && !Ok(vessik->put_KeepMode(kUserUnkept))) return 0;
  }
  RaiseNotification(keep ? ZRNOTIFY_STORY_KEPT : ZRNOTIFY_STORY_UNKEPT, nullptr, channel_id, vessik_id, story_id);
  return 1;
}

}  // namespace ravlin
