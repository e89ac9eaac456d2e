// Sorting of the text arrays the toolkit hands out (sub-channel paths...).
#pragma once

#include "qm/collections.h"
#include "vinnet/vinnet_api.h"

// Ascending without regard to case; texts equal but for case keep a case-sensitive order.
VINNET_API void SortStringArray(CStringArray& texts);
