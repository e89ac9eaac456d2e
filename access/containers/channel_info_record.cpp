#include "ravlin_containers/channel_info_record.h"

#include <new>

#include "ravlin_containers/ref_counted_object.h"

namespace ravlin {

namespace {

// The values never change after construction, so the getters need no lock.
class ChannelInfoRecord final : public RefCountedObject<ICHANNELINFO> {
 public:
  explicit ChannelInfoRecord(const ChannelInfoValues& values) : values_(values) {}

  DWORD GetChannelId() override { return values_.channel_id; }
  const char* GetName() override { return values_.name.c_str(); }
  long GetFlags() override { return values_.flags; }
  const char* GetSecondText() override { return values_.second_text.c_str(); }
  int GetCategories(BUFFER_LIST& categories) override {
    categories.AddSplitText(values_.categories.c_str(), ';');
    return values_.categories.empty() ? 0 : 1;
  }
  const char* GetCategoriesText() override { return values_.categories.c_str(); }
  long GetLastVisited() override { return values_.last_visited; }
  long GetReserved1() override { return values_.reserved1; }
  long GetDisabledUntil() override { return values_.disabled_until; }
  DWORD GetDirectoryEntryId() override { return values_.directory_entry_id; }
  const char* GetLogoFile() override { return values_.logo_file.c_str(); }
  long GetAttributeFlags() override { return values_.attribute_flags; }
  long IsDisabled() override { return values_.disabled; }
  long GetReserved2() override { return values_.reserved2; }
  long GetTotalStories() override { return values_.total_stories; }
  long GetUnreadStories() override { return values_.unread_stories; }
  long GetHidden() override { return values_.hidden; }

 private:
  const ChannelInfoValues values_;
};

}  // namespace

ICHANNELINFO* CreateChannelInfo(const ChannelInfoValues& values) {
  try {
    return new ChannelInfoRecord(values);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace ravlin
