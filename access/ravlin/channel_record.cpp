#include "channel_record.h"

#include <vector>

#include "com_values.h"
#include "ravlin_containers/channel_info_record.h"

namespace ravlin {

namespace {

using comsupport::Variant;

// id, name, active, last visited, disabled until, flags, categories, directory entry id, logo
// file, attribute flags, unread stories, hidden
constexpr long kRecordProperties = 0xDCBF;

}  // namespace

ICHANNELINFO* BuildChannelRecord(IZorvaneChannel4* channel) {
  if (!channel) return nullptr;
  Variant answer;
  if (!Ok(channel->EnumProperties(kRecordProperties, CHN_PROP_FORMAT_ARRAY, answer.put()))) return nullptr;
  std::vector<Variant> parts, codes, values;
  if (!ArrayElements(*answer.get(), parts) || parts.size() < 2 || !ArrayElements(*parts[0].get(), codes) ||
      !ArrayElements(*parts[1].get(), values))
    return nullptr;
  ChannelInfoValues record;
  long active = 1;
  for (size_t i = 0; i < codes.size() && i < values.size(); ++i) {
    long code = 0;
    if (!VariantToLong(*codes[i].get(), code)) continue;
    const VARIANT& value = *values[i].get();
    long number = 0;
    std::string text;
    switch (code) {
      case CHN_PROP_NAME:
        if (VariantToText(value, text)) record.name = text;
        break;
      case CHN_PROP_CATEGORIES:
        if (VariantToText(value, text)) record.categories = text;
        break;
      case CHN_PROP_LOGO_FILE:
        if (VariantToText(value, text)) record.logo_file = text;
        break;
      default:
        if (!VariantToLong(value, number)) break;
        switch (code) {
          case CHN_PROP_ID: record.channel_id = static_cast<DWORD>(number); break;
          case CHN_PROP_ACTIVE: active = number; break;
          case CHN_PROP_LAST_VISITED: record.last_visited = number; break;
          case CHN_PROP_DISABLED_UNTIL: record.disabled_until = number; break;
          case CHN_PROP_FLAGS: record.flags = number; break;
          case CHN_PROP_DIRECTORY_ENTRY_ID: record.directory_entry_id = static_cast<DWORD>(number); break;
          case CHN_PROP_ATTRIBUTE_FLAGS: record.attribute_flags = number; break;
          case CHN_PROP_UNREAD_STORIES: record.unread_stories = number; break;
          case CHN_PROP_HIDDEN: record.hidden = number; break;
          default: break;
        }
    }
  }
  if (record.name.empty() || record.channel_id == 0) return nullptr;
  record.disabled = active ? 0 : 1;
  return CreateChannelInfo(record);
}

}  // namespace ravlin
