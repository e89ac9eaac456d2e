// IEnumVARIANT over a snapshot of a collection.
#include <windows.h>
#include <oleauto.h>

#include <memory>

#include "comsupport/com_object.h"
#include "objects.h"

namespace standin {

namespace {

using comsupport::Variant;

class Enumerator : public comsupport::ComObject<IEnumVARIANT> {
 public:
  Enumerator(std::shared_ptr<const std::vector<Variant>> items, size_t position)
      : items_(std::move(items)), position_(position) {}

  STDMETHODIMP Next(ULONG count, VARIANT* out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG given = 0;
    for (; given < count && position_ < items_->size(); ++given, ++position_) {
      ::VariantInit(&out[given]);
      HRESULT hr = ::VariantCopy(&out[given], const_cast<VARIANT*>((*items_)[position_].get()));
      if (FAILED(hr)) {
        for (ULONG i = 0; i < given; ++i) ::VariantClear(&out[i]);
        return hr;
      }
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    size_t left = items_->size() - position_;
    position_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumVARIANT** clone) override {
    if (!clone) return E_POINTER;
    *clone = new Enumerator(items_, position_);
    return S_OK;
  }

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IEnumVARIANT) return static_cast<IEnumVARIANT*>(this);
    return nullptr;
  }

 private:
  std::shared_ptr<const std::vector<Variant>> items_;
  size_t position_;
};

}  // namespace

HRESULT NewEnumerator(std::vector<Variant> items, IUnknown** out) {
  *out = new Enumerator(std::make_shared<const std::vector<Variant>>(std::move(items)), 0);
  return S_OK;
}

Variant DispatchVariant(IDispatch* object) {
  Variant result;
  result.get()->vt = VT_DISPATCH;
  result.get()->pdispVal = object;
  return result;
}

}  // namespace standin
