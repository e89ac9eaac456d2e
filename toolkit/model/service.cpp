// CService: construction, the channel record's values and the story data it holds.
#include <cstdio>
#include <new>
#include <utility>

#include "ravlin/ravlin.h"
#include "comsupport/boundary.h"
#include "service_state.h"
#include "vinnet/date_text.h"

namespace {

constexpr long kHeadlinesOnlyFlag = 0x1000;
constexpr long kFilteredAttribute = 0x1;
constexpr long kSecureAttribute = 0x2;
constexpr long kHomeServerAttribute = 0x4;

// The scroller format that the channel data names: its "Format" when that translates, the
// default for any other "Format", else its "Scroller Field"; empty when it names none.
CString ScrollerFormatOfData(ICHANNELDATAMULTIPLENODB& data) {
  CString value;
  if (vinnet::InfoText(data, "Format", value)) {
    CString scroller;
    if (CService::TranslateFormatToScrollerField(value.c_str(), scroller)) return scroller;
    return VINNET_DEFAULT_SCROLLER_FORMAT;
  }
  if (vinnet::InfoText(data, "Scroller Field", value)) return value;
  return CString();
}

CString Text(const char* text) { return text ? CString(text) : CString(); }

}  // namespace

namespace vinnet {

RavlinRef<ICHANNELDATARECORD> RecordAt(ICHANNELDATAMULTIPLENODB* data, long index) {
  if (!data || index < 0) return RavlinRef<ICHANNELDATARECORD>();
  return RavlinRef<ICHANNELDATARECORD>(data->GetRecord(index));
}

bool FieldText(ICHANNELDATARECORD& record, const char* name, CString& value) {
  QMBuffer buffer;
  if (!record.GetField(name, buffer)) return false;
  value.assign(buffer.GetText(), static_cast<size_t>(buffer.GetSize()));
  return true;
}

bool AttributeText(ICHANNELDATARECORD& record, const char* name, CString& value) {
  QMBuffer buffer;
  if (!record.GetAttribute(name, buffer)) return false;
  value.assign(buffer.GetText(), static_cast<size_t>(buffer.GetSize()));
  return true;
}

long AttributeNumber(ICHANNELDATARECORD& record, const char* name) {
  long value = 0;
  return record.GetAttributeNumber(name, value) ? value : 0;
}

bool InfoText(ICHANNELDATAMULTIPLENODB& data, const char* name, CString& value) {
  QMBuffer buffer;
  if (!data.GetInfoValue(name, buffer)) return false;
  value.assign(buffer.GetText(), static_cast<size_t>(buffer.GetSize()));
  return true;
}

}  // namespace vinnet

CService::CService(DWORD id, const char* name, long flags, ICHANNELDATAMULTIPLENODB* data) : state_(new State) {
  state_->id = id;
  state_->name = Text(name);
  state_->flags = flags;
  // The alerts channel shows under its own name.
  if (id == VINNET_ALERTS_CHANNEL_ID) state_->category = state_->name;
  SetChannelData(data);
}

CService::~CService() { delete state_; }

int CService::Initialize(ICHANNELINFO* info) {
  return comsupport::Boundary("CService::Initialize", 0, [&]() -> int {
    if (!info) return 0;
    vinnet::ServiceGuard guard(*state_);
    State& state = *state_;
    state.category = Text(state.id == VINNET_ALERTS_CHANNEL_ID ? info->GetName() : info->GetCategoriesText());
    state.last_visited = info->GetLastVisited();
    state.headline = (info->GetFlags() & kHeadlinesOnlyFlag) ? 0 : 1;
    state.enabled = info->IsDisabled() ? 0 : 1;
    state.attribute_flags = info->GetAttributeFlags();
    state.flags = info->GetFlags();
    state.entry_id = info->GetDirectoryEntryId();
    state.logo_file = Text(info->GetLogoFile());
    state.further_text = Text(info->GetSecondText());
    state.name = Text(info->GetName());
    state.total_stories = info->GetTotalStories();
    state.unread_stories = info->GetUnreadStories();
    state.initialized = 1;
    return state.name.empty() ? 0 : 1;
  });
}

int CService::LoadChannelData() {
  return comsupport::Boundary("CService::LoadChannelData", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    int loaded = 0;
    state_->cache.RemoveAll();
    vinnet::RavlinRef<ICHANNELDATAMULTIPLENODB> data(ZRReadChannelData(state_->id));
    if (data) {
      SetChannelData(data.get());
      loaded = 1;
    }
    if (!state_->initialized) {
      vinnet::RavlinRef<ICHANNELINFO> info(ZRGetChannelInfo(state_->id));
      Initialize(info.get());
    }
    return loaded;
  });
}

int CService::IsDataLoaded() {
  vinnet::ServiceGuard guard(*state_);
  return state_->data ? 1 : 0;
}

ICHANNELDATAMULTIPLENODB* CService::GetChannelData() {
  vinnet::ServiceGuard guard(*state_);
  if (state_->data) state_->data->AddRef();
  return state_->data.get();
}

void CService::SetChannelData(ICHANNELDATAMULTIPLENODB* data) {
  comsupport::Boundary("CService::SetChannelData", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    state_->cache.RemoveAll();
    vinnet::RavlinRef<ICHANNELDATAMULTIPLENODB> kept;
    if (data) {
      data->AddRef();
      kept.reset(data);
      CString format = ScrollerFormatOfData(*data);
      if (!format.empty()) state_->scroller_format = format;
    }
    state_->data = std::move(kept);
    if (state_->scroller_format.empty()) state_->scroller_format = VINNET_DEFAULT_SCROLLER_FORMAT;
    return 0;
  });
}

void CService::EnterCriticalSection() { state_->lock.Enter(); }
void CService::LeaveCriticalSection() { state_->lock.Leave(); }

DWORD CService::GetServiceID() { return state_->id; }

CString CService::GetDisplayName() {
  return comsupport::Boundary("CService::GetDisplayName", CString(), [&]() -> CString {
    vinnet::ServiceGuard guard(*state_);
    return state_->name;
  });
}

int CService::GetCategory(CString& category, int selector) {
  return comsupport::Boundary("CService::GetCategory", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    category.clear();
    if (selector <= 0) {
      category = state_->category;
    } else {
      BUFFER_LIST names;
      names.AddSplitText(state_->category.c_str(), ';');
      if (QMBuffer* name = names.GetBuffer(selector - 1)) category = name->GetText();
    }
    return category.empty() ? 0 : 1;
  });
}

void CService::SetCategory(const char* category) {
  comsupport::Boundary("CService::SetCategory", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    state_->category = Text(category);
    return 0;
  });
}

DWORD CService::GetDirectoryEntryId() {
  vinnet::ServiceGuard guard(*state_);
  return state_->entry_id;
}

long CService::GetFlags() {
  vinnet::ServiceGuard guard(*state_);
  return state_->flags;
}

long CService::GetAttributeFlags() {
  vinnet::ServiceGuard guard(*state_);
  return state_->attribute_flags;
}

long CService::GetLastVisited() {
  vinnet::ServiceGuard guard(*state_);
  return state_->last_visited;
}

int CService::IsEnabled() {
  vinnet::ServiceGuard guard(*state_);
  return state_->enabled;
}

int CService::IsFiltered() { return (GetAttributeFlags() & kFilteredAttribute) ? 1 : 0; }
int CService::IsSecure() { return (GetAttributeFlags() & kSecureAttribute) ? 1 : 0; }
int CService::IsHomeServer() { return (GetAttributeFlags() & kHomeServerAttribute) ? 1 : 0; }

int CService::IsSuperChannel() {
  vinnet::ServiceGuard guard(*state_);
  return state_->headline;
}

int CService::IsInitialized() {
  vinnet::ServiceGuard guard(*state_);
  return state_->initialized;
}

CString CService::GetLogoBitmapFile() {
  return comsupport::Boundary("CService::GetLogoBitmapFile", CString(), [&]() -> CString {
    vinnet::ServiceGuard guard(*state_);
    return state_->logo_file;
  });
}

CString CService::GetLastUpdatedDateTime() {
  return comsupport::Boundary("CService::GetLastUpdatedDateTime", CString(), [&]() -> CString {
    long last_visited = GetLastVisited();
    return last_visited ? ShortDateTimeText(static_cast<DWORD>(last_visited)) : CString();
  });
}

int CService::GetServiceDateData(CString& date) {
  return comsupport::Boundary("CService::GetServiceDateData", 0, [&]() -> int {
    long last_visited = GetLastVisited();
    date = last_visited ? LongDateTimeText(static_cast<DWORD>(last_visited)) : CString();
    return date.empty() ? 0 : 1;
  });
}

int CService::GetServiceInfo(CString& info) {
  return comsupport::Boundary("CService::GetServiceInfo", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    char counts[64];
    std::snprintf(counts, sizeof counts, " (%lu): %ld of %ld unread", state_->id, GetNumUnreadStories(),
                  GetNumStories());
    info = state_->name + counts;
    return 1;
  });
}

CString CService::GetAnimFile() {
  return comsupport::Boundary("CService::GetAnimFile", CString(), [&]() -> CString {
    vinnet::ServiceGuard guard(*state_);
    return state_->further_text;
  });
}

CString CService::GetScrollerFormat() {
  return comsupport::Boundary("CService::GetScrollerFormat", CString(), [&]() -> CString {
    vinnet::ServiceGuard guard(*state_);
    return state_->scroller_format;
  });
}
