#include "model.h"

#include <algorithm>

namespace standin {

const Variant* NamedValues::Find(const std::string& name) const {
  for (const auto& item : items_) {
    if (::lstrcmpiA(item.first.c_str(), name.c_str()) == 0) return &item.second;
  }
  return nullptr;
}

void NamedValues::Set(const std::string& name, const Variant& value) {
  for (auto& item : items_) {
    if (::lstrcmpiA(item.first.c_str(), name.c_str()) == 0) {
      item.second = value;
      return;
    }
  }
  items_.emplace_back(name, value);
}

bool NamedValues::Remove(const std::string& name) {
  auto found = std::find_if(items_.begin(), items_.end(), [&](const auto& item) {
    return ::lstrcmpiA(item.first.c_str(), name.c_str()) == 0;
  });
  if (found == items_.end()) return false;
  items_.erase(found);
  return true;
}

bool Story::Read() const {
  const Variant* read = attributes.Find("Read");
  if (!read) return false;
  Variant copy(*read);
  return SUCCEEDED(::VariantChangeType(copy.get(), copy.get(), 0, VT_I4)) && copy.get()->lVal != 0;
}

void Story::SetRead(bool read) { attributes.Set("Read", Variant(read ? 1L : 0L)); }

Story* Channel::FindStory(long story_id) {
  for (Story& story : stories) {
    if (story.id == story_id) return &story;
  }
  return nullptr;
}

bool Channel::VariableByReference(const std::string& name) const {
  return std::any_of(variables_by_reference.begin(), variables_by_reference.end(),
                     [&](const std::string& present) { return ::lstrcmpiA(present.c_str(), name.c_str()) == 0; });
}

void Channel::SetVariableByReference(const std::string& name, bool by_reference) {
  EraseIf(variables_by_reference,
          [&](const std::string& present) { return ::lstrcmpiA(present.c_str(), name.c_str()) == 0; });
  if (by_reference) variables_by_reference.push_back(name);
}

std::string DirectoryEntry::Text(long code) const {
  auto found = properties.find(code);
  std::string text;
  if (found != properties.end()) found->second.ToText(text);
  return text;
}

long DirectoryEntry::Number(long code) const {
  auto found = properties.find(code);
  if (found == properties.end()) return 0;
  Variant copy(found->second);
  if (FAILED(::VariantChangeType(copy.get(), copy.get(), 0, VT_I4))) return 0;
  return copy.get()->lVal;
}

Channel* Model::FindChannel(long id) {
  for (Channel& channel : channels) {
    if (channel.id == id) return &channel;
  }
  return nullptr;
}

Channel* Model::FindChannelByName(const std::string& name) {
  for (Channel& channel : channels) {
    if (::lstrcmpiA(channel.name.c_str(), name.c_str()) == 0) return &channel;
  }
  return nullptr;
}

Vessik* Model::FindVessik(long id) {
  for (Vessik& vessik : vessiks) {
    if (vessik.id == id) return &vessik;
  }
  return nullptr;
}

DirectoryEntry* Model::FindEntry(long id) {
  for (DirectoryEntry& entry : entries) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

long Model::UsedCacheSize(const Channel& channel) const {
  if (channel.used_cache_size) return *channel.used_cache_size;
  long used = 0;
  for (const Vessik& vessik : vessiks) {
    if (vessik.channel == channel.id) used += vessik.size;
  }
  return used;
}

}  // namespace standin
