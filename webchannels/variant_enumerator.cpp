#include "variant_enumerator.h"

#include <memory>

#include "comsupport/snapshot_enumerator.h"

namespace chanbind {
namespace {

VARIANT CopyOut(const comsupport::Variant& item) {
  VARIANT out;
  ::VariantInit(&out);
  ::VariantCopy(&out, const_cast<VARIANT*>(item.get()));
  return out;
}

using VariantEnumerator = comsupport::SnapshotEnumerator<IEnumVARIANT, &IID_IEnumVARIANT, VARIANT, comsupport::Variant>;

}  // namespace

IUnknown* NewVariantEnumerator(std::vector<comsupport::Variant> items) {
  auto shared = std::make_shared<const std::vector<comsupport::Variant>>(std::move(items));
  return static_cast<IEnumVARIANT*>(new VariantEnumerator(shared, &CopyOut));
}

}  // namespace chanbind
