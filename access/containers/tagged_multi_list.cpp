#include "ravlin/tagged_multi_list.h"

#include <new>

struct TAGGED_MULTI_LIST::Entry {
  long tag = TAG_TEXT;
  QMBuffer name;
  long number = 0;
  QMBuffer* text = nullptr;  // owned, for TAG_TEXT

  ~Entry() { delete text; }
};

TAGGED_MULTI_LIST::~TAGGED_MULTI_LIST() {
  for (long i = 0; i < entries_.GetCount(); ++i) delete reinterpret_cast<Entry*>(entries_.GetAt(i));
}

int TAGGED_MULTI_LIST::AddEntry(Entry* entry) {
  if (!entries_.Add(reinterpret_cast<DWORD>(entry))) {
    delete entry;
    return 0;
  }
  return 1;
}

int TAGGED_MULTI_LIST::AddNumber(const char* name, long value) {
  if (!name) return 0;
  Entry* entry = new (std::nothrow) Entry;
  if (!entry || !entry->name.SetText(name)) {
    delete entry;
    return 0;
  }
  entry->tag = TAG_NUMBER;
  entry->number = value;
  return AddEntry(entry);
}

int TAGGED_MULTI_LIST::AddText(const char* name, const char* text) {
  if (!name || !text) return 0;
  Entry* entry = new (std::nothrow) Entry;
  if (entry) entry->text = new (std::nothrow) QMBuffer;
  if (!entry || !entry->text || !entry->name.SetText(name) || !entry->text->SetText(text)) {
    delete entry;
    return 0;
  }
  entry->tag = TAG_TEXT;
  return AddEntry(entry);
}

const TAGGED_MULTI_LIST::Entry* TAGGED_MULTI_LIST::EntryAt(long index) const {
  return reinterpret_cast<const Entry*>(entries_.GetAt(index));
}

long TAGGED_MULTI_LIST::GetTag(long index) const {
  const Entry* entry = EntryAt(index);
  return entry ? entry->tag : -1;
}

int TAGGED_MULTI_LIST::GetName(long index, QMBuffer& name) const {
  const Entry* entry = EntryAt(index);
  return entry && name.SetBytes(entry->name.GetData(), entry->name.GetSize()) ? 1 : 0;
}

int TAGGED_MULTI_LIST::GetNumber(long index, QMBuffer& name, long& value) const {
  const Entry* entry = EntryAt(index);
  if (!entry || entry->tag != TAG_NUMBER) return 0;
  if (!name.SetBytes(entry->name.GetData(), entry->name.GetSize())) return 0;
  value = entry->number;
  return 1;
}

int TAGGED_MULTI_LIST::GetText(long index, QMBuffer& text) const {
  const Entry* entry = EntryAt(index);
  if (!entry || entry->tag != TAG_TEXT) return 0;
  return text.SetBytes(entry->text->GetData(), entry->text->GetSize()) ? 1 : 0;
}

long TAGGED_MULTI_LIST::GetCount() const { return entries_.GetCount(); }
