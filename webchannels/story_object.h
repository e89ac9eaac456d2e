// A story as scripts see it (Story, OnFilter, OnDeletedStory, the story collections): one row
// of one story list, read and written in place, and the client's story and package behind it. It keeps the list alive, so a story from an earlier Reset still
// reads its old row.
#pragma once

#include <memory>

#include "chanbind.h"
#include "comsupport/com_object.h"
#include "comsupport/com_ptr.h"
#include "comsupport/dispatch_impl.h"
#include "story_list.h"

namespace chanbind {

class StoryObject : public comsupport::ComObject<comsupport::ScriptDispatchImpl<IChanbindStory, &LIBID_CHANBIND2Lib>> {
 public:
  // client: the control's client object when the story was made (may be null).
  StoryObject(std::shared_ptr<StoryList> list, std::shared_ptr<Row> row, comsupport::ComPtr<IZorvane4> client)
      : list_(std::move(list)), row_(std::move(row)), client_(std::move(client)) {}

  STDMETHODIMP get_Exists(VARIANT property, VARIANT_BOOL* exists) override;
  STDMETHODIMP get_Value(VARIANT property, VARIANT* value) override;
  STDMETHODIMP put_Value(VARIANT property, VARIANT value) override;
  STDMETHODIMP get_StoryObject(IZorvaneStory** story) override;
  STDMETHODIMP Access(VARIANT flags, VARIANT minutes) override;
  STDMETHODIMP Play(VARIANT attachment) override;
  STDMETHODIMP Replicate() override;
  STDMETHODIMP Add(VARIANT property, VARIANT value, VARIANT type) override;
  STDMETHODIMP Properties() override;

 protected:
  void* FindInterface(REFIID iid) override;

 private:
  // The column index of a title or number; -1 when unknown.
  long ColumnOf(const VARIANT& property) const;

  std::shared_ptr<StoryList> list_;
  std::shared_ptr<Row> row_;
  comsupport::ComPtr<IZorvane4> client_;
};

}  // namespace chanbind
