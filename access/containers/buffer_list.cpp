#include "ravlin/buffer_list.h"

#include <new>

#include "text_split.h"

BUFFER_LIST::~BUFFER_LIST() {
  for (long i = 0; i < buffers_.GetCount(); ++i) delete reinterpret_cast<QMBuffer*>(buffers_.GetAt(i));
}

int BUFFER_LIST::AddText(const char* text) {
  if (!text) return 0;
  QMBuffer* buffer = new (std::nothrow) QMBuffer;
  if (!buffer || !buffer->SetText(text) || !buffers_.Add(reinterpret_cast<DWORD>(buffer))) {
    delete buffer;
    return 0;
  }
  return 1;
}

QMBuffer* BUFFER_LIST::GetBuffer(long index) { return reinterpret_cast<QMBuffer*>(buffers_.GetAt(index)); }

long BUFFER_LIST::GetCount() const { return buffers_.GetCount(); }

long BUFFER_LIST::AddSplitText(const char* text, char delimiter) {
  long added = 0;
  try {
    for (const std::string& piece : ravlin::SplitNonEmpty(text, delimiter)) added += AddText(piece.c_str());
  } catch (const std::bad_alloc&) {
  }
  return added;
}
