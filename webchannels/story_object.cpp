#include "story_object.h"

namespace chanbind {

using comsupport::Variant;

void* StoryObject::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IChanbindStory) return static_cast<IChanbindStory*>(this);
  return nullptr;
}

long StoryObject::ColumnOf(const VARIANT& property) const {
  const VARIANT* given = &property;
  if (given->vt == (VT_BYREF | VT_VARIANT) && given->pvarVal) given = given->pvarVal;
  if (given->vt == VT_BSTR) return list_->columns().Find(given->bstrVal ? given->bstrVal : L"");
  Variant number;
  if (FAILED(::VariantChangeType(number.get(), const_cast<VARIANT*>(given), 0, VT_I4))) return -1;
  const long index = number.get()->lVal;
  return index >= 0 && index <= list_->ColumnCount() ? index : -1;
}

STDMETHODIMP StoryObject::get_Exists(VARIANT property, VARIANT_BOOL* exists) {
  if (!exists) return E_POINTER;
  *exists = VARIANT_FALSE;
  const long column = ColumnOf(property);
  if (column < 0) return S_FALSE;
  Variant value;
  StoryList::CellOf(*row_, column, list_->columns(), value.get());
  const std::wstring& title = list_->columns().Title(column);
  bool present = value.type() != VT_EMPTY && value.type() != VT_NULL;
  if (title == L"URL" || title == L"TEXT") present = value.type() == VT_BSTR && ::SysStringLen(value.get()->bstrVal) > 0;
  *exists = present ? VARIANT_TRUE : VARIANT_FALSE;
  return present ? S_OK : S_FALSE;
}

STDMETHODIMP StoryObject::get_Value(VARIANT property, VARIANT* value) {
  if (!value) return E_POINTER;
  ::VariantInit(value);
  const long column = ColumnOf(property);
  if (column < 0) return S_FALSE;
  StoryList::CellOf(*row_, column, list_->columns(), value);
  return S_OK;
}

STDMETHODIMP StoryObject::put_Value(VARIANT property, VARIANT value) {
  Variant type(static_cast<long>(PROPERTY_ATTRIBUTE));
  return Add(property, value, *type.get());
}

STDMETHODIMP StoryObject::Add(VARIANT property, VARIANT value, VARIANT type) {
  long column = -1;
  if (property.vt == VT_BSTR) {
    long kind = PROPERTY_ATTRIBUTE;
    Variant number;
    if (type.vt != VT_EMPTY && type.vt != VT_ERROR &&
        SUCCEEDED(::VariantChangeType(number.get(), &type, 0, VT_I4))) {
      kind = number.get()->lVal;
    }
    column = list_->columns().Register(property.bstrVal ? property.bstrVal : L"", static_cast<ColumnKind>(kind));
  } else {
    column = ColumnOf(property);
    if (column < 0) return E_INVALIDARG;
  }
  if (column >= static_cast<long>(row_->cells.size())) row_->cells.resize(column + 1);
  return ::VariantCopyInd(row_->cells[column].put(), &value);
}

// The package and client-object members arrive with the story capabilities.
STDMETHODIMP StoryObject::get_StoryObject(IZorvaneStory** story) {
  if (!story) return E_POINTER;
  *story = nullptr;
  return E_NOTIMPL;
}
STDMETHODIMP StoryObject::Access(VARIANT, VARIANT) { return E_NOTIMPL; }
STDMETHODIMP StoryObject::Play(VARIANT) { return E_NOTIMPL; }
STDMETHODIMP StoryObject::Replicate() { return E_NOTIMPL; }
STDMETHODIMP StoryObject::Properties() { return E_NOTIMPL; }

}  // namespace chanbind
