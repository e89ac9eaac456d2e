// A script's collection of stories (All: every story read; Stories: the table's rows): a
// snapshot of rows of one story list, found by story id within a channel.
#pragma once

#include <memory>
#include <vector>

#include "chanbind.h"
#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"
#include "comsupport/dispatch_impl.h"
#include "story_list.h"

namespace chanbind {

class StoryCollection
    : public comsupport::ComObject<comsupport::ScriptDispatchImpl<IChanbindStoryCollection, &LIBID_CHANBIND2Lib>> {
 public:
  // default_channel_id: the first monitored channel's id, used when Item names no channel.
  StoryCollection(std::shared_ptr<StoryList> list, std::vector<std::shared_ptr<Row>> rows,
                  comsupport::ComPtr<IZorvane4> client, long default_channel_id)
      : list_(std::move(list)), rows_(std::move(rows)), client_(std::move(client)),
        default_channel_id_(default_channel_id) {}

  STDMETHODIMP get_length(long* length) override;
  STDMETHODIMP get_Count(long* count) override;
  STDMETHODIMP get_Item(long id, VARIANT channel_id, IChanbindStory** story) override;
  STDMETHODIMP get__NewEnum(IUnknown** enumerator) override;

 protected:
  void* FindInterface(REFIID iid) override;

 private:
  std::shared_ptr<StoryList> list_;
  std::vector<std::shared_ptr<Row>> rows_;
  comsupport::ComPtr<IZorvane4> client_;
  long default_channel_id_;
};

// One reference for the caller: an IEnumVARIANT of story objects over rows.
IUnknown* NewStoryEnumerator(const std::shared_ptr<StoryList>& list, const std::vector<std::shared_ptr<Row>>& rows,
                             const comsupport::ComPtr<IZorvane4>& client);

}  // namespace chanbind
