#include <new>

#include "ravlin_containers/channel_data_object.h"

namespace ravlin {

ChannelData* ChannelData::Create() { return new (std::nothrow) ChannelData; }

ChannelData::~ChannelData() {
  for (ChannelDataRecord* record : records_) record->Release();
}

int ChannelData::GetInfoValue(const char* name, QMBuffer& value) {
  if (!name) return 0;
  comsupport::CriticalSectionGuard guard(lock_);
  for (const NamedText& info : info_)
    if (info.name == name) return value.SetBytes(info.value.data(), static_cast<long>(info.value.size())) ? 1 : 0;
  return 0;
}

long ChannelData::GetRecordCount() {
  comsupport::CriticalSectionGuard guard(lock_);
  return static_cast<long>(records_.size());
}

ICHANNELDATARECORD* ChannelData::GetRecord(long index) {
  comsupport::CriticalSectionGuard guard(lock_);
  if (index < 0 || static_cast<size_t>(index) >= records_.size()) return nullptr;
  records_[index]->AddRef();
  return records_[index];
}

int ChannelData::RemoveStory(DWORD story_id) {
  comsupport::CriticalSectionGuard guard(lock_);
  int removed = 0;
  for (size_t i = 0; i < records_.size();) {
    if (records_[i]->GetStoryId() == story_id) {
      records_[i]->Release();
      records_.erase(records_.begin() + static_cast<long>(i));
      removed = 1;
    } else {
      ++i;
    }
  }
  return removed;
}

int ChannelData::StartRecordEnum(long first, long* position) {
  if (!position) return 0;
  *position = first < 0 ? 0 : first;
  return 1;
}

ICHANNELDATARECORD* ChannelData::NextRecord(long* position) {
  if (!position) return nullptr;
  ICHANNELDATARECORD* record = GetRecord(*position);
  if (record) ++*position;
  return record;
}

void ChannelData::EndRecordEnum(long* position) {
  if (position) *position = -1;
}

int ChannelData::SetInfoValue(const char* name, const char* value) {
  if (!name || !value) return 0;
  comsupport::CriticalSectionGuard guard(lock_);
  try {
    for (NamedText& info : info_) {
      if (info.name == name) {
        info.value = value;
        return 1;
      }
    }
    info_.push_back({name, value});
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

ChannelDataRecord* ChannelData::FindRecord(DWORD story_id) {
  comsupport::CriticalSectionGuard guard(lock_);
  for (ChannelDataRecord* record : records_)
    if (record->GetStoryId() == story_id) return record;
  return nullptr;
}

ChannelDataRecord* ChannelData::AddRecord(DWORD story_id) {
  ChannelDataRecord* record = ChannelDataRecord::Create(story_id);
  if (!record) return nullptr;
  comsupport::CriticalSectionGuard guard(lock_);
  try {
    records_.push_back(record);
  } catch (const std::bad_alloc&) {
    record->Release();
    return nullptr;
  }
  return record;
}

}  // namespace ravlin
