// A list of owned texts (each a QMBuffer). Other modules call it through its virtual
// operations, so their order is fixed.
#pragma once

#include "qm/qm_buffer.h"
#include "ravlin/data_list.h"

class BUFFER_LIST {
 public:
  BUFFER_LIST() = default;
  BUFFER_LIST(const BUFFER_LIST&) = delete;
  BUFFER_LIST& operator=(const BUFFER_LIST&) = delete;

  // Deletes every buffer.
  virtual ~BUFFER_LIST();
  // Appends a buffer holding a copy of the text; 0 for a null text or when out of memory.
  virtual int AddText(const char* text);
  // The list keeps the buffer; null when out of range.
  virtual QMBuffer* GetBuffer(long index);
  virtual long GetCount() const;
  // Appends each non-empty piece of the text between delimiters, in order; returns how many.
  virtual long AddSplitText(const char* text, char delimiter);

 private:
  DATA_LIST buffers_{16};
};
