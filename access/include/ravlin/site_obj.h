// One channel directory entry, as ZRPimboBuildDirectoryEntryList makes it; the caller owns and
// deletes it. Exported by Ravlin.
#pragma once

#include <windows.h>

#include "qm/qm_buffer.h"
#include "ravlin/ravlin_api.h"

class RAVLIN_API CSiteObj {
 public:
  // Texts empty, numbers 0, keyword_matches -1.
  CSiteObj();
  CSiteObj(const CSiteObj& other);
  CSiteObj& operator=(const CSiteObj& other);
  virtual ~CSiteObj();

  DWORD channel_id;
  QMBuffer name;
  QMBuffer categories;
  QMBuffer description;
  long reserved;
  long subscribed;  // 1 or 0
  long type_flags;
  long state_flags;
  long attribute_flags;
  long general_flags;
  QMBuffer form_file;
  long time_added;
  QMBuffer keywords[4];  // the keywords property split at its first three ";"
  long keyword_matches;  // -1 when unknown
};
