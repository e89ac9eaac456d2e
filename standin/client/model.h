// The stand-in client's in-memory world: settings, channels with their stories, Vessiks, the
// channel directory, the player and canned network answers. Plain data; the COM objects read
// and change it under the client's lock.
#pragma once

#include <windows.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "comsupport/bstr.h"

namespace standin {

using comsupport::Variant;

template <class Container, class Predicate>
void EraseIf(Container& container, Predicate predicate) {
  container.erase(std::remove_if(container.begin(), container.end(), predicate), container.end());
}

// Named values in the order they were given (channel variables, story fields, attributes).
class NamedValues {
 public:
  const std::vector<std::pair<std::string, Variant>>& items() const { return items_; }
  const Variant* Find(const std::string& name) const;
  void Set(const std::string& name, const Variant& value);
  bool Remove(const std::string& name);
  void Clear() { items_.clear(); }

 private:
  std::vector<std::pair<std::string, Variant>> items_;
};

struct Settings {
  std::string program_directory;  // with a trailing backslash
  std::string data_directory;     // with a trailing backslash
  long default_channel_cache_size = 50000000;
  bool autoplay = true;
  bool download = true;
  bool user_download = true;
  bool replication = false;
};

struct Story {
  long id = 0;
  long vessik = 0;  // 0: no package
  std::string title;
  NamedValues fields;
  NamedValues attributes;
  bool Read() const;
  void SetRead(bool read);
};

struct Channel {
  long id = 0;
  std::string name;
  std::string description;
  std::string server_address;
  long server_port = 80;
  long priority = 0;
  bool active = true;
  long current_action = 0;
  std::string status_text;
  long last_visited = 0;
  long disabled_until = 0;
  long update_interval = 60;
  long last_updated = 0;
  long next_update = 0;
  std::string directory;  // with a trailing backslash
  std::string logo_file;
  long logo_time_stamp = 0;
  std::vector<std::string> categories;
  long directory_entry = 0;  // 0: not from the directory
  long flags = 0;
  long cache_size = 0;
  std::optional<long> used_cache_size;  // else the sum of the channel's Vessik sizes
  long disallowed_types = 0;
  long no_autoplay_types = 0;
  long security_mode = 0;
  long security_flags = 0;
  long attribute_flags = 0;
  bool hidden = false;
  long story_counter = 0;
  long max_stories = 100;
  long expire_days = 30;
  std::string home_page;
  bool alerts_enabled = true;
  std::string filter;
  std::string workgroup;
  bool replicable = false;
  bool has_replication_source = false;
  NamedValues variables;
  std::vector<std::string> variables_by_reference;  // names whose Value is handed out by reference
  std::map<std::string, std::string> resource_files;
  NamedValues story_info;  // the information part of EnumStoryData ("Format", ...)
  std::vector<Story> stories;

  Story* FindStory(long story_id);
  bool VariableByReference(const std::string& name) const;
  void SetVariableByReference(const std::string& name, bool by_reference);
};

struct Vessik {
  long id = 0;
  long channel = 0;
  std::string name;
  std::string directory;  // with a trailing backslash
  long type = 0;
  long flags = 0;
  long version = 1;
  std::string description;
  long size = 0;
  long keep_mode = 0;
  long state = 0;
  long auth_state = 1;
  bool extras = true;  // false: answers IZorvaneVessik only (no file access, no authentication), as older clients do
  bool signed_package = false;
  std::string signer;
  bool replicable = false;
  bool autoplay = false;
  bool accessed = false;
  std::string main_file;
  std::string icon_file;
  std::string category;
  std::string server_address;
  std::string source_url;
  long priority = 0;
  long time_created = 0;
  long time_received = 0;
  long time_expires = 0;
  long time_last_played = 0;
  long play_count = 0;
  std::vector<std::string> files;  // full paths
};

// Property codes of the directory's property-array format.
enum EntryProperty : long {
  kEntryId = 0,
  kEntryName = 1,
  kEntryServerAddress = 2,
  kEntryTypeFlags = 3,
  kEntryStateFlags = 4,
  kEntryAttributeFlags = 5,
  kEntryGeneralFlags = 6,
  kEntryDescription = 7,
  kEntryCategories = 8,
  kEntryKeywords = 9,
  kEntryKeywordMatches = 10,
  kEntryFormFile = 20,
  kEntryTimeAdded = 38,
};

struct DirectoryEntry {
  long id = 0;
  bool subscribed = false;
  long channel = 0;                      // the subscribed channel, 0 while none
  std::map<long, Variant> properties;    // by property code, id and name included
  std::string Text(long code) const;
  long Number(long code) const;
};

struct Player {
  long last_channel = 0;
  long last_vessik = 0;
  std::string last_name;
  bool can_replay = false;
  bool playing = false;
};

struct HttpAnswer {
  std::string reply;
  long error = 0;          // ECommunicationErrors
  HRESULT result = S_OK;   // what the call itself returns
};

struct Communications {
  std::map<std::string, HttpAnswer> get;   // by URL
  std::map<std::string, HttpAnswer> post;  // by URL
  std::map<std::string, std::string> cache;  // server-and-path -> local file
};

struct ClientInfo {
  std::string name = "Zorvane";
  long major = 4, minor = 2, build = 100;
  std::string workgroup;
  long restrictions = 0;
  bool extended_read = true;  // false: stories answer IZorvaneStory only, as older clients do
};

struct Model {
  ClientInfo client;
  Settings settings;
  std::vector<Channel> channels;
  std::vector<Vessik> vessiks;
  std::vector<DirectoryEntry> entries;
  long directory_last_updated = 0;
  Player player;
  Communications communications;
  std::map<std::string, bool> dialog_answers;  // by dialog kind ("ApprovalDialog"); missing: accepted

  Channel* FindChannel(long id);
  Channel* FindChannelByName(const std::string& name);
  Vessik* FindVessik(long id);
  DirectoryEntry* FindEntry(long id);
  long UsedCacheSize(const Channel& channel) const;
};

}  // namespace standin
