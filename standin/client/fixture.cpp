#include "fixture.h"

#include <stdexcept>

namespace standin {

namespace {

template <class T>
void Take(const Json& json, const char* key, T& target) {
  if (!json.contains(key)) return;
  try {
    target = json.at(key).get<T>();
  } catch (const Json::exception&) {
    throw std::runtime_error(std::string("fixture member \"") + key + "\" has the wrong type: " +
                             json.at(key).dump());
  }
}

// Flag words may exceed 0x7FFFFFFF in the fixture; they are 32-bit values here.
void TakeLong(const Json& json, const char* key, long& target) {
  if (!json.contains(key)) return;
  const Json& value = json.at(key);
  if (!value.is_number_integer())
    throw std::runtime_error(std::string("fixture member \"") + key + "\" is not an integer");
  target = static_cast<long>(static_cast<unsigned long>(value.get<long long>()));
}

void TakeValues(const Json& json, const char* key, NamedValues& target) {
  if (!json.contains(key)) return;
  const Json& values = json.at(key);
  if (!values.is_object()) throw std::runtime_error(std::string("fixture member \"") + key + "\" is not an object");
  for (auto item = values.begin(); item != values.end(); ++item) {
    target.Set(item.key(), JsonToVariant(item.value()));
  }
}

// Like TakeValues; {"vt": ..., "value": ..., "byRef": true} makes the variable's Value come
// back by reference.
void TakeVariables(const Json& json, Channel& channel) {
  if (!json.contains("variables")) return;
  const Json& values = json.at("variables");
  if (!values.is_object()) throw std::runtime_error("fixture member \"variables\" is not an object");
  for (auto item = values.begin(); item != values.end(); ++item) {
    Json value = item.value();
    bool by_reference = false;
    if (value.is_object() && value.contains("byRef")) {
      if (!value.at("byRef").is_boolean())
        throw std::runtime_error("\"byRef\" of variable \"" + item.key() + "\" is not true or false");
      by_reference = value.at("byRef").get<bool>();
      value.erase("byRef");
    }
    Variant variant = JsonToVariant(value);
    if (by_reference && ByReferenceSize(variant.type()) == 0)
      throw std::runtime_error("variable \"" + item.key() + "\" cannot be given by reference: " + item.value().dump());
    channel.variables.Set(item.key(), variant);
    channel.SetVariableByReference(item.key(), by_reference);
  }
}

std::string WithBackslash(std::string path) {
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

// "C:\root\program\" -> "C:\root\"
std::string ParentDirectory(const std::string& directory) {
  std::string path = directory;
  if (!path.empty() && path.back() == '\\') path.pop_back();
  size_t slash = path.rfind('\\');
  return slash == std::string::npos ? WithBackslash(path) : path.substr(0, slash + 1);
}

void Require(const Json& json, const char* key, const char* what) {
  if (!json.contains(key)) throw std::runtime_error(std::string(what) + " without \"" + key + "\": " + json.dump());
}

}  // namespace

void ApplySettings(const Json& json, Settings& settings) {
  Take(json, "programDirectory", settings.program_directory);
  Take(json, "dataDirectory", settings.data_directory);
  settings.program_directory = WithBackslash(settings.program_directory);
  settings.data_directory = WithBackslash(settings.data_directory);
  TakeLong(json, "defaultChannelCacheSize", settings.default_channel_cache_size);
  Take(json, "autoplay", settings.autoplay);
  Take(json, "download", settings.download);
  Take(json, "userDownload", settings.user_download);
  Take(json, "replication", settings.replication);
}

void ApplyStory(const Json& json, Story& story) {
  TakeLong(json, "id", story.id);
  TakeLong(json, "vessik", story.vessik);
  Take(json, "title", story.title);
  TakeValues(json, "fields", story.fields);
  TakeValues(json, "attributes", story.attributes);
  if (json.contains("read")) story.SetRead(json.at("read").get<bool>());
}

void ApplyChannel(const Json& json, Channel& channel, const Settings& settings) {
  TakeLong(json, "id", channel.id);
  Take(json, "name", channel.name);
  Take(json, "description", channel.description);
  Take(json, "serverAddress", channel.server_address);
  TakeLong(json, "serverPort", channel.server_port);
  TakeLong(json, "priority", channel.priority);
  Take(json, "active", channel.active);
  TakeLong(json, "currentAction", channel.current_action);
  Take(json, "statusText", channel.status_text);
  TakeLong(json, "lastVisited", channel.last_visited);
  TakeLong(json, "disabledUntil", channel.disabled_until);
  TakeLong(json, "updateInterval", channel.update_interval);
  TakeLong(json, "lastUpdated", channel.last_updated);
  TakeLong(json, "nextUpdate", channel.next_update);
  Take(json, "directory", channel.directory);
  Take(json, "logoFile", channel.logo_file);
  TakeLong(json, "logoTimeStamp", channel.logo_time_stamp);
  Take(json, "categories", channel.categories);
  TakeLong(json, "directoryEntry", channel.directory_entry);
  TakeLong(json, "flags", channel.flags);
  TakeLong(json, "cacheSize", channel.cache_size);
  if (json.contains("usedCacheSize")) {
    long used = 0;
    TakeLong(json, "usedCacheSize", used);
    channel.used_cache_size = used;
  }
  TakeLong(json, "disallowedVessikTypes", channel.disallowed_types);
  TakeLong(json, "noAutoplayVessikTypes", channel.no_autoplay_types);
  TakeLong(json, "securityMode", channel.security_mode);
  TakeLong(json, "securityFlags", channel.security_flags);
  TakeLong(json, "attributeFlags", channel.attribute_flags);
  Take(json, "hidden", channel.hidden);
  TakeLong(json, "storyCounter", channel.story_counter);
  TakeLong(json, "maxStories", channel.max_stories);
  TakeLong(json, "expireDays", channel.expire_days);
  Take(json, "homePage", channel.home_page);
  Take(json, "alertsEnabled", channel.alerts_enabled);
  Take(json, "filter", channel.filter);
  Take(json, "workgroup", channel.workgroup);
  Take(json, "replicable", channel.replicable);
  Take(json, "replicationSource", channel.has_replication_source);
  TakeVariables(json, channel);
  Take(json, "resourceFiles", channel.resource_files);
  TakeValues(json, "storyInfo", channel.story_info);
  if (json.contains("stories")) {
    for (const Json& story_json : json.at("stories")) {
      Require(story_json, "id", "a story");
      Story story;
      ApplyStory(story_json, story);
      if (Story* present = channel.FindStory(story.id)) {
        ApplyStory(story_json, *present);
      } else {
        channel.stories.push_back(std::move(story));
      }
    }
  }
  if (channel.directory.empty()) {
    channel.directory = settings.data_directory + "Channels\\" + std::to_string(channel.id) + "\\";
  }
  channel.directory = WithBackslash(channel.directory);
}

void ApplyVessik(const Json& json, Vessik& vessik, const Settings& settings) {
  TakeLong(json, "id", vessik.id);
  TakeLong(json, "channel", vessik.channel);
  Take(json, "name", vessik.name);
  Take(json, "directory", vessik.directory);
  TakeLong(json, "type", vessik.type);
  TakeLong(json, "flags", vessik.flags);
  TakeLong(json, "version", vessik.version);
  Take(json, "description", vessik.description);
  TakeLong(json, "size", vessik.size);
  TakeLong(json, "keepMode", vessik.keep_mode);
  TakeLong(json, "state", vessik.state);
  TakeLong(json, "authenticationState", vessik.auth_state);
  Take(json, "extras", vessik.extras);
  Take(json, "signed", vessik.signed_package);
  Take(json, "signer", vessik.signer);
  Take(json, "replicable", vessik.replicable);
  Take(json, "autoplay", vessik.autoplay);
  Take(json, "mainFile", vessik.main_file);
  Take(json, "iconFile", vessik.icon_file);
  Take(json, "serverAddress", vessik.server_address);
  Take(json, "sourceUrl", vessik.source_url);
  TakeLong(json, "priority", vessik.priority);
  TakeLong(json, "timeCreated", vessik.time_created);
  TakeLong(json, "timeReceived", vessik.time_received);
  TakeLong(json, "timeExpires", vessik.time_expires);
  TakeLong(json, "timeLastPlayed", vessik.time_last_played);
  TakeLong(json, "playCount", vessik.play_count);
  Take(json, "category", vessik.category);
  if (vessik.directory.empty()) {
    vessik.directory = settings.data_directory + "Vessiks\\" + std::to_string(vessik.id) + "\\";
  }
  vessik.directory = WithBackslash(vessik.directory);
  if (json.contains("files")) {
    const Json& files = json.at("files");
    vessik.files.clear();
    // A list names files; an object gives their contents too (written on delivery).
    if (files.is_array()) {
      for (const Json& name : files) vessik.files.push_back(vessik.directory + name.get<std::string>());
    } else {
      for (auto file = files.begin(); file != files.end(); ++file) vessik.files.push_back(vessik.directory + file.key());
    }
  }
}

void ApplyEntry(const Json& json, DirectoryEntry& entry) {
  TakeLong(json, "id", entry.id);
  Take(json, "subscribed", entry.subscribed);
  TakeLong(json, "channel", entry.channel);
  struct Named {
    const char* key;
    long code;
  };
  static const Named kNamed[] = {
      {"name", kEntryName},           {"serverAddress", kEntryServerAddress},
      {"typeFlags", kEntryTypeFlags}, {"stateFlags", kEntryStateFlags},
      {"attributeFlags", kEntryAttributeFlags}, {"generalFlags", kEntryGeneralFlags},
      {"description", kEntryDescription}, {"categories", kEntryCategories},
      {"keywords", kEntryKeywords},   {"keywordMatches", kEntryKeywordMatches},
      {"formFile", kEntryFormFile},   {"timeAdded", kEntryTimeAdded},
  };
  for (const Named& named : kNamed) {
    if (json.contains(named.key)) entry.properties[named.code] = JsonToVariant(json.at(named.key));
  }
  if (json.contains("properties")) {
    const Json& properties = json.at("properties");
    for (auto item = properties.begin(); item != properties.end(); ++item) {
      entry.properties[std::stol(item.key())] = JsonToVariant(item.value());
    }
  }
  entry.properties[kEntryId] = comsupport::Variant(entry.id);
}

Model LoadModel(const Json& fixture, const std::string& program_directory) {
  if (!fixture.is_object()) throw std::runtime_error("a fixture is a JSON object");
  Model model;
  model.settings.program_directory = WithBackslash(program_directory);
  model.settings.data_directory = ParentDirectory(model.settings.program_directory) + "data\\";
  if (fixture.contains("client")) {
    const Json& client = fixture.at("client");
    Take(client, "name", model.client.name);
    TakeLong(client, "major", model.client.major);
    TakeLong(client, "minor", model.client.minor);
    TakeLong(client, "build", model.client.build);
    Take(client, "workgroup", model.client.workgroup);
    TakeLong(client, "restrictions", model.client.restrictions);
    Take(client, "extendedRead", model.client.extended_read);
  }
  if (fixture.contains("settings")) ApplySettings(fixture.at("settings"), model.settings);
  for (const Json& json : fixture.value("channels", Json::array())) {
    Require(json, "id", "a channel");
    Channel channel;
    ApplyChannel(json, channel, model.settings);
    if (channel.id == 0) throw std::runtime_error("channel id 0 is never valid");
    if (model.FindChannel(channel.id)) throw std::runtime_error("two channels with id " + std::to_string(channel.id));
    model.channels.push_back(std::move(channel));
  }
  for (const Json& json : fixture.value("vessiks", Json::array())) {
    Require(json, "id", "a Vessik");
    Vessik vessik;
    ApplyVessik(json, vessik, model.settings);
    model.vessiks.push_back(std::move(vessik));
  }
  if (fixture.contains("directory")) {
    const Json& directory = fixture.at("directory");
    TakeLong(directory, "lastUpdated", model.directory_last_updated);
    for (const Json& json : directory.value("entries", Json::array())) {
      Require(json, "id", "a directory entry");
      DirectoryEntry entry;
      ApplyEntry(json, entry);
      model.entries.push_back(std::move(entry));
    }
  }
  if (fixture.contains("player")) {
    const Json& player = fixture.at("player");
    TakeLong(player, "lastChannel", model.player.last_channel);
    TakeLong(player, "lastVessik", model.player.last_vessik);
    Take(player, "lastName", model.player.last_name);
    Take(player, "canReplayLast", model.player.can_replay);
    Take(player, "playing", model.player.playing);
  }
  Take(fixture, "dialogs", model.dialog_answers);
  if (fixture.contains("communications")) {
    const Json& communications = fixture.at("communications");
    auto answers = [&](const char* key, std::map<std::string, HttpAnswer>& target) {
      if (!communications.contains(key)) return;
      for (auto& [url, json] : communications.at(key).items()) {
        HttpAnswer answer;
        Take(json, "reply", answer.reply);
        TakeLong(json, "error", answer.error);
        long result = 0;
        TakeLong(json, "hr", result);
        answer.result = result;
        target[url] = answer;
      }
    };
    answers("get", model.communications.get);
    answers("post", model.communications.post);
    Take(communications, "cache", model.communications.cache);
  }
  return model;
}

}  // namespace standin
