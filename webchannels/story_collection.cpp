#include "story_collection.h"

#include "comsupport/bstr.h"
#include "comsupport/com_error.h"
#include "script_errors.h"
#include "story_object.h"
#include "variant_enumerator.h"

namespace chanbind {

using comsupport::Variant;

void* StoryCollection::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IChanbindStoryCollection) {
    return static_cast<IChanbindStoryCollection*>(this);
  }
  return nullptr;
}

STDMETHODIMP StoryCollection::get_length(long* length) { return get_Count(length); }

STDMETHODIMP StoryCollection::get_Count(long* count) {
  if (!count) return E_POINTER;
  *count = static_cast<long>(rows_.size());
  return S_OK;
}

STDMETHODIMP StoryCollection::get_Item(long id, VARIANT channel_id, IChanbindStory** story) {
  if (!story) return E_POINTER;
  *story = nullptr;
  return ScriptBoundary("IChanbindStoryCollection::Item", [&] {
    long channel = default_channel_id_;
    if (channel_id.vt != VT_EMPTY && channel_id.vt != VT_NULL && channel_id.vt != VT_ERROR) {
      Variant number;
      COMSUPPORT_CHECK(IChanbindStoryCollection,
                       ::VariantChangeType(number.get(), &channel_id, 0, VT_I4));
      channel = number.get()->lVal;
    }
    for (const auto& row : rows_) {
      if (row->story_id == id && row->channel_id == channel) {
        *story = new StoryObject(list_, row, client_);
        return S_OK;
      }
    }
    return S_FALSE;
  });
}

STDMETHODIMP StoryCollection::get__NewEnum(IUnknown** enumerator) {
  if (!enumerator) return E_POINTER;
  *enumerator = nullptr;
  return ScriptBoundary("IChanbindStoryCollection::_NewEnum", [&] {
    *enumerator = NewStoryEnumerator(list_, rows_, client_);
    return S_OK;
  });
}

IUnknown* NewStoryEnumerator(const std::shared_ptr<StoryList>& list, const std::vector<std::shared_ptr<Row>>& rows,
                             const comsupport::ComPtr<IZorvane4>& client) {
  std::vector<Variant> items;
  items.reserve(rows.size());
  for (const auto& row : rows) {
    Variant item;
    item.put()->vt = VT_DISPATCH;
    item.get()->pdispVal = static_cast<IChanbindStory*>(new StoryObject(list, row, client));
    items.push_back(item);
  }
  return NewVariantEnumerator(std::move(items));
}

}  // namespace chanbind
