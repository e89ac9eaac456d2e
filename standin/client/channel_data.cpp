#include "channel_data.h"

#include <stdexcept>

#include "json_value.h"
#include "zorvane.h"

namespace standin {

using comsupport::Variant;

namespace {

Variant Bool(bool value) {
  Variant result;
  result.get()->vt = VT_BOOL;
  result.get()->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

long UnreadCount(const Channel& channel) {
  long unread = 0;
  for (const Story& story : channel.stories) unread += story.Read() ? 0 : 1;
  return unread;
}

Variant Pair(const Variant& first, const Variant& second) { return VariantArray({first, second}); }

}  // namespace

Variant StoryData(const Channel& channel, bool unread_only) {
  std::vector<Variant> info_names, info_values;
  for (const auto& [name, value] : channel.story_info.items()) {
    info_names.emplace_back(name);
    info_values.push_back(value);
  }
  std::vector<Variant> field_ids, field_names, field_values;
  std::vector<Variant> attribute_ids, attribute_names, attribute_values;
  for (const Story& story : channel.stories) {
    if (unread_only && story.Read()) continue;
    auto field = [&](const std::string& name, const Variant& value) {
      field_ids.emplace_back(story.id);
      field_names.emplace_back(name);
      field_values.push_back(value);
    };
    if (!story.fields.Find("Title")) field("Title", Variant(story.title));
    if (story.vessik != 0 && !story.fields.Find("Vessik Id")) field("Vessik Id", Variant(story.vessik));
    for (const auto& [name, value] : story.fields.items()) field(name, value);
    for (const auto& [name, value] : story.attributes.items()) {
      attribute_ids.emplace_back(story.id);
      attribute_names.emplace_back(name);
      attribute_values.push_back(value);
    }
  }
  return VariantArray({
      Pair(VariantArray(info_names), VariantArray(info_values)),
      VariantArray({VariantArray(field_ids), VariantArray(field_names), VariantArray(field_values)}),
      VariantArray({VariantArray(attribute_ids), VariantArray(attribute_names), VariantArray(attribute_values)}),
  });
}

Variant ChannelProperties(const Model& model, const Channel& channel, long codes) {
  std::vector<long> given;
  std::vector<Variant> values;
  for (long bit = 1; bit <= CHN_PROP_HIDDEN; bit <<= 1) {
    if (!(codes & bit)) continue;
    Variant value;
    switch (bit) {
      case CHN_PROP_ID: value = Variant(channel.id); break;
      case CHN_PROP_NAME: value = Variant(channel.name); break;
      case CHN_PROP_ACTIVE: value = Bool(channel.active); break;
      case CHN_PROP_LAST_VISITED: value = Variant(channel.last_visited); break;
      case CHN_PROP_DISABLED_UNTIL: value = Variant(channel.disabled_until); break;
      case CHN_PROP_FLAGS: value = Variant(channel.flags); break;
      case CHN_PROP_CACHE_SIZE:
        value = Variant((channel.flags & CHN_FLAG_NO_DEFAULT_SPACE) ? channel.cache_size
                                                                     : model.settings.default_channel_cache_size);
        break;
      case CHN_PROP_CATEGORIES: value = StringArray(channel.categories); break;
      case CHN_PROP_SERVER_ADDRESS: value = Variant(channel.server_address); break;
      case CHN_PROP_STATUS_TEXT: value = Variant(channel.status_text); break;
      case CHN_PROP_DIRECTORY_ENTRY_ID: value = Variant(channel.directory_entry); break;
      case CHN_PROP_LOGO_FILE: value = Variant(channel.logo_file); break;
      case CHN_PROP_ATTRIBUTE_FLAGS: value = Variant(channel.attribute_flags); break;
      case CHN_PROP_TOTAL_STORIES: value = Variant(static_cast<long>(channel.stories.size())); break;
      case CHN_PROP_UNREAD_STORIES: value = Variant(UnreadCount(channel)); break;
      case CHN_PROP_HIDDEN: value = Bool(channel.hidden); break;
    }
    given.push_back(bit);
    values.push_back(value);
  }
  return Pair(LongArray(given), VariantArray(values));
}

bool EntrySelected(const DirectoryEntry& entry, long which) {
  if (entry.subscribed) return (which & DIR_ENUM_SUBSCRIBED) != 0;
  return (which & DIR_ENUM_UNSUBSCRIBED) != 0;
}

Variant EntryIds(const Model& model, long which) {
  std::vector<long> ids;
  for (const DirectoryEntry& entry : model.entries) {
    if (EntrySelected(entry, which)) ids.push_back(entry.id);
  }
  return LongArray(ids);
}

Variant EntryProperties(const Model& model, long which) {
  std::vector<Variant> entries;
  for (const DirectoryEntry& entry : model.entries) {
    if (!EntrySelected(entry, which)) continue;
    std::vector<long> codes;
    std::vector<Variant> values;
    for (const auto& [code, value] : entry.properties) {
      codes.push_back(code);
      values.push_back(value);
    }
    entries.push_back(Pair(LongArray(codes), VariantArray(values)));
  }
  return VariantArray(entries);
}

}  // namespace standin
