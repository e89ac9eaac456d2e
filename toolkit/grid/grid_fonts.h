// The four fonts that cells and summaries choose by their flags, made from one base font.
#pragma once

#include <windows.h>

#include "comsupport/unique_handle.h"

namespace vinnet::grid {

struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};
using UniqueGdiObject = comsupport::UniqueResource<GdiObjectTraits>;

class GridFonts {
 public:
  // From the system's message font; the stock GUI font when that cannot be read.
  GridFonts();

  HFONT Normal() const { return Font(0); }
  // 16 (bold) and 32 (italic) choose, alone or together; every other bit is ignored.
  HFONT ForFlags(DWORD flags) const;

 private:
  HFONT Font(int index) const { return static_cast<HFONT>(fonts_[index].get()); }
  UniqueGdiObject fonts_[4];  // normal, bold, italic, bold italic
};

// Selects an object into a device context for one scope.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~SelectedObject() { ::SelectObject(dc_, previous_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace vinnet::grid
