// A COM enumerator (IEnumConnections, IEnumConnectionPoints, IEnumVARIANT...) over a copy of a
// list taken when it was made: what changes in the list afterwards does not disturb it.
// Clones share the copy. convert hands out one element with a reference of its own.
#pragma once

#include <memory>
#include <vector>

#include "comsupport/com_object.h"

namespace comsupport {

template <class EnumInterface, const IID* Iid, class Out, class Held>
class SnapshotEnumerator : public ComObject<EnumInterface> {
 public:
  using Convert = Out (*)(const Held&);

  SnapshotEnumerator(std::shared_ptr<const std::vector<Held>> items, Convert convert, size_t position = 0)
      : items_(std::move(items)), convert_(convert), position_(position) {}

  STDMETHODIMP Next(ULONG count, Out* out, ULONG* fetched) override {
    if (!out || (count > 1 && !fetched)) return E_POINTER;
    ULONG given = 0;
    for (; given < count && position_ < items_->size(); ++given, ++position_) out[given] = convert_((*items_)[position_]);
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    const size_t left = items_->size() - position_;
    position_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(EnumInterface** out) override {
    if (!out) return E_POINTER;
    *out = new SnapshotEnumerator(items_, convert_, position_);
    return S_OK;
  }

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == *Iid) return static_cast<EnumInterface*>(this);
    return nullptr;
  }

 private:
  std::shared_ptr<const std::vector<Held>> items_;
  Convert convert_;
  size_t position_;
};

}  // namespace comsupport
