// CService: the stories of the channel data, by index.
#include <string>

#include "comsupport/boundary.h"
#include "service_state.h"
#include "vinnet/date_text.h"

namespace {

CString IdText(DWORD story_id) { return std::to_string(story_id); }

// A story's value changed: its cached headline may no longer hold.
void Forget(CService::State& state, ICHANNELDATARECORD& record) { state.cache.RemoveKey(IdText(record.GetStoryId())); }

}  // namespace

long CService::GetNoStories() {
  vinnet::ServiceGuard guard(*state_);
  return state_->data ? state_->data->GetRecordCount() : 0;
}

long CService::GetNumStories() {
  vinnet::ServiceGuard guard(*state_);
  if (state_->id == VINNET_ALERTS_CHANNEL_ID) return GetNoStories();
  return state_->total_stories;
}

long CService::GetNumUnreadStories() {
  vinnet::ServiceGuard guard(*state_);
  if (state_->id != VINNET_ALERTS_CHANNEL_ID) return state_->unread_stories;
  long unread = 0;
  const long count = GetNoStories();
  for (long index = 0; index < count; ++index) {
    if (auto record = vinnet::RecordAt(state_->data.get(), index)) {
      if (vinnet::AttributeNumber(*record, "Read") == 0) ++unread;
    }
  }
  return unread;
}

DWORD CService::GetStoryId(long index) {
  vinnet::ServiceGuard guard(*state_);
  auto record = vinnet::RecordAt(state_->data.get(), index);
  return record ? record->GetStoryId() : 0;
}

int CService::GetStoryID(long index, CString& story_id) {
  return comsupport::Boundary("CService::GetStoryID", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    story_id.clear();
    auto record = vinnet::RecordAt(state_->data.get(), index);
    if (!record) return 0;
    story_id = ::GetStoryID(state_->id, record->GetStoryId());
    return 1;
  });
}

long CService::GetStoryIndex(DWORD story_id) {
  vinnet::ServiceGuard guard(*state_);
  const long count = GetNoStories();
  for (long index = 0; index < count; ++index) {
    auto record = vinnet::RecordAt(state_->data.get(), index);
    if (record && record->GetStoryId() == story_id) return index;
  }
  return -1;
}

int CService::GetStoryField(long index, const char* name, CString& value) {
  return comsupport::Boundary("CService::GetStoryField", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    value.clear();
    auto record = vinnet::RecordAt(state_->data.get(), index);
    return record && vinnet::FieldText(*record, name, value) ? 1 : 0;
  });
}

int CService::GetStoryField(long index, const char* name, long& value) {
  return comsupport::Boundary("CService::GetStoryField", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    value = 0;
    auto record = vinnet::RecordAt(state_->data.get(), index);
    return record && record->GetFieldNumber(name, value) ? 1 : 0;
  });
}

int CService::SetStoryField(long index, const char* name, const char* value) {
  return comsupport::Boundary("CService::SetStoryField", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    auto record = vinnet::RecordAt(state_->data.get(), index);
    if (!record) return 0;
    Forget(*state_, *record);
    return record->SetField(name, value) ? 1 : 0;
  });
}

int CService::SetStoryField(long index, const char* name, long value) {
  return comsupport::Boundary("CService::SetStoryField", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    auto record = vinnet::RecordAt(state_->data.get(), index);
    if (!record) return 0;
    Forget(*state_, *record);
    return record->SetFieldNumber(name, value) ? 1 : 0;
  });
}

int CService::GetStoryAttribute(long index, const char* name, CString& value) {
  return comsupport::Boundary("CService::GetStoryAttribute", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    value.clear();
    auto record = vinnet::RecordAt(state_->data.get(), index);
    return record && vinnet::AttributeText(*record, name, value) ? 1 : 0;
  });
}

int CService::GetStoryAttribute(long index, const char* name, long& value) {
  return comsupport::Boundary("CService::GetStoryAttribute", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    value = 0;
    auto record = vinnet::RecordAt(state_->data.get(), index);
    return record && record->GetAttributeNumber(name, value) ? 1 : 0;
  });
}

int CService::SetStoryAttribute(long index, const char* name, const char* value) {
  return comsupport::Boundary("CService::SetStoryAttribute", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    auto record = vinnet::RecordAt(state_->data.get(), index);
    if (!record) return 0;
    Forget(*state_, *record);
    return record->SetAttribute(name, value) ? 1 : 0;
  });
}

int CService::SetStoryAttribute(long index, const char* name, long value) {
  return comsupport::Boundary("CService::SetStoryAttribute", 0, [&]() -> int {
    return SetStoryAttribute(index, name, std::to_string(value).c_str());
  });
}

int CService::GetStoryUpdatedTime(long index, CString& text) {
  return comsupport::Boundary("CService::GetStoryUpdatedTime", 0, [&]() -> int {
    text.clear();
    long time = 0;
    if (!GetStoryUpdatedTime(index, time)) return 0;
    text = ShortDateTimeText(static_cast<DWORD>(time));
    return 1;
  });
}

int CService::GetStoryUpdatedTime(long index, long& time) { return GetStoryField(index, "Story Time", time); }

int CService::DeleteStory(DWORD story_id) {
  return comsupport::Boundary("CService::DeleteStory", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    if (!state_->data) return 0;
    state_->cache.RemoveKey(IdText(story_id));
    return state_->data->RemoveStory(story_id) ? 1 : 0;
  });
}
