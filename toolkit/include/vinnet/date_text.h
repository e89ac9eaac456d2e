// How the toolkit shows a time (seconds since 1970) in local time: the date, " - ", the time.
#pragma once

#include <windows.h>

#include "qm/collections.h"
#include "vinnet/vinnet_api.h"

// "Sept 9 - 1:05 pm"; empty when the time cannot be converted.
VINNET_API CString ShortDateTimeText(DWORD time);
// "September 9, 2001 - 1:05 PM"; empty when the time cannot be converted.
VINNET_API CString LongDateTimeText(DWORD time);
