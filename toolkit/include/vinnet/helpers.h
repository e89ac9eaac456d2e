// Small services of the toolkit that the controls share: the 256-colour palette, bitmap sizes,
// delimited lists and the sorting of id lists.
#pragma once

#include <windows.h>

#include "qm/collections.h"
#include "vinnet/vinnet_api.h"

// A palette of 256 entries: greys and shades below, the 6x6x6 colour cube (components multiples
// of 51) from entry 19, the 20 static system colours at 236 to 255. The caller deletes it.
VINNET_API HPALETTE CreateRainbowPalette();

// 1 when value is one of values.
VINNET_API int IsOneOf(DWORD value, const CDWordArray& values);

// 1 and the bitmap's width and height when its description can be read; 0 otherwise.
VINNET_API int GetBitmapSize(HBITMAP bitmap, SIZE& size);

// Splits text at any of the delimiter characters; empty pieces are left out. The array is
// emptied first; the map gains each piece as a key (with no object) and keeps what it held.
// Both return the number of pieces found.
VINNET_API int ParseDelimitedString(const char* text, const char* delimiters, CStringArray& pieces);
VINNET_API int ParseDelimitedString(const char* text, const char* delimiters, CMapStringToOb& pieces);

// Sorts a text of comma-separated channel ids into ascending numeric order ("12,3,7" -> "3,7,12").
VINNET_API void SortServices(CString& ids);
