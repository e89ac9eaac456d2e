// How a table column's stored value becomes what the page reads: chosen by the column's title
// (an explicit registration wins over the name rules).
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace chanbind {

enum class Converter { kNone, kNumeric, kBoolean, kTime, kUrl };

// The converter the name rules give a title.
Converter ConverterForTitle(const std::wstring& title);

// Converts value into *out (cleared first). Values that cannot be converted come back as
// VT_EMPTY rather than failing the read.
void ConvertValue(Converter converter, const VARIANT& value, VARIANT* out);

// A path or address as a link the page can open: quotes around it dropped, a drive, UNC or
// rooted path made a file: URL, a bare name given "http://", backslashes made "/" and white
// space escaped as %xx.
std::wstring NormaliseUrl(std::wstring value);

// time_t to DATE through the local time of that instant; false when local time cannot hold it.
bool TimeToDate(long time, DATE* date);
// DATE (local time) back to time_t; false when out of range.
bool DateToTime(DATE date, long* time);

}  // namespace chanbind
