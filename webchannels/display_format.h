// How a cell's value is shown in a bound HTML element: sizes with units, booleans as Yes/No,
// other values as text, then wrapped in the SPAN classes a page styles (Embellish bits).
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace chanbind {

// The words of the resource module: Yes/No (loaded once per process) and the size units.
struct DisplayWords {
  std::wstring yes = L"Yes", no = L"No";
  std::wstring bytes = L"Bytes", kilobytes = L"KB", megabytes = L"MB";
};
const DisplayWords& ResourceDisplayWords();

// What the row says about itself for the SPAN classes.
struct RowMarks {
  bool unread = false;   // READ is FALSE
  bool alerted = false;  // ALERTED is TRUE
  bool local = false;    // STORY_LOCAL is TRUE
  bool has_url = false;  // the "URL" cell is a non-empty string
};

// "n Bytes", "n KB" or "n MB" (each division rounds toward zero).
std::wstring SizeText(long size, const DisplayWords& words);

// The display text of value in column title; throws the internal error (109) when the value
// cannot be shown as text.
std::wstring DisplayText(const VARIANT& value, const std::wstring& title, long embellish, const RowMarks& marks,
                         const DisplayWords& words);

}  // namespace chanbind
