// CServices: the channel list and the alerts channel, filled from the client.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "comsupport/boundary.h"
#include "model_instance.h"
#include "ravlin/ravlin.h"
#include "ravlin_ref.h"
#include "vinnet/services.h"

struct CServices::State {
  int initialized = 0;
  bool has_parameter = false;
  DWORD parameter = 0;
  std::vector<std::unique_ptr<CService>> services;
  std::unique_ptr<CService> alerts;
  DWORD history_time = 0;
};

namespace {

using vinnet::RavlinRef;

bool SameText(const char* left, const CString& right) { return left && right == left; }

}  // namespace

CServices::CServices() : state_(new State) {}

CServices::~CServices() { delete state_; }

int CServices::Initialize(DWORD parameter) {
  return comsupport::Boundary("CServices::Initialize", 0, [&] {
    if (state_->initialized && state_->has_parameter && state_->parameter == parameter) return state_->initialized;
    state_->has_parameter = true;
    state_->parameter = parameter;
    return Refresh();
  });
}

int CServices::Refresh() {
  return comsupport::Boundary("CServices::Refresh", 0, [&] {
    RemoveAll();
    state_->history_time = 0;
    state_->initialized = 0;
    RavlinRef<ICHANNELINFOLIST> list(ZREnumerateChannels());
    if (!list) return 0;
    const long count = list->GetCount();
    for (long index = 0; index < count; ++index) {
      RavlinRef<ICHANNELINFO> info(list->GetItem(index));
      if (!info) continue;
      const DWORD id = info->GetChannelId();
      const char* name = info->GetName();
      // The alerts channel lives outside the list only: a second copy would miss updates.
      if (!id || !name || !*name || id == VINNET_ALERTS_CHANNEL_ID) continue;
      auto service = std::make_unique<CService>(id, name, info->GetFlags(), nullptr);
      if (service->Initialize(info.get())) state_->services.push_back(std::move(service));
    }
    state_->alerts = std::make_unique<CService>(VINNET_ALERTS_CHANNEL_ID, "Alerts", 0, nullptr);
    RavlinRef<ICHANNELINFO> alerts_info(ZRGetChannelInfo(VINNET_ALERTS_CHANNEL_ID));
    if (alerts_info) state_->alerts->Initialize(alerts_info.get());
    state_->initialized = 1;
    return 1;
  });
}

int CServices::AddChannel(DWORD channel_id, const char* name) {
  if (!channel_id) return 0;
  return comsupport::Boundary("CServices::AddChannel", 0, [&] {
    comsupport::CriticalSectionGuard guard(vinnet::ModelLock());
    if (GetServiceByID(channel_id)) return 0;
    RavlinRef<ICHANNELINFO> info(ZRGetChannelInfo(channel_id));
    if (!info) return 0;
    auto service = std::make_unique<CService>(channel_id, name ? name : "", 0, nullptr);
    if (!service->Initialize(info.get())) return 0;
    state_->services.push_back(std::move(service));
    return 1;
  });
}

int CServices::DeleteChannel(DWORD channel_id) {
  if (!channel_id) return 0;
  comsupport::CriticalSectionGuard guard(vinnet::ModelLock());
  auto& services = state_->services;
  for (auto service = services.begin(); service != services.end(); ++service) {
    if ((*service)->GetServiceID() == channel_id) {
      services.erase(service);
      return 1;
    }
  }
  return 0;
}

void CServices::RemoveAll() {
  state_->services.clear();
  state_->alerts.reset();
}

void CServices::DeleteService(const char*) {}

int CServices::IsInitialized() { return state_->initialized; }

int CServices::GetNoServices() { return static_cast<int>(state_->services.size()); }

CService* CServices::GetService(int index) {
  if (index < 0 || index >= GetNoServices()) return nullptr;
  return state_->services[index].get();
}

CService* CServices::GetServiceByID(DWORD channel_id) {
  for (auto& service : state_->services) {
    if (service->GetServiceID() == channel_id) return service.get();
  }
  if (channel_id == VINNET_ALERTS_CHANNEL_ID) return state_->alerts.get();
  return nullptr;
}

CService* CServices::GetServiceByName(const char* name) {
  return comsupport::Boundary("CServices::GetServiceByName", static_cast<CService*>(nullptr), [&] {
    for (auto& service : state_->services) {
      if (SameText(name, service->GetDisplayName())) return service.get();
    }
    return static_cast<CService*>(nullptr);
  });
}

CService* CServices::GetServiceByDirectoryEntryId(DWORD entry_id) {
  // Channels from outside the directory have entry 0: it names none of them.
  if (!entry_id) return nullptr;
  for (auto& service : state_->services) {
    if (service->GetDirectoryEntryId() == entry_id) return service.get();
  }
  return nullptr;
}

CService* CServices::GetServiceByStoryID(const char* story_id) {
  DWORD channel_id = 0, story = 0;
  if (!CService::ParseStoryID(story_id, channel_id, story)) return nullptr;
  return GetServiceByID(channel_id);
}

CService* CServices::GetMessages() { return state_->alerts.get(); }

DWORD CServices::GetHistoryTime() { return state_->history_time; }

void CServices::PreloadServices(const CStringArray& channel_ids) {
  comsupport::Boundary("CServices::PreloadServices", 0, [&] {
    for (const CString& text : channel_ids) {
      CService* service = GetServiceByID(std::strtoul(text.c_str(), nullptr, 10));
      if (service && !service->IsDataLoaded()) service->LoadChannelData();
    }
    return 0;
  });
}

namespace {

// The service and the story's index named by a story id text; false when either is missing.
bool FindStory(CServices& services, const char* story_id, CService*& service, long& index) {
  DWORD channel_id = 0, story = 0;
  if (!CService::ParseStoryID(story_id, channel_id, story)) return false;
  service = services.GetServiceByID(channel_id);
  if (!service) return false;
  index = service->GetStoryIndex(story);
  return index >= 0;
}

template <class Read>
int ReadStory(const char* where, CServices& services, const char* story_id, Read read) {
  return comsupport::Boundary(where, 0, [&] {
    CService* service = nullptr;
    long index = -1;
    if (!FindStory(services, story_id, service, index)) return 0;
    return read(*service, index);
  });
}

}  // namespace

int CServices::GetStoryHeadline(const char* story_id, CString& headline) {
  headline.clear();
  return ReadStory("CServices::GetStoryHeadline", *this, story_id, [&](CService& service, long index) {
    headline = service.GetStoryHeadline(index);
    return 1;
  });
}

int CServices::GetStoryField(const char* story_id, const char* name, CString& value) {
  value.clear();
  return ReadStory("CServices::GetStoryField", *this, story_id,
                   [&](CService& service, long index) { return service.GetStoryField(index, name, value); });
}

int CServices::GetStoryField(const char* story_id, const char* name, long& value) {
  value = 0;
  return ReadStory("CServices::GetStoryField", *this, story_id,
                   [&](CService& service, long index) { return service.GetStoryField(index, name, value); });
}

int CServices::GetStoryAttribute(const char* story_id, const char* name, CString& value) {
  value.clear();
  return ReadStory("CServices::GetStoryAttribute", *this, story_id,
                   [&](CService& service, long index) { return service.GetStoryAttribute(index, name, value); });
}

int CServices::GetStoryAttribute(const char* story_id, const char* name, long& value) {
  value = 0;
  return ReadStory("CServices::GetStoryAttribute", *this, story_id,
                   [&](CService& service, long index) { return service.GetStoryAttribute(index, name, value); });
}

int CServices::GetStorySummary(const char* story_id, CString& summary) {
  summary.clear();
  return ReadStory("CServices::GetStorySummary", *this, story_id, [&](CService& service, long index) {
    summary = service.GetStorySummary(index);
    return 1;
  });
}
