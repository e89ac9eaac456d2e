// A list of named values, each a 32-bit number or a text (channel variables). Other modules call
// it through its virtual operations, so their order is fixed.
#pragma once

#include "qm/qm_buffer.h"
#include "ravlin/data_list.h"

class TAGGED_MULTI_LIST {
 public:
  enum Tag { TAG_TEXT = 0, TAG_NUMBER = 1 };

  TAGGED_MULTI_LIST() = default;
  TAGGED_MULTI_LIST(const TAGGED_MULTI_LIST&) = delete;
  TAGGED_MULTI_LIST& operator=(const TAGGED_MULTI_LIST&) = delete;

  virtual ~TAGGED_MULTI_LIST();
  // 0 for a null name (or text), or when out of memory.
  virtual int AddNumber(const char* name, long value);
  virtual int AddText(const char* name, const char* text);
  // TAG_NUMBER or TAG_TEXT; -1 when out of range.
  virtual long GetTag(long index) const;
  virtual int GetName(long index, QMBuffer& name) const;
  // 0 unless the entry is a number; copies its name too.
  virtual int GetNumber(long index, QMBuffer& name, long& value) const;
  // 0 unless the entry is a text.
  virtual int GetText(long index, QMBuffer& text) const;
  virtual long GetCount() const;

 private:
  struct Entry;
  const Entry* EntryAt(long index) const;
  int AddEntry(Entry* entry);

  DATA_LIST entries_{16};
};
