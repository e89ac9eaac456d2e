// The story ids that story notifications carry in a VARIANT: one 32-bit integer, or a
// one-dimensional array of 4-byte integers (possibly by reference).
#pragma once

#include <oaidl.h>

#include "ravlin/data_list.h"

namespace ravlin {

struct StoryIds {
  bool single = false;
  DWORD id = 0;       // when single
  DATA_LIST list{16};  // when not single
};

// False, with nothing read, for any other shape (an array of VARIANTs included).
bool ReadStoryIds(const VARIANT& value, StoryIds& ids);

}  // namespace ravlin
