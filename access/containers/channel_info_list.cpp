#include <new>
#include <vector>

#include "ravlin_containers/channel_info_record.h"
#include "ravlin_containers/ref_counted_object.h"

namespace ravlin {

namespace {

class ChannelInfoList final : public RefCountedObject<ICHANNELINFOLIST> {
 public:
  ~ChannelInfoList() override {
    for (ICHANNELINFO* item : items_) item->Release();
  }

  long GetCount() override {
    comsupport::CriticalSectionGuard guard(lock_);
    return static_cast<long>(items_.size());
  }
  int Add(ICHANNELINFO* info) override {
    if (!info) return 0;
    comsupport::CriticalSectionGuard guard(lock_);
    try {
      items_.push_back(info);
    } catch (const std::bad_alloc&) {
      return 0;
    }
    return 1;
  }
  ICHANNELINFO* GetItem(long index) override {
    comsupport::CriticalSectionGuard guard(lock_);
    if (index < 0 || static_cast<size_t>(index) >= items_.size()) return nullptr;
    ICHANNELINFO* item = items_[index];
    item->AddRef();
    return item;
  }

 private:
  std::vector<ICHANNELINFO*> items_;
};

}  // namespace

ICHANNELINFOLIST* CreateChannelInfoList() { return new (std::nothrow) ChannelInfoList; }

}  // namespace ravlin
