// CService: the stories' sub-channels, the category paths that group them.
#include <set>

#include "comsupport/boundary.h"
#include "service_state.h"
#include "vinnet/sort_string_array.h"

namespace {

constexpr long kContentCategorisedFlag = 0x100000;

void ReplaceAll(CString& text, const CString& from, const CString& to) {
  for (size_t at = text.find(from); at != CString::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

// The story's "Category"; in the alerts channel followed by its "Alert Name". A "//" stands
// for a slash inside a level's name.
CString SubChannelOf(bool alerts, ICHANNELDATARECORD& record) {
  CString text;
  vinnet::AttributeText(record, "Category", text);
  CString alert_name;
  if (alerts && vinnet::AttributeText(record, "Alert Name", alert_name) && !alert_name.empty()) {
    if (!text.empty()) text += '/';
    text += alert_name;
  }
  ReplaceAll(text, "//", "&slash;");
  return text;
}

}  // namespace

int CService::GetSubChannels(CStringArray& sub_channels) {
  return comsupport::Boundary("CService::GetSubChannels", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    sub_channels.RemoveAll();
    std::set<CString> seen;
    const bool alerts = state_->id == VINNET_ALERTS_CHANNEL_ID;
    const long count = GetNoStories();
    for (long index = 0; index < count; ++index) {
      auto record = vinnet::RecordAt(state_->data.get(), index);
      if (!record) continue;
      CString text = SubChannelOf(alerts, *record);
      if (!text.empty() && seen.insert(text).second) sub_channels.Add(text);
    }
    SortStringArray(sub_channels);
    return static_cast<int>(sub_channels.GetSize());
  });
}

void CService::GetSubChannelsCount(const CStringArray& names, CDWordArray& unread, CDWordArray& total) {
  comsupport::Boundary("CService::GetSubChannelsCount", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    unread.RemoveAll();
    total.RemoveAll();
    unread.SetSize(names.GetSize());
    total.SetSize(names.GetSize());
    const bool alerts = state_->id == VINNET_ALERTS_CHANNEL_ID;
    const long count = GetNoStories();
    for (long index = 0; index < count; ++index) {
      auto record = vinnet::RecordAt(state_->data.get(), index);
      if (!record) continue;
      const CString text = SubChannelOf(alerts, *record);
      const bool is_unread = vinnet::AttributeNumber(*record, "Read") == 0;
      for (INT_PTR name = 0; name < names.GetSize(); ++name) {
        if (names[name] != text) continue;
        ++total[name];
        if (is_unread) ++unread[name];
      }
    }
    return 0;
  });
}

int CService::ContainsSubChannels() {
  return comsupport::Boundary("CService::ContainsSubChannels", 0, [&]() -> int {
    vinnet::ServiceGuard guard(*state_);
    if (state_->id == VINNET_ALERTS_CHANNEL_ID) {
      CStringArray sub_channels;
      return GetSubChannels(sub_channels) > 0 ? 1 : 0;
    }
    return (state_->flags & kContentCategorisedFlag) ? 1 : 0;
  });
}
